// The monitor session hands the drop record every plotted sample, the images captured for it,
// the history of the graph data file at start and the daily trim.
#include "app/MonitorSession.h"

#include "drops/DropRecord.h"
#include "drops/DropRecordFile.h"
#include "graphs/GraphSet.h"
#include "monitor/RunControl.h"
#include "storage/DataRestoreFile.h"
#include "storage/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "FakeClock.h"
#include "FakeTimer.h"
#include "RecordingMessages.h"
#include "TestFiles.h"
#include "monitor/FakeBrowser.h"

namespace {

class MonitorSessionDrops : public ::testing::Test {
protected:
    MonitorSessionDrops() {
        settings = Settings::defaults(home.path(), clock.now(), QSize());
        settings.Restore = true;
        settings.Capture = home.filePath("Capture");
        QDir().mkpath(settings.Capture);
    }

    std::unique_ptr<MonitorSession> makeSession() {
        auto s =
            std::make_unique<MonitorSession>(settings, browser, clock, messages, [](int ms, bool) {
                return std::make_unique<FakeTimer>(ms);
            });
        s->run().StatsPageUrl = QStringLiteral("http://127.0.0.1:1/stats");
        return s;
    }

    enum class Page { Synced, NoSync, NotRouter };
    // One sample 30 s after the last: the statistics page with sync or without, or a page
    // without the statistics.
    void sample(Page page) {
        clock.advanceSecs(30);
        QString markup = fixturePage("helpdesk-adsl.html");
        if (page == Page::NoSync)
            markup.replace(QStringLiteral("1097 / 15623"), QStringLiteral("0 / 0"))
                .replace(QStringLiteral("6.2 / 6.1"), QStringLiteral("0.0 / 0.0"));
        else if (page == Page::NotRouter)
            markup = QStringLiteral("<html><body>Not the router</body></html>");
        browser.loadPage(markup);
    }
    void sample(bool sync) { sample(sync ? Page::Synced : Page::NoSync); }

    QString recordPath() const { return DropRecordFile::PathIn(settings.DataFileFolder); }
    DropRecordFile::Contents record() const {
        DropRecordFile::Contents c;
        EXPECT_TRUE(DropRecordFile::Read(recordPath(), c));
        return c;
    }

    QTemporaryDir home;
    FakeClock clock;
    FakeBrowser browser;
    RecordingMessages messages;
    Settings settings;
};

TEST_F(MonitorSessionDrops, PlottedSamplesAndCapturedImagesReachTheRecord) {
    auto session = makeSession();
    int capture = 0;
    session->viewSteps().CaptureAllGraphs = [&] {
        writeFile(
            QDir(settings.Capture).filePath(QString("Ltrv-NoiseMargin-%1.jpg").arg(++capture)),
            "jpeg");
    };
    settings.LostSync = true;
    session->run().btnRunClick(); // asks for the first page at once
    for (bool sync : {true, true, true, false, false, true}) {
        sample(sync);
        session->run().Timer1Timer(); // the next tick asks for the next page
    }

    const DropRecordFile::Contents c = record();
    ASSERT_EQ(c.events.size(), 1u);
    const DropEvent& e = c.events[0];
    EXPECT_EQ(e.kind, DropEvent::Kind::Drop);
    EXPECT_EQ(e.samplesDown, 2);
    EXPECT_EQ(e.durationSeconds, 90);
    EXPECT_EQ(e.lostMinSeconds, 30);
    EXPECT_EQ(e.lostMaxSeconds, 90);
    EXPECT_GT(e.before.rateDown, 100.0);
    EXPECT_EQ(e.images, QStringList{"Ltrv-NoiseMargin-1.jpg"});
    EXPECT_EQ(session->drops().events().size(), 1u);
}

// Pages without the statistics are plotted as zeros, as they always were, but the record tells
// them for what they are: the router was not read, the line did not drop.
TEST_F(MonitorSessionDrops, PagesWithoutTheStatisticsAreNoDrop) {
    auto session = makeSession();
    std::vector<LineReading::State> handed;
    QObject::connect(session.get(), &MonitorSession::readingHandled,
                     [&](const LineReading& r, bool) { handed.push_back(r.state); });
    session->run().btnRunClick();
    for (Page page : {Page::Synced, Page::NotRouter, Page::NotRouter, Page::Synced}) {
        sample(page);
        session->run().Timer1Timer();
    }
    const DropRecordFile::Contents c = record();
    ASSERT_EQ(c.events.size(), 1u);
    EXPECT_EQ(c.events[0].kind, DropEvent::Kind::NoReading);
    EXPECT_EQ(c.events[0].why, LineReading::Why::OtherPage);
    EXPECT_EQ(c.events[0].lostMaxSeconds, 0);
    using S = LineReading::State;
    EXPECT_EQ(handed, (std::vector<S>{S::Synced, S::NotRead, S::NotRead, S::Synced}));
    ASSERT_TRUE(session->lastSyncedReading());
    EXPECT_EQ(session->lastSyncedReading()->sample.DataRateDown, 15623);
    // The graphs still show the outage as zeros.
    EXPECT_EQ(session->graphs().PointCount(), 4);
}

TEST_F(MonitorSessionDrops, ADropInTheGraphDataFileEndsAfterTheRestart) {
    const QString dataFile = DataRestoreFile::PathIn(settings.DataFileFolder);
    LineSample good;
    good.NoiseMarginDown = 6;
    good.DataRateDown = 16000;
    good.HasNoiseMargin = good.HasDataRate = true;
    LineSample none;
    const QDateTime t = clock.now();
    writeFile(dataFile,
              DataRestoreFile::Line(t.addSecs(-60).toString(" hh:mm:ss "), good) + "\r\n" +
                  DataRestoreFile::Line(t.addSecs(-30).toString(" hh:mm:ss "), none) + "\r\n");
    QFile f(dataFile);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(t.addSecs(-29), QFileDevice::FileModificationTime));
    f.close();

    auto session = makeSession();
    session->RestoreDataFile();
    EXPECT_TRUE(session->drops().inDrop());
    EXPECT_TRUE(record().events.empty());
    session->run().btnRunClick();
    sample(true);
    const DropRecordFile::Contents c = record();
    ASSERT_EQ(c.events.size(), 1u);
    EXPECT_EQ(c.events[0].before.time, t.addSecs(-60));
    EXPECT_EQ(c.events[0].after.time, t.addSecs(30));
}

TEST_F(MonitorSessionDrops, TheDailyTrimTrimsTheRecordToTheSameDays) {
    settings.TrimDataFileDays = 3;
    writeFile(recordPath(), DropRecordFile::Csv({[&] {
                  DropEvent e;
                  e.before.time = clock.now().addDays(-5);
                  e.after.time = clock.now().addDays(-5).addSecs(60);
                  return e;
              }()}));
    auto session = makeSession();
    session->TrimDataFileProc();
    EXPECT_EQ(readFile(recordPath()), DropRecordFile::Csv({}));
}

} // namespace
