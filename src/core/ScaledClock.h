#pragma once
// The system clock running at a TimeScale's speed.
#include "core/Clock.h"
#include "core/TimeScale.h"

class ScaledClock : public Clock {
public:
    explicit ScaledClock(TimeScale scale) : scale_(scale) {}
    QDateTime now() const override { return scale_.programTime(QDateTime::currentDateTime()); }

private:
    TimeScale scale_;
};
