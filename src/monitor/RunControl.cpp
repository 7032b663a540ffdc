#include "monitor/RunControl.h"

#include "core/Clock.h"
#include "core/FormatDateTime.h"
#include "core/Timer.h"
#include "monitor/Browser.h"
#include "storage/Settings.h"

#include <QCoreApplication>

RunControl::RunControl(Browser& browser, Timer& timer1, Timer& timer5, const Settings& settings,
                       const Clock& clock, QObject* parent)
    : QObject(parent), browser_(browser), timer1_(timer1), timer5_(timer5), settings_(settings),
      clock_(clock), runCaption_(QStringLiteral("Start")), stopCaption_(QStringLiteral("Pause")),
      stopPicture_(QStringLiteral("pausebitmap")) {
    ProcessEvents = [] { QCoreApplication::processEvents(); };
    timer1_.setEnabled(false);
    timer5_.setEnabled(false);
    timer1_.setInterval(settings_.Sample * 1000);
    timer5_.setInterval(settings_.PauseDelay * 1000);
    timer1_.setHandler([this] { Timer1Timer(); });
    timer5_.setHandler([this] { Timer5Timer(); });
}

void RunControl::setState(MonitorState state) {
    state_ = state;
    Q_EMIT stateChanged(state_);
    Q_EMIT titleChanged(WindowTitle());
}

void RunControl::setButtons(const QString& runCaption, const QString& stopCaption,
                            const QString& stopPicture, PressedButton pressed) {
    runCaption_ = runCaption;
    stopCaption_ = stopCaption;
    stopPicture_ = stopPicture;
    pressed_ = pressed;
    Q_EMIT buttonsChanged();
}

void RunControl::btnRunClick(StartedBy by) {
    if (by == StartedBy::User)
        Q_EMIT startedByUser();
    runCaption_ = QStringLiteral("Resume");
    pressed_ = PressedButton::Run;
    resumeAt_.reset();
    setState(MonitorState::Running);
    Q_EMIT buttonsChanged();

    // The last address that led to the statistics page wins over one that has not (yet). Before
    // any statistics page there is none, and the address being tried stays: emptying it would
    // leave every later tick reloading whatever page happens to be shown.
    if (!LastStatsPageUrl.isEmpty() && StatsPageUrl != LastStatsPageUrl)
        StatsPageUrl = LastStatsPageUrl;

    timer1_.setInterval(settings_.Sample * 1000);
    timer1_.setEnabled(true);
    SamplingSuspended = false;

    Timer1Timer();

    startPanelText_ = QStringLiteral("Start: ") +
                      FormatDateTime(QStringLiteral("ddd dd mmmm hh:mm:ss"), clock_.now());
    Q_EMIT startTimeChanged(startPanelText_);

    Q_EMIT maintenanceCheckRequested();

    Q_EMIT rateTextsCleared();
    Q_EMIT lostSyncPendingCleared();

    Q_EMIT lostSyncIndicatorChanged(settings_.LostSync);
    Q_EMIT captureIndicatorChanged(settings_.cbCapture);

    Q_EMIT routerTypeEnabledChanged(false);
    Q_EMIT passwordEntryEnabledChanged(true);

    timer5_.setEnabled(false);
    setButtons(runCaption_, QStringLiteral("Pause"), QStringLiteral("pausebitmap"),
               PressedButton::Run);
}

void RunControl::Timer1Timer() {
    ProcessEvents();
    if (SamplingSuspended)
        return;
    browser_.setSilent(true);
    browser_.ensureWindow();
    Q_EMIT pageRequested();
    // A failed load is not reported here: it still completes as a page, and the next tick
    // tries again.
    if (!StatsPageUrl.isEmpty())
        browser_.navigate(StatsPageUrl);
    else
        browser_.refresh();
}

void RunControl::btnStopClick() {
    switch (state_) {
    case MonitorState::Stopped:
        return;
    case MonitorState::Paused:
        timer5_.setEnabled(false);
        resumeAt_.reset();
        Q_EMIT resumeTimeChanged();
        return;
    case MonitorState::NotStarted:
    case MonitorState::Running:
        break;
    }
    // A PauseDelay changed while the program runs counts from this pause on.
    timer5_.setInterval(settings_.PauseDelay * 1000);
    resumeAt_ = clock_.now().addSecs(settings_.PauseDelay);
    setState(MonitorState::Paused);
    setButtons(QStringLiteral("Resume"), QStringLiteral("Stop"), QStringLiteral("stopbitmap"),
               PressedButton::Stop);
    timer5_.setEnabled(true);
    timer1_.setEnabled(false);
    SamplingSuspended = true;
    Q_EMIT captureIndicatorChanged(settings_.cbCapture);
    Q_EMIT trayIconRequested(QStringLiteral("Stop"));
    Q_EMIT lostSyncPendingCleared();
    Q_EMIT passwordEntryEnabledChanged(true);
}

void RunControl::btnStopMouseDown() {
    if (state_ != MonitorState::Paused)
        return;
    timer1_.setEnabled(false);
    timer5_.setEnabled(false);
    resumeAt_.reset();
    setState(MonitorState::Stopped);
    setButtons(QStringLiteral("Start"), stopCaption_, stopPicture_, pressed_);
}

void RunControl::Timer5Timer() {
    btnRunClick(StartedBy::Program);
}

void RunControl::suspendSampling() {
    SamplingSuspended = true;
    timer1_.setEnabled(false);
}

void RunControl::resumeSampling() {
    SamplingSuspended = false;
    // Switching off first makes a running timer start a full interval anew.
    timer1_.setEnabled(false);
    timer1_.setEnabled(state_ == MonitorState::Running);
}
