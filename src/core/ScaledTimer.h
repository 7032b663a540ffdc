#pragma once
// A timer that runs a real timer a TimeScale's times as fast, while the program still sees the
// interval it asked for.
#include "core/TimeScale.h"
#include "core/Timer.h"

class ScaledTimer : public Timer {
public:
    ScaledTimer(std::unique_ptr<Timer> real, TimeScale scale);
    void setInterval(int ms) override;
    int interval() const override { return interval_; }
    void setEnabled(bool on) override { real_->setEnabled(on); }
    bool isEnabled() const override { return real_->isEnabled(); }

private:
    std::unique_ptr<Timer> real_;
    TimeScale scale_;
    int interval_;
};
