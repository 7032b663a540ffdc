#pragma once
// Restarting the program: this instance saves its settings and lets go of its files first, and
// only then is the new instance started, so that two instances never write the same files and the
// new one loads the settings in force.
#include "housekeeping/InstanceLauncher.h"

#include <functional>

class Timer;

class Restarter {
public:
    struct Steps {
        // Writes the settings file. A failure does not stop a scheduled restart: the file is
        // replaced atomically, so the previous one is still there.
        std::function<bool()> SaveSettings;
        // Ends the event loop without the close sequence (no question, no capture at close).
        std::function<void()> EndProgram;
        // Closes the main window through its normal close sequence; false when the close was
        // abandoned (settings that could not be written).
        std::function<bool()> CloseMainWindow;
        // True while a modal dialog or Find is open; a scheduled restart waits for it to close.
        std::function<bool()> Busy;
    };

    // retryTimer paces the wait of a scheduled restart behind a modal dialog. main() creates the
    // restarter before the main window, which sets the steps, so that LaunchPending can run once
    // the window is gone.
    Restarter(InstanceLauncher& launcher, InstanceLauncher::Request request, Timer& retryTimer,
              Steps steps = {});
    void setSteps(Steps steps) { steps_ = std::move(steps); }

    // The scheduled restart of the daily maintenance: save the settings, end the program.
    void ScheduledRestart();
    // "Restart Now": close the main window normally, skipping its close question. When the close
    // is abandoned nothing is started and RestartInProgress is cleared again. Returns whether the
    // window closed.
    bool RestartNow();

    // Set while a restart closes the program; the main window's close sequence then asks nothing.
    bool RestartInProgress() const { return inProgress_; }
    // Whether the program is ending for a restart, so a new instance is due.
    bool Pending() const { return pending_; }

    // Called once this instance has released its files (the main window is gone), just before
    // main() returns: starts the new instance when a restart is pending. The new instance then
    // waits on the instance lock until this process has ended. Returns whether one was started.
    bool LaunchPending();

private:
    void retry();

    InstanceLauncher& launcher_;
    InstanceLauncher::Request request_;
    Timer& retryTimer_;
    Steps steps_;
    bool inProgress_ = false;
    bool pending_ = false;
    bool waiting_ = false;
};
