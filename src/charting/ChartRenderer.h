#pragma once
// Paints a ChartModel: only the points inside the bottom axis's window are drawn, so the cost
// does not grow with the length of the history.
#include "charting/ChartModel.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <functional>
#include <vector>

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

    // The front wall: the area the axes' start/end positions are percentages of. Mouse panning
    // starts only inside it.
    QRectF wall;
    // The right axis's own extent (its start/end positions may differ from the left axis's).
    double rightTop = 0, rightBottom = 1;
    // 3-D depth in pixels (0 in 2-D): the back wall is the wall moved right and up by it.
    double depth = 0;
};

// A run of point indexes, both ends included; empty when last < first.
struct IndexRange {
    qsizetype first = 0;
    qsizetype last = -1;
    bool empty() const { return last < first; }
    qsizetype size() const { return empty() ? 0 : last - first + 1; }
};

// Values and texts of a numeric axis's labels.
struct AxisTicks {
    std::vector<double> values;
    std::vector<QString> texts;
    double step = 0;
};

namespace ChartRenderer {
// Widths of the series lines in pixels: on screen they are drawn wider than in the images, which
// keep the width they have always had.
constexpr double kScreenLineWidth = 2.0;
constexpr double kImageLineWidth = 1.0;

ChartLayout layout(const ChartModel& chart, QSize size);
void paint(QPainter& painter, const ChartModel& chart, QSize size,
           double lineWidth = kImageLineWidth);
// The chart as it would appear on screen, in a new image of that size on white (a null image
// for an empty size), its lines kImageLineWidth wide.
QImage RenderChartBitmap(const ChartModel& chart, QSize size);
// Puts the rendered chart on the clipboard.
void CopyToClipboard(const ChartModel& chart, QSize size);

// The points a line needs for the bottom window [min, max] of a series of count points: those
// inside plus one neighbour on each side, so the line runs to the plot's edges.
IndexRange linePoints(qsizetype count, double min, double max);
// The points inside the window: the ones that offer a label.
IndexRange labelPoints(qsizetype count, double min, double max);

// The bottom labels drawn among points first..last, which sit pixelsPerPoint apart; label i
// spans extentOf(i) pixels along the axis (an upright label of two lines spans two line
// heights). Every point offers its label; one whose gap to the previously drawn label would be
// smaller than spacingPercent of the labels' extent is left out. Labels of one size are thinned
// exactly; after a change of size a smaller label may be passed over.
std::vector<qsizetype> thinnedLabels(IndexRange points, double pixelsPerPoint,
                                     double spacingPercent,
                                     const std::function<double(qsizetype)>& extentOf);
// The indexes of the bottom labels the chart draws at that size.
std::vector<qsizetype> bottomLabelIndexes(const ChartModel& chart, QSize size);

// Round label values for a numeric axis of the given length in pixels, at least
// labelHeight * (1 + spacingPercent / 100) apart.
AxisTicks numericTicks(double min, double max, double pixels, double labelHeight,
                       double spacingPercent);
} // namespace ChartRenderer
