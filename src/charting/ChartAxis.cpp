#include "charting/ChartAxis.h"

ChartAxis::ChartAxis(double minimum, double maximum) : min_(minimum), max_(maximum) {
    if (min_ > max_)
        throw AxisRangeError(QStringLiteral("Axis Minimum Value must be <= Maximum"));
}

void ChartAxis::setMinimum(double value) {
    if (value > max_)
        throw AxisRangeError(QStringLiteral("Axis Minimum Value must be <= Maximum"));
    if (value != min_) {
        min_ = value;
        ++revision_;
        if (changed_)
            changed_();
    }
}

void ChartAxis::setMaximum(double value) {
    if (value < min_)
        throw AxisRangeError(QStringLiteral("Axis Maximum Value must be >= Minimum"));
    if (value != max_) {
        max_ = value;
        ++revision_;
        if (changed_)
            changed_();
    }
}
