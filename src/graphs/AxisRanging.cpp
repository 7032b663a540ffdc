#include "graphs/AxisRanging.h"

namespace AxisRanging {

bool TrySetMaximum(ChartAxis& axis, double value) {
    if (value < axis.minimum())
        return false;
    axis.setMaximum(value);
    return true;
}

bool TrySetMinimum(ChartAxis& axis, double value) {
    if (value > axis.maximum())
        return false;
    axis.setMinimum(value);
    return true;
}

void MoveWindow(ChartAxis& axis, double minimum, double maximum) {
    if (minimum > maximum)
        throw AxisRangeError(QStringLiteral("Axis Maximum Value must be >= Minimum"));
    // A target entirely above the current range needs the maximum raised first; anywhere else
    // the minimum can go first, and the maximum then only has to stay above it.
    if (minimum > axis.maximum()) {
        axis.setMaximum(maximum);
        axis.setMinimum(minimum);
    } else {
        axis.setMinimum(minimum);
        axis.setMaximum(maximum);
    }
}

namespace {

// Each group below stops at its first refused assignment; the next group runs regardless.
// Expressions x + x * k / 100 are kept in that form so they round the same way for either sign.

void growMaximum(ChartAxis& axis, double value, double percent, double cap) {
    if (value + value * 10 / 100 >= axis.maximum()) {
        if (!TrySetMaximum(axis, value + value * percent / 100))
            return;
    }
    if (axis.maximum() > cap)
        TrySetMaximum(axis, cap);
}

void lowerMinimum(ChartAxis& axis, double value, double percent) {
    if (axis.minimum() > value) {
        if (!TrySetMinimum(axis, value - value * percent / 100))
            return;
    }
    if (axis.minimum() < 0)
        TrySetMinimum(axis, 0);
}

} // namespace

void AdjustNoiseMargin(ChartModel& chart, double up, double down) {
    growMaximum(chart.leftAxis(), up, 40, 50);
    growMaximum(chart.rightAxis(), down, 10, 50);
}

void AdjustConnectionSpeed(ChartModel& chart, double up, double down) {
    ChartAxis& left = chart.leftAxis();
    if (up + up * 10 / 100 >= left.maximum())
        TrySetMaximum(left, up + up * 40 / 100);
    ChartAxis& right = chart.rightAxis();
    if (down + down * 10 / 100 >= right.maximum())
        TrySetMaximum(right, down + down * 10 / 100);
}

void AdjustUserGraph(ChartModel& chart, double up, double down, double leftMaxPercent,
                     double leftMinPercent, double rightMinPercent) {
    ChartAxis& left = chart.leftAxis();
    ChartAxis& right = chart.rightAxis();
    // Both maxima form one group: a refused left maximum leaves the right one as it is.
    [&] {
        if (up + up * 10 / 100 >= left.maximum() &&
            !TrySetMaximum(left, up + up * leftMaxPercent / 100))
            return;
        if (down + down * 10 / 100 >= right.maximum())
            TrySetMaximum(right, down + down * 10 / 100);
    }();
    lowerMinimum(left, up, leftMinPercent);
    lowerMinimum(right, down, rightMinPercent);
}

} // namespace AxisRanging
