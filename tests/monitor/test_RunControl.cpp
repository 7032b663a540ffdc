#include "monitor/RunControl.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "monitor/FakeBrowser.h"
#include "storage/Settings.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QString kStatsUrl = QStringLiteral("http://192.168.1.254/index.cgi?active_page=9143");

class RunControlTest : public testing::Test {
protected:
    RunControlTest() {
        settings.Sample = 45;
        settings.PauseDelay = 90;
        run = std::make_unique<RunControl>(browser, timer1, timer5, settings, clock);
        run->ProcessEvents = [this] {
            ++processed;
            browser.calls << "process";
            if (onProcessEvents)
                onProcessEvents();
        };
        run->StatsPageUrl = kStatsUrl;
    }

    // A press on Pause: the mouse-down comes before the click.
    void pressPause() {
        run->btnStopMouseDown();
        run->btnStopClick();
    }

    FakeBrowser browser;
    FakeTimer timer1, timer5;
    Settings settings;
    FakeClock clock;
    std::unique_ptr<RunControl> run;
    int processed = 0;
    std::function<void()> onProcessEvents;
};

enum class Act { Start, Pause, ClickPauseOnly, ResumeTimer };
using Pressed = RunControl::PressedButton;

struct Transition {
    const char* name;
    std::vector<Act> acts;
    MonitorState state;
    const char* title;
    const char* runCaption;
    const char* stopCaption;
    const char* picture;
    Pressed pressed;
    bool timer1On, timer5On, suspended;
    int loads; // statistics pages requested
};

TEST_F(RunControlTest, Transitions) {
    using S = MonitorState;
    // clang-format off
    const Transition table[] = {
        {"at start-up", {},
         S::NotStarted, "Lintrove 5A", "Start", "Pause", "pausebitmap", Pressed::Stop, false, false, false, 0},
        {"start", {Act::Start},
         S::Running, "Lintrove 5A  [Running]", "Resume", "Pause", "pausebitmap", Pressed::Run, true, false, false, 1},
        {"pause before any start", {Act::Pause},
         S::Paused, "Lintrove 5A  [Paused]", "Resume", "Stop", "stopbitmap", Pressed::Stop, false, true, true, 0},
        {"pause", {Act::Start, Act::Pause},
         S::Paused, "Lintrove 5A  [Paused]", "Resume", "Stop", "stopbitmap", Pressed::Stop, false, true, true, 1},
        {"second pause stops", {Act::Start, Act::Pause, Act::Pause},
         S::Stopped, "Lintrove 5A  [Stopped]", "Start", "Stop", "stopbitmap", Pressed::Stop, false, false, true, 1},
        {"pause while stopped", {Act::Start, Act::Pause, Act::Pause, Act::Pause},
         S::Stopped, "Lintrove 5A  [Stopped]", "Start", "Stop", "stopbitmap", Pressed::Stop, false, false, true, 1},
        {"no automatic resume once stopped", {Act::Start, Act::Pause, Act::Pause, Act::ResumeTimer},
         S::Stopped, "Lintrove 5A  [Stopped]", "Start", "Stop", "stopbitmap", Pressed::Stop, false, false, true, 1},
        {"click without mouse-down while paused cancels the resume", {Act::Start, Act::Pause, Act::ClickPauseOnly},
         S::Paused, "Lintrove 5A  [Paused]", "Resume", "Stop", "stopbitmap", Pressed::Stop, false, false, true, 1},
        {"automatic resume", {Act::Start, Act::Pause, Act::ResumeTimer},
         S::Running, "Lintrove 5A  [Running]", "Resume", "Pause", "pausebitmap", Pressed::Run, true, false, false, 2},
        {"resume by hand", {Act::Start, Act::Pause, Act::Start},
         S::Running, "Lintrove 5A  [Running]", "Resume", "Pause", "pausebitmap", Pressed::Run, true, false, false, 2},
        {"start after stop", {Act::Start, Act::Pause, Act::Pause, Act::Start},
         S::Running, "Lintrove 5A  [Running]", "Resume", "Pause", "pausebitmap", Pressed::Run, true, false, false, 2},
    };
    // clang-format on
    for (const Transition& t : table) {
        SCOPED_TRACE(t.name);
        FakeTimer t1, t5;
        RunControl rc(browser, t1, t5, settings, clock);
        rc.ProcessEvents = [] {};
        rc.StatsPageUrl = kStatsUrl;
        QString title = rc.WindowTitle();
        QObject::connect(&rc, &RunControl::titleChanged, [&](const QString& s) { title = s; });
        browser.clearCalls();
        for (Act a : t.acts) {
            switch (a) {
            case Act::Start:
                rc.btnRunClick();
                break;
            case Act::Pause:
                rc.btnStopMouseDown();
                rc.btnStopClick();
                break;
            case Act::ClickPauseOnly:
                rc.btnStopClick();
                break;
            case Act::ResumeTimer:
                t5.elapse();
                break;
            }
        }
        EXPECT_EQ(rc.state(), t.state);
        EXPECT_EQ(rc.WindowTitle(), t.title);
        EXPECT_EQ(title, t.title);
        EXPECT_EQ(rc.RunCaption(), t.runCaption);
        EXPECT_EQ(rc.StopCaption(), t.stopCaption);
        EXPECT_EQ(rc.StopPicture(), t.picture);
        EXPECT_EQ(rc.Pressed(), t.pressed);
        EXPECT_EQ(t1.isEnabled(), t.timer1On);
        EXPECT_EQ(t5.isEnabled(), t.timer5On);
        EXPECT_EQ(rc.SamplingSuspended, t.suspended);
        EXPECT_EQ(t1.interval(), 45000);
        EXPECT_EQ(t5.interval(), 90000);
        // Every start loads the statistics page at once, and nothing else loads it.
        EXPECT_EQ(browser.navigations.size(), t.loads);
        for (const auto& n : browser.navigations)
            EXPECT_EQ(n, (FakeBrowser::Navigation{kStatsUrl, false}));
    }
}

TEST_F(RunControlTest, StartTakesASampleAtOnceAndRunsItsStepsInOrder) {
    settings.LostSync = true;
    settings.cbCapture = false;
    QStringList events;
    QObject::connect(run.get(), &RunControl::startTimeChanged,
                     [&](const QString& s) { events << "panel0 " + s; });
    QObject::connect(run.get(), &RunControl::maintenanceCheckRequested,
                     [&] { events << "maintenance"; });
    QObject::connect(run.get(), &RunControl::rateTextsCleared, [&] { events << "rates"; });
    QObject::connect(run.get(), &RunControl::lostSyncPendingCleared, [&] { events << "lostsync"; });
    QObject::connect(run.get(), &RunControl::lostSyncIndicatorChanged,
                     [&](bool on) { events << QString("image2 %1").arg(on); });
    QObject::connect(run.get(), &RunControl::captureIndicatorChanged,
                     [&](bool on) { events << QString("image1 %1").arg(on); });
    QObject::connect(run.get(), &RunControl::routerTypeEnabledChanged,
                     [&](bool on) { events << QString("boxType1 %1").arg(on); });
    QObject::connect(run.get(), &RunControl::passwordEntryEnabledChanged,
                     [&](bool on) { events << QString("edPassword1 %1").arg(on); });
    QObject::connect(run.get(), &RunControl::trayIconRequested,
                     [&](const QString& s) { events << "tray " + s; });

    run->btnRunClick();
    EXPECT_EQ(browser.calls,
              QStringList({"process", "silent 1", "ensureWindow", "navigate " + kStatsUrl}));
    EXPECT_EQ(events,
              QStringList({"panel0 Start: Tue 08 December 14:23:05", "maintenance", "rates",
                           "lostsync", "image2 1", "image1 0", "boxType1 0", "edPassword1 1"}));
    EXPECT_EQ(run->StartPanelText(), "Start: Tue 08 December 14:23:05");

    events.clear();
    settings.cbCapture = true;
    pressPause();
    EXPECT_EQ(events, QStringList({"image1 1", "tray Stop", "lostsync", "edPassword1 1"}));
}

TEST_F(RunControlTest, StartWhileRunningRenewsTheStartTimeAndSamplesAgain) {
    run->btnRunClick();
    const int restarts = timer1.restarts();
    clock.set(QDateTime(QDate(2027, 1, 3), QTime(9, 5, 7)));
    browser.clearCalls();

    run->btnRunClick();
    EXPECT_EQ(run->StartPanelText(), "Start: Sun 03 January 09:05:07");
    EXPECT_EQ(browser.navigations.size(), 1);
    EXPECT_GT(timer1.restarts(), restarts); // a full sample interval from now
    EXPECT_EQ(run->state(), MonitorState::Running);
    EXPECT_TRUE(timer1.isEnabled());
}

TEST_F(RunControlTest, SampleTickLoadsTheStatisticsPageEveryInterval) {
    run->btnRunClick();
    browser.clearCalls();
    timer1.elapse();
    timer1.elapse();
    EXPECT_EQ(browser.calls,
              QStringList({"process", "silent 1", "ensureWindow", "navigate " + kStatsUrl,
                           "process", "silent 1", "ensureWindow", "navigate " + kStatsUrl}));
}

TEST_F(RunControlTest, TickWithoutAnAddressReloadsThePageShown) {
    run->StatsPageUrl.clear();
    run->Timer1Timer();
    EXPECT_EQ(browser.calls, QStringList({"process", "silent 1", "ensureWindow", "refresh"}));
}

TEST_F(RunControlTest, SuspendedTickOnlyProcessesPendingMessages) {
    run->btnRunClick();
    run->suspendSampling();
    EXPECT_FALSE(timer1.isEnabled());
    browser.clearCalls();
    processed = 0;
    run->Timer1Timer(); // a tick that was already queued
    EXPECT_EQ(processed, 1);
    EXPECT_EQ(browser.calls, QStringList({"process"}));
}

TEST_F(RunControlTest, HandlerRunInsideTheTickCanHoldTheSample) {
    run->btnRunClick();
    browser.clearCalls();
    // A Pause queued behind the tick runs where the tick lets messages through.
    onProcessEvents = [this] {
        onProcessEvents = nullptr;
        pressPause();
    };
    timer1.elapse();
    EXPECT_EQ(run->state(), MonitorState::Paused);
    EXPECT_TRUE(browser.navigations.isEmpty());
}

TEST_F(RunControlTest, ReleasingAGraphRestartsTheSampleTimerOnlyWhileRunning) {
    const struct {
        std::vector<Act> acts;
        bool timer1On;
    } cases[] = {{{}, false}, {{Act::Start}, true}, {{Act::Start, Act::Pause}, false}};
    for (const auto& c : cases) {
        FakeTimer t1, t5;
        RunControl rc(browser, t1, t5, settings, clock);
        rc.ProcessEvents = [] {};
        for (Act a : c.acts)
            a == Act::Start ? rc.btnRunClick() : (rc.btnStopMouseDown(), rc.btnStopClick());
        rc.suspendSampling();
        EXPECT_TRUE(rc.SamplingSuspended);
        EXPECT_FALSE(t1.isEnabled());
        rc.resumeSampling();
        EXPECT_FALSE(rc.SamplingSuspended);
        EXPECT_EQ(t1.isEnabled(), c.timer1On) << c.acts.size();
    }
}

TEST_F(RunControlTest, PauseBeforeTheFirstStatisticsPageStillResumesOnIt) {
    // The first show set the address; no statistics page has been recognised yet.
    ASSERT_TRUE(run->LastStatsPageUrl.isEmpty());
    pressPause();
    EXPECT_EQ(run->state(), MonitorState::Paused);
    browser.clearCalls();

    timer5.elapse();
    EXPECT_EQ(run->state(), MonitorState::Running);
    EXPECT_EQ(run->StatsPageUrl, kStatsUrl);
    timer1.elapse();
    EXPECT_EQ(browser.navigations,
              QList<FakeBrowser::Navigation>({{kStatsUrl, false}, {kStatsUrl, false}}));
    EXPECT_EQ(browser.count("refresh"), 0);
}

TEST_F(RunControlTest, StartPrefersTheLastAddressThatShowedTheStatistics) {
    run->LastStatsPageUrl = kStatsUrl;
    run->StatsPageUrl = QStringLiteral("http://10.0.0.1/index.cgi?active_page=9143");
    run->btnRunClick();
    EXPECT_EQ(run->StatsPageUrl, kStatsUrl);
    EXPECT_EQ(browser.navigations.value(0).url, kStatsUrl);
}

// A PauseDelay changed while the program runs (More Advanced Settings) is the next pause's.
TEST_F(RunControlTest, PauseDelayIsTakenAtEveryPause) {
    settings.Sample = 20;
    pressPause();
    EXPECT_EQ(timer5.interval(), 90000);
    timer5.elapse();
    EXPECT_EQ(timer1.interval(), 20000); // the sample interval follows the setting

    settings.PauseDelay = 10;
    pressPause();
    EXPECT_EQ(timer5.interval(), 10000);
    EXPECT_TRUE(timer5.isEnabled());
}

} // namespace
