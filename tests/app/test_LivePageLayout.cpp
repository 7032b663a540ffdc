// The built-in live page in the real browser engine, served by the web server on 127.0.0.1: it
// fills itself from /status.json and fits a phone's 360 px as well as a desktop window.
#include "../webserver/ServerPorts.h"
#include "drops/DropRecord.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

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
    for (int i = 0; i < 12; ++i, t = t.addSecs(3600)) {
        record.feed(LineReading::ofPage(t, sample(6.1, 17000 - i)));
        record.feed(LineReading::ofPage(t.addSecs(30), sample(0, 0)));
        record.feed(LineReading::ofPage(t.addSecs(60), sample(5.9, 17000 - (i + 1))));
    }
    metrics.recordSample(sample(5.9, 16988), 0, 1, t);
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

} // namespace
