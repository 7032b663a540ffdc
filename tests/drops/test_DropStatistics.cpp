#include "drops/DropHistogram.h"
#include "drops/DropStatistics.h"

#include <gtest/gtest.h>

#include "DropFixtures.h"

namespace {

TEST(DropStatistics, CountsAndTimeLostPerWindow) {
    const QDateTime now = at(20, 12, 0);
    const std::vector<DropEvent> events = {
        dropBetween(at(1, 10, 0), at(1, 10, 10)),                                 // 19 days ago
        dropBetween(at(15, 10, 0), at(15, 11, 0)),                                // 5 days ago, 1 h
        dropBetween(at(19, 23, 50), at(20, 0, 10)),                               // across midnight
        dropBetween(at(20, 9, 0), at(20, 9, 0, 30), DropEvent::Kind::Retrain, 0), // no time lost
    };
    const DropSummary s = DropSummary::of(events, now);
    EXPECT_EQ(s.today, (DropSummary::Window{2, 600})); // only the part after midnight
    EXPECT_EQ(s.week, (DropSummary::Window{3, 3600 + 1200}));
    EXPECT_EQ(s.month, (DropSummary::Window{4, 600 + 3600 + 1200}));
    ASSERT_TRUE(s.longest);
    EXPECT_EQ(s.longest->before.time, at(15, 10, 0));
    EXPECT_EQ(s.meanSecondsBetween, at(1, 10, 0).secsTo(at(20, 9, 0)) / 3);
    EXPECT_EQ(s.perDay[29], 1);
    EXPECT_EQ(s.perDay[28], 1);
    EXPECT_EQ(s.perDay[24], 1);
    EXPECT_EQ(s.perDay[10], 1);
}

TEST(DropStatistics, OldEventsAndAnEmptyRecord) {
    const DropSummary empty = DropSummary::of({}, at(20, 12, 0));
    EXPECT_EQ(empty.month.count, 0);
    EXPECT_FALSE(empty.longest);
    EXPECT_EQ(empty.meanSecondsBetween, -1);
    const DropSummary old =
        DropSummary::of({dropBetween(at(1, 10, 0), at(1, 10, 1))}, at(1, 12, 0).addDays(31));
    EXPECT_EQ(old.month.count, 0);
    EXPECT_FALSE(old.longest);
}

// The histogram's days are local calendar days by the drop's start; the 30th day back is today's
// 29th predecessor, anything older is left out.
TEST(DropStatistics, DropsPerDayByLocalStartDate) {
    const QDateTime now = at(30, 12, 0);
    struct Case {
        QDateTime start;
        int bucket; // -1: in no bucket
    };
    const Case cases[] = {
        {at(30, 0, 0), 29},
        {at(29, 23, 59, 59), 28},
        {at(30, 11, 59), 29},
        {at(1, 0, 0), 0},               // 29 days back
        {at(1, 0, 0).addSecs(-1), -1},  // 30 days back, ending within the month
        {at(1, 0, 0).addDays(-5), -1},  // long gone
        {at(30, 11, 0).addDays(1), -1}, // a clock that went back: not yet
    };
    for (const Case& c : cases) {
        const DropSummary s = DropSummary::of({dropBetween(c.start, c.start.addSecs(120))}, now);
        std::array<int, 30> expected{};
        if (c.bucket >= 0)
            expected[size_t(c.bucket)] = 1;
        EXPECT_EQ(s.perDay, expected) << c.start.toString(Qt::ISODate).toStdString();
    }
}

TEST(DropStatistics, SummaryInWords) {
    const DropSummary s = DropSummary::of(
        {dropBetween(at(15, 10, 0), at(15, 11, 0)), dropBetween(at(20, 9, 0), at(20, 9, 0, 45))},
        at(20, 12, 0));
    EXPECT_EQ(s.text(), "Today: 1 drop, 45 s lost.  Last 7 days: 2 drops, 1 h 0 min lost.  "
                        "Last 30 days: 2 drops, 1 h 0 min lost.\nLongest: 1 h 0 min on "
                        "2026-12-15 10:00.  Mean time between drops: 4 d 23 h.");
    EXPECT_EQ(DropSummary::of({}, at(20, 12, 0)).text(),
              "Today: 0 drops, 0 s lost.  Last 7 days: 0 drops, 0 s lost.  Last 30 days: 0 drops, "
              "0 s lost.");
}

// One bar per day, oldest on the left, labelled with the day of the month; a new summary
// replaces the bars rather than adding to them.
TEST(DropHistogram, OneBarPerDayOfTheMonth) {
    DropHistogram h;
    DropSummary s;
    s.perDay[0] = 2;
    s.perDay[29] = 7;
    h.show(s, QDate(2026, 12, 20));
    h.show(s, QDate(2026, 12, 20));
    const LineSeries& bars = h.chart().series(0);
    ASSERT_EQ(bars.count(), 30);
    EXPECT_EQ(bars.style(), LineSeries::Style::Bars);
    EXPECT_EQ(bars.y(0), 2);
    EXPECT_EQ(bars.y(29), 7);
    EXPECT_EQ(bars.y(15), 0);
    EXPECT_EQ(bars.label(0), "21"); // 20 November
    EXPECT_EQ(bars.label(29), "20");
    EXPECT_EQ(bars.labels()->size(), 30);
    // Every bar whole inside the window and below the top.
    EXPECT_LE(h.chart().bottomAxis().minimum(), -0.5);
    EXPECT_GE(h.chart().bottomAxis().maximum(), 29.5);
    EXPECT_GT(h.chart().leftAxis().maximum(), 7);
    EXPECT_EQ(h.chart().leftAxis().minimum(), 0);
}

} // namespace
