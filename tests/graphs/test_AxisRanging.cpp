// Automatic widening of the vertical axes after each sample, and window moves that the engine
// never refuses.
#include "GraphSetFixture.h"

#include "charting/AxisRangeError.h"
#include "graphs/AxisRanging.h"

namespace {

enum class Routine { Chart1, Chart5, Chart2, Chart3, Chart4 };

struct RangingCase {
    const char* name;
    Routine routine;
    Window leftBefore, rightBefore;
    double up, down;
    Window leftAfter, rightAfter;
};

void PrintTo(const RangingCase& c, std::ostream* os) {
    *os << c.name;
}

class AxisRangingTest : public GraphSetTest, public ::testing::WithParamInterface<RangingCase> {};

int chartOf(Routine r) {
    switch (r) {
    case Routine::Chart1:
        return GraphSet::Chart1;
    case Routine::Chart5:
        return GraphSet::Chart5;
    case Routine::Chart2:
        return GraphSet::Chart2;
    case Routine::Chart3:
        return GraphSet::Chart3;
    case Routine::Chart4:
        return GraphSet::Chart4;
    }
    return 0;
}

TEST_P(AxisRangingTest, WidensItsAxes) {
    const RangingCase& c = GetParam();
    const int chart = chartOf(c.routine);
    place(graphs.chart(chart).leftAxis(), c.leftBefore.first, c.leftBefore.second);
    place(graphs.chart(chart).rightAxis(), c.rightBefore.first, c.rightBefore.second);
    switch (c.routine) {
    case Routine::Chart1:
    case Routine::Chart5:
    case Routine::Chart2: {
        // These read the sample being appended.
        LineSample s;
        s.NoiseMarginUp = s.DataRateUp = c.up;
        s.NoiseMarginDown = s.DataRateDown = c.down;
        graphs.AppendSample(QStringLiteral(" 12:00:00 "), QStringLiteral(" 12:00:00 "), s);
        break;
    }
    case Routine::Chart3:
        graphs.AdjustChart3(c.up, c.down);
        break;
    case Routine::Chart4:
        graphs.AdjustChart4(c.up, c.down);
        break;
    }
    EXPECT_DOUBLE_EQ(left(chart).first, c.leftAfter.first);
    EXPECT_DOUBLE_EQ(left(chart).second, c.leftAfter.second);
    EXPECT_DOUBLE_EQ(right(chart).first, c.rightAfter.first);
    EXPECT_DOUBLE_EQ(right(chart).second, c.rightAfter.second);
}

const RangingCase kRangingCases[] = {
    // Noise margin: within 10 % of the maximum it grows to 140 % (left) or 110 % (right).
    {"NoiseUpNearMax", Routine::Chart1, {-2, 6.5}, {-2, 10}, 6.0, 5, {-2, 8.4}, {-2, 10}},
    {"NoiseDownNearMax", Routine::Chart1, {-2, 10}, {-2, 10}, 5, 9.5, {-2, 10}, {-2, 10.45}},
    {"NoiseCappedAt50", Routine::Chart1, {-2, 10}, {-2, 10}, 40, 48, {-2, 50}, {-2, 50}},
    {"NoiseCapLowersDraggedMax", Routine::Chart1, {-2, 80}, {0, 60}, 6, 8, {-2, 50}, {0, 50}},
    {"NoiseNegativeLeavesMinimum", Routine::Chart1, {-2, 10}, {-2, 10}, -3, -4, {-2, 10}, {-2, 10}},
    {"WebChartLikeNoise", Routine::Chart5, {-2, 6.5}, {-2, 10}, 6.0, 40, {-2, 8.4}, {-2, 44}},
    // A refused left maximum skips its cap but not the right axis's group.
    {"NoiseRefusedLeftOnly", Routine::Chart1, {-12, -11}, {-2, 10}, -10, 10, {-12, -11}, {-2, 11}},
    // Connection speed: no cap.
    {"SpeedDownGrows", Routine::Chart2, {0, 20}, {0, 20}, 1, 20000, {0, 20}, {0, 22000}},
    {"SpeedLowerValueKeepsMax",
     Routine::Chart2,
     {0, 20},
     {0, 22000},
     1,
     18000,
     {0, 20},
     {0, 22000}},
    {"SpeedUpNoCap", Routine::Chart2, {0, 20}, {0, 20}, 40, 1, {0, 56}, {0, 20}},
    // User graphs: maxima to 120 % / 140 % (left) and 110 % (right); minima lowered, never
    // below 0.
    {"User1Maxima", Routine::Chart3, {0, 20}, {0, 20}, 20, 20, {0, 24}, {0, 22}},
    {"User2Maxima", Routine::Chart4, {0, 20}, {0, 20}, 20, 20, {0, 28}, {0, 22}},
    {"User1Minima", Routine::Chart3, {10, 20}, {10, 20}, 5, 3, {4, 20}, {2.1, 20}},
    {"User2Minima", Routine::Chart4, {10, 20}, {10, 20}, 5, 3, {3.5, 20}, {2.4, 20}},
    {"User1NegativeHeldAtZero", Routine::Chart3, {0, 20}, {0, 20}, -5, 3, {0, 20}, {0, 20}},
    {"User2NegativeMinimumRaised", Routine::Chart4, {-4, 20}, {-3, 20}, 5, 5, {0, 20}, {0, 20}},
    // The refused left maximum skips the right maximum of its group; the minimum groups run.
    {"User1RefusedMaximumGroup",
     Routine::Chart3,
     {-11.5, -11},
     {4.2, 4.3},
     -10,
     4,
     {-11.5, -11},
     {2.8, 4.3}},
};

INSTANTIATE_TEST_SUITE_P(Groups, AxisRangingTest, ::testing::ValuesIn(kRangingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MoveWindow, ReachesAnyTargetFromAnyRange) {
    struct Case {
        Window from, to;
    };
    const Case table[] = {
        {{0, 480}, {520, 1000}},     // entirely above
        {{1100, 1580}, {520, 1000}}, // entirely below
        {{-700, -220}, {0, 480}},    // from negative
        {{100, 580}, {200, 680}},    // overlapping
        {{0, 480}, {5, 5}},          // empty window
    };
    for (const Case& c : table) {
        ChartAxis axis(c.from.first, c.from.second);
        ASSERT_NO_THROW(AxisRanging::MoveWindow(axis, c.to.first, c.to.second));
        EXPECT_EQ(windowOf(axis), c.to);
    }

    ChartAxis axis(0, 480);
    EXPECT_THROW(AxisRanging::MoveWindow(axis, 15, 10), AxisRangeError);
    EXPECT_EQ(windowOf(axis), Window(0, 480));
}

} // namespace
