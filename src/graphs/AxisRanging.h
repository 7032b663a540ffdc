#pragma once
// Assignments to axis ranges that never throw for ordinary values, and the automatic widening of
// the vertical axes after each appended sample.
#include "charting/ChartModel.h"

namespace AxisRanging {

// The engine's refusal rule checked before assigning, so a refusal costs no exception. Returns
// false (axis unchanged) where the engine would refuse.
bool TrySetMaximum(ChartAxis& axis, double value);
bool TrySetMinimum(ChartAxis& axis, double value);

// Moves an axis to [minimum, maximum], assigning the two ends in the order the engine accepts
// wherever the range lies now. An inverted target (minimum above maximum) throws AxisRangeError
// and leaves the axis unchanged.
void MoveWindow(ChartAxis& axis, double minimum, double maximum);

// Noise margin (Chart1 and Chart5): a maximum within 10 % of the value grows to 140 % (left) or
// 110 % (right) of it, capped at 50 dB. Minima are never changed.
void AdjustNoiseMargin(ChartModel& chart, double up, double down);
// Connection speed (Chart2): as the noise margin without the cap.
void AdjustConnectionSpeed(ChartModel& chart, double up, double down);
// A user graph: the left maximum grows to up + up * leftMaxPercent / 100, the right one to
// 110 %; a minimum above the value drops to value - value * percent / 100, never below 0.
void AdjustUserGraph(ChartModel& chart, double up, double down, double leftMaxPercent,
                     double leftMinPercent, double rightMinPercent);

} // namespace AxisRanging
