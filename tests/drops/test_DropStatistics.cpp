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

} // namespace
