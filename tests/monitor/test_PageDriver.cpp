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
const QString kNoStatisticsNotice =
    QStringLiteral("No line statistics on the page at 192.168.1.254, trying again every 30 s");
const QString kNoStatisticsSince =
    QStringLiteral("No line statistics on the page at 192.168.1.254 since 14:23:05");
const QString kRejected =
    QStringLiteral("The Home Hub rejected the password: correct it on the Configure tab");

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
        auto limit = std::make_unique<FakeTimer>();
        deadline = limit.get();
        driver.setDeadlineTimer(std::move(limit));

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
        QObject::connect(&driver, &PageDriver::pageReady, [this](const LineReading& r) {
            events << QString("ready %1").arg(r.statsPage);
            sampleTimes << r.time;
            readings << r;
        });
        QObject::connect(&driver, &PageDriver::documentReadFailed,
                         [this](const QString&) { events << "read failed"; });
    }

    // The run state s, with the page asked for as the program asks in it (the start's own load
    // while Running, OpenStatsPage otherwise); nothing recorded so far.
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
        if (s != Start::Running)
            driver.OpenStatsPage();
        browser.clearCalls();
        events.clear();
    }

    // The program asks for the next page: a sample tick while Running, OpenStatsPage otherwise.
    // Only the answer to a page asked for is handled.
    void ask() {
        if (run.state() == MonitorState::Running)
            timer1.elapse();
        else
            driver.OpenStatsPage();
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
    FakeTimer* deadline = nullptr;
    QStringList events;
    QList<QDateTime> sampleTimes;
    QList<LineReading> readings;
};

class PageDriverTest : public testing::Test, protected Rig {};

const QStringList kHandedOverBlank{"panel", "texts blank", "cursor", "label2 " + kNoStatisticsSince,
                                   "ready 0"};
const QStringList kRejectedWhileRunning{
    "panel", "tab", "texts blank", "cursor", "label2 " + kRejected, "ready 0"};
const QStringList kAnswered{"scrollBy 0 28", "setField 0 password_4711 s3cret", "clickLink 8"};

TEST(PageDriver, ClassifiesPages) {
    struct Case {
        const char* name;
        Start state;
        QString markup;
        QStringList actions;
        QStringList events;
        bool loadFailed = false;
    };
    const QString other = QStringLiteral("<p>Home</p>");
    const Case cases[] = {
        {"any other page before the first start",
         Start::NotStarted,
         other,
         {},
         {"panel", "texts blank", "cursor", "label2 " + kNoStatisticsNotice, "ready 0"}},
        {"failed load before the first start",
         Start::NotStarted,
         other,
         {},
         {"panel", "texts blank", "cursor", "label2 " + kRetryNotice, "ready 0"},
         true},
        {"any other page while running", Start::Running, other, {}, kHandedOverBlank},
        {"empty markup while running", Start::Running, "", {}, kHandedOverBlank},
        {"empty markup while paused", Start::Paused, "", {}, kHandedOverBlank},
        {"wrong password",
         Start::Running,
         "<p>Password incorrect</p>",
         {"stop"},
         kRejectedWhileRunning},
        {"password hint",
         Start::Running,
         "<p>Your password hint: cat</p>",
         {"stop"},
         kRejectedWhileRunning},
        {"incorrect at position 3", Start::Running, "<pincorrect", {"stop"}, kRejectedWhileRunning},
        {"wrong password before the first start",
         Start::NotStarted,
         "<p>Password incorrect</p>",
         {"stop"},
         {"panel", "tab", "label2 " + kRejected}},
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
         {"panel", "tab", "label2 " + kRejected}},
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
        rig.browser.setPage(c.markup);
        rig.browser.completeLoad(true, c.loadFailed);
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
        ask();
        browser.clearCalls();
        browser.loadPage("<form><input " + c.field + "></form><a>1</a>");
        EXPECT_EQ(actions(), QStringList({"setField 0 " + c.name + " s3cret", "clickLink 8"}))
            << c.field.toStdString();
    }
}

TEST_F(PageDriverTest, FirstStatisticsPageStartsTheMonitorAndIsRead) {
    ask();
    browser.clearCalls();
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
    ask();
    browser.loadPage(kStatsPage);
    run.btnStopClick();
    run.btnStopMouseDown();
    ASSERT_EQ(run.state(), MonitorState::Stopped);
    events.clear();

    ask();
    browser.loadPage(kStatsPage);
    EXPECT_EQ(run.state(), MonitorState::Stopped);
    EXPECT_EQ(events.last(), "ready 1");
    EXPECT_EQ(events.count("btnRun"), 1);
}

TEST_F(PageDriverTest, PauseBeforeAnyStatisticsPageThenTheFirstOneStillStartsTheMonitor) {
    run.btnStopClick();
    ask();
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
    // Running: the next tick loads the new page, not a load of its own in between.
    EXPECT_TRUE(actions().isEmpty());
    EXPECT_EQ(events.last(), "ready 1");
    EXPECT_DOUBLE_EQ(sample.NoiseMarginDown, 6.1);
    EXPECT_EQ(run.LastStatsPageUrl, kMovedUrl);

    // Later ticks load the new page.
    browser.clearCalls();
    timer1.elapse();
    EXPECT_EQ(browser.navigations.value(0).url, kMovedUrl);
}

TEST_F(PageDriverTest, OtherPageWhileRunningHandsOverASampleOfZeros) {
    ask();
    browser.loadPage(kStatsPage);
    ASSERT_EQ(run.state(), MonitorState::Running);
    ASSERT_GT(sample.DataRateDown, 0);

    // What the window wires to the hand-over: the pipeline, gated on the run state.
    QList<LineSample> plotted;
    SamplePipeline::Steps steps;
    steps.AppendSample = [&](const QString&, const QString&, const LineSample& s) { plotted << s; };
    SamplePipeline pipeline(settings, sample, steps);
    QObject::connect(&driver, &PageDriver::pageReady, [&](const LineReading& r) {
        pipeline.Run(r.time, clock.now(), run.state() == MonitorState::Running, driver.StatsParsed);
    });

    ask();
    browser.loadFailedPage();
    ASSERT_EQ(plotted.size(), 1);
    EXPECT_EQ(plotted[0].DataRateDown, 0);
    EXPECT_EQ(plotted[0].NoiseMarginDown, 0);
    EXPECT_TRUE(plotted[0].DataRateDownText.isEmpty());
    EXPECT_EQ(events.last(), "ready 0");
    EXPECT_EQ(driver.Label2, "Home Hub not reachable at 192.168.1.254 since 14:23:05");
}

TEST_F(PageDriverTest, PagesCompletingDuringAReadAreHandledOnceEachInOrder) {
    browser.setDeferredReads(true);
    for (int page = 0; page < 3; ++page) {
        ask();
        browser.loadPage(kLoginPage);
    }
    EXPECT_EQ(browser.pendingReads(), 1);
    EXPECT_EQ(events, QStringList({"panel"}));

    browser.clearCalls();
    ASSERT_TRUE(browser.answerRead(kLoginPage));
    EXPECT_EQ(actions(), kAnswered);
    EXPECT_EQ(browser.pendingReads(), 1); // the next page's read

    ASSERT_TRUE(browser.answerRead(kStatsPage));
    ASSERT_TRUE(browser.answerRead(QStringLiteral("<p>Home</p>")));
    EXPECT_FALSE(browser.answerRead());
    EXPECT_EQ(browser.count("read"), 2); // the two that waited, after the first
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
    ask();
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
        QObject::connect(&rig.driver, &PageDriver::pageReady, [&](const LineReading& r) {
            pipeline.Run(r.time, rig.clock.now(), rig.run.state() == MonitorState::Running,
                         rig.driver.StatsParsed);
        });
        rig.ask();
        rig.browser.loadPage(kStatsPage); // starts the monitor
        rig.ask();
        rig.browser.loadPage(c.markup);
        ASSERT_EQ(rows.size(), 2);
        EXPECT_EQ(rows[1], c.row);
    }
}

TEST_F(PageDriverTest, RouterDownAtStartIsTriedAgainUntilTheStatisticsPage) {
    ask();
    browser.clearCalls();
    browser.loadFailedPage();
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
    retry->elapse();
    events.clear();
    browser.loadPage(kLoginPage);
    EXPECT_FALSE(retry->isEnabled());
    EXPECT_EQ(events, QStringList({"panel", "label2 "}));

    browser.loadPage(kStatsPage);
    EXPECT_EQ(run.state(), MonitorState::Running);
    EXPECT_EQ(driver.Label2, "!" + kStatsUrl);

    // Running: the sample timer reloads; an outage arms nothing and says since when.
    browser.clearCalls();
    clock.advanceSecs(30);
    ask();
    browser.loadFailedPage();
    EXPECT_FALSE(retry->isEnabled());
    EXPECT_EQ(driver.Label2, "Home Hub not reachable at 192.168.1.254 since 14:23:35");
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
        rig.ask();
        rig.browser.loadFailedPage();
        EXPECT_EQ(rig.retry->interval(), c.waitMs) << c.sample;
        EXPECT_EQ(rig.driver.Label2, QString::fromLatin1(c.notice));
    }
}

TEST_F(PageDriverTest, NoRetryAfterPauseOrOnAWrongPassword) {
    ask();
    browser.loadPage(QStringLiteral("<p>Home</p>"));
    ASSERT_TRUE(retry->isEnabled());
    // Pause before the first statistics page: the user is in charge, the notice goes.
    run.btnStopClick();
    EXPECT_FALSE(retry->isEnabled());
    EXPECT_TRUE(driver.Label2.isEmpty());
    ask();
    browser.loadPage(QStringLiteral("<p>Home</p>"));
    EXPECT_FALSE(retry->isEnabled());

    // Before the start, a wrong password is not tried again by itself either.
    Rig fresh;
    fresh.ask();
    fresh.browser.loadPage(QStringLiteral("<p>Home</p>"));
    fresh.retry->elapse();
    fresh.browser.loadPage(QStringLiteral("<p>Password incorrect</p>"));
    EXPECT_FALSE(fresh.retry->isEnabled());
    EXPECT_EQ(fresh.driver.Label2, kRejected);
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
    pd->OpenStatsPage();
    ask();
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

// The rig with the pipeline wired as the session wires it: every plotted sample is recorded.
struct PlottingRig : Rig {
    PlottingRig() : pipeline(settings, sample, plottingSteps()) {
        QObject::connect(&driver, &PageDriver::pageReady, [this](const LineReading& r) {
            pipeline.Run(r.time, clock.now(), run.state() == MonitorState::Running,
                         driver.StatsParsed);
        });
    }
    SamplePipeline::Steps plottingSteps() {
        SamplePipeline::Steps steps;
        steps.PointLabel = [](const QDateTime& t, bool) { return t.toString("hh:mm:ss"); };
        steps.AppendSample = [this](const QString& label, const QString&, const LineSample& s) {
            plotted << s;
            labels << label;
        };
        return steps;
    }
    // The monitor Running on a first statistics page, nothing recorded yet.
    void startOnStatistics() {
        ask();
        browser.loadPage(kStatsPage);
        plotted.clear();
        labels.clear();
        browser.clearCalls();
        events.clear();
    }
    QList<LineSample> plotted;
    QStringList labels;
    SamplePipeline pipeline;
};

const QString kStatsLabel2 = "!" + kStatsUrl;
const QString kWrongPasswordPage = QStringLiteral("<p>Password incorrect</p>");
const QString kHomePage = QStringLiteral("<p>Home</p>");

enum class Kind { Statistics, Login, WrongPassword, FailedLoad, OtherPage, Timeout, UsersPage };
enum class Record { None, Zeros, Values };

// Every kind of answer to a page the program asked for, in the run states where one is asked
// for: what is recorded, what the router's state becomes and what the status line says.
TEST(PageDriver, EveryAnswerInEveryRunState) {
    const QString since = QStringLiteral(" since 14:23:05");
    const QString notReachable = "Home Hub not reachable at 192.168.1.254" + since;
    const QString notResponding = "Home Hub not responding at 192.168.1.254" + since;
    const QString noStatistics = "No line statistics on the page at 192.168.1.254" + since;
    struct Case {
        Kind kind;
        Start state;
        Record record;
        RouterStatus answer;
        QString label2;
    };
    const Case cases[] = {
        {Kind::Statistics, Start::Running, Record::Values, RouterStatus::Reading, kStatsLabel2},
        {Kind::Login, Start::Running, Record::None, RouterStatus::Reading, kStatsLabel2},
        {Kind::WrongPassword, Start::Running, Record::Zeros, RouterStatus::PasswordRejected,
         kRejected},
        {Kind::FailedLoad, Start::Running, Record::Zeros, RouterStatus::NotReachable, notReachable},
        {Kind::OtherPage, Start::Running, Record::Zeros, RouterStatus::NoStatistics, noStatistics},
        {Kind::Timeout, Start::Running, Record::Zeros, RouterStatus::NotResponding, notResponding},
        {Kind::UsersPage, Start::Running, Record::None, RouterStatus::Reading, kStatsLabel2},
        // Paused, a page asked for (the window shown again) is shown, never recorded.
        {Kind::Statistics, Start::Paused, Record::None, RouterStatus::Reading, kStatsLabel2},
        {Kind::WrongPassword, Start::Paused, Record::None, RouterStatus::PasswordRejected,
         kRejected},
        {Kind::FailedLoad, Start::Paused, Record::None, RouterStatus::NotReachable, notReachable},
        {Kind::Timeout, Start::Paused, Record::None, RouterStatus::NotResponding, notResponding},
        {Kind::UsersPage, Start::Paused, Record::None, RouterStatus::Reading, kStatsLabel2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        SCOPED_TRACE(c.state == Start::Running ? "running" : "paused");
        PlottingRig rig;
        rig.startOnStatistics();
        if (c.state == Start::Paused) {
            rig.run.btnStopClick();
            rig.driver.OpenStatsPage();
        } else {
            rig.timer1.elapse();
        }
        rig.clock.advanceSecs(5);
        switch (c.kind) {
        case Kind::Statistics:
            rig.browser.loadPage(kStatsPage);
            break;
        case Kind::Login:
            rig.browser.loadPage(kLoginPage);
            break;
        case Kind::WrongPassword:
            rig.browser.loadPage(kWrongPasswordPage);
            break;
        case Kind::FailedLoad:
            rig.browser.loadFailedPage();
            break;
        case Kind::OtherPage:
            rig.browser.loadPage(kHomePage);
            break;
        case Kind::Timeout:
            rig.deadline->elapse();
            break;
        case Kind::UsersPage:
            rig.browser.loadUserPage(kHomePage);
            break;
        }
        const Record record = rig.plotted.isEmpty()                   ? Record::None
                              : rig.plotted[0].NoiseMarginDown == 6.1 ? Record::Values
                                                                      : Record::Zeros;
        EXPECT_LE(rig.plotted.size(), 1);
        EXPECT_EQ(record, c.record);
        if (record == Record::Zeros) {
            EXPECT_EQ(rig.plotted[0].DataRateDown, 0);
            EXPECT_TRUE(rig.events.contains("texts blank")) << "the toolbar keeps old values";
        }
        EXPECT_EQ(rig.driver.routerState().answer(), c.answer);
        EXPECT_EQ(rig.driver.Label2, c.label2);
        EXPECT_EQ(rig.run.state(),
                  c.state == Start::Running ? MonitorState::Running : MonitorState::Paused);
    }
}

// The deadline is the sample interval, at most 30 s; a page that misses it is stopped and
// recorded once, as at the moment it was asked for, whichever of the deadline and the next tick
// comes first; a late answer to it is not a second record.
TEST(PageDriver, APageThatDoesNotComeIsOneZeroRecordPerTick) {
    for (const auto& [sample, limitMs] :
         {std::pair{10, 10000}, std::pair{30, 30000}, std::pair{300, 30000}}) {
        PlottingRig rig;
        rig.settings.Sample = sample;
        rig.startOnStatistics();
        rig.timer1.elapse();
        EXPECT_TRUE(rig.deadline->isEnabled());
        EXPECT_EQ(rig.deadline->interval(), limitMs) << sample;
    }

    PlottingRig rig;
    rig.startOnStatistics();
    rig.timer1.elapse(); // 14:23:05, never answered
    rig.clock.advanceSecs(30);
    // The next tick comes first: the lost page is recorded, then the next one asked for.
    rig.timer1.elapse(); // 14:23:35
    EXPECT_EQ(rig.labels, QStringList({"14:23:05"}));
    EXPECT_EQ(rig.actions(), QStringList({"process", "silent 1", "ensureWindow",
                                          "navigate " + kStatsUrl, "process", "silent 1",
                                          "ensureWindow", "stop", "navigate " + kStatsUrl}));
    // The deadline comes first this time; a late completion of the page given up on is not a
    // page of its own, and the tick after it finds nothing pending.
    rig.clock.advanceSecs(30);
    rig.deadline->elapse();
    EXPECT_EQ(rig.labels, QStringList({"14:23:05", "14:23:35"}));
    rig.browser.loadPage(kStatsPage);
    EXPECT_EQ(rig.labels.size(), 2);
    rig.timer1.elapse(); // 14:24:05
    EXPECT_EQ(rig.labels.size(), 2);
    rig.clock.advanceSecs(1);
    rig.browser.loadPage(kStatsPage);
    EXPECT_EQ(rig.labels, QStringList({"14:23:05", "14:23:35", "14:24:06"}));
    EXPECT_EQ(rig.plotted.last().NoiseMarginDown, 6.1);
    EXPECT_EQ(rig.driver.routerState().answer(), RouterStatus::Reading);
    EXPECT_FALSE(rig.deadline->isEnabled());
}

// The user opens a router page in the view while the tick's page is still on its way: that load
// is replaced and measured nothing, so nothing is recorded for it (a zero would be a drop the
// line never had), the deadline is off, and the next tick samples as usual.
TEST(PageDriver, ATickThatTheUsersClickReplacesLeavesNoRecord) {
    PlottingRig rig;
    rig.startOnStatistics();
    rig.timer1.elapse(); // 14:23:05, on its way
    ASSERT_TRUE(rig.deadline->isEnabled());
    rig.browser.abandonProgramLoad();
    EXPECT_FALSE(rig.deadline->isEnabled());
    rig.browser.loadUserPage(kHomePage);
    rig.clock.advanceSecs(30);
    rig.timer1.elapse(); // 14:23:35: nothing was pending, so nothing to give up
    EXPECT_TRUE(rig.labels.isEmpty());
    EXPECT_EQ(rig.driver.routerState().answer(), RouterStatus::Reading);
    rig.browser.loadPage(kStatsPage);
    EXPECT_EQ(rig.labels, QStringList({"14:23:35"}));
}

// A password the router rejects is sent three times in a row at most; then the login page is
// left alone (each one a zero record while Running) until the user gives another password or
// address, or presses Start. The automatic resume is no such press.
TEST(PageDriver, ARejectedPasswordIsTriedThreeTimesThenHeldBack) {
    enum class Way { PasswordEdited, AddressEdited, Start, AutomaticResume, Unchanged };
    const struct {
        const char* name;
        Way way;
        bool answeredAgain;
    } cases[] = {
        {"password edited", Way::PasswordEdited, true},
        {"address edited", Way::AddressEdited, true},
        {"Start pressed (toolbar or page button)", Way::Start, true},
        {"resumed after a pause by itself", Way::AutomaticResume, false},
        {"password edited back to the rejected one", Way::Unchanged, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlottingRig rig;
        rig.startOnStatistics();
        // Every tick: the router's login page, then its answer to the password sent.
        for (int attempt = 1; attempt <= 3; ++attempt) {
            rig.timer1.elapse();
            rig.browser.loadPage(kLoginPage);
            rig.browser.loadPage(kWrongPasswordPage);
        }
        EXPECT_EQ(rig.browser.callsStartingWith("setField").size(), 3);
        EXPECT_TRUE(rig.driver.LoginHeldBack());
        rig.timer1.elapse();
        rig.browser.loadPage(kLoginPage);
        EXPECT_EQ(rig.browser.callsStartingWith("setField").size(), 3);
        EXPECT_EQ(rig.plotted.size(), 4) << "every sample while rejected is recorded";
        for (const LineSample& s : rig.plotted)
            EXPECT_EQ(s.DataRateDown, 0);
        EXPECT_EQ(rig.driver.routerState().answer(), RouterStatus::PasswordRejected);
        EXPECT_EQ(rig.driver.Label2, kRejected);

        switch (c.way) {
        case Way::PasswordEdited:
            rig.settings.Password = QStringLiteral("another");
            rig.driver.RouterAccessEdited();
            break;
        case Way::AddressEdited:
            rig.settings.Address = QStringLiteral("192.168.1.253");
            rig.driver.RouterAccessEdited();
            break;
        case Way::Start:
            rig.run.btnRunClick();
            break;
        case Way::AutomaticResume:
            rig.run.btnStopClick();
            rig.timer5.elapse();
            break;
        case Way::Unchanged:
            rig.settings.Password = QStringLiteral("another");
            rig.settings.Password = QStringLiteral("s3cret");
            rig.driver.RouterAccessEdited();
            break;
        }
        rig.timer1.elapse();
        rig.browser.loadPage(kLoginPage);
        EXPECT_EQ(rig.browser.callsStartingWith("setField").size(), c.answeredAgain ? 4 : 3);
        EXPECT_EQ(rig.driver.LoginHeldBack(), !c.answeredAgain);
    }
}

namespace {

// A page that completes without the program having asked for it (the router page's own timed
// refresh or move, arriving after the page asked for was handled) is left on show and is no
// sample: nothing is read, recorded, answered or started, and the retries go on as they were.
TEST(PageDriver, APageNotAskedForIsShownAndNothingMore) {
    const QString lockout = QStringLiteral("<h1>Locked</h1><form>Password:"
                                           "<input type=password name=password_5></form>");
    const struct {
        const char* name;
        Start state;
        QString markup;
    } cases[] = {
        {"statistics before the first start", Start::NotStarted, kStatsPage},
        {"login before the first start", Start::NotStarted, kLoginPage},
        {"statistics while running", Start::Running, kStatsPage},
        {"another page while running", Start::Running, kHomePage},
        {"login while running", Start::Running, kLoginPage},
        {"wrong password while running", Start::Running, kWrongPasswordPage},
        {"login without the prompt while paused", Start::Paused, lockout},
        {"statistics while paused", Start::Paused, kStatsPage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.ask();
        if (c.state == Start::NotStarted) {
            rig.browser.loadPage(kHomePage); // the router is tried again
        } else {
            rig.browser.loadPage(kStatsPage);
            if (c.state == Start::Paused)
                rig.run.btnStopClick();
            rig.ask();
            rig.browser.loadPage(kStatsPage);
        }
        const MonitorState state = rig.run.state();
        const bool retrying = rig.retry->isEnabled();
        const QString label2 = rig.driver.Label2;
        const RouterStatus answer = rig.driver.routerState().answer();
        rig.browser.clearCalls();
        rig.events.clear();
        rig.readings.clear();

        rig.browser.loadPage(c.markup);
        EXPECT_TRUE(rig.browser.calls.isEmpty()) << rig.browser.calls.join(", ").toStdString();
        EXPECT_TRUE(rig.events.isEmpty()) << rig.events.join(", ").toStdString();
        EXPECT_TRUE(rig.readings.isEmpty());
        EXPECT_EQ(rig.run.state(), state);
        EXPECT_EQ(rig.retry->isEnabled(), retrying);
        EXPECT_EQ(rig.driver.Label2, label2);
        EXPECT_EQ(rig.driver.routerState().answer(), answer);
        EXPECT_FALSE(rig.driver.LoginHeldBack());
    }
}

// A router that answers the password with its login page again (a lockout page has a password
// field too, and may say nothing of a wrong password) is not sent the password again at once:
// one login per page asked for, its answer a rejected password, held back after three in a row.
TEST(PageDriver, ALoginAnsweredByALoginPageIsARejectedPassword) {
    const QString lockout =
        QStringLiteral("<div><h1>Too many attempts</h1><form>Password:"
                       "<input type=password name=password_815></form><a>1</a></div>");
    Rig rig;
    rig.ask();
    rig.browser.loadPage(kStatsPage);
    ASSERT_EQ(rig.run.state(), MonitorState::Running);
    for (int tick = 1; tick <= PageDriver::kRejectionsBeforeHolding; ++tick) {
        SCOPED_TRACE(tick);
        rig.browser.clearCalls();
        rig.events.clear();
        rig.readings.clear();
        rig.ask();
        rig.browser.loadPage(kLoginPage);
        rig.browser.loadPage(tick == 1 ? kLoginPage : lockout);
        EXPECT_EQ(rig.browser.callsStartingWith("setField"),
                  QStringList({"setField 0 password_4711 s3cret"}));
        EXPECT_EQ(rig.browser.count("clickLink 8"), 1);
        ASSERT_EQ(rig.readings.size(), 1);
        EXPECT_EQ(rig.readings[0].state, LineReading::State::NotRead);
        EXPECT_EQ(rig.readings[0].why, LineReading::Why::PasswordRejected);
        EXPECT_TRUE(rig.events.contains("tab"));
        EXPECT_EQ(rig.driver.Label2, kRejected);
        EXPECT_EQ(rig.driver.routerState().answer(), RouterStatus::PasswordRejected);
    }
    EXPECT_TRUE(rig.driver.LoginHeldBack());
    rig.browser.clearCalls();
    rig.ask();
    rig.browser.loadPage(lockout);
    EXPECT_TRUE(rig.browser.callsStartingWith("setField").isEmpty());

    // Before the first start the same: one login, then the user is asked for the password.
    Rig fresh;
    fresh.ask();
    fresh.browser.loadPage(kLoginPage);
    fresh.browser.loadPage(kLoginPage);
    EXPECT_EQ(fresh.browser.callsStartingWith("setField").size(), 1);
    EXPECT_EQ(fresh.driver.Label2, kRejected);
    EXPECT_FALSE(fresh.retry->isEnabled());
    EXPECT_EQ(fresh.run.state(), MonitorState::NotStarted);
}

// The reading each answer to a tick hands on: read with or without sync, or not read and why,
// with the page's title or the missing group, the uptime only when read and a number, and the
// time of the answer (of the tick for a page that never came).
TEST(PageDriver, TheReadingOfEachAnswer) {
    using State = LineReading::State;
    using Why = LineReading::Why;
    const auto stats = [](const char* from, const char* to) {
        return QString(kStatsPage).replace(QString::fromLatin1(from), QString::fromLatin1(to));
    };
    const QString other =
        QStringLiteral("<div><h1>Broadband <b>Status</b></h1><p>Connecting...</p></div>");
    enum class Answer { Page, FailedLoad, Timeout, LoginThenPage };
    const struct {
        const char* name;
        Answer answer;
        QString markup;
        State state;
        Why why;
        const char* detail;
        bool statsPage;
        qint64 uptime;
    } cases[] = {
        {"statistics with sync", Answer::Page, kStatsPage, State::Synced, Why::None, "", true,
         90062},
        {"downstream rate under 100 Kbps", Answer::Page, stats("1097 / 15623", "1097 / 99"),
         State::NoSync, Why::None, "", true, 90062},
        {"downstream rate of 100 Kbps", Answer::Page, stats("1097 / 15623", "1097 / 100"),
         State::Synced, Why::None, "", true, 90062},
        {"downstream noise margin 0", Answer::Page, stats("6.2 / 6.1", "6.2 / 0"), State::NoSync,
         Why::None, "", true, 90062},
        {"uptime not a number", Answer::Page, stats("90061", "\"x\""), State::Synced, Why::None, "",
         true, -1},
        {"noise-margin group missing", Answer::Page, stats(" Noise margin:", "Margins:"),
         State::NotRead, Why::GroupMissing, "no noise margin on the page", true, -1},
        {"rate group missing", Answer::Page, stats("Data rate:", "Rates:"), State::NotRead,
         Why::GroupMissing, "no data rate on the page", true, -1},
        {"both groups missing", Answer::Page,
         stats("Data rate:", "Rates:").replace(" Noise margin:", "Margins:"), State::NotRead,
         Why::GroupMissing, "no noise margin and no data rate on the page", true, -1},
        {"another page", Answer::Page, other, State::NotRead, Why::OtherPage, "Broadband Status",
         false, -1},
        {"another page without a heading", Answer::Page, kHomePage, State::NotRead, Why::OtherPage,
         "", false, -1},
        {"empty page", Answer::Page, "", State::NotRead, Why::OtherPage, "", false, -1},
        {"load failure", Answer::FailedLoad, "<h1>This site can't be reached</h1>", State::NotRead,
         Why::NotReachable, "", false, -1},
        {"timeout", Answer::Timeout, "", State::NotRead, Why::NotResponding, "", false, -1},
        {"wrong password", Answer::Page, kWrongPasswordPage, State::NotRead, Why::PasswordRejected,
         "", false, -1},
        {"login, then statistics", Answer::LoginThenPage, kStatsPage, State::Synced, Why::None, "",
         true, 90062},
        {"login, then login", Answer::LoginThenPage, kLoginPage, State::NotRead,
         Why::PasswordRejected, "", false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.ask();
        rig.browser.loadPage(kStatsPage);
        rig.readings.clear();
        rig.clock.advanceSecs(30);
        const QDateTime askedAt = rig.clock.now();
        const qint64 askedSteadyMs = rig.clock.steadyMs();
        rig.ask();
        rig.clock.advanceSecs(4);
        switch (c.answer) {
        case Answer::Page:
            rig.browser.loadPage(c.markup);
            break;
        case Answer::FailedLoad:
            rig.browser.loadFailedPage(c.markup);
            break;
        case Answer::Timeout:
            rig.deadline->elapse();
            break;
        case Answer::LoginThenPage:
            rig.browser.loadPage(kLoginPage);
            rig.browser.loadPage(c.markup);
            break;
        }
        ASSERT_EQ(rig.readings.size(), 1);
        const LineReading& r = rig.readings[0];
        EXPECT_EQ(r.state, c.state);
        EXPECT_EQ(r.why, c.why);
        EXPECT_EQ(r.detail, QString::fromUtf8(c.detail));
        EXPECT_EQ(r.statsPage, c.statsPage);
        EXPECT_EQ(r.uptimeSeconds, c.uptime);
        const bool never = c.answer == Answer::Timeout;
        EXPECT_EQ(r.time, never ? askedAt : rig.clock.now());
        EXPECT_EQ(r.steadyMs, never ? askedSteadyMs : rig.clock.steadyMs());
        if (!r.isRead() && !r.statsPage) {
            EXPECT_EQ(r.sample.DataRateDown, 0);
        }
    }
}

} // namespace
