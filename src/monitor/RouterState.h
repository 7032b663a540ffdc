#pragma once
// The router's state as the user is told it wherever he looks: the last answer to a page the
// program asked for, with the time a failure began, what the statistics page showed of the line,
// and over it the pause or stop of the monitor. Gives the line of the status bar and the tray
// tooltip, and the window title.
#include "core/LineReading.h"
#include "monitor/MonitorState.h"
#include "monitor/RouterStatus.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <optional>

class RouterState : public QObject {
    Q_OBJECT
public:
    explicit RouterState(QObject* parent = nullptr) : QObject(parent) {}

    // The router's answer to the page asked for at requestedAt. A failure that goes on keeps the
    // time of its first request.
    void setAnswer(RouterStatus answer, const QDateTime& requestedAt);
    // The line as a statistics page read at `at` showed it. Without sync the text says since
    // when, from the first such page; a statistics page with a group missing says the
    // statistics are incomplete. A page that was not the statistics is no news of the line, and
    // is not given here: synced, not read, no sync is still one stretch without sync.
    void setLine(LineReading::State state, const QDateTime& at);
    // The monitor's run state; resumeAt is when a pause ends by itself (none: it does not).
    void setMonitorState(MonitorState state, const std::optional<QDateTime>& resumeAt);

    RouterStatus answer() const { return answer_; }
    // When the present answer began: the request of its first page.
    QDateTime since() const { return since_; }
    // What is shown: Paused or Stopped while the monitor is, the router's answer otherwise.
    RouterStatus status() const;
    // The line of the status bar and the tray, short enough for both: "Reading the line",
    // "No sync since 10:31:05", "Paused, resumes at 23:41:05", "Not responding since
    // 10:02:13", ...
    QString text() const;
    // The run state's title, followed by what is wrong while the line is not read:
    // "Lintrove 5A  [Running]  - Home Hub not responding".
    QString windowTitle() const;

Q_SIGNALS:
    void statusChanged(RouterStatus status);
    void textChanged(const QString& text);
    void windowTitleChanged(const QString& title);

private:
    void update();

    RouterStatus answer_ = RouterStatus::Connecting;
    QDateTime since_;
    // The statistics page's line: without sync since, incomplete since (invalid: not so).
    QDateTime noSyncSince_, incompleteSince_;
    MonitorState monitor_ = MonitorState::NotStarted;
    std::optional<QDateTime> resumeAt_;
    // What was last told, so that only changes are.
    RouterStatus shownStatus_ = RouterStatus::Connecting;
    QString shownText_ = text();
    QString shownTitle_ = windowTitle();
};
