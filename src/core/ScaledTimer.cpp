#include "core/ScaledTimer.h"

ScaledTimer::ScaledTimer(std::unique_ptr<Timer> real, TimeScale scale)
    : real_(std::move(real)), scale_(scale), interval_(real_->interval()) {
    real_->setInterval(scale_.realInterval(interval_));
    real_->setHandler([this] { fire(); });
}

void ScaledTimer::setInterval(int ms) {
    interval_ = ms;
    real_->setInterval(scale_.realInterval(ms));
}
