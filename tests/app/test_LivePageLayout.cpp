// The built-in live page in the real browser engine, served by the web server on 127.0.0.1: it
// fills itself from /status.json and fits a phone's 360 px as well as a desktop window; while
// the router is not read it shows the last reading that was, never the zeros.
#include "../webserver/ServerPorts.h"
#include "core/ReadingText.h"
#include "drops/DropRecord.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include "Readings.h"

#include "RecordingMessages.h"

namespace {

LineSample sample(double nmDown, double rateDown) {
    LineSample s;
    s.NoiseMarginUp = 6.3;
    s.NoiseMarginDown = nmDown;
    s.HasNoiseMargin = true;
    s.DataRateUp = 1100;
    s.DataRateDown = rateDown;
    s.HasDataRate = true;
    s.UptimeDisplay = QStringLiteral("3 days, 04:05:06");
    return s;
}

LineReading readingOf(const LineSample& s, const QDateTime& t) {
    return LineReading::ofPage(t, s);
}

// Runs a script in the page and waits for its answer.
QVariant evaluate(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 30000)) << script.toStdString();
    return result;
}

TEST(LivePageLayout, FillsItselfAndFitsAPhoneAndADesktop) {
    QTemporaryDir dir;
    RecordingMessages messages;
    DropRecord record(messages);
    record.setFolder(dir.path());
    MetricsSnapshot metrics;
    QDateTime t = QDateTime::currentDateTime().addDays(-2);
    // Hours apart: an uptime that stood still across them would be a router restart.
    const auto noUptime = [](LineSample s) {
        s.UptimeDisplay.clear();
        return s;
    };
    for (int i = 0; i < 12; ++i, t = t.addSecs(3600)) {
        record.feed(LineReading::ofPage(t, noUptime(sample(6.1, 17000 - i))));
        record.feed(LineReading::ofPage(t.addSecs(30), noUptime(sample(0, 0))));
        record.feed(LineReading::ofPage(t.addSecs(60), noUptime(sample(5.9, 17000 - (i + 1)))));
    }
    metrics.recordReading(readingOf(sample(5.9, 16988), t), 0, 1);
    metrics.setMonitorState(MonitorState::Running);
    metrics.setRouterStatus(RouterStatus::Reading);
    WebServer server(&metrics);
    server.setWebFolder(dir.path());
    server.setDropsBoard(&record.board());
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);

    for (const int width : {360, 1280}) {
        SCOPED_TRACE(width);
        QWebEngineView view;
        view.resize(width, 700);
        view.show();
        bool loaded = false;
        QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
        view.load(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return loaded; }, 30000));
        // The page reads /status.json by itself: ten drops, newest first, and the values.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return evaluate(view.page(), "document.querySelectorAll('#drops tr').length")
                           .toInt() == 10;
            },
            30000));
        const QString state =
            evaluate(view.page(), "document.getElementById('state').textContent").toString();
        EXPECT_EQ(state, "Reading the line - Line up");
        const QString values =
            evaluate(view.page(), "document.getElementById('values').textContent").toString();
        EXPECT_TRUE(values.contains("Noise margin down: 5.9 dB")) << values.toStdString();
        EXPECT_TRUE(values.contains("Sync rate down: 16988 Kbps")) << values.toStdString();
        const QString summary =
            evaluate(view.page(), "document.getElementById('summary').textContent").toString();
        // One reading without sync each, a minute between the readings with sync either side.
        EXPECT_TRUE(summary.contains("30 days 12 (between 0 s and 12 min 0 s)"))
            << summary.toStdString();
        const QString firstRow =
            evaluate(view.page(), "document.querySelector('#drops tr').textContent").toString();
        EXPECT_TRUE(firstRow.contains("between 0 s and 1 min 0 sDrop")) << firstRow.toStdString();
        // Nothing wider than the window but the table, which scrolls in its own box.
        EXPECT_LE(evaluate(view.page(), "document.documentElement.scrollWidth").toInt(),
                  evaluate(view.page(), "window.innerWidth").toInt());
        EXPECT_LE(evaluate(view.page(), "document.getElementById('noise').parentElement"
                                        ".getBoundingClientRect().right")
                      .toDouble(),
                  evaluate(view.page(), "window.innerWidth").toDouble());
    }
}

QString textOf(QWebEnginePage* page, const char* id) {
    return evaluate(
               page,
               QStringLiteral("document.getElementById('%1').textContent").arg(QLatin1String(id)))
        .toString();
}

// The router stops answering: the state line is the program's own, with the last reading that
// was read; the unread reading shows no values. The drops come in the record's newer shape
// (lengths as words, lost time as a range) beside one in the older shape.
TEST(LivePageLayout, WhileTheRouterIsNotReadItShowsTheLastReadingAndNoZeros) {
    QTemporaryDir dir;
    const QDateTime t(QDate(2026, 12, 8), QTime(10, 30, 35));
    MetricsSnapshot metrics;
    metrics.setMonitorState(MonitorState::Running);
    const LineReading synced = readingOf(sample(5.9, 16988), t);
    metrics.recordReading(synced, 0, 1);
    const LineReading silent = unreadReading(t.addSecs(30));
    metrics.recordReading(silent, 0, 1);
    metrics.setRouterStatus(RouterStatus::NotResponding);
    const QString routerText = QStringLiteral("Not responding since 10:31:05");
    metrics.setRouterText(routerText);

    DropsBoard board;
    auto content = std::make_shared<DropsBoard::Content>();
    const char* side =
        R"({"time":"2026-12-08T09:00:00+00:00","noiseMarginDb":{"up":6.3,"down":6.1},)"
        R"("syncRateKbps":{"up":1100,"down":17000}})";
    content->summaryJson =
        std::string(R"({"today":{"count":2,"secondsLost":80,"lostSeconds":{"min":40,"max":80}},)") +
        R"("last7Days":{"count":2,"secondsLost":80,"lostSeconds":{"min":40,"max":80}},)" +
        R"("last30Days":{"count":3,"secondsLost":140,"lostSeconds":{"min":140,"max":140}},)" +
        R"("longest":{"kind":"drop","durationSeconds":90,"uncertaintySeconds":40,)" +
        R"("lengthText":"between 40 s and 1 min 20 s"},"meanSecondsBetween":null,"perDay30":[]})";
    content->lastDropsJson =
        std::string(R"([{"kind":"no_reading","start":"2026-12-08T10:00:00+00:00",)") +
        R"("durationSeconds":60,"uncertaintySeconds":0,"lengthText":"not read for about 45 s",)" +
        R"("lostSeconds":{"min":0,"max":0},"unknownSeconds":45,"reason":"not_responding",)" +
        R"("source":"live","before":)" + side + R"(,"after":)" + side + "}," +
        R"({"kind":"drop","start":"2026-12-08T09:30:00+00:00","durationSeconds":90,)" +
        R"("uncertaintySeconds":40,"lengthText":"between 40 s and 1 min 20 s","before":)" + side +
        R"(,"after":)" + side + "}," +
        // An event as the record wrote it before it kept ranges.
        R"({"kind":"retrain","start":"2026-12-08T09:00:00+00:00","durationSeconds":10,)" +
        R"("uncertaintySeconds":30,"before":)" + side + R"(,"after":)" + side + "}]";
    board.publish(content);

    WebServer server(&metrics);
    server.setWebFolder(dir.path());
    server.setDropsBoard(&board);
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);

    QWebEngineView view;
    view.resize(1280, 700);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
    view.load(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded; }, 30000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return evaluate(view.page(), "document.querySelectorAll('#drops tr').length").toInt() ==
                   3;
        },
        30000));

    EXPECT_EQ(textOf(view.page(), "state"), ReadingText::stateLine(routerText, silent, synced));
    EXPECT_EQ(textOf(view.page(), "state"),
              "Not responding since 10:31:05; last reading 10:30:35: 5.9 dB, 16,988 Kbps");
    EXPECT_EQ(textOf(view.page(), "values"), "") << "no value of the unread reading";
    const QString summary = textOf(view.page(), "summary");
    EXPECT_TRUE(summary.startsWith("Today 2 (between 40 s and 1 min 20 s lost), 7 days 2 "
                                   "(between 40 s and 1 min 20 s), 30 days 3 (about 2 min 20 s)"))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains("longest between 40 s and 1 min 20 s")) << summary.toStdString();
    const QStringList rows =
        evaluate(view.page(), "Array.from(document.querySelectorAll('#drops tr'), "
                              "r => r.cells[1].textContent + ' | ' + r.cells[2].textContent)")
            .toStringList();
    EXPECT_EQ(rows,
              QStringList({"not read for about 45 s | Router not read",
                           "between 40 s and 1 min 20 s | Drop", "10 s \u00b1 30 s | Retrain"}));
}

} // namespace
