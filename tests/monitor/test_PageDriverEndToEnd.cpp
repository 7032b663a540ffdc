// The page driver and run control on the real browser engine, offscreen, against the simulated
// router on 127.0.0.1. The timers are fake: every sample tick here is one the test asks for.
#include "monitor/PageDriver.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "monitor/RouterSim.h"
#include "monitor/RunControl.h"
#include "monitor/WebEngineBrowser.h"
#include "storage/Settings.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

const QString kPassword = QStringLiteral("s3cret pass");
constexpr int kLimitMs = 30000; // only ever reached when something is broken

// Runs the event loop until done() holds; false when the limit passes first.
template <class Predicate> bool waitUntil(Predicate done, int limitMs = kLimitMs) {
    return QTest::qWaitFor(done, limitMs);
}

int counter(const QJsonObject& state, const char* name) {
    return state[QLatin1StringView(name)].toInt(-1);
}

class PageDriverEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.start(kPassword, {QStringLiteral("--drift-seed"), QStringLiteral("3")}))
            << sim.error().toStdString();
        settings.Address = QStringLiteral("127.0.0.1:%1").arg(sim.port());
        settings.Password = kPassword;
        settings.User1 = 0; // maximum data rate
        settings.User2 = 1; // line attenuation

        browser.setSilent(true);
        browser.widget()->resize(1000, 700);
        browser.widget()->show();
        browser.ensureWindow();

        QObject::connect(&driver, &PageDriver::pageReady, [this](const LineReading& reading) {
            ++pagesReady;
            if (reading.statsPage) {
                ++statsPages;
                lastStatsSample = sample;
            }
        });
        QObject::connect(&driver, &PageDriver::homeHubTabRequested, [this] { ++tabRequests; });
        QObject::connect(&driver, &PageDriver::runButtonEnabled, [this] { runEnabled = true; });
    }

    // Clicks the router menu's "Home" link of the page shown, with the mouse, as a user does.
    void clickHome() {
        auto* view = static_cast<QWebEngineView*>(browser.widget());
        std::optional<QPoint> home;
        view->page()->runJavaScript(
            QStringLiteral(
                "(function () { for (const a of document.links)"
                "  if (a.textContent === 'Home') {"
                "    const r = a.getBoundingClientRect(); return [r.left + 3, r.top + 3]; }"
                "  return null; })()"),
            [&](const QVariant& v) {
                const QVariantList xy = v.toList();
                home = xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint(-1, -1);
            });
        ASSERT_TRUE(waitUntil([&] { return home.has_value(); }));
        ASSERT_GE(home->x(), 0) << "no Home link";
        QTest::mouseClick(view->focusProxy() ? view->focusProxy() : view, Qt::LeftButton, {},
                          *home);
    }

    QJsonObject simState() {
        const QJsonObject s = sim.state();
        EXPECT_FALSE(s.isEmpty()) << "the simulated router did not answer";
        return s;
    }

    RouterSim sim;
    WebEngineBrowser browser;
    FakeTimer timer1, timer5;
    Settings settings;
    FakeClock clock;
    LineSample sample;
    RunControl run{browser, timer1, timer5, settings, clock};
    PageDriver driver{browser, run, settings, sample, clock};

    int pagesReady = 0;
    int statsPages = 0;
    int tabRequests = 0;
    bool runEnabled = false;
    LineSample lastStatsSample;
};

TEST_F(PageDriverEndToEnd, LogsInRecognisesTheStatisticsAndStartsSampling) {
    driver.OpenStatsPage();
    ASSERT_TRUE(waitUntil([&] { return statsPages >= 1; })) << "no statistics page";
    EXPECT_EQ(run.state(), MonitorState::Running);
    EXPECT_TRUE(runEnabled);
    EXPECT_TRUE(driver.AutoStarted);
    EXPECT_EQ(run.LastStatsPageUrl, sim.url(QStringLiteral("/index.cgi?active_page=9143")));
    QJsonObject served = simState();
    EXPECT_EQ(counter(served, "logins"), 1);
    EXPECT_EQ(counter(served, "wrongPasswordPages"), 0);

    // A tick of the sample timer loads the next statistics page within the same session.
    const int before = statsPages;
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return statsPages > before; })) << "the tick loaded nothing";
    served = simState();
    EXPECT_EQ(counter(served, "statsPages"), statsPages);
    EXPECT_EQ(counter(served, "logins"), 1);
    EXPECT_EQ(lastStatsSample.NoiseMarginUp, served["noiseMarginUp"].toDouble());
    EXPECT_EQ(lastStatsSample.NoiseMarginDown, served["noiseMarginDown"].toDouble());
    EXPECT_EQ(lastStatsSample.DataRateUp, served["dataRateUp"].toDouble());
    EXPECT_EQ(lastStatsSample.DataRateDown, served["dataRateDown"].toDouble());
    EXPECT_EQ(lastStatsSample.User1Up, served["maxDataRateUp"].toDouble());
    EXPECT_EQ(lastStatsSample.User1Down, served["maxDataRateDown"].toDouble());
    EXPECT_EQ(lastStatsSample.User2Up, served["lineAttenuationUp"].toDouble());
    EXPECT_EQ(lastStatsSample.User2Down, served["lineAttenuationDown"].toDouble());
}

// A router page the user opens with a click in the view is shown and nothing more: no sample,
// and the next tick loads the statistics page again.
TEST_F(PageDriverEndToEnd, APageTheUserOpensIsShownButNotSampled) {
    driver.OpenStatsPage();
    ASSERT_TRUE(waitUntil([&] { return statsPages >= 1; })) << "no statistics page";
    ASSERT_EQ(run.state(), MonitorState::Running);
    auto* view = static_cast<QWebEngineView*>(browser.widget());
    bool homeLoaded = false;
    QObject::connect(view->page(), &QWebEnginePage::loadFinished, [&](bool) {
        homeLoaded = view->url().query() == QStringLiteral("active_page=9100");
    });

    // The user clicks "Home" in the router's menu, with the mouse.
    const int before = pagesReady;
    clickHome();
    ASSERT_TRUE(waitUntil([&] { return homeLoaded; })) << "the click opened nothing";

    // The next tick: the statistics page is the one sample since the click.
    const int stats = statsPages;
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return statsPages > stats; })) << "the tick loaded nothing";
    EXPECT_EQ(pagesReady, before + 1) << "the user's page was taken as a sample";
    EXPECT_EQ(run.state(), MonitorState::Running);
}

// The user clicks a router link while the tick's page is still on its way (a slow router): the
// tick's load is replaced, nothing is recorded for it, and the deadline no longer waits for it.
TEST_F(PageDriverEndToEnd, AClickThatReplacesTheTicksPageLeavesNoRecord) {
    auto limit = std::make_unique<FakeTimer>();
    FakeTimer& deadline = *limit;
    driver.setDeadlineTimer(std::move(limit));
    driver.OpenStatsPage();
    ASSERT_TRUE(waitUntil([&] { return statsPages >= 1; })) << "no statistics page";
    auto* view = static_cast<QWebEngineView*>(browser.widget());
    bool homeLoaded = false;
    QObject::connect(view->page(), &QWebEnginePage::loadFinished, [&](bool) {
        homeLoaded = view->url().query() == QStringLiteral("active_page=9100");
    });

    ASSERT_FALSE(sim.set(QStringLiteral("slow=1500")).isEmpty());
    const int before = pagesReady;
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return view->page()->isLoading(); })) << "the tick loaded nothing";
    clickHome();
    ASSERT_TRUE(waitUntil([&] { return homeLoaded; })) << "the click opened nothing";
    EXPECT_FALSE(deadline.isEnabled()) << "the deadline still waits for the replaced page";
    EXPECT_EQ(pagesReady, before) << "the replaced tick left a record";
    EXPECT_EQ(driver.routerState().answer(), RouterStatus::Reading);

    ASSERT_FALSE(sim.set(QStringLiteral("slow=0")).isEmpty());
    const int stats = statsPages;
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return statsPages > stats; })) << "the next tick loaded nothing";
    EXPECT_EQ(pagesReady, before + 1);
}

// A router that takes connections and answers nothing: every page asked for is given up at its
// deadline as exactly one page without statistics, none comes back later, and the router's
// answers count again once it answers.
TEST_F(PageDriverEndToEnd, EachPageAHungRouterNeverAnswersIsOnePageNotResponding) {
    auto limit = std::make_unique<FakeTimer>();
    FakeTimer& deadline = *limit;
    driver.setDeadlineTimer(std::move(limit));
    driver.OpenStatsPage();
    ASSERT_TRUE(waitUntil([&] { return statsPages >= 1; })) << "no statistics page";
    auto* page = static_cast<QWebEngineView*>(browser.widget())->page();
    int started = 0;
    QObject::connect(page, &QWebEnginePage::loadStarted, [&] { ++started; });

    ASSERT_FALSE(sim.set(QStringLiteral("slow=4000")).isEmpty());
    const int before = pagesReady;
    for (int tick = 1; tick <= 2; ++tick) {
        SCOPED_TRACE(tick);
        const int loads = started;
        timer1.elapse();
        ASSERT_TRUE(waitUntil([&] { return started > loads; })) << "the tick loaded nothing";
        ASSERT_TRUE(deadline.isEnabled());
        deadline.elapse();
        EXPECT_EQ(pagesReady, before + tick);
        EXPECT_EQ(driver.routerState().answer(), RouterStatus::NotResponding);
    }

    // The router answers again: the next tick's page is the statistics, and the one page since.
    ASSERT_FALSE(sim.set(QStringLiteral("slow=0")).isEmpty());
    const int stats = statsPages;
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return statsPages > stats; })) << "no statistics page";
    EXPECT_EQ(pagesReady, before + 3) << "a page given up on came back";
    EXPECT_EQ(driver.routerState().answer(), RouterStatus::Reading);
    EXPECT_FALSE(deadline.isEnabled());
}

TEST_F(PageDriverEndToEnd, WrongPasswordIsAnsweredOncePerRequestAndChangesNothing) {
    settings.Password = QStringLiteral("not the password");
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        driver.OpenStatsPage();
        ASSERT_TRUE(waitUntil([&] { return tabRequests >= attempt; })) << "no wrong-password page";
        // Had the wrong-password page been answered, the router would have been asked again
        // and again by now: every request gets exactly one wrong-password page.
        const QJsonObject served = simState();
        EXPECT_EQ(counter(served, "wrongPasswordPages"), attempt);
        EXPECT_EQ(counter(served, "loginPages"), attempt);
        EXPECT_EQ(counter(served, "logins"), 0);
        EXPECT_EQ(run.state(), MonitorState::NotStarted);
        EXPECT_FALSE(runEnabled);
        EXPECT_EQ(pagesReady, 0);
    }
}

TEST_F(PageDriverEndToEnd, PasswordChangedOnTheRouterKeepsTheRunStateUntilItIsRight) {
    driver.OpenStatsPage();
    ASSERT_TRUE(waitUntil([&] { return statsPages >= 1; })) << "no statistics page";
    ASSERT_EQ(run.state(), MonitorState::Running);

    ASSERT_FALSE(sim.set(QStringLiteral("logout=1&password=changed")).isEmpty());
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return tabRequests >= 1; })) << "no wrong-password page";
    EXPECT_EQ(run.state(), MonitorState::Running);
    EXPECT_EQ(counter(simState(), "wrongPasswordPages"), 1);

    settings.Password = QStringLiteral("changed");
    const int before = statsPages;
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return statsPages > before; })) << "no statistics page";
    EXPECT_EQ(counter(simState(), "logins"), 2);
    EXPECT_EQ(run.state(), MonitorState::Running);
}

TEST_F(PageDriverEndToEnd, FirmwareThatMovedTheStatisticsIsFollowed) {
    ASSERT_FALSE(sim.set(QStringLiteral("firmware=1")).isEmpty());
    driver.OpenStatsPage();
    ASSERT_TRUE(waitUntil([&] { return statsPages >= 1; })) << "no statistics page";
    const QString moved = sim.url(QStringLiteral("/index.cgi?active_page=9141"));
    EXPECT_EQ(settings.FirstUrl, "/index.cgi?active_page=9141");
    EXPECT_EQ(run.StatsPageUrl, moved);
    EXPECT_EQ(run.LastStatsPageUrl, moved);
    EXPECT_EQ(run.state(), MonitorState::Running);

    // The page that showed the firmware was read; the ticks go to the new address from now on.
    const int before = statsPages;
    timer1.elapse();
    ASSERT_TRUE(waitUntil([&] { return statsPages > before; })) << "the tick loaded nothing";
    const QJsonObject served = simState();
    EXPECT_EQ(counter(served, "statsPages"), statsPages);
    EXPECT_EQ(lastStatsSample.DataRateDown, served["dataRateDown"].toDouble());
    EXPECT_EQ(driver.Label2, "!" + moved);
}

} // namespace
