// The router's state as the status bar, the tray and the title tell it.
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

} // namespace
