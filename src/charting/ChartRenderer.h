#pragma once
// Paints a ChartModel: only the points inside the bottom axis's window are drawn, so the cost
// does not grow with the length of the history.
#include "charting/ChartModel.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

struct ChartLayout {
    QRectF plot; // the plot area in chart coordinates (inside the axes' start/end positions)
    // Value under a position and position of a value, for each axis.
    double bottomValueAt(double x) const;
    double leftValueAt(double y) const;
    double rightValueAt(double y) const;
    double xOf(double bottomValue) const;
    double yOfLeft(double value) const;
    double yOfRight(double value) const;
    double bottomMin = 0, bottomMax = 1, leftMin = 0, leftMax = 1, rightMin = 0, rightMax = 1;
};

namespace ChartRenderer {
ChartLayout layout(const ChartModel& chart, QSize size);
void paint(QPainter& painter, const ChartModel& chart, QSize size);
// The chart as it would appear on screen, in a new image of that size on white.
QImage RenderChartBitmap(const ChartModel& chart, QSize size);
// Puts the rendered chart on the clipboard.
void CopyToClipboard(const ChartModel& chart, QSize size);
} // namespace ChartRenderer
