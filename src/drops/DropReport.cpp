#include "drops/DropReport.h"

#include "drops/DropRecordFile.h"
#include "drops/DropStatistics.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace {

const char kStyle[] = R"CSS(
body { font-family: sans-serif; color: #222; margin: 16px; max-width: 1100px; }
h1 { font-size: 1.5em; } h2 { font-size: 1.2em; margin-top: 24px; }
table { border-collapse: collapse; font-size: 0.9em; }
th, td { border: 1px solid #ccc; padding: 3px 6px; text-align: left; }
th { background: #eee; }
td.n { text-align: right; white-space: nowrap; }
.drop { page-break-inside: avoid; margin-bottom: 24px; }
img { max-width: 100%; display: block; margin: 6px 0; border: 1px solid #ccc; }
.missing { color: #a00000; }
small { color: #666; }
)CSS";

QString esc(const QString& s) {
    return s.toHtmlEscaped();
}

QString when(const QDateTime& t) {
    return esc(DropSummary::timeText(t));
}

QString num(double v) {
    return QString::number(v, 'f', 1);
}

QString rate(double kbps) {
    return QString::number(qRound64(kbps)) + QStringLiteral(" Kbps");
}

// A user graph's value with its unit: the rates in Kbps, the attenuations in dB.
QString userValue(const QString& name, double v) {
    return name.contains(QLatin1String("Rate")) ? rate(v) : num(v) + QStringLiteral(" dB");
}

QString lost(const DropSummary::Window& w) {
    return w.lostMaxSeconds == 0 ? DropSummary::durationText(0)
                                 : DropSummary::rangeText(w.lostMinSeconds, w.lostMaxSeconds);
}

QString window(const char* label, const DropSummary::Window& w) {
    return QStringLiteral("<tr><th>%1</th><td class=\"n\">%2</td><td class=\"n\">%3</td></tr>\n")
        .arg(QLatin1String(label))
        .arg(w.count)
        .arg(esc(lost(w)));
}

// The mark of an event that may say more than happened, explained under the table.
QString mark(DropEvent::Source source) {
    switch (source) {
    case DropEvent::Source::Live:
        return {};
    case DropEvent::Source::History:
        return QStringLiteral(" *");
    case DropEvent::Source::EarlierVersion:
        return QStringLiteral(" &dagger;");
    }
    return {};
}

// The image as a data URI; empty when the file cannot be read.
QByteArray dataUri(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return "data:image/jpeg;base64," + f.readAll().toBase64();
}

// The line as the last reading with sync found it, and when.
QString lineTable(const DropReport::Input& in) {
    QString h = QStringLiteral("<h2>The line</h2>\n<table>\n");
    h += QStringLiteral("<tr><th>Router</th><td colspan=\"2\">BT Home Hub 5A at %1</td></tr>\n")
             .arg(esc(in.router));
    if (!in.lastSynced) {
        h += QStringLiteral("<tr><td colspan=\"3\">No reading with sync yet.</td></tr>\n"
                            "</table>\n");
        return h;
    }
    const LineSample& l = in.lastSynced->sample;
    h += QStringLiteral("<tr><th>Last reading with sync</th><td colspan=\"2\">%1</td></tr>\n")
             .arg(when(in.lastSynced->time));
    h += QStringLiteral("<tr><th></th><th>Upstream</th><th>Downstream</th></tr>\n");
    h += QStringLiteral("<tr><th>Sync rate</th><td>%1</td><td>%2</td></tr>\n")
             .arg(rate(l.DataRateUp), rate(l.DataRateDown));
    h += QStringLiteral("<tr><th>Noise margin</th><td>%1 dB</td><td>%2 dB</td></tr>\n")
             .arg(num(l.NoiseMarginUp), num(l.NoiseMarginDown));
    if (l.HasUser1 && !in.user1Name.isEmpty())
        h += QStringLiteral("<tr><th>%1</th><td>%2</td><td>%3</td></tr>\n")
                 .arg(esc(in.user1Name), userValue(in.user1Name, l.User1Up),
                      userValue(in.user1Name, l.User1Down));
    if (l.HasUser2 && !in.user2Name.isEmpty() && in.user2Name != in.user1Name)
        h += QStringLiteral("<tr><th>%1</th><td>%2</td><td>%3</td></tr>\n")
                 .arg(esc(in.user2Name), userValue(in.user2Name, l.User2Up),
                      userValue(in.user2Name, l.User2Down));
    if (!l.UptimeDisplay.isEmpty())
        h += QStringLiteral("<tr><th>Router uptime</th><td colspan=\"2\">%1</td></tr>\n")
                 .arg(esc(l.UptimeDisplay));
    h += QStringLiteral("</table>\n");
    return h;
}

QString summary(const DropSummary& s) {
    QString h = QStringLiteral("<h2>Summary</h2>\n<table>\n<tr><th></th><th>Drops</th><th>Time "
                               "lost</th></tr>\n");
    h += window("Today", s.today);
    h += window("Last 7 days", s.week);
    h += window("Last 30 days", s.month);
    h += QStringLiteral("</table>\n<p>");
    // Retrains and restarts count among the drops, but only a drop is the longest.
    if (s.longest)
        h += QStringLiteral("Longest drop in the last 30 days: %1 on %2. ")
                 .arg(esc(DropSummary::rangeText(s.longest->lostMinSeconds,
                                                 s.longest->lostMaxSeconds)),
                      when(s.longest->before.time));
    else if (s.month.count > 0)
        h += QStringLiteral("No line drops in the last 30 days, only retrains and router "
                            "restarts. ");
    else
        h += QStringLiteral("No drops in the last 30 days. ");
    if (s.meanSecondsBetween >= 0)
        h += QStringLiteral("Mean time between drops: %1. ")
                 .arg(DropSummary::durationText(s.meanSecondsBetween));
    if (s.unreadPeriods > 0)
        h += QStringLiteral("The router was not read %1 %2 in the last 30 days; those times are "
                            "listed but not counted as drops.")
                 .arg(s.unreadPeriods)
                 .arg(s.unreadPeriods == 1 ? QStringLiteral("time") : QStringLiteral("times"));
    h += QStringLiteral("</p>\n");
    return h;
}

// What the table's figures can and cannot say, and what its marks mean.
QString footnote(const std::vector<DropEvent>& events) {
    const auto any = [&events](DropEvent::Source source) {
        return std::any_of(events.begin(), events.end(),
                           [source](const DropEvent& e) { return e.source == source; });
    };
    QString h = QStringLiteral(
        "<p><small>Each event lies between the last reading with sync before it and the first "
        "after it. Time lost is given as a range: at least the time between readings without "
        "sync, at most the time between the two readings with sync less any time the router was "
        "not read or not watched (the program paused or closed, the computer asleep), which is "
        "shown as unknown. A retrain or a router restart that no reading saw is shown by the two "
        "readings it lies between.");
    if (any(DropEvent::Source::History))
        h += QStringLiteral(" Events marked * were filled from the data file's history; they may "
                            "include times the router was not read.");
    if (any(DropEvent::Source::EarlierVersion))
        h += QStringLiteral(" Events marked &dagger; were recorded by an earlier version, which "
                            "counted every zero point and every gap as lost.");
    h += QStringLiteral("</small></p>\n");
    return h;
}

} // namespace

QByteArray DropReport::html(const Input& in) {
    const DropSummary s = DropSummary::of(in.events, in.now);
    QString h;
    h.reserve(16384 + int(in.events.size()) * 512);
    h += QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
                        "<title>Line drops report</title>\n<style>");
    h += QLatin1String(kStyle);
    h += QStringLiteral("</style></head><body>\n<h1>Line drops report</h1>\n");
    h += QStringLiteral("<p><small>Made by Lintrove 5A on %1</small></p>\n").arg(when(in.now));
    h += lineTable(in);
    h += summary(s);

    h += QStringLiteral("<h2>Events</h2>\n");
    h += footnote(in.events);
    h += QStringLiteral(
        "<table>\n<tr><th>#</th><th>Start</th><th>End</th><th>Duration</th><th>Kind</th>"
        "<th>Noise margin down before / after</th><th>Sync rate down before / after</th>"
        "<th>Sync rate up before / after</th><th>Images</th></tr>\n");
    const int n = int(in.events.size());
    for (int i = n - 1; i >= 0; --i) {
        const DropEvent& e = in.events[size_t(i)];
        h += QStringLiteral("<tr><td class=\"n\"><a href=\"#drop%1\">%1</a></td><td>%2</td>"
                            "<td>%3</td><td>%4</td><td>%5%6</td>"
                            "<td>%7 / %8 dB</td><td>%9 / %10</td><td>%11 / %12</td>"
                            "<td class=\"n\">%13</td></tr>\n")
                 .arg(i + 1)
                 .arg(when(e.before.time), when(e.after.time), esc(DropSummary::lengthText(e)),
                      esc(DropSummary::kindText(e)), mark(e.source), num(e.before.noiseMarginDown),
                      num(e.after.noiseMarginDown), rate(e.before.rateDown))
                 .arg(rate(e.after.rateDown), rate(e.before.rateUp), rate(e.after.rateUp))
                 .arg(e.images.size());
    }
    h += QStringLiteral("</table>\n");

    QByteArray out = h.toUtf8();
    // The images go in as bytes: a month of them would make a very large QString.
    for (int i = n - 1; i >= 0; --i) {
        const DropEvent& e = in.events[size_t(i)];
        if (e.images.isEmpty())
            continue;
        out += QStringLiteral("<div class=\"drop\" id=\"drop%1\"><h2>%1. %2 at %3: %4</h2>\n")
                   .arg(i + 1)
                   .arg(esc(DropSummary::kindText(e)), when(e.before.time),
                        esc(DropSummary::lengthText(e)))
                   .toUtf8();
        for (const QString& name : e.images) {
            const QByteArray uri = dataUri(QDir(in.imageFolder).filePath(name));
            if (uri.isEmpty()) {
                out += "<p class=\"missing\">" + esc(name).toUtf8() + " is no longer there.</p>\n";
                continue;
            }
            out += "<img alt=\"" + esc(name).toUtf8() + "\" src=\"" + uri + "\">\n";
        }
        out += "</div>\n";
    }
    out += "</body></html>\n";
    return out;
}

namespace {

bool writeWhole(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace

bool DropReport::writeHtml(const QString& path, const Input& input, QString* error) {
    return writeWhole(path, html(input), error);
}

bool DropReport::writeCsv(const QString& path, const std::vector<DropEvent>& events,
                          QString* error) {
    return writeWhole(path, DropRecordFile::Csv(events), error);
}
