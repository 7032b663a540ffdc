#include "monitor/PageDriver.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "monitor/FakeBrowser.h"
#include "monitor/RunControl.h"
#include "monitor/SamplePipeline.h"
#include "storage/CsvLog.h"
#include "storage/Settings.h"

#include <QStringList>
#include <gtest/gtest.h>

// Readable failure messages for texts.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kStatsUrl = QStringLiteral("http://192.168.1.254/index.cgi?active_page=9143");
const QString kMovedUrl = QStringLiteral("http://192.168.1.254/index.cgi?active_page=9141");

const QString kStatsPage = QStringLiteral(
    "<div><script>var wait = 90061;</script><h1>Information for Helpdesk agents</h1><table>"
    "<tr><td>Data rate:</td><td>1097 / 15623</td></tr>"
    "<tr><td> Noise margin:</td><td>6.2 / 6.1</td></tr></table></div>");

const QString kLoginPage =
    QStringLiteral("<div><p>Please enter your admin password</p><form>Password:"
                   "<input type=password name=password_4711 value=''></form></div>");

const QString kRetryNotice =
    QStringLiteral("Home Hub not reachable at 192.168.1.254, trying again every 30 s");

enum class Start { NotStarted, Running, Paused, Stopped };

// The driver with its run control and a scripted browser; the window's side is recorded.
struct Rig {
    Rig() {
        settings.Password = QStringLiteral("s3cret");
        run.ProcessEvents = [this] { browser.calls << "process"; };
        driver.ProcessEvents = [this] { browser.calls << "process"; };
        run.StatsPageUrl = kStatsUrl;
        auto timer = std::make_unique<FakeTimer>();
        retry = timer.get();
        driver.setRetryTimer(std::move(timer));

        QObject::connect(&driver, &PageDriver::connectingPanelHidden,
                         [this] { events << "panel"; });
        QObject::connect(&driver, &PageDriver::homeHubTabRequested, [this] { events << "tab"; });
        QObject::connect(&driver, &PageDriver::toolbarTextsChanged, [this](const ToolbarTexts& t) {
            const bool blank = t.uptime.isEmpty() && t.noiseMarginUp.isEmpty() &&
                               t.noiseMarginDown.isEmpty() && t.rateUp.isEmpty() &&
                               t.rateDown.isEmpty();
            events << (blank
                           ? QStringLiteral("texts blank")
                           : "texts " + t.noiseMarginUp + " " + t.noiseMarginDown + " " + t.uptime);
        });
        QObject::connect(&driver, &PageDriver::defaultCursorRequested,
                         [this] { events << "cursor"; });
        QObject::connect(&driver, &PageDriver::runButtonEnabled, [this] { events << "btnRun"; });
        QObject::connect(&driver, &PageDriver::statusLineChanged,
                         [this](const QString& s) { events << "label2 " + s; });
        QObject::connect(&driver, &PageDriver::pageReady, [this](const QDateTime& t, bool stats) {
            events << QString("ready %1").arg(stats);
            sampleTimes << t;
        });
        QObject::connect(&driver, &PageDriver::documentReadFailed,
                         [this](const QString&) { events << "read failed"; });
    }

    void enter(Start s) {
        switch (s) {
        case Start::NotStarted:
            break;
        case Start::Running:
            run.btnRunClick();
            break;
        case Start::Paused:
            run.btnStopClick();
            break;
        case Start::Stopped:
            run.btnStopClick();
            run.btnStopMouseDown();
            break;
        }
        browser.clearCalls();
        events.clear();
    }

    // The browser's calls apart from the reads of the page.
    QStringList actions() const {
        QStringList a = browser.calls;
        a.removeAll(QStringLiteral("read"));
        return a;
    }

    FakeBrowser browser;
    FakeTimer timer1, timer5;
    Settings settings;
    FakeClock clock;
    LineSample sample;
    RunControl run{browser, timer1, timer5, settings, clock};
    PageDriver driver{browser, run, settings, sample, clock};
    FakeTimer* retry = nullptr;
    QStringList events;
    QList<QDateTime> sampleTimes;
};

class PageDriverTest : public testing::Test, protected Rig {};

const QStringList kHandedOverBlank{"panel", "texts blank", "cursor", "ready 0"};
const QStringList kAnswered{"scrollBy 0 28", "setField 0 password_4711 s3cret", "clickLink 8"};

TEST(PageDriver, ClassifiesPages) {
    struct Case {
        const char* name;
        Start state;
        QString markup;
        QStringList actions;
        QStringList events;
    };
    const QString other = QStringLiteral("<p>Home</p>");
    const Case cases[] = {
        {"any other page before the first start",
         Start::NotStarted,
         other,
         {},
         {"panel", "texts blank", "cursor", "label2 " + kRetryNotice, "ready 0"}},
        {"any other page while running", Start::Running, other, {}, kHandedOverBlank},
        {"empty markup while running", Start::Running, "", {}, kHandedOverBlank},
        {"empty markup while paused", Start::Paused, "", {}, kHandedOverBlank},
        {"wrong password", Start::Running, "<p>Password incorrect</p>", {"stop"}, {"panel", "tab"}},
        {"password hint",
         Start::Running,
         "<p>Your password hint: cat</p>",
         {"stop"},
         {"panel", "tab"}},
        {"incorrect at position 3", Start::Running, "<pincorrect", {"stop"}, {"panel", "tab"}},
        {"incorrect at position 1, again later",
         Start::Running,
         "incorrect, incorrect",
         {},
         kHandedOverBlank},
        {"incorrect at position 2", Start::Running, " incorrect", {}, kHandedOverBlank},
        {"password hint at position 1", Start::Running, "Your password hint", {}, kHandedOverBlank},
        {"wrong password while stopped",
         Start::Stopped,
         "<p>incorrect</p>",
         {"stop"},
         {"panel", "tab"}},
        {"login before the first start", Start::NotStarted, kLoginPage, kAnswered, {"panel"}},
        {"login while running", Start::Running, kLoginPage, kAnswered, {"panel"}},
        {"login while paused", Start::Paused, kLoginPage, kAnswered, {"panel"}},
        {"login while stopped", Start::Stopped, kLoginPage, {}, {"panel", "tab"}},
        {"stopped, login prompt at position 1",
         Start::Stopped,
         "enter your admin password<form>Password:<input name=password_12>",
         {"scrollBy 0 28", "setField 0 password_12 s3cret", "clickLink 8"},
         {"panel"}},
        {"Password: alone only scrolls",
         Start::Running,
         "<p>Password: none</p>",
         {"scrollBy 0 28"},
         kHandedOverBlank},
        {"field name at position 1 is no login",
         Start::Running,
         "name=password_1",
         {},
         kHandedOverBlank},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.enter(c.state);
        const MonitorState before = rig.run.state();
        rig.browser.loadPage(c.markup);
        EXPECT_EQ(rig.actions(), c.actions);
        EXPECT_EQ(rig.events, c.events);
        EXPECT_EQ(rig.run.state(), before);
        EXPECT_EQ(rig.browser.count("read"), 1);
    }
}

TEST_F(PageDriverTest, LoginFieldNameIsPasswordAndTheDigitsAfterIt) {
    const struct {
        QString field;
        QString name;
    } cases[] = {
        {"name=password_4711 type=password", "password_4711"},
        {"name=\"password_4711\" type=\"password\"", "password_4711"},
        {"name='password_88'", "password_88"},
        {"name=password_x1", "password_"},
        {"name=\"password_\"", "password_"},
        // The digits are read from a window of 30 characters that starts at "password_".
        {"name=password_1234567890123456789012345", "password_123456789012345678901"},
    };
    for (const auto& c : cases) {
        browser.clearCalls();
        browser.loadPage("<form><input " + c.field + "></form><a>1</a>");
        EXPECT_EQ(actions(), QStringList({"setField 0 " + c.name + " s3cret", "clickLink 8"}))
            << c.field.toStdString();
    }
}

TEST_F(PageDriverTest, FirstStatisticsPageStartsTheMonitorAndIsRead) {
    browser.loadPage(kStatsPage);

    EXPECT_EQ(events,
              QStringList({"panel", "texts blank", "cursor", "btnRun", "label2 !" + kStatsUrl,
                           "texts 6.2 dB 6.1 dB 1 day, 01:01:02", "ready 1"}));
    EXPECT_EQ(run.state(), MonitorState::Running);
    EXPECT_TRUE(driver.AutoStarted);
    EXPECT_TRUE(driver.StatsParsed);
    EXPECT_EQ(run.LastStatsPageUrl, kStatsUrl);
    EXPECT_EQ(driver.Label2, "!" + kStatsUrl);
    EXPECT_DOUBLE_EQ(sample.NoiseMarginUp, 6.2);
    EXPECT_DOUBLE_EQ(sample.DataRateDown, 15623);
    EXPECT_EQ(sampleTimes.value(0), clock.now());
    // The start loads the page at once; the stop at the end cancels that load.
    EXPECT_EQ(actions(), QStringList({"process", "silent 1", "ensureWindow",
                                      "navigate " + kStatsUrl, "stop"}));
}

TEST_F(PageDriverTest, StatisticsPageStartsTheMonitorOnlyOnce) {
    browser.loadPage(kStatsPage);
    run.btnStopClick();
    run.btnStopMouseDown();
    ASSERT_EQ(run.state(), MonitorState::Stopped);
    events.clear();

    browser.loadPage(kStatsPage);
    EXPECT_EQ(run.state(), MonitorState::Stopped);
    EXPECT_EQ(events.last(), "ready 1");
    EXPECT_EQ(events.count("btnRun"), 1);
}

TEST_F(PageDriverTest, PauseBeforeAnyStatisticsPageThenTheFirstOneStillStartsTheMonitor) {
    run.btnStopClick();
    browser.loadPage(kStatsPage);
    EXPECT_EQ(run.state(), MonitorState::Running);
}

TEST_F(PageDriverTest, FirmwareRedirectMovesThePageAndStillReadsThisOne) {
    enter(Start::Running);
    driver.AutoStarted = true;
    const QString page =
        QString(kStatsPage).replace("<table>", "<p>Software version 4.7.5.1.83.8.204</p><table>");
    browser.loadPage(page);

    EXPECT_EQ(settings.FirstUrl, "/index.cgi?active_page=9141");
    EXPECT_EQ(run.StatsPageUrl, kMovedUrl);
    EXPECT_EQ(actions(), QStringList({"process", "navigate! " + kMovedUrl, "stop"}));
    EXPECT_EQ(events.last(), "ready 1");
    EXPECT_DOUBLE_EQ(sample.NoiseMarginDown, 6.1);
    EXPECT_EQ(run.LastStatsPageUrl, kMovedUrl);

    // Later ticks load the new page.
    browser.clearCalls();
    timer1.elapse();
    EXPECT_EQ(browser.navigations.value(0).url, kMovedUrl);
}

TEST_F(PageDriverTest, OtherPageWhileRunningHandsOverASampleOfZeros) {
    browser.loadPage(kStatsPage);
    ASSERT_EQ(run.state(), MonitorState::Running);
    ASSERT_GT(sample.DataRateDown, 0);

    // What the window wires to the hand-over: the pipeline, gated on the run state.
    QList<LineSample> plotted;
    SamplePipeline::Steps steps;
    steps.AppendSample = [&](const QString&, const QString&, const LineSample& s) { plotted << s; };
    SamplePipeline pipeline(settings, sample, steps);
    QObject::connect(&driver, &PageDriver::pageReady, [&](const QDateTime& t, bool) {
        pipeline.Run(t, clock.now(), run.state() == MonitorState::Running, driver.StatsParsed);
    });

    browser.loadPage(QStringLiteral("<h1>This site can't be reached</h1>"));
    ASSERT_EQ(plotted.size(), 1);
    EXPECT_EQ(plotted[0].DataRateDown, 0);
    EXPECT_EQ(plotted[0].NoiseMarginDown, 0);
    EXPECT_TRUE(plotted[0].DataRateDownText.isEmpty());
    EXPECT_EQ(events.last(), "ready 0");
    EXPECT_EQ(driver.Label2, "!" + kStatsUrl); // only a statistics page sets it
}

TEST_F(PageDriverTest, PagesCompletingDuringAReadAreHandledOnceEachInOrder) {
    browser.setDeferredReads(true);
    browser.loadPage(kLoginPage);
    browser.completeLoad();
    browser.completeLoad();
    EXPECT_EQ(browser.pendingReads(), 1);
    EXPECT_EQ(events, QStringList({"panel"}));

    ASSERT_TRUE(browser.answerRead(kLoginPage));
    EXPECT_EQ(actions(), kAnswered);
    EXPECT_EQ(browser.pendingReads(), 1); // the next page's read

    ASSERT_TRUE(browser.answerRead(kStatsPage));
    ASSERT_TRUE(browser.answerRead(QStringLiteral("<p>Home</p>")));
    EXPECT_FALSE(browser.answerRead());
    EXPECT_EQ(browser.count("read"), 3);
    EXPECT_EQ(events.filter("ready"), QStringList({"ready 1", "ready 0"}));
}

TEST_F(PageDriverTest, UnreadablePageIsDroppedAndTheNextOneHandled) {
    enter(Start::Running);
    browser.setUnreadablePage();
    browser.completeLoad();
    EXPECT_EQ(events, QStringList({"panel", "read failed"}));
    EXPECT_EQ(run.state(), MonitorState::Running);
    EXPECT_TRUE(actions().isEmpty());

    events.clear();
    browser.loadPage(kStatsPage);
    EXPECT_EQ(events.last(), "ready 1");
}

// While Running, every page is logged: a statistics page with the groups it shows, any other
// page (an outage, an error page, an empty reply) as zeros in every column.
TEST(PageDriver, LogRowOfEachPageWhileRunning) {
    const QString withoutNoiseMargin = QString(kStatsPage).replace(" Noise margin:", "Margins:");
    const QString zeros = QStringLiteral("       0,").repeated(7) + QStringLiteral("       0");
    // This page has no user-graph rows: their four columns stay, blank.
    const QString noUserGraphs = QStringLiteral(",        ").repeated(4);
    const struct {
        const char* name;
        QString markup;
        QString row;
    } cases[] = {
        {"statistics page", kStatsPage,
         "Tue 08 Dec 2026  14:23:05, 1:01:01:02,     6.2,     6.1,    1097,   15623" +
             noUserGraphs},
        {"statistics page without noise margins", withoutNoiseMargin,
         "Tue 08 Dec 2026  14:23:05, 1:01:01:02,        ,        ,    1097,   15623" +
             noUserGraphs},
        {"error page", "<h1>This site can't be reached</h1>",
         "Tue 08 Dec 2026  14:23:05, 1:01:01:02," + zeros},
        {"empty markup", "", "Tue 08 Dec 2026  14:23:05, 1:01:01:02," + zeros},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        QStringList rows;
        SamplePipeline::Steps steps;
        steps.WriteLogRow = [&](const QDateTime& t, const LineSample& s) {
            rows << LogLine(t, s, rig.settings.LogDateFormat, rig.settings.LogTab);
        };
        rig.settings.cbLog = true;
        SamplePipeline pipeline(rig.settings, rig.sample, steps);
        QObject::connect(&rig.driver, &PageDriver::pageReady, [&](const QDateTime& t, bool) {
            pipeline.Run(t, rig.clock.now(), rig.run.state() == MonitorState::Running,
                         rig.driver.StatsParsed);
        });
        rig.browser.loadPage(kStatsPage); // starts the monitor
        rig.browser.loadPage(c.markup);
        ASSERT_EQ(rows.size(), 2);
        EXPECT_EQ(rows[1], c.row);
    }
}

TEST_F(PageDriverTest, RouterDownAtStartIsTriedAgainUntilTheStatisticsPage) {
    const QString unreachable = QStringLiteral("<h1>This site can't be reached</h1>");
    browser.loadPage(unreachable);
    EXPECT_TRUE(retry->isEnabled());
    EXPECT_EQ(retry->interval(), 30000);
    EXPECT_EQ(driver.Label2, kRetryNotice);
    EXPECT_TRUE(actions().isEmpty());

    retry->elapse();
    EXPECT_FALSE(retry->isEnabled());
    EXPECT_EQ(actions(), QStringList({"process", "navigate! " + kStatsUrl}));

    // A page the browser could not read at all counts as one more page that is not the router's.
    browser.setUnreadablePage();
    browser.completeLoad();
    EXPECT_TRUE(retry->isEnabled());

    // The router answers: its login page is answered and the notice goes.
    events.clear();
    browser.loadPage(kLoginPage);
    EXPECT_FALSE(retry->isEnabled());
    EXPECT_EQ(events, QStringList({"panel", "label2 "}));

    browser.loadPage(kStatsPage);
    EXPECT_EQ(run.state(), MonitorState::Running);
    EXPECT_EQ(driver.Label2, "!" + kStatsUrl);

    // Running: the sample timer reloads; an outage shows no notice and arms nothing.
    browser.clearCalls();
    browser.loadPage(unreachable);
    EXPECT_FALSE(retry->isEnabled());
    EXPECT_EQ(driver.Label2, "!" + kStatsUrl);
}

TEST(PageDriver, RetryWaitsSampleSecondsAtMostAMinute) {
    const struct {
        int sample;
        int waitMs;
        const char* notice;
    } cases[] = {
        {10, 10000, "Home Hub not reachable at 10.0.0.138, trying again every 10 s"},
        {60, 60000, "Home Hub not reachable at 10.0.0.138, trying again every 60 s"},
        {300, 60000, "Home Hub not reachable at 10.0.0.138, trying again every 60 s"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.settings.Sample = c.sample;
        rig.settings.Address = QStringLiteral("10.0.0.138");
        rig.browser.loadPage(QStringLiteral("<p>Home</p>"));
        EXPECT_EQ(rig.retry->interval(), c.waitMs) << c.sample;
        EXPECT_EQ(rig.driver.Label2, QString::fromLatin1(c.notice));
    }
}

TEST_F(PageDriverTest, NoRetryAfterPauseOrOnAWrongPassword) {
    browser.loadPage(QStringLiteral("<p>Home</p>"));
    ASSERT_TRUE(retry->isEnabled());
    // Pause before the first statistics page: the user is in charge, the notice goes.
    run.btnStopClick();
    EXPECT_FALSE(retry->isEnabled());
    EXPECT_TRUE(driver.Label2.isEmpty());
    browser.loadPage(QStringLiteral("<p>Home</p>"));
    EXPECT_FALSE(retry->isEnabled());

    // Before the start, a wrong password is not tried again by itself either.
    Rig fresh;
    fresh.browser.loadPage(QStringLiteral("<p>Home</p>"));
    fresh.browser.loadPage(QStringLiteral("<p>Password incorrect</p>"));
    EXPECT_FALSE(fresh.retry->isEnabled());
    EXPECT_TRUE(fresh.driver.Label2.isEmpty());
}

// The address or password edited: not Running, a change opens the statistics page again.
TEST(PageDriver, EditedRouterAccessReloadsUnlessRunning) {
    const QString newUrl = QStringLiteral("http://10.0.0.1/index.cgi?active_page=9143");
    const struct {
        const char* name;
        Start state;
        QString address, password;
        QStringList actions;
    } cases[] = {
        {"password before the start",
         Start::NotStarted,
         "192.168.1.254",
         "new",
         {"process", "navigate! " + kStatsUrl}},
        {"address while paused",
         Start::Paused,
         "10.0.0.1",
         "s3cret",
         {"process", "navigate! " + newUrl}},
        {"password while stopped",
         Start::Stopped,
         "192.168.1.254",
         "new",
         {"process", "navigate! " + kStatsUrl}},
        {"password while running", Start::Running, "192.168.1.254", "new", {}},
        {"nothing changed", Start::NotStarted, "192.168.1.254", "s3cret", {}},
        {"address emptied", Start::NotStarted, "", "s3cret", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.driver.OpenStatsPage();
        rig.enter(c.state);
        rig.settings.Address = c.address;
        rig.settings.Password = c.password;
        rig.driver.RouterAccessEdited();
        EXPECT_EQ(rig.actions(), c.actions);
    }
}

TEST_F(PageDriverTest, WrongPasswordAtStartIsCorrectedWithoutARestart) {
    driver.OpenStatsPage();
    browser.loadPage(kLoginPage);
    browser.loadPage(QStringLiteral("<p>Password incorrect</p>"));
    browser.clearCalls();

    settings.Password = QStringLiteral("right one");
    driver.RouterAccessEdited();
    browser.loadPage(kLoginPage);
    EXPECT_EQ(actions(), QStringList({"process", "navigate! " + kStatsUrl, "scrollBy 0 28",
                                      "setField 0 password_4711 right one", "clickLink 8"}));
    // Leaving the box again without a change loads nothing more.
    browser.clearCalls();
    driver.RouterAccessEdited();
    EXPECT_TRUE(actions().isEmpty());
}

TEST_F(PageDriverTest, ReadAnsweredAfterTheDriverIsGoneIsIgnored) {
    browser.setDeferredReads(true);
    auto pd = std::make_unique<PageDriver>(browser, run, settings, sample, clock);
    bool handled = false;
    QObject::connect(pd.get(), &PageDriver::pageReady, [&] { handled = true; });
    browser.completeLoad();
    EXPECT_EQ(browser.pendingReads(), 2); // the fixture's driver reads as well
    pd.reset();
    browser.answerRead(QStringLiteral("<p>Home</p>"));
    browser.answerRead(QStringLiteral("<p>Home</p>"));
    EXPECT_FALSE(handled);
}

TEST_F(PageDriverTest, OpenStatsPageLoadsTheConfiguredPageWithoutCache) {
    settings.Address = QStringLiteral("10.1.2.3");
    driver.OpenStatsPage();
    EXPECT_EQ(run.StatsPageUrl, "http://10.1.2.3/index.cgi?active_page=9143");
    EXPECT_EQ(browser.calls,
              QStringList({"process", "navigate! http://10.1.2.3/index.cgi?active_page=9143"}));
}

} // namespace
