#include "app/binders/FirstRunGate.h"

FirstRunGate::FirstRunGate(Timer& timer4, Hooks hooks) : timer_(timer4), hooks_(std::move(hooks)) {
    timer_.setEnabled(false);
    timer_.setInterval(DelayMs);
    timer_.setHandler([this] { Timer4Timer(); });
}

bool FirstRunGate::setupUnfinished() const {
    return !hooks_.settingsFileExists() || hooks_.passwordEmpty();
}

void FirstRunGate::FormActivate() {
    if (quiet_ || hooks_.wizardShowing())
        return;
    if (setupUnfinished())
        timer_.setEnabled(true);
}

void FirstRunGate::Timer4Timer() {
    timer_.setEnabled(false);
    // A Cancel, a menu opening or a Finish since the timer was armed wins.
    if (quiet_ || hooks_.wizardShowing() || !setupUnfinished())
        return;
    hooks_.openWizard();
}

void FirstRunGate::wizardCancelled() {
    timer_.setEnabled(false);
    if (!setupUnfinished())
        return;
    quiet_ = true;
    hooks_.setStatusLine(notFinishedText());
}

void FirstRunGate::wizardFinished() {
    timer_.setEnabled(false);
    if (quiet_)
        hooks_.setStatusLine(QString());
    quiet_ = false;
}
