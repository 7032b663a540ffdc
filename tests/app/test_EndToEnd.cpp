// The whole program against the simulated router, in the real browser: login, samples plotted,
// logged and stored with the values the router served, a lost page as zeros, and a restart.
#include "app/MainWindow.h"
#include "app/dialogs/WindowMessages.h"
#include "core/Clock.h"
#include "core/DesktopShell.h"
#include "core/EnDeCrypt.h"
#include "graphs/GraphSet.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"
#include "monitor/WebEngineBrowser.h"

#include "FakeTimer.h"
#include "monitor/FakeBrowser.h"
#include "monitor/RouterSim.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class QuietMessages final : public WindowMessages {
public:
    void inform(const QString& text) override { shown << text; }
    void error(const QString& text) override { shown << text; }
    bool confirm(const QString&, QPoint) override { return true; }
    QStringList shown;
};

class NoShell final : public DesktopShell {
public:
    bool open(const QString&) override { return true; }
};

MainWindow::Dependencies dependencies(const QString& home, Browser* browser,
                                      QuietMessages* messages, NoShell* shell) {
    static SystemClock clock;
    // The sample ticks are the test's to give.
    return {home,   *browser,  clock,
            *shell, *messages, [](int ms, bool) { return std::make_unique<FakeTimer>(ms); }};
}

TEST(EndToEnd, SimulatedRouterSamplesArePlottedLoggedStoredAndRestored) {
    RouterSim sim;
    ASSERT_TRUE(sim.start(QStringLiteral("s3cret pässword"))) << sim.error().toStdString();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    {
        QFile ini(home.filePath("lintrove5a.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[LT-BT]\r\nAddress=127.0.0.1:" + QByteArray::number(sim.port()) +
                  "\r\nPassword=" + EnDeCrypt(QStringLiteral("s3cret pässword").toUtf8()) +
                  "\r\n[Log]\r\ncbLog=1\r\n");
    }

    QuietMessages messages;
    NoShell shell;
    QList<QJsonObject> served;
    {
        WebEngineBrowser browser;
        MainWindow w(dependencies(home.path(), &browser, &messages, &shell));
        w.FormCreate();
        w.show(); // opens the statistics page: the login is answered, the first page starts it
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.graphs().PointCount() == 1; }, 60000))
            << "never plotted; title " << w.windowTitle().toStdString();
        EXPECT_EQ(w.windowTitle(), "Lintrove 5A  [Running]");
        served << sim.state();
        for (int i = 2; i <= 3; ++i) {
            static_cast<FakeTimer&>(w.timer(1)).elapse();
            ASSERT_TRUE(QTest::qWaitFor([&] { return w.graphs().PointCount() == i; }, 30000));
            served << sim.state();
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(w.graphs().upstream(GraphSet::Chart1).y(i),
                             served[i]["noiseMarginUp"].toDouble());
            EXPECT_DOUBLE_EQ(w.graphs().downstream(GraphSet::Chart1).y(i),
                             served[i]["noiseMarginDown"].toDouble());
            EXPECT_DOUBLE_EQ(w.graphs().downstream(GraphSet::Chart2).y(i),
                             served[i]["dataRateDown"].toDouble());
            EXPECT_DOUBLE_EQ(w.graphs().upstream(GraphSet::Chart3).y(i),
                             served[i]["maxDataRateUp"].toDouble());
            EXPECT_DOUBLE_EQ(w.graphs().downstream(GraphSet::Chart4).y(i),
                             served[i]["lineAttenuationDown"].toDouble());
        }

        // A page that is not the statistics page, while Running: a sample of zeros.
        sim.set(QStringLiteral("garbage=1"));
        static_cast<FakeTimer&>(w.timer(1)).elapse();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.graphs().PointCount() == 4; }, 30000));
        EXPECT_DOUBLE_EQ(w.graphs().downstream(GraphSet::Chart1).y(3), 0.0);
        EXPECT_DOUBLE_EQ(w.graphs().downstream(GraphSet::Chart2).y(3), 0.0);
        EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(" | ").toStdString();
        ASSERT_TRUE(w.FormCloseQuery());
    }

    QFile data(home.filePath("Lintrove5A.txt"));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = data.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    const QString firstNoise = served[0]["texts"].toObject()["noiseMargin"].toString();
    EXPECT_TRUE(lines[0].contains(
        "," + QByteArray::number(served[0]["noiseMarginUp"].toDouble(), 'f', 1) + ","))
        << lines[0].toStdString();
    QFile log(home.filePath("log.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = log.readAll().trimmed().split('\n');
    ASSERT_EQ(rows.size(), 6); // header, underline, four rows
    const QStringList noise = firstNoise.split(" / ");
    EXPECT_TRUE(rows[2].contains(noise.value(0).rightJustified(8).toUtf8() + "," +
                                 noise.value(1).rightJustified(8).toUtf8()))
        << rows[2].toStdString();

    // A restart brings the four points back.
    FakeBrowser idle;
    MainWindow again(dependencies(home.path(), &idle, &messages, &shell));
    again.FormCreate();
    EXPECT_EQ(again.graphs().PointCount(), 4);
    EXPECT_DOUBLE_EQ(again.graphs().downstream(GraphSet::Chart1).y(2),
                     served[2]["noiseMarginDown"].toDouble());
}

} // namespace
