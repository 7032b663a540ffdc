#include "charting/ChartRenderer.h"

#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kGap = 3.0; // pixels between a wall and its labels, and between labels and title

// Everything a paint needs, worked out once: the layout, the labels and their sizes.
struct Scene {
    ChartLayout lay;
    AxisTicks leftTicks, rightTicks;
    std::vector<qsizetype> bottomLabels;
    const LabelStore* labelSource = nullptr;
    double bottomLabelDepth = 0; // size of the bottom labels across the axis
    // Room between the wall and the right axis's labels that lets a label on the last point of
    // the bottom axis pass without running into them.
    double rightPad = 0;
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0; // the chart inside its margins
};

double span(double from, double to) {
    return to - from;
}

double maxTextWidth(const QFontMetricsF& fm, const std::vector<QString>& texts) {
    double width = 0;
    for (const QString& text : texts)
        width = std::max(width, fm.horizontalAdvance(text));
    return width;
}

// Width a vertical axis takes beside the wall: its labels and its title.
double verticalAxisArea(const ChartAxis& axis, const QFontMetricsF& fm, const AxisTicks& ticks) {
    if (!axis.visible)
        return 0;
    double area = maxTextWidth(fm, ticks.texts) + 2 * kGap;
    if (!axis.title.isEmpty())
        area += fm.height() + kGap;
    return area;
}

bool uprightLabels(const ChartAxis& axis) {
    return axis.labelAngle % 180 != 0;
}

template <typename Fn> void forEachLine(QLatin1String text, Fn fn) {
    qsizetype start = 0;
    int line = 0;
    for (qsizetype i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == QLatin1Char('\r')) {
            fn(line++, text.sliced(start, i - start));
            start = i + 1;
        }
}

Scene buildScene(const ChartModel& chart, QSize size) {
    Scene s;
    ChartLayout& lay = s.lay;
    const ChartAxis& bottom = chart.bottomAxis();
    const ChartAxis& left = chart.leftAxis();
    const ChartAxis& right = chart.rightAxis();
    lay.bottomMin = bottom.minimum();
    lay.bottomMax = bottom.maximum();
    lay.leftMin = left.minimum();
    lay.leftMax = left.maximum();
    lay.rightMin = right.minimum();
    lay.rightMax = right.maximum();

    const QFontMetricsF fmB(bottom.labelFont), fmL(left.labelFont), fmR(right.labelFont);
    const double w = size.width(), h = size.height();
    s.x0 = w * chart.leftMarginPercent / 100.0;
    s.x1 = w - w * chart.rightMarginPercent / 100.0;
    // The top label of a vertical axis is centred on the axis's end: leave it room.
    s.y0 = std::max(h * chart.topMarginPercent / 100.0,
                    std::max(fmL.height(), fmR.height()) / 2.0 + 1.0);
    s.y1 = h - h * chart.bottomMarginPercent / 100.0;
    lay.depth = chart.view3D() ? std::round(chart.depthPercent / 100.0 *
                                            std::max(0.0, std::min(s.x1 - s.x0, s.y1 - s.y0)))
                               : 0.0;

    if (chart.seriesCount() > 0)
        s.labelSource = chart.series(0).labels().get();
    const qsizetype pointCount = chart.seriesCount() > 0 ? chart.series(0).count() : 0;

    // The vertical axes' label widths decide the horizontal layout, which decides the bottom
    // labels, whose size decides the plot height and the room the last bottom label needs,
    // which decide the vertical labels: estimate with the full height first, and go round again
    // while the widths come out different.
    double estimatedHeight = std::max(0.0, s.y1 - s.y0 - lay.depth);
    double leftArea = -1, rightArea = -1;
    double pad = 0; // the right pad the last labels asked for
    for (int pass = 0; pass < 4; ++pass) {
        const double leftPixels = estimatedHeight * span(left.startPercent, left.endPercent) / 100;
        const double rightPixels =
            estimatedHeight * span(right.startPercent, right.endPercent) / 100;
        s.leftTicks = ChartRenderer::numericTicks(lay.leftMin, lay.leftMax, leftPixels,
                                                  fmL.height(), left.minLabelSpacingPercent);
        s.rightTicks = ChartRenderer::numericTicks(lay.rightMin, lay.rightMax, rightPixels,
                                                   fmR.height(), right.minLabelSpacingPercent);
        const double newLeft = verticalAxisArea(left, fmL, s.leftTicks);
        const double newRight = verticalAxisArea(right, fmR, s.rightTicks) + pad;
        if (newLeft == leftArea && newRight == rightArea)
            break;
        leftArea = newLeft;
        rightArea = newRight;
        s.rightPad = pad;

        lay.wall.setLeft(s.x0 + leftArea);
        lay.wall.setRight(std::max(lay.wall.left(), s.x1 - rightArea - lay.depth));
        const double wallWidth = lay.wall.width();
        lay.plot.setLeft(lay.wall.left() + wallWidth * bottom.startPercent / 100.0);
        lay.plot.setRight(lay.wall.left() + wallWidth * bottom.endPercent / 100.0);

        // Bottom labels and the room they take below the wall.
        s.bottomLabels.clear();
        s.bottomLabelDepth = 0;
        double halfLabel = 0; // half the largest extent along the axis of a drawn label
        if (bottom.visible && s.labelSource) {
            const LabelStore& store = *s.labelSource;
            const IndexRange points = ChartRenderer::labelPoints(std::min(pointCount, store.size()),
                                                                 lay.bottomMin, lay.bottomMax);
            const double window = lay.bottomMax - lay.bottomMin;
            const double pixelsPerPoint =
                window > 0 ? lay.plot.width() / window : std::max(1.0, lay.plot.width());
            const bool upright = uprightLabels(bottom);
            const double lineHeight = fmB.height();
            s.bottomLabels = ChartRenderer::thinnedLabels(
                points, pixelsPerPoint, bottom.minLabelSpacingPercent, [&](qsizetype i) {
                    if (upright)
                        return store.lineCount(i) * lineHeight;
                    double width = 0;
                    forEachLine(store.view(i), [&](int, QLatin1String line) {
                        width = std::max(width, fmB.horizontalAdvance(QString(line)));
                    });
                    return width;
                });
            for (qsizetype i : s.bottomLabels) {
                double along = 0;
                forEachLine(store.view(i), [&](int, QLatin1String line) {
                    const double width = fmB.horizontalAdvance(QString(line));
                    if (upright)
                        s.bottomLabelDepth = std::max(s.bottomLabelDepth, width);
                    else
                        along = std::max(along, width);
                });
                if (upright)
                    along = store.lineCount(i) * lineHeight;
                else
                    s.bottomLabelDepth =
                        std::max(s.bottomLabelDepth, store.lineCount(i) * lineHeight);
                halfLabel = std::max(halfLabel, along / 2.0);
            }
        }
        // A label centred on the axis's end reaches halfLabel past it; between the end and the
        // wall's right edge lie (100 - endPercent) % of the wall. The pad makes up the rest,
        // knowing that it narrows the wall it is a share of.
        const double wallAndPad = s.x1 - (rightArea - s.rightPad) - lay.depth - lay.wall.left();
        const double beyondEnd = 1.0 - bottom.endPercent / 100.0;
        pad = beyondEnd < 1.0
                  ? std::max(0.0, (halfLabel - beyondEnd * wallAndPad) / (1.0 - beyondEnd))
                  : halfLabel;
        double bottomArea = s.bottomLabelDepth > 0 ? s.bottomLabelDepth + kGap : 0;
        if (bottom.visible && !bottom.title.isEmpty())
            bottomArea += fmB.height() + kGap;

        lay.wall.setTop(s.y0 + lay.depth);
        lay.wall.setBottom(std::max(lay.wall.top(), s.y1 - bottomArea));
        const double wallHeight = lay.wall.height();
        lay.plot.setTop(lay.wall.top() + wallHeight * left.startPercent / 100.0);
        lay.plot.setBottom(lay.wall.top() + wallHeight * left.endPercent / 100.0);
        lay.rightTop = lay.wall.top() + wallHeight * right.startPercent / 100.0;
        lay.rightBottom = lay.wall.top() + wallHeight * right.endPercent / 100.0;
        estimatedHeight = wallHeight;
    }
    // The labels drawn are the ones for the final height.
    s.leftTicks = ChartRenderer::numericTicks(lay.leftMin, lay.leftMax, lay.plot.height(),
                                              fmL.height(), left.minLabelSpacingPercent);
    s.rightTicks =
        ChartRenderer::numericTicks(lay.rightMin, lay.rightMax, lay.rightBottom - lay.rightTop,
                                    fmR.height(), right.minLabelSpacingPercent);
    return s;
}

// Keeps far-off points within a range the rasteriser handles; the clip hides them anyway.
double clampCoordinate(double v) {
    return std::clamp(v, -1.0e6, 1.0e6);
}

// Appends the line's points from..to (exclusive) to pts. When points are denser than pixels,
// each pixel column contributes its first, lowest, highest and last point only.
void appendPoints(std::vector<QPointF>& pts, const LineSeries& series, const ChartLayout& lay,
                  bool rightAxis, qsizetype from, qsizetype to, bool dense) {
    auto yOf = [&](double v) {
        return clampCoordinate(rightAxis ? lay.yOfRight(v) : lay.yOfLeft(v));
    };
    if (!dense) {
        for (qsizetype i = from; i < to; ++i)
            pts.emplace_back(clampCoordinate(lay.xOf(double(i))), yOf(series.y(i)));
        return;
    }
    qsizetype i = from;
    while (i < to) {
        const double x = clampCoordinate(lay.xOf(double(i)));
        const double column = std::floor(x);
        // The points of this pixel column end where the next column starts.
        const double nextStart = std::ceil(lay.bottomValueAt(column + 1) - 1e-9);
        const qsizetype end =
            std::clamp<qsizetype>(nextStart < double(to) ? qsizetype(nextStart) : to, i + 1, to);
        const double first = series.y(i), last = series.y(end - 1);
        double low = first, high = first;
        for (qsizetype j = i + 1; j < end; ++j) {
            const double v = series.y(j);
            low = std::min(low, v);
            high = std::max(high, v);
        }
        pts.emplace_back(x, yOf(first));
        if (end - i > 1) {
            pts.emplace_back(x, yOf(low));
            pts.emplace_back(x, yOf(high));
            pts.emplace_back(x, yOf(last));
        }
        i = end;
    }
}

QPen linePen(QColor colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

// A polyline drawn as its separate segments: the raster engine draws segments of a solid pen
// straight into coverage, where a wide polyline would go through the much slower general
// stroker (joins, self-overlap). The square caps close the joints. Points that share a pixel
// column (a dense window) become one upright segment from their lowest to their highest.
// Level and upright segments are put on whole pixels, so that smoothing leaves them one solid
// colour (and the overlapping caps at their joints invisible); slopes keep their exact ends.
void drawSegments(QPainter& p, const std::vector<QPointF>& pts, std::vector<QLineF>& scratch) {
    scratch.clear();
    auto add = [&](QPointF a, QPointF b) {
        if (a.y() == b.y()) {
            a.ry() = b.ry() = std::round(a.y());
        } else if (a.x() == b.x()) {
            a.rx() = b.rx() = std::round(a.x());
        }
        scratch.emplace_back(a, b);
    };
    size_t k = 0;
    while (k < pts.size()) {
        const double x = pts[k].x();
        double low = pts[k].y(), high = low;
        size_t end = k + 1;
        for (; end < pts.size() && pts[end].x() == x; ++end) {
            low = std::min(low, pts[end].y());
            high = std::max(high, pts[end].y());
        }
        if (high > low)
            add(QPointF(x, low), QPointF(x, high));
        if (end < pts.size())
            add(pts[end - 1], pts[end]);
        k = end;
    }
    p.drawLines(scratch.data(), int(scratch.size()));
}

void strokeRun(QPainter& p, const std::vector<QPointF>& pts, QColor colour, double width,
               double depthFrom, double depthTo, std::vector<QLineF>& scratch) {
    if (pts.size() < 2)
        return;
    if (depthTo <= depthFrom) {
        p.setPen(linePen(colour, width));
        drawSegments(p, pts, scratch);
        return;
    }
    // A ribbon: each segment swept from the front to the back of the series' slice of depth,
    // with darker front and back edges. The body is filled without smoothing (smoothed quads
    // would show seams between them, and cost twice as much); the smoothed edges outline it.
    const QPointF front(depthFrom, -depthFrom), back(depthTo, -depthTo);
    const bool smooth = p.testRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    for (size_t k = 1; k < pts.size(); ++k) {
        const QPointF quad[4] = {pts[k - 1] + front, pts[k] + front, pts[k] + back,
                                 pts[k - 1] + back};
        p.drawConvexPolygon(quad, 4);
    }
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.setPen(linePen(colour.darker(150), width));
    const QTransform base = p.transform();
    for (const QPointF& offset : {back, front}) {
        p.setTransform(QTransform::fromTranslate(offset.x(), offset.y()) * base);
        drawSegments(p, pts, scratch);
    }
    p.setTransform(base);
}

// A bar from zero to each point inside the window, seven tenths of the space between points
// wide; a point at zero draws nothing.
void drawBars(QPainter& p, const LineSeries& series, const ChartLayout& lay) {
    const IndexRange range =
        ChartRenderer::labelPoints(series.count(), lay.bottomMin, lay.bottomMax);
    const bool rightAxis = series.verticalAxis() == VerticalAxis::Right;
    const auto yOf = [&](double v) {
        return clampCoordinate(rightAxis ? lay.yOfRight(v) : lay.yOfLeft(v));
    };
    const double half = 0.35 * std::abs(lay.xOf(1) - lay.xOf(0));
    const bool smooth = p.testRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (qsizetype i = range.first; i <= range.last; ++i) {
        if (series.y(i) == 0)
            continue;
        const double x = clampCoordinate(lay.xOf(double(i)));
        const QColor colour = series.colour(i);
        p.setPen(QPen(colour.darker(130), 1));
        p.setBrush(colour);
        p.drawRect(QRectF(QPointF(std::round(x - half), std::round(yOf(series.y(i)))),
                          QPointF(std::round(x + half), std::round(yOf(0))))
                       .normalized());
    }
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, smooth);
}

void drawSeries(QPainter& p, const LineSeries& series, const ChartLayout& lay, double width,
                double depthFrom, double depthTo) {
    if (series.style() == LineSeries::Style::Bars) {
        drawBars(p, series, lay);
        return;
    }
    const IndexRange range =
        ChartRenderer::linePoints(series.count(), lay.bottomMin, lay.bottomMax);
    if (range.size() < 2)
        return;
    const double window = lay.bottomMax - lay.bottomMin;
    const bool dense = window > 0 && range.size() > 2 * std::max(1.0, lay.plot.width());
    const bool rightAxis = series.verticalAxis() == VerticalAxis::Right;
    std::vector<QPointF> pts;
    std::vector<QLineF> segments;
    pts.reserve(size_t(std::min<qsizetype>(range.size(), 8 * qsizetype(lay.plot.width()) + 8)));
    appendPoints(pts, series, lay, rightAxis, range.first, range.first + 1, false);
    // The segment into a point takes that point's colour; each run of one colour is one stroke.
    qsizetype i = range.first + 1;
    while (i <= range.last) {
        const qsizetype end = std::min(series.colourRunEnd(i), range.last + 1);
        appendPoints(pts, series, lay, rightAxis, i, end, dense);
        strokeRun(p, pts, series.colour(i), width, depthFrom, depthTo, segments);
        const QPointF joint = pts.back();
        pts.clear();
        pts.push_back(joint);
        i = end;
    }
}

void drawWallsAndGrid(QPainter& p, const ChartModel& chart, const Scene& s) {
    const ChartLayout& lay = s.lay;
    const double d = lay.depth;
    const QRectF front = lay.wall;
    const QRectF back = front.translated(d, -d);
    p.setPen(Qt::NoPen);
    if (d > 0) {
        const QPointF leftWall[4] = {front.topLeft(), back.topLeft(), back.bottomLeft(),
                                     front.bottomLeft()};
        p.setBrush(chart.backWallColor.darker(106));
        p.drawConvexPolygon(leftWall, 4);
        const QPointF floor[4] = {front.bottomLeft(), back.bottomLeft(), back.bottomRight(),
                                  front.bottomRight()};
        p.setBrush(chart.backWallColor.darker(112));
        p.drawConvexPolygon(floor, 4);
    }
    p.setBrush(chart.backWallColor);
    p.drawRect(back);
    p.setBrush(Qt::NoBrush);

    // The grid lies on the back wall only; the labels are placed against it (see below).
    const ChartAxis& bottom = chart.bottomAxis();
    if (bottom.visible && bottom.gridVisible) {
        p.setPen(QPen(bottom.gridColor, 1));
        for (qsizetype i : s.bottomLabels) {
            const double x = lay.xOf(double(i)) + d;
            p.drawLine(QPointF(x, back.top()), QPointF(x, back.bottom()));
        }
    }
    auto horizontalGrid = [&](const ChartAxis& axis, const AxisTicks& ticks, bool rightAxis) {
        if (!axis.visible || !axis.gridVisible)
            return;
        p.setPen(QPen(axis.gridColor, 1));
        for (double v : ticks.values) {
            const double y = (rightAxis ? lay.yOfRight(v) : lay.yOfLeft(v)) - d;
            p.drawLine(QPointF(back.left(), y), QPointF(back.right(), y));
        }
    };
    horizontalGrid(chart.leftAxis(), s.leftTicks, false);
    horizontalGrid(chart.rightAxis(), s.rightTicks, true);
}

double baselineFor(const QFontMetricsF& fm, double centreY) {
    return centreY + (fm.ascent() - fm.descent()) / 2.0;
}

// In 3-D every label is placed against the back wall, where its grid line is drawn: the time
// labels move right by the depth and the value labels up by it, so each one reads against its
// line.
void drawBottomLabels(QPainter& p, const ChartAxis& axis, const Scene& s) {
    if (s.bottomLabels.empty())
        return;
    const QFontMetricsF fm(axis.labelFont);
    p.setFont(axis.labelFont);
    p.setPen(axis.labelColor);
    const double top = s.lay.wall.bottom() + kGap;
    const double lineHeight = fm.height();
    const bool upright = uprightLabels(axis);
    const QTransform base = p.transform();
    for (qsizetype i : s.bottomLabels) {
        const QLatin1String text = s.labelSource->view(i);
        const double x = s.lay.xOf(double(i)) + s.lay.depth;
        const int lines = s.labelSource->lineCount(i);
        const double extent = lines * lineHeight;
        if (upright) {
            // Reads upwards, ending just below the wall; the lines stand side by side.
            p.setTransform(QTransform(0, -1, 1, 0, x, top) * base);
            forEachLine(text, [&](int line, QLatin1String part) {
                const QString str(part);
                const double centre = -extent / 2.0 + (line + 0.5) * lineHeight;
                p.drawText(QPointF(-fm.horizontalAdvance(str), baselineFor(fm, centre)), str);
            });
        } else {
            forEachLine(text, [&](int line, QLatin1String part) {
                const QString str(part);
                const double centre = top + (line + 0.5) * lineHeight;
                p.drawText(QPointF(x - fm.horizontalAdvance(str) / 2.0, baselineFor(fm, centre)),
                           str);
            });
        }
    }
    p.setTransform(base);
}

void drawVerticalLabels(QPainter& p, const ChartAxis& axis, const AxisTicks& ticks, const Scene& s,
                        bool rightAxis) {
    if (!axis.visible)
        return;
    const QFontMetricsF fm(axis.labelFont);
    p.setFont(axis.labelFont);
    p.setPen(axis.labelColor);
    const double d = s.lay.depth;
    for (size_t k = 0; k < ticks.values.size(); ++k) {
        const QString& text = ticks.texts[k];
        const double width = fm.horizontalAdvance(text);
        if (rightAxis) {
            const double y = s.lay.yOfRight(ticks.values[k]) - d;
            const double x = s.lay.wall.right() + d + kGap + s.rightPad;
            p.drawText(QPointF(x, baselineFor(fm, y)), text);
        } else {
            const double y = s.lay.yOfLeft(ticks.values[k]) - d;
            const double x = s.lay.wall.left() - kGap - width;
            p.drawText(QPointF(x, baselineFor(fm, y)), text);
        }
    }
    if (axis.title.isEmpty())
        return;
    p.setPen(axis.titleColor);
    const QTransform base = p.transform();
    const double titleWidth = fm.horizontalAdvance(axis.title);
    if (rightAxis) {
        // Reads downwards, at the chart's right edge.
        const double centre = (s.lay.rightTop + s.lay.rightBottom) / 2.0 - d;
        p.setTransform(QTransform(0, 1, -1, 0, s.x1, centre) * base);
    } else {
        // Reads upwards, at the chart's left edge.
        const double centre = (s.lay.plot.top() + s.lay.plot.bottom()) / 2.0 - d;
        p.setTransform(QTransform(0, -1, 1, 0, s.x0, centre) * base);
    }
    p.drawText(QPointF(-titleWidth / 2.0, fm.ascent()), axis.title);
    p.setTransform(base);
}

void drawBottomTitle(QPainter& p, const ChartAxis& axis, const Scene& s) {
    if (!axis.visible || axis.title.isEmpty())
        return;
    const QFontMetricsF fm(axis.labelFont);
    p.setFont(axis.labelFont);
    p.setPen(axis.titleColor);
    const double x = s.lay.plot.center().x() - fm.horizontalAdvance(axis.title) / 2.0;
    p.drawText(QPointF(x, s.y1 - fm.descent()), axis.title);
}

} // namespace

double ChartLayout::bottomValueAt(double x) const {
    if (plot.width() <= 0)
        return bottomMin;
    return bottomMin + (x - plot.left()) * (bottomMax - bottomMin) / plot.width();
}

double ChartLayout::leftValueAt(double y) const {
    if (plot.height() <= 0)
        return leftMin;
    return leftMin + (plot.bottom() - y) * (leftMax - leftMin) / plot.height();
}

double ChartLayout::rightValueAt(double y) const {
    const double height = rightBottom - rightTop;
    if (height <= 0)
        return rightMin;
    return rightMin + (rightBottom - y) * (rightMax - rightMin) / height;
}

double ChartLayout::xOf(double bottomValue) const {
    const double range = bottomMax - bottomMin;
    if (range <= 0)
        return plot.left();
    return plot.left() + (bottomValue - bottomMin) * plot.width() / range;
}

double ChartLayout::yOfLeft(double value) const {
    const double range = leftMax - leftMin;
    if (range <= 0)
        return plot.bottom();
    return plot.bottom() - (value - leftMin) * plot.height() / range;
}

double ChartLayout::yOfRight(double value) const {
    const double range = rightMax - rightMin;
    if (range <= 0)
        return rightBottom;
    return rightBottom - (value - rightMin) * (rightBottom - rightTop) / range;
}

namespace ChartRenderer {

IndexRange linePoints(qsizetype count, double min, double max) {
    if (count <= 0 || !(min <= max) || !std::isfinite(min) || !std::isfinite(max))
        return {};
    const double first = std::max(0.0, std::ceil(min) - 1.0);
    const double last = std::min(double(count - 1), std::floor(max) + 1.0);
    if (first > last)
        return {};
    return {qsizetype(first), qsizetype(last)};
}

IndexRange labelPoints(qsizetype count, double min, double max) {
    if (count <= 0 || !(min <= max) || !std::isfinite(min) || !std::isfinite(max))
        return {};
    const double first = std::max(0.0, std::ceil(min));
    const double last = std::min(double(count - 1), std::floor(max));
    if (first > last)
        return {};
    return {qsizetype(first), qsizetype(last)};
}

std::vector<qsizetype> thinnedLabels(IndexRange points, double pixelsPerPoint,
                                     double spacingPercent,
                                     const std::function<double(qsizetype)>& extentOf) {
    std::vector<qsizetype> drawn;
    if (points.empty())
        return drawn;
    const double factor = std::max(0.0, 1.0 + spacingPercent / 100.0);
    // Points apart that two labels of these extents need.
    auto pointsNeeded = [&](double a, double b) -> qsizetype {
        if (!(pixelsPerPoint > 0))
            return points.size(); // all points on one spot: one label only
        const double need = (a + b) / 2.0 * factor / pixelsPerPoint;
        return std::max<qsizetype>(1, qsizetype(std::ceil(need - 1e-9)));
    };
    qsizetype previous = points.first;
    double previousExtent = extentOf(previous);
    drawn.push_back(previous);
    for (;;) {
        // Jump straight to where a label like the previous one fits, instead of testing every
        // point of a dense window; a candidate of another size moves the jump on.
        qsizetype candidate = previous + pointsNeeded(previousExtent, previousExtent);
        double extent = 0;
        while (candidate <= points.last) {
            extent = extentOf(candidate);
            const qsizetype need = pointsNeeded(previousExtent, extent);
            if (candidate - previous >= need)
                break;
            candidate = previous + need;
        }
        if (candidate > points.last)
            break;
        drawn.push_back(candidate);
        previous = candidate;
        previousExtent = extent;
    }
    return drawn;
}

AxisTicks numericTicks(double min, double max, double pixels, double labelHeight,
                       double spacingPercent) {
    AxisTicks ticks;
    if (!std::isfinite(min) || !std::isfinite(max) || max < min)
        return ticks;
    const double range = max - min;
    const double pitch = std::max(1.0, labelHeight * std::max(0.0, 1.0 + spacingPercent / 100.0));
    const double maxLabels = std::max(1.0, std::floor(pixels / pitch));
    if (range <= 0) {
        ticks.values.push_back(min);
    } else {
        const double raw = range / maxLabels;
        const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
        double step = magnitude * 10;
        for (double m : {1.0, 2.0, 5.0, 10.0})
            if (magnitude * m >= raw * (1 - 1e-9)) {
                step = magnitude * m;
                break;
            }
        ticks.step = step;
        const double first = std::ceil(min / step - 1e-9);
        for (double k = first;; ++k) {
            double v = k * step;
            if (v > max + step * 1e-9 || ticks.values.size() > 1000)
                break;
            if (std::abs(v) < step * 1e-9)
                v = 0; // no "-0"
            ticks.values.push_back(v);
        }
    }
    const int decimals =
        ticks.step > 0 ? std::clamp(int(-std::floor(std::log10(ticks.step) + 1e-9)), 0, 15) : 3;
    const QLocale locale;
    for (double v : ticks.values) {
        QString text = locale.toString(v, 'f', decimals);
        if (ticks.step <= 0 && text.contains(locale.decimalPoint())) {
            // A single value on an empty range: no trailing zeros.
            while (text.endsWith(locale.zeroDigit()))
                text.chop(locale.zeroDigit().size());
            if (text.endsWith(locale.decimalPoint()))
                text.chop(locale.decimalPoint().size());
        }
        ticks.texts.push_back(text);
    }
    return ticks;
}

ChartLayout layout(const ChartModel& chart, QSize size) {
    return buildScene(chart, size).lay;
}

std::vector<qsizetype> bottomLabelIndexes(const ChartModel& chart, QSize size) {
    return buildScene(chart, size).bottomLabels;
}

void paint(QPainter& painter, const ChartModel& chart, QSize size, double lineWidth) {
    const Scene s = buildScene(chart, size);
    const ChartLayout& lay = s.lay;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, chart.gradientTop);
    gradient.setColorAt(1, chart.gradientBottom);
    painter.fillRect(QRect(QPoint(0, 0), size), gradient);

    drawWallsAndGrid(painter, chart, s);

    // Lines stay inside the walls; in 3-D the box spans the front and the back wall.
    const QRectF box = lay.wall.united(lay.wall.translated(lay.depth, -lay.depth));
    painter.setClipRect(box.adjusted(0, 0, 1, 1));
    // Smooth lines; one of odd width is moved onto the pixel centres so that its level and
    // upright stretches stay one solid colour, as they are without smoothing.
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QTransform unshifted = painter.transform();
    if (std::fmod(std::round(lineWidth), 2.0) == 1.0)
        painter.translate(0.5, 0.5);
    const qsizetype n = chart.seriesCount();
    if (lay.depth > 0) {
        // Back to front, each series in its own slice of the depth.
        for (qsizetype k = n - 1; k >= 0; --k)
            drawSeries(painter, chart.series(k), lay, lineWidth, lay.depth * double(k) / double(n),
                       lay.depth * double(k + 1) / double(n));
    } else {
        for (qsizetype k = 0; k < n; ++k)
            drawSeries(painter, chart.series(k), lay, lineWidth, 0, 0);
    }
    painter.setTransform(unshifted);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipping(false);

    drawBottomLabels(painter, chart.bottomAxis(), s);
    drawVerticalLabels(painter, chart.leftAxis(), s.leftTicks, s, false);
    drawVerticalLabels(painter, chart.rightAxis(), s.rightTicks, s, true);
    drawBottomTitle(painter, chart.bottomAxis(), s);
    painter.restore();
}

QImage RenderChartBitmap(const ChartModel& chart, QSize size) {
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, chart, size, kImageLineWidth);
    painter.end();
    return image;
}

void CopyToClipboard(const ChartModel& chart, QSize size) {
    QGuiApplication::clipboard()->setImage(RenderChartBitmap(chart, size));
}

} // namespace ChartRenderer
