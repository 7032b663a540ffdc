#include "drops/DropStatistics.h"

#include <QTimeZone>
#include <algorithm>

namespace {

// The part of an event's lost time that falls at or after from, as a range. Where the window
// begins inside the event, the time before from may hold up to all of the least time lost, and
// no more than what is left of the event can be lost after it.
DropSummary::Window lostSince(const DropEvent& e, const QDateTime& from) {
    if (e.before.time >= from)
        return {1, e.lostMinSeconds, e.lostMaxSeconds};
    const qint64 most = std::clamp<qint64>(from.secsTo(e.after.time), 0, e.lostMaxSeconds);
    const qint64 least = std::clamp<qint64>(e.lostMinSeconds - e.before.time.secsTo(from), 0, most);
    return {1, least, most};
}

// The start and the end of the time's day in its own zone: a day whose offsets differ has an
// hour repeated or missing, and its times need their offset to say which.
bool dayChangesOffset(const QDateTime& time) {
    const QDate day = time.date();
    QDateTime first, last;
    if (time.timeSpec() == Qt::TimeZone) {
        first = day.startOfDay(time.timeZone());
        last = day.endOfDay(time.timeZone());
    } else {
        first = day.startOfDay(time.timeSpec(), time.offsetFromUtc());
        last = day.endOfDay(time.timeSpec(), time.offsetFromUtc());
    }
    return first.offsetFromUtc() != last.offsetFromUtc();
}

// The time in the format, with its offset ("+01:00") on a day that changes it.
QString stamp(const QDateTime& time, const QString& format) {
    QString text = time.toString(format);
    if (!time.isValid() || !dayChangesOffset(time))
        return text;
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return text + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

DropSummary DropSummary::of(const std::vector<DropEvent>& events, const QDateTime& now) {
    DropSummary s;
    const QDate today = now.date();
    const QDateTime midnight = today.startOfDay();
    const QDateTime weekAgo = now.addDays(-7);
    const QDateTime monthAgo = now.addDays(-30);
    std::vector<QDateTime> starts;
    for (const DropEvent& e : events) {
        if (e.after.time < monthAgo)
            continue;
        s.fromHistory = s.fromHistory || e.source == DropEvent::Source::History;
        if (!e.countsAsDrop()) {
            ++s.unreadPeriods;
            continue;
        }
        // An event counts in a window when any of it lies there.
        const auto count = [&e](Window& w, const QDateTime& from) {
            if (e.after.time < from)
                return;
            const Window part = lostSince(e, from);
            ++w.count;
            w.lostMinSeconds += part.lostMinSeconds;
            w.lostMaxSeconds += part.lostMaxSeconds;
        };
        count(s.today, midnight);
        count(s.week, weekAgo);
        count(s.month, monthAgo);
        starts.push_back(e.before.time);
        // Retrains and restarts lose no time a reading saw: the longest is a drop's.
        if (e.kind == DropEvent::Kind::Drop &&
            (!s.longest || e.lostMaxSeconds > s.longest->lostMaxSeconds))
            s.longest = e;
        const qint64 daysAgo = e.before.time.date().daysTo(today);
        if (daysAgo >= 0 && daysAgo < 30)
            ++s.perDay[size_t(29 - daysAgo)];
    }
    if (starts.size() >= 2) {
        std::sort(starts.begin(), starts.end());
        s.meanSecondsBetween = starts.front().secsTo(starts.back()) / qint64(starts.size() - 1);
    }
    return s;
}

QString DropSummary::durationText(qint64 seconds) {
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    if (seconds < 86400)
        return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
    return QStringLiteral("%1 d %2 h").arg(seconds / 86400).arg(seconds % 86400 / 3600);
}

QString DropSummary::rangeText(qint64 minSeconds, qint64 maxSeconds) {
    const QString least = durationText(minSeconds), most = durationText(maxSeconds);
    // Ends that read the same (to the second under an hour) are one length, said once.
    if (least == most)
        return QStringLiteral("about %1").arg(least);
    return QStringLiteral("between %1 and %2").arg(least, most);
}

QString DropSummary::lengthText(const DropEvent& e) {
    if (e.kind == DropEvent::Kind::NoReading)
        return QStringLiteral("not read for about %1").arg(durationText(e.durationSeconds));
    // A retrain or a restart that no reading without sync saw took a moment somewhere between
    // the two readings: when is known, how long is not.
    const bool seen = e.kind == DropEvent::Kind::Drop || e.samplesDown > 0 || e.lostMaxSeconds > 0;
    if (!seen) {
        const QString format = e.before.time.date() == e.after.time.date()
                                   ? QStringLiteral("HH:mm:ss")
                                   : QStringLiteral("yyyy-MM-dd HH:mm:ss");
        return QStringLiteral("between %1 and %2")
            .arg(stamp(e.before.time, format), stamp(e.after.time, format));
    }
    QString text = rangeText(e.lostMinSeconds, e.lostMaxSeconds);
    if (e.unknownSeconds > 0)
        text += QStringLiteral(", %1 unknown").arg(durationText(e.unknownSeconds));
    return text;
}

QString DropSummary::kindText(const DropEvent& e) {
    const QString kind = DropEvent::kindText(e.kind);
    if (e.kind != DropEvent::Kind::NoReading || e.why == LineReading::Why::None)
        return kind;
    return QStringLiteral("%1 (%2)").arg(kind, LineReading::whyText(e.why));
}

QString DropSummary::sourceNote(DropEvent::Source source) {
    switch (source) {
    case DropEvent::Source::Live:
        return {};
    case DropEvent::Source::History:
        return QStringLiteral("Filled from the data file's history: its zero points may be times "
                              "the router was not read.");
    case DropEvent::Source::EarlierVersion:
        return QStringLiteral("Recorded by an earlier version, which counted every zero point and "
                              "gap as lost.");
    }
    return {};
}

QString DropSummary::timeText(const QDateTime& time) {
    return stamp(time, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {

QString lostText(const DropSummary::Window& w) {
    return w.lostMaxSeconds == 0 ? DropSummary::durationText(0)
                                 : DropSummary::rangeText(w.lostMinSeconds, w.lostMaxSeconds);
}

QString windowText(const char* label, const DropSummary::Window& w) {
    return QStringLiteral("%1: %2 %3, %4 lost.")
        .arg(QLatin1String(label))
        .arg(w.count)
        .arg(w.count == 1 ? QStringLiteral("drop") : QStringLiteral("drops"), lostText(w));
}

} // namespace

QString DropSummary::text() const {
    const QStringList counts = {windowText("Today", today), windowText("Last 7 days", week),
                                windowText("Last 30 days", month)};
    QStringList parts;
    if (longest)
        parts << QStringLiteral("Longest: %1 on %2.")
                     .arg(rangeText(longest->lostMinSeconds, longest->lostMaxSeconds),
                          stamp(longest->before.time, QStringLiteral("yyyy-MM-dd HH:mm")));
    if (meanSecondsBetween >= 0)
        parts
            << QStringLiteral("Mean time between drops: %1.").arg(durationText(meanSecondsBetween));
    // Said apart, so that nobody takes the rows of the table that are no drops for missed ones.
    if (unreadPeriods > 0)
        parts << QStringLiteral("Router not read %1 %2 in the last 30 days, not counted as drops.")
                     .arg(unreadPeriods)
                     .arg(unreadPeriods == 1 ? QStringLiteral("time") : QStringLiteral("times"));
    if (parts.isEmpty())
        return counts.join(QStringLiteral("  "));
    return counts.join(QStringLiteral("  ")) + QLatin1Char('\n') + parts.join(QStringLiteral("  "));
}
