// The line dropping three times while the real program watches it: a drop (three statistics
// pages without sync) after which the router stops answering for a while, a retrain with new
// rates and a router restart. The drop record, /status.json, /drops.csv, /metrics and the report
// for the provider must all tell the same events, at the times the data file plotted and with the
// values the router served: one drop bracketing the pages without sync, the silence after it as
// a time the router was not read (never a drop, never lost time, never a 0 dB measurement), the
// retrain and the restart.
#include "drops/DropEvent.h"
#include "drops/DropJson.h"
#include "drops/DropRecordFile.h"
#include "drops/DropReport.h"
#include "drops/DropStatistics.h"
#include "e2e/ProgramScenario.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

using Kind = DropEvent::Kind;

class LineDrops : public ProgramScenario {
protected:
    static constexpr int kSampleSeconds = 10;

    int webPort = 0;

    QString recordPath() const { return path(QStringLiteral("Lintrove5A-drops.csv")); }
    QString captureFolder() const { return path(QStringLiteral("Capture")); }

    QStringList captures() const {
        return QDir(captureFolder()).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    }

    QByteArray fileBytes(const QString& file) const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The record's event lines (the header line aside).
    qsizetype recordedEvents() const {
        return qMax<qsizetype>(0, textLines(recordPath()).size() - 1);
    }

    qsizetype zerosFrom(qsizetype from) const {
        const QList<DataLine> lines = dataLines();
        qsizetype zeros = 0;
        for (qsizetype i = from; i < lines.size(); ++i)
            zeros += zero(lines[i]) ? 1 : 0;
        return zeros;
    }

    // The program's time of a data line: today (the scenario's hours never cross midnight) at
    // the time of day of its label.
    QDateTime labelTime(const DataLine& line) const {
        const int seconds = labelSeconds(line.label);
        EXPECT_GE(seconds, 0) << line.label.toStdString();
        return QDateTime(QDateTime::fromMSecsSinceEpoch(origin).date(),
                         QTime(0, 0).addSecs(seconds));
    }

    // For each data line, the served page it plots (by position in the simulator's history);
    // -1 for a zero point.
    static QList<qsizetype> servedPages(const QList<DataLine>& lines, const QJsonArray& history) {
        QList<qsizetype> pages;
        qsizetype h = 0;
        for (const DataLine& line : lines) {
            if (zero(line)) {
                pages << -1;
                continue;
            }
            qsizetype found = -1;
            while (h < history.size() && found < 0) {
                const QJsonObject s = history[h].toObject();
                if (line.values[0] == twoDigits(s[QStringLiteral("noiseMarginUp")].toDouble()) &&
                    line.values[1] == twoDigits(s[QStringLiteral("noiseMarginDown")].toDouble()) &&
                    line.values[2] == s[QStringLiteral("dataRateUp")].toDouble() &&
                    line.values[3] == s[QStringLiteral("dataRateDown")].toDouble())
                    found = h;
                ++h;
            }
            pages << found;
        }
        return pages;
    }

    // Where the data file shows the line broken: zero points between two points with sync, or
    // two points with sync in a row whose sync rates differ.
    struct Break {
        qsizetype before = -1, after = -1; // the data lines with sync either side
        int zeros = 0;
    };
    static QList<Break> breaks(const QList<DataLine>& lines) {
        QList<Break> found;
        qsizetype lastGood = -1;
        int zeros = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (zero(lines[i])) {
                ++zeros;
                continue;
            }
            if (lastGood >= 0 && (zeros > 0 || lines[i].values[2] != lines[lastGood].values[2] ||
                                  lines[i].values[3] != lines[lastGood].values[3]))
                found << Break{lastGood, i, zeros};
            lastGood = i;
            zeros = 0;
        }
        return found;
    }

    // One side of an event against the page the router served there.
    static void expectSideServed(const DropSide& side, const QJsonObject& page, const char* which) {
        SCOPED_TRACE(which);
        EXPECT_EQ(side.noiseMarginUp, page[QStringLiteral("noiseMarginUp")].toDouble());
        EXPECT_EQ(side.noiseMarginDown, page[QStringLiteral("noiseMarginDown")].toDouble());
        EXPECT_EQ(side.rateUp, page[QStringLiteral("dataRateUp")].toDouble());
        EXPECT_EQ(side.rateDown, page[QStringLiteral("dataRateDown")].toDouble());
    }

    // Waits until the record holds `count` events and the program has handled the sample after
    // the last of them, so that the web server's view has caught up with the file.
    bool waitForEvents(qsizetype count) const {
        if (!ProgramProcess::waitFor([&] { return recordedEvents() >= count; }, kLongWaitMs))
            return false;
        const qsizetype now = dataLines().size();
        return waitForDataLines(now + 1);
    }
};

TEST_F(LineDrops, ThreeBreaksOfTheLineShowAlikeInTheRecordTheWebAndTheReport) {
    ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
    webPort = RouterSim::unusedPort();
    ASSERT_GT(webPort, 0);
    writeSettings(QStringLiteral("pw"), {},
                  "[Capture]\r\nLostSync=1\r\n[WebServer]\r\nWeb=1\r\nAddress=127.0.0.1\r\n"
                  "Port=" +
                      QByteArray::number(webPort) + "\r\n",
                  kSampleSeconds);
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());
    // A capture for a lost connection needs a few points on the graph first.
    ASSERT_TRUE(waitForDataLines(4));
    // No drop yet: the record holds none (the file may wait for its first line) and the web
    // serves its header alone.
    EXPECT_EQ(recordedEvents(), 0);
    const HttpReply empty = httpGet(webPort, "/drops.csv");
    EXPECT_EQ(empty.status, 200);
    EXPECT_EQ(empty.body, DropRecordFile::Header() + "\r\n");

    // 1. A drop: three pages without sync, then the router not answering for 45 s (four and a
    // half samples), /metrics read in the silence.
    const qsizetype dropFrom = dataLines().size();
    ASSERT_FALSE(sim.set(QStringLiteral("nosync=1")).isEmpty());
    ASSERT_TRUE(ProgramProcess::waitFor([&] { return zerosFrom(dropFrom) >= 3; }, kLongWaitMs));
    ASSERT_FALSE(sim.set(QStringLiteral("down=1")).isEmpty());
    const qsizetype zerosAtDown = zerosFrom(dropFrom);
    ASSERT_TRUE(ProgramProcess::waitFor([&] { return zerosFrom(dropFrom) >= zerosAtDown + 2; },
                                        kLongWaitMs));
    const HttpReply silent = httpGet(webPort, "/metrics");
    ASSERT_TRUE(ProgramProcess::waitFor([&] { return zerosFrom(dropFrom) >= zerosAtDown + 4; },
                                        kLongWaitMs));
    EXPECT_EQ(recordedEvents(), 0) << "a drop is written when it ends";
    ASSERT_FALSE(sim.set(QStringLiteral("down=0&nosync=0")).isEmpty());
    ASSERT_TRUE(waitForEvents(2));
    const QStringList lossImages = captures();
    // While the router was silent nothing it did not say was published as measured.
    ASSERT_EQ(silent.status, 200);
    EXPECT_FALSE(silent.body.contains("lintrove_noise_margin_db{")) << silent.body.toStdString();
    EXPECT_FALSE(silent.body.contains("lintrove_sync_rate_bytes_per_second{"));
    EXPECT_FALSE(metric(silent.body, QStringLiteral("lintrove_line_up")).has_value());

    // 2. A retrain: new sync rates from one sample to the next.
    ASSERT_FALSE(sim.set(QStringLiteral("retrain=1")).isEmpty());
    ASSERT_TRUE(waitForEvents(3));

    // 3. The router restarts: new rates and its uptime from 0.
    ASSERT_FALSE(sim.set(QStringLiteral("restart=1")).isEmpty());
    ASSERT_TRUE(waitForEvents(4));

    // The web server's views while the program runs.
    const HttpReply status = httpGet(webPort, "/status.json");
    const HttpReply csv = httpGet(webPort, "/drops.csv");
    const HttpReply metrics = httpGet(webPort, "/metrics");

    // The Line Drops window, and its exports through the save dialog as a user makes them.
    program->act(QStringLiteral("click btnDrops"));
    QJsonObject table;
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            table = program->get(QStringLiteral("LineDropsWindow/DropsTable"));
            return table[QStringLiteral("rows")].toArray().size() >= 4;
        },
        kLongWaitMs))
        << QJsonDocument(table).toJson().toStdString();
    const QString windowReport = path(QStringLiteral("window-report.html"));
    const QString windowCsv = path(QStringLiteral("window-export.csv"));
    for (const auto& [button, file] : {std::pair{QStringLiteral("btnExportReport"), windowReport},
                                       std::pair{QStringLiteral("btnExportCsv"), windowCsv}}) {
        SCOPED_TRACE(button.toStdString());
        program->act(QStringLiteral("click ") + button);
        ASSERT_TRUE(ProgramProcess::waitFor(
            [&] {
                return program->command(QStringLiteral("modal"))
                    .contains(QLatin1String("QFileDialog"));
            },
            kLongWaitMs));
        program->act(QStringLiteral("type fileNameEdit ") + file);
        program->act(QStringLiteral("answer Save"));
        ASSERT_TRUE(ProgramProcess::waitFor([&] { return QFileInfo::exists(file); }, kLongWaitMs));
    }
    EXPECT_TRUE(program->terminate()) << program->error().toStdString();

    // The breaks as the data file plotted them and the pages the router served there.
    const QList<DataLine> lines = dataLines();
    const QJsonArray history = served();
    expectAnsweredLinesMatchServed(lines);
    const QList<Break> found = breaks(lines);
    ASSERT_EQ(found.size(), 3) << "the data file shows three breaks";
    const QList<qsizetype> pages = servedPages(lines, history);
    const auto page = [&](qsizetype line) {
        EXPECT_GE(pages[line], 0) << lines[line].label.toStdString();
        return pages[line] < 0 ? QJsonObject() : history[pages[line]].toObject();
    };
    const auto uptime = [&](qsizetype line) {
        return page(line)[QStringLiteral("uptimeSeconds")].toInteger(-1);
    };
    EXPECT_GE(found[0].zeros, 4);
    qsizetype unsyncedPages = 0;
    for (const QJsonValue& p : history)
        unsyncedPages += p.toObject()[QStringLiteral("synced")].toBool() ? 0 : 1;
    EXPECT_GT(found[0].zeros, unsyncedPages) << "some of the drop's points had no page at all";
    EXPECT_EQ(found[1].zeros, 0);
    EXPECT_EQ(found[2].zeros, 0);
    EXPECT_GE(uptime(found[1].after), uptime(found[1].before)) << "a retrain keeps the uptime";
    EXPECT_LT(uptime(found[2].after), uptime(found[2].before)) << "a restart starts it again";

    // The record: four whole lines: the drop and the silence after it in the first break, the
    // retrain and the restart in the others, each between the data file's points either side
    // and with the values served there.
    const QByteArray recordBytes = fileBytes(recordPath());
    DropRecordFile::Contents record;
    QString error;
    ASSERT_TRUE(DropRecordFile::Read(recordPath(), record, &error)) << error.toStdString();
    EXPECT_TRUE(record.skipped.isEmpty()) << record.skipped.join('\n').toStdString();
    ASSERT_EQ(record.events.size(), 4u) << recordBytes.toStdString();
    const Kind kinds[] = {Kind::Drop, Kind::NoReading, Kind::Retrain, Kind::RouterRestart};
    const qsizetype breakOf[] = {0, 0, 1, 2};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(testing::Message() << "event " << i);
        const DropEvent& e = record.events[i];
        const Break& b = found[breakOf[i]];
        EXPECT_EQ(e.kind, kinds[i]);
        EXPECT_EQ(e.source, DropEvent::Source::Live);
        if (e.kind != Kind::NoReading) {
            EXPECT_EQ(e.before.time, labelTime(lines[b.before]))
                << lines[b.before].label.toStdString();
            expectSideServed(e.before, page(b.before), "before");
        }
        EXPECT_EQ(e.after.time, labelTime(lines[b.after])) << lines[b.after].label.toStdString();
        expectSideServed(e.after, page(b.after), "after");
        EXPECT_LE(e.lostMinSeconds, e.lostMaxSeconds);
        EXPECT_LE(e.lostMaxSeconds + e.unknownSeconds, e.durationSeconds);
    }
    for (size_t i : {size_t(0), size_t(2), size_t(3)})
        EXPECT_TRUE(record.events[i].before.rateUp != record.events[i].after.rateUp ||
                    record.events[i].before.rateDown != record.events[i].after.rateDown)
            << "every break came with new sync rates";
    const DropEvent& drop = record.events[0];
    const DropEvent& silence = record.events[1];
    // The drop brackets exactly the pages served without sync; the silence holds the rest of
    // the zero points, and its time is unknown: neither lost nor up.
    EXPECT_EQ(drop.samplesDown, qsizetype(unsyncedPages));
    EXPECT_EQ(drop.samplesDown + silence.samplesUnread, found[0].zeros);
    // The simulator drops every request: the browser sees the connection closed or no answer.
    EXPECT_TRUE(silence.why == LineReading::Why::NotReachable ||
                silence.why == LineReading::Why::NotResponding)
        << LineReading::whyName(silence.why);
    EXPECT_EQ(silence.lostMaxSeconds, 0);
    EXPECT_EQ(silence.unknownSeconds, silence.durationSeconds);
    EXPECT_EQ(silence.before.time, drop.endEarliest) << "the silence follows the last page";
    EXPECT_GE(silence.durationSeconds, 4 * kSampleSeconds);
    // At least the time between its pages without sync; at most what the silence leaves.
    EXPECT_GE(drop.lostMinSeconds, (drop.samplesDown - 1) * kSampleSeconds - 2);
    EXPECT_LE(drop.lostMaxSeconds, drop.durationSeconds - silence.durationSeconds + 2);
    // The images captured at the loss, the only ones: the follow-up set would come a page (the
    // default 480 points) later.
    ASSERT_EQ(lossImages.size(), 4) << lossImages.join(' ').toStdString();
    EXPECT_EQ(drop.images, lossImages);
    EXPECT_EQ(captures(), lossImages);
    EXPECT_TRUE(record.events[1].images.isEmpty());
    EXPECT_TRUE(record.events[2].images.isEmpty());
    EXPECT_TRUE(record.events[3].images.isEmpty());

    // /drops.csv: the record file, byte for byte.
    ASSERT_EQ(csv.status, 200);
    EXPECT_EQ(csv.body, recordBytes);
    EXPECT_TRUE(csv.headers.toLower().contains("content-type: text/csv"))
        << csv.headers.toStdString();

    // /metrics: one of each kind (the silence is none of them), and the time seen down.
    ASSERT_EQ(metrics.status, 200);
    for (const char* kind : {"drop", "retrain", "router_restart"})
        EXPECT_EQ(metric(metrics.body,
                         QStringLiteral("lintrove_line_drops_total{kind=\"%1\"}").arg(kind)),
                  1.0)
            << kind;
    EXPECT_FALSE(metrics.body.contains("kind=\"no_reading\""));
    EXPECT_NEAR(
        metric(metrics.body, QStringLiteral("lintrove_line_down_seconds_total")).value_or(-1),
        double(drop.lostMinSeconds), 1.0);

    // /status.json: the counters, the summary and the last drops, newest first.
    ASSERT_EQ(status.status, 200);
    QJsonParseError parseError;
    const QJsonObject json = QJsonDocument::fromJson(status.body, &parseError).object();
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << status.body.toStdString();
    EXPECT_TRUE(json[QStringLiteral("drop")].isNull()) << "the line is up";
    EXPECT_TRUE(json[QStringLiteral("lineUp")].toBool());
    const QJsonObject sinceStart = json[QStringLiteral("sinceStart")].toObject();
    for (const char* kind : {"drop", "retrain", "router_restart"})
        EXPECT_EQ(sinceStart[QLatin1String(kind)].toInteger(), 1) << kind;
    EXPECT_NEAR(sinceStart[QStringLiteral("downSeconds")].toDouble(), double(drop.lostMinSeconds),
                1.0);
    const QJsonObject summary = json[QStringLiteral("summary")].toObject();
    for (const char* window : {"today", "last7Days", "last30Days"}) {
        const QJsonObject w = summary[QLatin1String(window)].toObject();
        EXPECT_EQ(w[QStringLiteral("count")].toInteger(), 3) << window;
        const QJsonObject lost = w[QStringLiteral("lostSeconds")].toObject();
        EXPECT_EQ(lost[QStringLiteral("min")].toInteger(), drop.lostMinSeconds) << window;
        EXPECT_EQ(lost[QStringLiteral("max")].toInteger(), drop.lostMaxSeconds) << window;
        EXPECT_EQ(w[QStringLiteral("secondsLost")].toInteger(), drop.lostMaxSeconds) << window;
    }
    EXPECT_EQ(summary[QStringLiteral("longest")].toObject(), DropJson::event(drop));
    EXPECT_EQ(summary[QStringLiteral("meanSecondsBetween")].toInteger(),
              drop.before.time.secsTo(record.events[3].before.time) / 2);
    const QJsonArray last = json[QStringLiteral("lastDrops")].toArray();
    ASSERT_EQ(last.size(), 4) << status.body.toStdString();
    for (qsizetype i = 0; i < 4; ++i) {
        const DropEvent& e = record.events[size_t(3 - i)];
        const QJsonObject shown = last[i].toObject();
        EXPECT_EQ(shown[QStringLiteral("kind")].toString(),
                  QLatin1String(DropEvent::kindName(e.kind)));
        EXPECT_EQ(shown[QStringLiteral("start")].toString(),
                  DropRecordFile::TimeText(e.before.time));
        EXPECT_EQ(shown, DropJson::event(e)) << "newest first, as the record has it";
    }

    // The report, made from the record as the Line Drops window makes it.
    DropReport::Input input;
    input.router = QStringLiteral("127.0.0.1:%1").arg(sim.port());
    LineReading synced;
    synced.time = labelTime(lines.last());
    synced.state = LineReading::State::Synced;
    synced.why = LineReading::Why::None;
    synced.sample.NoiseMarginUp = lines.last().values[0];
    synced.sample.NoiseMarginDown = lines.last().values[1];
    synced.sample.DataRateUp = lines.last().values[2];
    synced.sample.DataRateDown = lines.last().values[3];
    input.lastSynced = synced;
    input.events = record.events;
    input.now = record.events.back().after.time.addSecs(60);
    input.imageFolder = captureFolder();
    const QString reportPath = path(QStringLiteral("report.html"));
    ASSERT_TRUE(DropReport::writeHtml(reportPath, input, &error)) << error.toStdString();
    const QString report = QString::fromUtf8(fileBytes(reportPath));
    EXPECT_FALSE(report.contains(QLatin1String("<script"), Qt::CaseInsensitive));
    EXPECT_FALSE(report.contains(QLatin1String("is no longer there")));
    // The table's rows, newest first: number, start, end, length, kind, margins, rates.
    static const QRegularExpression row(QStringLiteral(
        "<tr><td class=\"n\"><a href=\"#drop(\\d+)\">\\d+</a></td><td>([^<]*)</td><td>([^<]*)</td>"
        "<td>([^<]*)</td><td>([^<]*)</td><td>([^<]*)</td><td>([^<]*)</td>"
        "<td>([^<]*)</td><td class=\"n\">(\\d+)</td></tr>"));
    QList<QRegularExpressionMatch> rows;
    for (auto it = row.globalMatch(report); it.hasNext();)
        rows << it.next();
    ASSERT_EQ(rows.size(), 4) << report.left(4000).toStdString();
    const QString kindTexts[] = {QStringLiteral("Drop"),
                                 "Router not read (" + LineReading::whyText(silence.why) + ")",
                                 QStringLiteral("Retrain"), QStringLiteral("Router restart")};
    const auto kbps = [](double v) { return QStringLiteral("%1 Kbps").arg(qint64(v)); };
    for (qsizetype r = 0; r < 4; ++r) {
        const size_t i = size_t(3 - r);
        SCOPED_TRACE(testing::Message() << "report row " << r);
        const DropEvent& e = record.events[i];
        const QRegularExpressionMatch& m = rows[r];
        EXPECT_EQ(m.captured(1).toInt(), int(i) + 1);
        EXPECT_EQ(m.captured(2), DropSummary::timeText(e.before.time));
        EXPECT_EQ(m.captured(3), DropSummary::timeText(e.after.time));
        EXPECT_EQ(m.captured(4), DropSummary::lengthText(e));
        EXPECT_EQ(m.captured(5), kindTexts[i]);
        EXPECT_EQ(m.captured(6), QStringLiteral("%1 / %2 dB")
                                     .arg(e.before.noiseMarginDown, 0, 'f', 1)
                                     .arg(e.after.noiseMarginDown, 0, 'f', 1));
        EXPECT_EQ(m.captured(7), kbps(e.before.rateDown) + " / " + kbps(e.after.rateDown));
        EXPECT_EQ(m.captured(8), kbps(e.before.rateUp) + " / " + kbps(e.after.rateUp));
        EXPECT_EQ(m.captured(9).toInt(), e.images.size());
    }
    // The long drop's images, embedded as the files the capture wrote.
    for (const QString& name : drop.images) {
        const QByteArray image = fileBytes(QDir(captureFolder()).filePath(name));
        ASSERT_FALSE(image.isEmpty()) << name.toStdString();
        EXPECT_TRUE(
            report.contains(QStringLiteral("<img alt=\"%1\" src=\"data:image/jpeg;base64,%2\">")
                                .arg(name, QString::fromLatin1(image.toBase64()))))
            << name.toStdString();
    }

    // The CSV export: the record's own lines.
    const QString exportPath = path(QStringLiteral("export.csv"));
    ASSERT_TRUE(DropReport::writeCsv(exportPath, record.events, &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(exportPath), recordBytes);

    // The window's table: the record's three events, newest first.
    QStringList headers;
    for (const QJsonValue& h : table[QStringLiteral("headers")].toArray())
        headers << h.toString();
    EXPECT_EQ(headers,
              QStringList({"Start", "End", "Duration", "Kind", "NM before (dB)", "NM after (dB)",
                           "Sync before (Kbps)", "Sync after (Kbps)", "Images"}));
    const QJsonArray tableRows = table[QStringLiteral("rows")].toArray();
    ASSERT_EQ(tableRows.size(), 4);
    const QString stamp = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    const auto margins = [](const DropSide& s) {
        return QStringLiteral("%1 / %2")
            .arg(s.noiseMarginDown, 0, 'f', 1)
            .arg(s.noiseMarginUp, 0, 'f', 1);
    };
    const auto rates = [](const DropSide& s) {
        return QStringLiteral("%1 / %2").arg(qint64(s.rateDown)).arg(qint64(s.rateUp));
    };
    for (qsizetype r = 0; r < 4; ++r) {
        SCOPED_TRACE(testing::Message() << "window row " << r);
        const DropEvent& e = record.events[size_t(3 - r)];
        QStringList cells;
        for (const QJsonValue& c : tableRows[r].toArray())
            cells << c.toString();
        ASSERT_EQ(cells.size(), 9) << cells.join('|').toStdString();
        EXPECT_EQ(cells[0], e.before.time.toString(stamp));
        EXPECT_EQ(cells[1], e.after.time.toString(stamp));
        EXPECT_EQ(cells[2], DropSummary::lengthText(e));
        EXPECT_EQ(cells[3], kindTexts[3 - r]);
        EXPECT_EQ(cells[4], margins(e.before));
        EXPECT_EQ(cells[5], margins(e.after));
        EXPECT_EQ(cells[6], rates(e.before));
        EXPECT_EQ(cells[7], rates(e.after));
        EXPECT_EQ(cells[8], QString::number(e.images.size()));
    }

    // What the window exported: the record's lines, and a report with the same table and the
    // drop's images as the one made above (only the time it was made may differ).
    EXPECT_EQ(fileBytes(windowCsv), recordBytes);
    const QString windowReportText = QString::fromUtf8(fileBytes(windowReport));
    QList<QRegularExpressionMatch> windowRows;
    for (auto it = row.globalMatch(windowReportText); it.hasNext();)
        windowRows << it.next();
    ASSERT_EQ(windowRows.size(), 4) << windowReportText.left(4000).toStdString();
    for (qsizetype r = 0; r < 4; ++r)
        EXPECT_EQ(windowRows[r].captured(0), rows[r].captured(0)) << "report row " << r;
    for (const QString& name : drop.images)
        EXPECT_TRUE(windowReportText.contains(
            QStringLiteral("<img alt=\"%1\" src=\"data:image/jpeg;base64,").arg(name)))
            << name.toStdString();
}

} // namespace
