#pragma once
// Opens the setup wizard by itself while the setup is unfinished (no settings file, or no
// password): 750 ms after the main window is activated, on a single-shot timer. After a Cancel
// of an unfinished setup it stays quiet for the rest of the run and the status line says how to
// open the wizard; the menu still opens it.
#include "core/Timer.h"

#include <QString>
#include <functional>

class FirstRunGate {
public:
    static constexpr int DelayMs = 750;

    struct Hooks {
        std::function<bool()> settingsFileExists;
        std::function<bool()> passwordEmpty;
        std::function<bool()> wizardShowing;
        std::function<void()> openWizard;                  // the File menu's "Setup Wizard..."
        std::function<void(const QString&)> setStatusLine; // the line under the browser
    };

    // Takes over the timer's interval and handler.
    FirstRunGate(Timer& timer4, Hooks hooks);

    void FormActivate(); // the main window has been activated
    void Timer4Timer();  // the timer's handler
    void wizardCancelled();
    // The setup was saved: the status line's hint goes, and the gate works as at start.
    void wizardFinished();
    bool quiet() const { return quiet_; }

    static QString notFinishedText() {
        return QStringLiteral("Setup not finished: choose File > Setup Wizard... to enter the "
                              "router's address and password");
    }

private:
    bool setupUnfinished() const;

    Timer& timer_;
    Hooks hooks_;
    bool quiet_ = false;
};
