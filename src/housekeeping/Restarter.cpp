#include "housekeeping/Restarter.h"

#include "core/Timer.h"

#include <cstdio>

namespace {
constexpr int kRetryMs = 1000;
}

Restarter::Restarter(InstanceLauncher& launcher, InstanceLauncher::Request request,
                     Timer& retryTimer, Steps steps)
    : launcher_(launcher), request_(std::move(request)), retryTimer_(retryTimer),
      steps_(std::move(steps)) {
    retryTimer_.setEnabled(false);
    retryTimer_.setInterval(kRetryMs);
    retryTimer_.setHandler([this] { retry(); });
}

void Restarter::ScheduledRestart() {
    if (pending_)
        return;
    if (steps_.Busy && steps_.Busy()) {
        waiting_ = true;
        retryTimer_.setEnabled(true);
        return;
    }
    waiting_ = false;
    retryTimer_.setEnabled(false);
    inProgress_ = true;
    if (steps_.SaveSettings && !steps_.SaveSettings())
        std::fprintf(stderr, "lintrove5a: restarting with the settings last saved\n");
    pending_ = true;
    if (steps_.EndProgram)
        steps_.EndProgram();
}

void Restarter::retry() {
    if (waiting_)
        ScheduledRestart();
    else
        retryTimer_.setEnabled(false);
}

bool Restarter::RestartNow() {
    if (pending_)
        return true;
    inProgress_ = true;
    const bool closed = steps_.CloseMainWindow && steps_.CloseMainWindow();
    if (!closed) {
        inProgress_ = false;
        return false;
    }
    // A scheduled restart still waiting behind the dialog is this one now.
    waiting_ = false;
    retryTimer_.setEnabled(false);
    pending_ = true;
    return true;
}

bool Restarter::LaunchPending() {
    if (!pending_)
        return false;
    pending_ = false;
    return launcher_.start(request_);
}
