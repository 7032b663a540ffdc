#pragma once
// One axis of a chart: its range, which refuses to be inverted, and its appearance.
#include "charting/AxisRangeError.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>

class ChartAxis {
public:
    ChartAxis(double minimum = 0.0, double maximum = 10.0);

    double minimum() const { return min_; }
    double maximum() const { return max_; }
    // Throws AxisRangeError("Axis Minimum Value must be <= Maximum") when value > maximum();
    // the axis stays unchanged. Equal values are accepted.
    void setMinimum(double value);
    // Throws AxisRangeError("Axis Maximum Value must be >= Minimum") when value < minimum().
    void setMaximum(double value);

    // Appearance.
    QString title;
    QColor titleColor = Qt::black;
    QFont labelFont;
    QColor labelColor = Qt::black;
    int labelAngle = 0;               // degrees; the bottom axis uses 90
    int minLabelSpacingPercent = 100; // minimum gap between labels, in percent of a label
    double startPercent = 0.0;        // where the axis starts, percent of the chart's extent
    double endPercent = 100.0;        // where it ends
    bool gridVisible = true;
    QColor gridColor = QColor(229, 229, 229);
    bool visible = true;

    // Bumped on every change of the range, so views know when to repaint.
    quint64 revision() const { return revision_; }
    // Called after every change of the range (the chart model uses it to ask its views to repaint).
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    double min_;
    double max_;
    quint64 revision_ = 0;
    std::function<void()> changed_;
};
