#pragma once
// The monitor's run state and the timers of the sampling cycle: Start/Resume, Pause/Stop, the
// sample tick and the automatic resume after a pause, with the button and title texts they show.
#include "core/SamplingControl.h"
#include "monitor/MonitorState.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class Browser;
class Clock;
class Timer;
struct Settings;

class RunControl : public QObject, public SamplingControl {
    Q_OBJECT
public:
    // Which of the pair btnRun/btnStop is shown pressed; always exactly one.
    enum class PressedButton { Run, Stop };
    // Who starts: the user (btnRun, the page buttons) or the program itself (the automatic
    // resume, the first statistics page).
    enum class StartedBy { User, Program };

    // timer1 is the sample timer, timer5 the automatic resume; both are switched off here. Reads
    // Sample, PauseDelay (at every pause), cbCapture and LostSync from settings whenever it
    // needs them.
    RunControl(Browser& browser, Timer& timer1, Timer& timer5, const Settings& settings,
               const Clock& clock, QObject* parent = nullptr);

    // Start and Resume: the btnRun click; also run by Timer5, the page buttons and the page
    // driver on the first statistics page.
    void btnRunClick(StartedBy by = StartedBy::User);
    // Pause: the btnStop click.
    void btnStopClick();
    // Mouse-down on btnStop, any button; comes before the click, so a second Pause stops.
    void btnStopMouseDown();
    // The sample tick: asks the browser for the statistics page.
    void Timer1Timer();
    // The automatic resume.
    void Timer5Timer();

    // SamplingControl: held while the left button drags on a graph.
    void suspendSampling() override;
    void resumeSampling() override;

    MonitorState state() const { return state_; }
    QString WindowTitle() const { return monitorStateTitle(state_); }
    QString RunCaption() const { return runCaption_; }
    QString StopCaption() const { return stopCaption_; }
    QString StopPicture() const { return stopPicture_; } // a bitmap resource name
    PressedButton Pressed() const { return pressed_; }
    QString StartPanelText() const { return startPanelText_; } // status panel 0
    // When the pause ends by itself; none while the monitor is not paused or will not resume.
    std::optional<QDateTime> ResumeAt() const { return resumeAt_; }

    bool SamplingSuspended = false;
    // Loaded at every tick; empty means "reload whatever is shown".
    QString StatsPageUrl;
    // StatsPageUrl as it was when the statistics page was last recognised; empty until then.
    QString LastStatsPageUrl;

    // Lets pending window messages be processed at the start of every tick; by default
    // QCoreApplication::processEvents. Other handlers may run inside it.
    std::function<void()> ProcessEvents;

Q_SIGNALS:
    void stateChanged(MonitorState state);
    // ResumeAt changed while the state did not.
    void resumeTimeChanged();
    // The user pressed Start or Resume (not the automatic resume).
    void startedByUser();
    // A tick is about to load the statistics page.
    void pageRequested();
    void titleChanged(const QString& title);
    // Any of RunCaption, StopCaption, StopPicture, Pressed may have changed.
    void buttonsChanged();
    void startTimeChanged(const QString& panelText);
    // Start: the daily-maintenance check runs once.
    void maintenanceCheckRequested();
    // Start: CurrentSample's DataRateUpText and DataRateDownText are emptied.
    void rateTextsCleared();
    // Start and Pause: the sample pipeline's LostSyncPending := false.
    void lostSyncPendingCleared();
    // Toolbar indicators: Image1 (pages are captured), Image2 (armed for a lost connection).
    void captureIndicatorChanged(bool visible);
    void lostSyncIndicatorChanged(bool visible);
    // Start disables the router-type box; Start and Pause enable the password box.
    void routerTypeEnabledChanged(bool enabled);
    void passwordEntryEnabledChanged(bool enabled);
    // Pause: the tray icon shows the paused picture ("Stop").
    void trayIconRequested(const QString& state);

private:
    void setState(MonitorState state);
    void setButtons(const QString& runCaption, const QString& stopCaption,
                    const QString& stopPicture, PressedButton pressed);

    Browser& browser_;
    Timer& timer1_;
    Timer& timer5_;
    const Settings& settings_;
    const Clock& clock_;

    MonitorState state_ = MonitorState::NotStarted;
    QString runCaption_;
    QString stopCaption_;
    QString stopPicture_;
    PressedButton pressed_ = PressedButton::Stop;
    QString startPanelText_;
    std::optional<QDateTime> resumeAt_;
};
