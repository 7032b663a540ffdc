#pragma once
// The system clock running at a TimeScale's speed; its steady clock runs as fast.
#include "core/Clock.h"
#include "core/TimeScale.h"

class ScaledClock : public Clock {
public:
    explicit ScaledClock(TimeScale scale) : scale_(scale), startMs_(bootTimeMs()) {}
    QDateTime now() const override { return scale_.programTime(QDateTime::currentDateTime()); }
    qint64 steadyMs() const override {
        return startMs_ + qint64(double(bootTimeMs() - startMs_) * scale_.scale());
    }

private:
    TimeScale scale_;
    qint64 startMs_;
};
