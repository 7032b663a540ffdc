#include "charting/ChartRenderer.h"

#include <QLocale>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QColor blue(0, 0, 255);
const QColor maroon(128, 0, 0);

struct RangeCase {
    const char* name;
    qsizetype count;
    double min, max;
    qsizetype lineFirst, lineLast; // lineLast < lineFirst: nothing
    qsizetype labelFirst, labelLast;
};
// Readable case names in the test listing.
void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

class WindowPoints : public testing::TestWithParam<RangeCase> {};

TEST_P(WindowPoints, CoverTheWindowAndOneNeighbourEachSide) {
    const RangeCase& c = GetParam();
    const IndexRange line = ChartRenderer::linePoints(c.count, c.min, c.max);
    const IndexRange labels = ChartRenderer::labelPoints(c.count, c.min, c.max);
    if (c.lineLast < c.lineFirst) {
        EXPECT_TRUE(line.empty());
    } else {
        EXPECT_EQ(line.first, c.lineFirst);
        EXPECT_EQ(line.last, c.lineLast);
    }
    if (c.labelLast < c.labelFirst) {
        EXPECT_TRUE(labels.empty());
    } else {
        EXPECT_EQ(labels.first, c.labelFirst);
        EXPECT_EQ(labels.last, c.labelLast);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPoints,
    testing::Values(RangeCase{"FirstPageNotFull", 300, 0, 480, 0, 299, 0, 299},
                    RangeCase{"FullPageAtStart", 480, -1, 479, 0, 479, 0, 479},
                    RangeCase{"LongHistory", 259200, 258719, 259199, 258718, 259199, 258719,
                              259199},
                    RangeCase{"PagedBack", 259200, 1000, 1480, 999, 1481, 1000, 1480},
                    RangeCase{"FractionalWindow", 100, 10.5, 20.5, 10, 21, 11, 20},
                    RangeCase{"PannedPastTheEnd", 100, 200, 680, 1, 0, 1, 0},
                    RangeCase{"PannedBeforeTheStart", 100, -500, -20, 1, 0, 1, 0},
                    RangeCase{"EndsJustOutside", 100, 99.5, 200, 99, 99, 1, 0},
                    RangeCase{"Empty", 0, 0, 480, 1, 0, 1, 0}),
    [](const testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

struct ThinCase {
    const char* name;
    double pixelsPerPoint;
    double spacingPercent;
    std::vector<double> extents; // cycled over the points
    qsizetype points;
    std::vector<qsizetype> expected;
};
// Readable case names in the test listing.
void PrintTo(const ThinCase& c, std::ostream* os) {
    *os << c.name;
}

class LabelThinning : public testing::TestWithParam<ThinCase> {};

TEST_P(LabelThinning, KeepsTheMinimumGap) {
    const ThinCase& c = GetParam();
    const auto drawn = ChartRenderer::thinnedLabels(
        {0, c.points - 1}, c.pixelsPerPoint, c.spacingPercent,
        [&](qsizetype i) { return c.extents[size_t(i) % c.extents.size()]; });
    EXPECT_EQ(drawn, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelThinning,
    testing::Values(
        // 10 px labels 10 px apart: touching is allowed without spacing, 100 % needs 20 px.
        ThinCase{"NoSpacingEveryPoint", 10, 0, {10}, 5, {0, 1, 2, 3, 4}},
        ThinCase{"FullSpacingEverySecond", 10, 100, {10}, 7, {0, 2, 4, 6}},
        ThinCase{"DenseWindow", 1, 100, {10}, 70, {0, 20, 40, 60}},
        // Two-line labels span 20 px; 30 % asks for 26 px, three points.
        ThinCase{"TwoLinesThirtyPercent", 10, 30, {20}, 10, {0, 3, 6, 9}},
        ThinCase{"OneLineThirtyPercent", 10, 30, {10}, 6, {0, 2, 4}},
        // A wide label pushes its successor further away.
        ThinCase{"MixedSizes", 10, 0, {10, 30}, 8, {0, 2, 4, 6}},
        ThinCase{"SinglePoint", 10, 100, {10}, 1, {0}}),
    [](const testing::TestParamInfo<ThinCase>& info) { return std::string(info.param.name); });

// A chart like the graphs': two series sharing labels, the window at the end of the history.
struct Chart {
    ChartModel model;
    std::shared_ptr<LabelStore> labels = std::make_shared<LabelStore>();

    explicit Chart(qsizetype points, bool twoLineLabels = false, qsizetype window = 480) {
        LineSeries& up = model.addSeries(VerticalAxis::Left, labels);
        LineSeries& down = model.addSeries(VerticalAxis::Right, labels);
        for (qsizetype i = 0; i < points; ++i) {
            const QString time = QStringLiteral(" %1:%2:00 ")
                                     .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
                                     .arg(i % 60, 2, 10, QLatin1Char('0'));
            const QString label =
                twoLineLabels ? QStringLiteral(" Mon 12 ") + QLatin1Char('\r') + time : time;
            up.append(5 + std::sin(double(i) / 10), label, blue);
            down.append(15 + std::cos(double(i) / 10), label, maroon);
        }
        model.leftAxis().setMinimum(-2);
        model.rightAxis().setMaximum(20);
        model.bottomAxis().setMaximum(double(points - 1));
        model.bottomAxis().setMinimum(double(points - window - 1));
    }
};

TEST(BottomLabels, DenseWindowShowsFewerLabelsAndTwoLinesHalveThem) {
    const QSize size(1000, 500);
    Chart oneLine(2000), twoLines(2000, true);
    const auto single = ChartRenderer::bottomLabelIndexes(oneLine.model, size);
    const auto doubled = ChartRenderer::bottomLabelIndexes(twoLines.model, size);
    ASSERT_GT(single.size(), 4u);
    EXPECT_LT(single.size(), 480u);
    // Labels of two lines take twice the room along the axis.
    EXPECT_NEAR(double(doubled.size()), single.size() / 2.0, 2.0);
    const double min = oneLine.model.bottomAxis().minimum();
    const double max = oneLine.model.bottomAxis().maximum();
    for (qsizetype i : single) {
        EXPECT_GE(double(i), min);
        EXPECT_LE(double(i), max);
    }
    // Lower spacing lets more labels in.
    twoLines.model.bottomAxis().minLabelSpacingPercent = 30;
    EXPECT_GT(ChartRenderer::bottomLabelIndexes(twoLines.model, size).size(), doubled.size());
}

TEST(ChartLayout, MapsValuesWithinTheAxesPositions) {
    Chart chart(1000);
    const ChartLayout lay = ChartRenderer::layout(chart.model, QSize(1000, 500));
    // The bottom axis spans 2 % to 99 % of the wall, the vertical axes 1 % to 98 %.
    EXPECT_NEAR(lay.plot.left(), lay.wall.left() + 0.02 * lay.wall.width(), 1e-9);
    EXPECT_NEAR(lay.plot.right(), lay.wall.left() + 0.99 * lay.wall.width(), 1e-9);
    EXPECT_NEAR(lay.plot.top(), lay.wall.top() + 0.01 * lay.wall.height(), 1e-9);
    EXPECT_NEAR(lay.plot.bottom(), lay.wall.top() + 0.98 * lay.wall.height(), 1e-9);
    // Room is left for the labels: the wall does not reach the chart's edges.
    EXPECT_GT(lay.wall.left(), 10);
    EXPECT_LT(lay.wall.right(), 990);
    EXPECT_LT(lay.wall.bottom(), 450);

    EXPECT_DOUBLE_EQ(lay.xOf(chart.model.bottomAxis().minimum()), lay.plot.left());
    EXPECT_DOUBLE_EQ(lay.xOf(chart.model.bottomAxis().maximum()), lay.plot.right());
    EXPECT_DOUBLE_EQ(lay.yOfLeft(-2), lay.plot.bottom());
    EXPECT_DOUBLE_EQ(lay.yOfLeft(10), lay.plot.top());
    EXPECT_DOUBLE_EQ(lay.yOfRight(20), lay.rightTop);
    for (double v : {519.0, 700.25, 999.0})
        EXPECT_NEAR(lay.bottomValueAt(lay.xOf(v)), v, 1e-9);
    for (double v : {-2.0, 0.5, 7.0})
        EXPECT_NEAR(lay.leftValueAt(lay.yOfLeft(v)), v, 1e-9);
    for (double v : {0.0, 12.5})
        EXPECT_NEAR(lay.rightValueAt(lay.yOfRight(v)), v, 1e-9);
}

TEST(ChartLayout, ThreeDimensionsMoveTheBackWallByTheDepth) {
    Chart chart(100);
    const QSize size(1000, 500);
    const ChartLayout flat = ChartRenderer::layout(chart.model, size);
    chart.model.setView3D(true);
    const ChartLayout deep = ChartRenderer::layout(chart.model, size);
    EXPECT_EQ(flat.depth, 0);
    EXPECT_GT(deep.depth, 0);
    // The back wall, moved right and up by the depth, stays inside the chart.
    EXPECT_LE(deep.wall.right() + deep.depth, flat.wall.right() + 0.5);
    EXPECT_GE(deep.wall.top() - deep.depth, flat.wall.top() - 0.5);
}

TEST(NumericTicks, RoundValuesFarEnoughApart) {
    struct Case {
        double min, max, pixels;
        std::vector<QString> expected;
    };
    const std::vector<Case> cases = {
        {-2, 10, 300, {"-2", "0", "2", "4", "6", "8", "10"}},
        {0, 1, 100, {"0.0", "0.5", "1.0"}},
        {-2, 10, 1000, {}}, // checked for spacing only
        {5, 5, 300, {"5"}},
    };
    const double labelHeight = 13;
    for (const Case& c : cases) {
        const AxisTicks ticks =
            ChartRenderer::numericTicks(c.min, c.max, c.pixels, labelHeight, 100);
        if (!c.expected.empty()) {
            std::vector<QString> texts = ticks.texts;
            for (QString& t : texts)
                t.replace(QLocale().decimalPoint(), QStringLiteral("."));
            EXPECT_EQ(texts, c.expected) << c.min << ".." << c.max;
        }
        for (size_t k = 1; k < ticks.values.size(); ++k) {
            const double pixelsApart =
                (ticks.values[k] - ticks.values[k - 1]) * c.pixels / (c.max - c.min);
            EXPECT_GE(pixelsApart, 2 * labelHeight - 1e-9);
        }
        for (double v : ticks.values) {
            EXPECT_GE(v, c.min);
            EXPECT_LE(v, c.max);
        }
    }
}

int countNear(const QImage& image, QColor colour, int tolerance = 40) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance)
                ++n;
        }
    return n;
}

// Smoothed lines and text blend into what lies below them: pixels are told by their hue.
bool isDark(QColor c) { // black text on the grey background: dark and without a hue
    const int high = std::max({c.red(), c.green(), c.blue()});
    const int low = std::min({c.red(), c.green(), c.blue()});
    return high < 140 && high - low < 40;
}
bool isBluish(QColor c) {
    return c.blue() - c.red() > 60 && c.blue() - c.green() > 60;
}
bool isMaroonish(QColor c) {
    return c.red() - c.green() > 40 && c.red() - c.blue() > 40;
}
bool isGreenish(QColor c) {
    return c.green() - c.red() > 40 && c.green() - c.blue() > 40;
}

int countWhere(const QImage& image, bool (*matches)(QColor)) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += matches(image.pixelColor(x, y));
    return n;
}

// Pixels of a kind inside the box the lines are drawn in (the walls).
int countInWalls(const QImage& image, const ChartLayout& lay, bool (*matches)(QColor)) {
    const QRectF box = lay.wall.united(lay.wall.translated(lay.depth, -lay.depth));
    return countWhere(image.copy(box.toAlignedRect()), matches);
}

TEST(RenderChartBitmap, DrawsBackgroundBothSeriesAndOnlyTheWindow) {
    Chart chart(1000);
    // A green stretch far outside the window must not appear.
    LineSeries& extra = chart.model.addSeries(VerticalAxis::Left, chart.labels);
    for (qsizetype i = 0; i < 1000; ++i)
        extra.append(4, u"", i < 400 ? QColor(Qt::green) : QColor(Qt::transparent));
    const QSize size(500, 250);
    const QImage image = ChartRenderer::RenderChartBitmap(chart.model, size);
    ASSERT_EQ(image.size(), size);
    // The gradient: white at the top, RGB(223, 223, 223) at the bottom, seen in the margin.
    const QColor top = image.pixelColor(1, 0), bottom = image.pixelColor(1, size.height() - 1);
    EXPECT_GE(top.red(), 253);
    EXPECT_NEAR(bottom.red(), 223, 2);
    EXPECT_NEAR(bottom.green(), 223, 2);
    EXPECT_NEAR(bottom.blue(), 223, 2);
    // The back wall is white apart from grid lines and the series.
    const ChartLayout lay = ChartRenderer::layout(chart.model, size);
    const QImage wall = image.copy(lay.wall.toRect().adjusted(1, 1, -1, -1));
    EXPECT_GT(countNear(wall, Qt::white, 0), wall.width() * wall.height() * 3 / 4);
    EXPECT_GT(countNear(wall, QColor(229, 229, 229), 0), wall.height() * 3);
    EXPECT_GT(countInWalls(image, lay, isBluish), 100);
    EXPECT_GT(countInWalls(image, lay, isMaroonish), 100);
    EXPECT_EQ(countWhere(image, isGreenish), 0);

    chart.model.setView3D(true);
    const QImage deep = ChartRenderer::RenderChartBitmap(chart.model, size);
    EXPECT_NE(deep, image);
    // Ribbons cover far more pixels than lines.
    EXPECT_GT(countInWalls(deep, ChartRenderer::layout(chart.model, size), isBluish),
              3 * countInWalls(image, lay, isBluish));
    EXPECT_TRUE(ChartRenderer::RenderChartBitmap(chart.model, QSize(0, 0)).isNull());
}

// Bars stand from zero to each value, most of the space between points wide; a zero draws
// nothing.
TEST(RenderChartBitmap, BarsFromZero) {
    ChartModel model;
    LineSeries& bars = model.addSeries(VerticalAxis::Left, nullptr);
    bars.setStyle(LineSeries::Style::Bars);
    for (double v : {0.0, 5.0, 10.0, 0.0, 3.0})
        bars.append(v, u"", maroon);
    model.leftAxis().setMaximum(10);
    model.bottomAxis().setMaximum(4.5);
    model.bottomAxis().setMinimum(-0.5);
    const QSize size(400, 200);
    const QImage image = ChartRenderer::RenderChartBitmap(model, size);
    const ChartLayout lay = ChartRenderer::layout(model, size);
    const auto maroonAt = [&](double point, double value) {
        return isMaroonish(image.pixelColor(int(lay.xOf(point)), int(lay.yOfLeft(value))));
    };
    const double spacing = lay.xOf(1) - lay.xOf(0);
    for (double v : {0.5, 2.5, 4.5})
        EXPECT_TRUE(maroonAt(1, v)) << v;
    EXPECT_FALSE(maroonAt(1, 5.5));
    EXPECT_TRUE(maroonAt(2, 9.5));
    EXPECT_TRUE(maroonAt(1.3, 2));  // wide, not a line
    EXPECT_FALSE(maroonAt(1.5, 2)); // with a gap to the next
    for (double point : {0.0, 3.0})
        EXPECT_FALSE(maroonAt(point, 0.5)) << point;
    EXPECT_GT(countWhere(image, isMaroonish),
              int(spacing * 0.6 * (lay.yOfLeft(0) - lay.yOfLeft(18))));
}

TEST(RenderChartBitmap, DenseWindowKeepsEveryPeak) {
    // 100,000 points on a few hundred pixels: one short spike must still be drawn.
    ChartModel chart;
    auto labels = std::make_shared<LabelStore>();
    LineSeries& series = chart.addSeries(VerticalAxis::Left, labels);
    const qsizetype points = 100000, spike = 61234;
    for (qsizetype i = 0; i < points; ++i)
        series.append(i == spike ? 9.0 : 1.0, u" 00:00:00 ", blue);
    chart.bottomAxis().setMaximum(double(points - 1));
    const QSize size(400, 200);
    const QImage image = ChartRenderer::RenderChartBitmap(chart, size);
    const ChartLayout lay = ChartRenderer::layout(chart, size);
    const int x = int(std::floor(lay.xOf(double(spike))));
    const int top = int(std::round(lay.yOfLeft(9.0)));
    const int base = int(std::round(lay.yOfLeft(1.0)));
    int blueInSpike = 0;
    for (int y = top; y < base - 2; ++y)
        for (int dx = -1; dx <= 1; ++dx)
            blueInSpike += isBluish(image.pixelColor(x + dx, y));
    EXPECT_GE(blueInSpike, base - 2 - top);
}

// Where the ink of one kind lies along a scan: runs of positions that hold a matching pixel,
// given as their centres. Positions across the scan are the ones in [from, to).
enum class Scan { Columns, Rows };
std::vector<double> inkCentres(const QImage& image, Scan scan, QRect area,
                               const std::function<bool(QColor)>& matches) {
    std::vector<double> centres;
    const bool columns = scan == Scan::Columns;
    const int first = columns ? area.left() : area.top();
    const int last = columns ? area.right() : area.bottom();
    int runStart = -1;
    for (int pos = first; pos <= last + 1; ++pos) {
        bool hit = false;
        if (pos <= last) {
            const int from = columns ? area.top() : area.left();
            const int to = columns ? area.bottom() : area.right();
            for (int across = from; across <= to && !hit; ++across)
                hit = matches(columns ? image.pixelColor(pos, across)
                                      : image.pixelColor(across, pos));
        }
        if (hit && runStart < 0)
            runStart = pos;
        if (!hit && runStart >= 0) {
            centres.push_back((runStart + pos - 1) / 2.0);
            runStart = -1;
        }
    }
    return centres;
}

double distanceToNearest(double v, const std::vector<double>& to) {
    double best = 1e9;
    for (double t : to)
        best = std::min(best, std::abs(t - v));
    return best;
}

// A chart whose grid lines have colours of their own, so that they can be told from labels and
// from each other: the right axis shows its grid too, on a range other than the left's.
struct GridChart : Chart {
    static inline const QColor bottomGrid{0, 160, 0}, leftGrid{0, 200, 200}, rightGrid{230, 150, 0};

    GridChart(qsizetype points, qsizetype window, bool twoLineLabels, bool threeD)
        : Chart(points, twoLineLabels, window) {
        const QFont font(QStringLiteral("Arial"), 8);
        for (ChartAxis* axis : {&model.bottomAxis(), &model.leftAxis(), &model.rightAxis()}) {
            axis->labelFont = font;
            axis->title.clear();
        }
        model.bottomAxis().labelAngle = 90;
        model.bottomAxis().startPercent = 2;
        model.bottomAxis().endPercent = 99;
        model.bottomAxis().minLabelSpacingPercent = twoLineLabels ? 30 : 100;
        for (ChartAxis* axis : {&model.leftAxis(), &model.rightAxis()}) {
            axis->startPercent = 1;
            axis->endPercent = 98;
        }
        model.leftAxis().labelColor = blue;
        model.rightAxis().labelColor = maroon;
        model.bottomAxis().gridColor = bottomGrid;
        model.leftAxis().gridColor = leftGrid;
        model.rightAxis().gridColor = rightGrid;
        model.rightAxis().gridVisible = true;
        // Half a step off the left axis's lines, so that neither grid paints over the other.
        model.rightAxis().setMaximum(10.5);
        model.rightAxis().setMinimum(-1.5);
        model.setView3D(threeD);
    }
};

struct PlacementCase {
    const char* name;
    bool threeD;
    bool twoLineLabels;
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.name;
}

class LabelPlacement : public testing::TestWithParam<PlacementCase> {};

// Every label reads against its own grid line: the time labels sit under the vertical lines and
// the value labels level with the horizontal ones, in 3-D where the grid lies on the back wall.
TEST_P(LabelPlacement, LabelsLineUpWithTheirGridLines) {
    const PlacementCase& c = GetParam();
    GridChart chart(200, 60, c.twoLineLabels, c.threeD);
    const QSize size(700, 400);
    const QImage image = ChartRenderer::RenderChartBitmap(chart.model, size);
    const ChartLayout lay = ChartRenderer::layout(chart.model, size);
    const QRect back = lay.wall.translated(lay.depth, -lay.depth).toAlignedRect();
    const QRect front = lay.wall.toAlignedRect();

    auto is = [](QColor want) { return [want](QColor c) { return c == want; }; };
    const auto verticalLines =
        inkCentres(image, Scan::Columns, back.adjusted(1, 1, -1, -1), is(GridChart::bottomGrid));
    const auto leftLines =
        inkCentres(image, Scan::Rows, back.adjusted(1, 1, -1, -1), is(GridChart::leftGrid));
    const auto rightLines =
        inkCentres(image, Scan::Rows, back.adjusted(1, 1, -1, -1), is(GridChart::rightGrid));
    ASSERT_GE(verticalLines.size(), 3u);
    ASSERT_GE(leftLines.size(), 3u);
    ASSERT_GE(rightLines.size(), 3u);

    const auto timeLabels = inkCentres(
        image, Scan::Columns,
        QRect(QPoint(0, front.bottom() + 2), QPoint(size.width() - 1, size.height() - 1)), isDark);
    const auto leftLabels =
        inkCentres(image, Scan::Rows,
                   QRect(QPoint(0, 0), QPoint(front.left() - 2, size.height() - 1)), isBluish);
    const auto rightLabels = inkCentres(
        image, Scan::Rows,
        QRect(QPoint(back.right() + 2, 0), QPoint(size.width() - 1, front.bottom())), isMaroonish);
    ASSERT_GE(timeLabels.size(), 3u);
    ASSERT_GE(leftLabels.size(), 3u);
    ASSERT_GE(rightLabels.size(), 3u);
    // A label of two lines is two columns of ink; each pair's centre is the label's.
    std::vector<double> labels = timeLabels;
    if (c.twoLineLabels) {
        ASSERT_EQ(timeLabels.size() % 2, 0u);
        labels.clear();
        for (size_t k = 0; k + 1 < timeLabels.size(); k += 2)
            labels.push_back((timeLabels[k] + timeLabels[k + 1]) / 2);
    }
    for (double x : labels)
        EXPECT_LE(distanceToNearest(x, verticalLines), 2.0) << "time label at x " << x;
    for (double y : leftLabels)
        EXPECT_LE(distanceToNearest(y, leftLines), 2.0) << "left label at y " << y;
    for (double y : rightLabels)
        EXPECT_LE(distanceToNearest(y, rightLines), 2.0) << "right label at y " << y;
}

INSTANTIATE_TEST_SUITE_P(Views, LabelPlacement,
                         testing::Values(PlacementCase{"Flat", false, false},
                                         PlacementCase{"Deep", true, false},
                                         PlacementCase{"DeepWithDates", true, true}),
                         [](const testing::TestParamInfo<PlacementCase>& info) {
                             return std::string(info.param.name);
                         });

class RightMostLabel : public testing::TestWithParam<PlacementCase> {};

// A label on the newest point, at the right end of the time axis, keeps clear of the right
// axis's labels and still sits under its grid line. A small chart leaves little room there.
TEST_P(RightMostLabel, KeepsClearOfTheRightAxis) {
    const PlacementCase& c = GetParam();
    GridChart chart(12, 11, c.twoLineLabels, c.threeD); // the window ends on the newest point
    const QSize size(500, 250);
    ASSERT_EQ(ChartRenderer::bottomLabelIndexes(chart.model, size).back(), 11);
    const QImage image = ChartRenderer::RenderChartBitmap(chart.model, size);
    const ChartLayout lay = ChartRenderer::layout(chart.model, size);
    const QRect back = lay.wall.translated(lay.depth, -lay.depth).toAlignedRect();
    const QRect front = lay.wall.toAlignedRect();

    const auto timeInk = inkCentres(
        image, Scan::Columns,
        QRect(QPoint(0, front.bottom() + 2), QPoint(size.width() - 1, size.height() - 1)), isDark);
    const auto rightInk =
        inkCentres(image, Scan::Columns,
                   QRect(QPoint(back.right() + 2, 0), QPoint(size.width() - 1, size.height() - 1)),
                   isMaroonish);
    ASSERT_FALSE(timeInk.empty());
    ASSERT_FALSE(rightInk.empty());
    // The last column of label ink against the first column of the right axis's ink.
    int lastTimeInk = -1, firstRightInk = size.width();
    for (int x = 0; x < size.width(); ++x)
        for (int y = 0; y < size.height(); ++y) {
            const QColor colour = image.pixelColor(x, y);
            if (y > front.bottom() + 1 && isDark(colour))
                lastTimeInk = std::max(lastTimeInk, x);
            if (x > back.right() + 1 && isMaroonish(colour))
                firstRightInk = std::min(firstRightInk, x);
        }
    EXPECT_LT(lastTimeInk + 1, firstRightInk);

    const auto verticalLines = inkCentres(image, Scan::Columns, back.adjusted(1, 1, -1, -1),
                                          [](QColor c) { return c == GridChart::bottomGrid; });
    ASSERT_FALSE(verticalLines.empty());
    const double lastLabel =
        c.twoLineLabels ? (timeInk[timeInk.size() - 2] + timeInk.back()) / 2 : timeInk.back();
    EXPECT_NEAR(lastLabel, verticalLines.back(), 2.0);
}

INSTANTIATE_TEST_SUITE_P(Views, RightMostLabel,
                         testing::Values(PlacementCase{"Flat", false, false},
                                         PlacementCase{"FlatWithDates", false, true},
                                         PlacementCase{"Deep", true, false},
                                         PlacementCase{"DeepWithDates", true, true}),
                         [](const testing::TestParamInfo<PlacementCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
