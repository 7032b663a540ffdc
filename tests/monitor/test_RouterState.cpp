// The router's state as the status bar, the tray and the title tell it: the answer to the page,
// what the statistics page showed of the line, the run state over both.
#include "monitor/RouterState.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <optional>

void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QDateTime kAsked(QDate(2026, 12, 8), QTime(10, 2, 13));
const QDateTime kResume(QDate(2026, 12, 8), QTime(23, 41, 5));

TEST(RouterState, TextAndTitleForEveryAnswerAndRunState) {
    struct Case {
        RouterStatus answer;
        MonitorState monitor;
        std::optional<QDateTime> resumeAt;
        RouterStatus shown;
        const char* text;
        const char* title;
    };
    const Case cases[] = {
        {RouterStatus::Connecting,
         MonitorState::NotStarted,
         {},
         RouterStatus::Connecting,
         "Connecting",
         "Lintrove 5A"},
        {RouterStatus::Reading,
         MonitorState::Running,
         {},
         RouterStatus::Reading,
         "Reading the line",
         "Lintrove 5A  [Running]"},
        {RouterStatus::NotResponding,
         MonitorState::Running,
         {},
         RouterStatus::NotResponding,
         "Not responding since 10:02:13",
         "Lintrove 5A  [Running]  - Home Hub not responding"},
        {RouterStatus::NotReachable,
         MonitorState::NotStarted,
         {},
         RouterStatus::NotReachable,
         "Not reachable since 10:02:13",
         "Lintrove 5A  - Home Hub not reachable"},
        {RouterStatus::PasswordRejected,
         MonitorState::Running,
         {},
         RouterStatus::PasswordRejected,
         "Password rejected",
         "Lintrove 5A  [Running]  - Home Hub rejected the password"},
        {RouterStatus::NoStatistics,
         MonitorState::Running,
         {},
         RouterStatus::NoStatistics,
         "No statistics since 10:02:13",
         "Lintrove 5A  [Running]  - No line statistics on the page"},
        // Paused or stopped, nothing is asked: the run state is what there is to tell.
        {RouterStatus::NotResponding, MonitorState::Paused, kResume, RouterStatus::Paused,
         "Paused, resumes at 23:41:05", "Lintrove 5A  [Paused]"},
        {RouterStatus::Reading,
         MonitorState::Paused,
         {},
         RouterStatus::Paused,
         "Paused",
         "Lintrove 5A  [Paused]"},
        {RouterStatus::PasswordRejected,
         MonitorState::Stopped,
         {},
         RouterStatus::Stopped,
         "Stopped",
         "Lintrove 5A  [Stopped]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(routerStatusName(c.answer));
        SCOPED_TRACE(monitorStateTitle(c.monitor).toStdString());
        RouterState state;
        state.setMonitorState(c.monitor, c.resumeAt);
        state.setAnswer(c.answer, kAsked);
        EXPECT_EQ(state.status(), c.shown);
        EXPECT_EQ(state.text(), QString::fromUtf8(c.text));
        EXPECT_EQ(state.windowTitle(), QString::fromUtf8(c.title));
    }
}

// "since" is when the first request of an unbroken run of one failure was made.
TEST(RouterState, AFailureKeepsTheTimeItBegan) {
    RouterState state;
    QSignalSpy texts(&state, &RouterState::textChanged);
    state.setMonitorState(MonitorState::Running, {});
    state.setAnswer(RouterStatus::NotResponding, kAsked);
    state.setAnswer(RouterStatus::NotResponding, kAsked.addSecs(30));
    state.setAnswer(RouterStatus::NotResponding, kAsked.addSecs(60));
    EXPECT_EQ(state.since(), kAsked);
    EXPECT_EQ(texts.count(), 1) << "told once, not at every sample";

    state.setAnswer(RouterStatus::NotReachable, kAsked.addSecs(90));
    EXPECT_EQ(state.text(), "Not reachable since 10:03:43");
    state.setAnswer(RouterStatus::Reading, kAsked.addSecs(120));
    state.setAnswer(RouterStatus::NotReachable, kAsked.addSecs(150));
    EXPECT_EQ(state.text(), "Not reachable since 10:04:43");
}

// What the statistics page showed: without sync the line says since when, never "Reading the
// line" beside a reading of zeros. A page that was not the statistics says nothing of the line,
// so a stretch without sync goes on across it.
TEST(RouterState, TheLineWithoutSyncSaysSinceWhen) {
    using S = LineReading::State;
    struct Step {
        RouterStatus answer;
        std::optional<S> line; // none: a page without statistics
        int at;                // seconds after 10:31:05
        const char* text;
    };
    const QDateTime t0(QDate(2026, 12, 8), QTime(10, 31, 5));
    const Step steps[] = {
        {RouterStatus::Reading, S::Synced, 0, "Reading the line"},
        {RouterStatus::Reading, S::NoSync, 30, "No sync since 10:31:35"},
        {RouterStatus::Reading, S::NoSync, 60, "No sync since 10:31:35"},
        {RouterStatus::NotResponding, {}, 90, "Not responding since 10:32:35"},
        {RouterStatus::Reading, S::NoSync, 120, "No sync since 10:31:35"},
        {RouterStatus::Reading, S::Synced, 150, "Reading the line"},
        {RouterStatus::PasswordRejected, {}, 180, "Password rejected"},
        {RouterStatus::Reading, S::NoSync, 210, "No sync since 10:34:35"},
        // The statistics page without one of its groups: not read, and said so.
        {RouterStatus::Reading, S::NotRead, 240, "Statistics incomplete since 10:35:05"},
        {RouterStatus::Reading, S::NotRead, 270, "Statistics incomplete since 10:35:05"},
        {RouterStatus::Reading, S::NoSync, 300, "No sync since 10:34:35"},
        {RouterStatus::Reading, S::Synced, 330, "Reading the line"},
    };
    RouterState state;
    state.setMonitorState(MonitorState::Running, {});
    QSignalSpy texts(&state, &RouterState::textChanged);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.at);
        const QDateTime at = t0.addSecs(step.at);
        state.setAnswer(step.answer, at);
        if (step.line)
            state.setLine(*step.line, at);
        EXPECT_EQ(state.text(), QString::fromUtf8(step.text));
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(texts.last().at(0).toString(), QString::fromUtf8(step.text));
    }
    // Paused, the run state is what there is to tell.
    state.setLine(S::NoSync, t0.addSecs(360));
    state.setMonitorState(MonitorState::Paused, {});
    EXPECT_EQ(state.text(), "Paused");
    state.setMonitorState(MonitorState::Running, {});
    EXPECT_EQ(state.text(), "No sync since 10:37:05");
}

} // namespace
