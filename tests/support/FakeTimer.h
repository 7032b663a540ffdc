#pragma once
// A timer that tests fire by hand; it never runs by itself.
#include "core/Timer.h"

class FakeTimer final : public Timer {
public:
    explicit FakeTimer(int intervalMs = 1000) : interval_(intervalMs) {}
    void setInterval(int ms) override {
        interval_ = ms;
        ++restarts_;
    }
    int interval() const override { return interval_; }
    void setEnabled(bool on) override { enabled_ = on; }
    bool isEnabled() const override { return enabled_; }
    // Fires the handler as an elapsed interval would, only while enabled.
    void elapse() {
        if (enabled_)
            fire();
    }
    int restarts() const { return restarts_; }

private:
    int interval_;
    bool enabled_ = false;
    int restarts_ = 0;
};
