#include "charting/ChartAxis.h"
#include "charting/ChartModel.h"

#include <gtest/gtest.h>

namespace {

enum class End { Minimum, Maximum };

struct AssignCase {
    const char* name;
    End end;
    double value;
    const char* refusal; // nullptr when accepted
    double expectedMin, expectedMax;
};
// Readable case names in the test listing.
void PrintTo(const AssignCase& c, std::ostream* os) {
    *os << c.name;
}

class AxisAssignment : public testing::TestWithParam<AssignCase> {};

TEST_P(AxisAssignment, RefusesOnlyInvertedRanges) {
    const AssignCase& c = GetParam();
    ChartAxis axis(0.0, 10.0);
    auto assign = [&] {
        if (c.end == End::Minimum)
            axis.setMinimum(c.value);
        else
            axis.setMaximum(c.value);
    };
    if (c.refusal) {
        try {
            assign();
            FAIL() << "assignment accepted";
        } catch (const AxisRangeError& error) {
            EXPECT_EQ(error.message(), QString::fromLatin1(c.refusal));
            EXPECT_STREQ(error.what(), c.refusal);
        }
    } else {
        EXPECT_NO_THROW(assign());
    }
    EXPECT_EQ(axis.minimum(), c.expectedMin);
    EXPECT_EQ(axis.maximum(), c.expectedMax);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisAssignment,
    testing::Values(AssignCase{"MinimumAboveMaximum", End::Minimum, 10.5,
                               "Axis Minimum Value must be <= Maximum", 0, 10},
                    AssignCase{"MaximumBelowMinimum", End::Maximum, -0.5,
                               "Axis Maximum Value must be >= Minimum", 0, 10},
                    AssignCase{"MinimumEqualToMaximum", End::Minimum, 10, nullptr, 10, 10},
                    AssignCase{"MaximumEqualToMinimum", End::Maximum, 0, nullptr, 0, 0},
                    AssignCase{"NegativeMinimum", End::Minimum, -2, nullptr, -2, 10},
                    AssignCase{"LargerMaximum", End::Maximum, 22000, nullptr, 0, 22000}),
    [](const testing::TestParamInfo<AssignCase>& info) { return std::string(info.param.name); });

TEST(AxisAssignment, WindowMovesInEitherOrderOnlyWhenTheOrderFits) {
    // Moving a window right must set the maximum first, moving it left the minimum first.
    ChartAxis axis(0, 480);
    EXPECT_THROW(axis.setMinimum(519), AxisRangeError);
    axis.setMaximum(999);
    axis.setMinimum(519);
    EXPECT_EQ(axis.minimum(), 519);
    EXPECT_THROW(axis.setMaximum(480), AxisRangeError);
    EXPECT_EQ(axis.maximum(), 999);
}

TEST(AxisAssignment, ModelAnnouncesRangeChangesButNotRefusals) {
    ChartModel chart;
    int changed = 0;
    QObject::connect(&chart, &ChartModel::changed, [&] { ++changed; });
    chart.leftAxis().setMaximum(20);
    chart.bottomAxis().setMinimum(1);
    EXPECT_EQ(changed, 2);
    EXPECT_THROW(chart.leftAxis().setMinimum(30), AxisRangeError);
    chart.leftAxis().setMaximum(20); // unchanged value
    EXPECT_EQ(changed, 2);
}

} // namespace
