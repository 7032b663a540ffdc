#include "monitor/RouterState.h"

#include "core/ReadingText.h"

void RouterState::setAnswer(RouterStatus answer, const QDateTime& requestedAt) {
    if (answer != answer_ || !since_.isValid())
        since_ = requestedAt;
    answer_ = answer;
    update();
}

void RouterState::setLine(LineReading::State state, const QDateTime& at) {
    switch (state) {
    case LineReading::State::Synced:
        noSyncSince_ = QDateTime();
        incompleteSince_ = QDateTime();
        break;
    case LineReading::State::NoSync:
        if (!noSyncSince_.isValid())
            noSyncSince_ = at;
        incompleteSince_ = QDateTime();
        break;
    case LineReading::State::NotRead:
        if (!incompleteSince_.isValid())
            incompleteSince_ = at;
        break;
    }
    update();
}

void RouterState::setMonitorState(MonitorState state, const std::optional<QDateTime>& resumeAt) {
    monitor_ = state;
    resumeAt_ = resumeAt;
    update();
}

RouterStatus RouterState::status() const {
    switch (monitor_) {
    case MonitorState::Paused:
        return RouterStatus::Paused;
    case MonitorState::Stopped:
        return RouterStatus::Stopped;
    case MonitorState::NotStarted:
    case MonitorState::Running:
        break;
    }
    return answer_;
}

QString RouterState::text() const {
    switch (status()) {
    case RouterStatus::Connecting:
        return QStringLiteral("Connecting");
    case RouterStatus::Reading:
        if (incompleteSince_.isValid())
            return QStringLiteral("Statistics incomplete since ") +
                   ReadingText::timeOfDay(incompleteSince_);
        if (noSyncSince_.isValid())
            return ReadingText::noSyncSince(noSyncSince_);
        return QStringLiteral("Reading the line");
    case RouterStatus::NotReachable:
        return QStringLiteral("Not reachable since ") + ReadingText::timeOfDay(since_);
    case RouterStatus::NotResponding:
        return QStringLiteral("Not responding since ") + ReadingText::timeOfDay(since_);
    case RouterStatus::PasswordRejected:
        return QStringLiteral("Password rejected");
    case RouterStatus::NoStatistics:
        return QStringLiteral("No statistics since ") + ReadingText::timeOfDay(since_);
    case RouterStatus::Paused:
        return resumeAt_
                   ? QStringLiteral("Paused, resumes at ") + ReadingText::timeOfDay(*resumeAt_)
                   : QStringLiteral("Paused");
    case RouterStatus::Stopped:
        return QStringLiteral("Stopped");
    }
    return QString();
}

QString RouterState::windowTitle() const {
    const QString title = monitorStateTitle(monitor_);
    // A paused or stopped monitor asks nothing: its title says all there is.
    switch (status()) {
    case RouterStatus::NotReachable:
        return title + QStringLiteral("  - Home Hub not reachable");
    case RouterStatus::NotResponding:
        return title + QStringLiteral("  - Home Hub not responding");
    case RouterStatus::PasswordRejected:
        return title + QStringLiteral("  - Home Hub rejected the password");
    case RouterStatus::NoStatistics:
        return title + QStringLiteral("  - No line statistics on the page");
    case RouterStatus::Connecting:
    case RouterStatus::Reading:
    case RouterStatus::Paused:
    case RouterStatus::Stopped:
        break;
    }
    return title;
}

void RouterState::update() {
    const RouterStatus now = status();
    if (now != shownStatus_) {
        shownStatus_ = now;
        Q_EMIT statusChanged(now);
    }
    if (const QString t = text(); t != shownText_) {
        shownText_ = t;
        Q_EMIT textChanged(t);
    }
    if (const QString t = windowTitle(); t != shownTitle_) {
        shownTitle_ = t;
        Q_EMIT windowTitleChanged(t);
    }
}
