#include "drops/DropHistogram.h"
#include "drops/DropStatistics.h"

#include <QTimeZone>
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
    EXPECT_EQ(s.today, (DropSummary::Window{2, 600, 600})); // only the part after midnight
    EXPECT_EQ(s.week, (DropSummary::Window{3, 3600 + 1200, 3600 + 1200}));
    EXPECT_EQ(s.month, (DropSummary::Window{4, 600 + 3600 + 1200, 600 + 3600 + 1200}));
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

// What counts and what is lost: drops, retrains and restarts count, a time the router was not
// read does not; lost time is a range summed per window; only a drop can be the longest.
TEST(DropStatistics, WhatCountsAndWhatIsLost) {
    using Kind = DropEvent::Kind;
    using W = DropSummary::Window;
    const QDateTime now = at(20, 12, 0);
    const DropEvent restartSeen =
        lostBetween(dropBetween(at(20, 8, 0), at(20, 8, 30), Kind::RouterRestart, 20), 570, 1800);
    struct Case {
        const char* name;
        std::vector<DropEvent> events;
        W today, week;
        std::optional<QDateTime> longest; // its start
        qint64 mean;
        int unread;
    };
    const Case cases[] = {
        {"only retrains and restarts: counted, nothing lost, no longest",
         {dropBetween(at(20, 9, 0), at(20, 9, 15, 43), Kind::Retrain, 0),
          dropBetween(at(20, 10, 0), at(20, 10, 0, 30), Kind::RouterRestart, 0)},
         {2, 0, 0},
         {2, 0, 0},
         std::nullopt,
         3600,
         0},
        {"a time not read is neither counted nor lost",
         {lostBetween(dropBetween(at(20, 9, 0), at(20, 9, 2)), 60, 120),
          notRead(at(20, 10, 0), at(20, 11, 0))},
         {1, 60, 120},
         {1, 60, 120},
         at(20, 9, 0),
         -1,
         1},
        {"ranges sum",
         {lostBetween(dropBetween(at(19, 9, 0), at(19, 9, 2)), 40, 80),
          lostBetween(dropBetween(at(20, 9, 0), at(20, 9, 3)), 100, 130, 30)},
         {1, 100, 130},
         {2, 140, 210},
         at(20, 9, 0),
         86400,
         0},
        // 10 min of it before midnight: up to 10 min of the least may lie there, and no more
        // than 10 min after it.
        {"a window beginning inside an event takes only its part",
         {lostBetween(dropBetween(at(19, 23, 50), at(20, 0, 10)), 900, 1100)},
         {1, 300, 600},
         {1, 900, 1100},
         at(19, 23, 50),
         -1,
         0},
        {"the longest is the drop that may have lost most; a restart never is",
         {lostBetween(dropBetween(at(20, 9, 0), at(20, 9, 10)), 100, 400), restartSeen,
          lostBetween(dropBetween(at(20, 10, 0), at(20, 10, 10)), 300, 350)},
         {3, 100 + 570 + 300, 400 + 1800 + 350},
         {3, 100 + 570 + 300, 400 + 1800 + 350},
         at(20, 9, 0),
         3600,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DropSummary s = DropSummary::of(c.events, now);
        EXPECT_EQ(s.today, c.today);
        EXPECT_EQ(s.week, c.week);
        EXPECT_EQ(s.month, c.week);
        ASSERT_EQ(s.longest.has_value(), c.longest.has_value());
        if (c.longest) {
            EXPECT_EQ(s.longest->kind, DropEvent::Kind::Drop);
            EXPECT_EQ(s.longest->before.time, *c.longest);
        }
        EXPECT_EQ(s.meanSecondsBetween, c.mean);
        EXPECT_EQ(s.unreadPeriods, c.unread);
        int perDay = 0;
        for (int n : s.perDay)
            perDay += n;
        EXPECT_EQ(perDay, c.week.count);
    }
}

TEST(DropStatistics, FromHistoryWhenAnEventOfTheMonthWasFilledFromIt) {
    const QDateTime now = at(30, 12, 0);
    DropEvent filled = dropBetween(at(1, 10, 0), at(1, 10, 5));
    filled.source = DropEvent::Source::History;
    EXPECT_FALSE(DropSummary::of({filled}, now.addDays(1)).fromHistory) << "gone from the month";
    EXPECT_TRUE(DropSummary::of({filled}, now).fromHistory);
    filled.source = DropEvent::Source::EarlierVersion;
    EXPECT_FALSE(DropSummary::of({filled}, now).fromHistory);
}

TEST(DropStatistics, SummaryInWords) {
    using Kind = DropEvent::Kind;
    const QDateTime now = at(20, 12, 0);
    struct Case {
        const char* name;
        std::vector<DropEvent> events;
        QString text;
    };
    const Case cases[] = {
        {"nothing",
         {},
         "Today: 0 drops, 0 s lost.  Last 7 days: 0 drops, 0 s lost.  Last 30 days: 0 drops, "
         "0 s lost."},
        {"ranges; ends that read the same said once",
         {dropBetween(at(15, 10, 0), at(15, 11, 0)),
          lostBetween(dropBetween(at(20, 9, 0), at(20, 9, 0, 50)), 20, 40)},
         "Today: 1 drop, between 20 s and 40 s lost.  Last 7 days: 2 drops, about 1 h 0 "
         "min lost.  Last 30 days: 2 drops, about 1 h 0 min lost.\nLongest: about 1 h 0 min on "
         "2026-12-15 10:00.  Mean time between drops: 4 d 23 h."},
        {"retrains only: no longest, nothing lost",
         {dropBetween(at(20, 9, 0), at(20, 9, 15, 43), Kind::Retrain, 0)},
         "Today: 1 drop, 0 s lost.  Last 7 days: 1 drop, 0 s lost.  Last 30 days: 1 drop, 0 s "
         "lost."},
        {"a drop and times not read",
         {lostBetween(dropBetween(at(3, 14, 2), at(3, 14, 8)), 300, 330),
          notRead(at(4, 9, 0), at(4, 9, 1)), notRead(at(5, 9, 0), at(5, 9, 1))},
         "Today: 0 drops, 0 s lost.  Last 7 days: 0 drops, 0 s lost.  Last 30 days: 1 drop, "
         "between 5 min 0 s and 5 min 30 s lost.\nLongest: between 5 min 0 s and 5 min 30 s on "
         "2026-12-03 14:02.  Router not read 2 times in the last 30 days, not counted as drops."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DropSummary::of(c.events, now).text().toStdString(), c.text.toStdString())
            << c.name;
}

// What the window, the report and the live page say of an event's length.
TEST(DropStatistics, LengthOfEachKindOfEvent) {
    using Kind = DropEvent::Kind;
    const DropEvent drop = lostBetween(dropBetween(at(3, 10, 0), at(3, 12, 2)), 40, 80);
    const DropEvent unwatched = lostBetween(drop, 40, 80, 7200);
    const DropEvent restartSeen =
        lostBetween(dropBetween(at(3, 10, 0), at(3, 10, 2), Kind::RouterRestart, 2), 30, 90);
    struct Case {
        DropEvent event;
        QString text;
    };
    const Case cases[] = {
        {drop, "between 40 s and 1 min 20 s"},
        {unwatched, "between 40 s and 1 min 20 s, 2 h 0 min unknown"},
        {dropBetween(at(3, 10, 0), at(3, 10, 1)), "about 1 min 0 s"},
        {lostBetween(drop, 0, 0), "about 0 s"},
        {dropBetween(at(3, 10, 30, 5), at(3, 10, 30, 15), Kind::Retrain, 0),
         "between 10:30:05 and 10:30:15"},
        {dropBetween(at(6, 23, 59, 45), at(7, 0, 0, 15), Kind::RouterRestart, 0),
         "between 2026-12-06 23:59:45 and 2026-12-07 00:00:15"},
        {restartSeen, "between 30 s and 1 min 30 s"},
        {notRead(at(3, 10, 0), at(3, 10, 0, 45)), "not read for about 45 s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DropSummary::lengthText(c.event), c.text) << c.text.toStdString();
    EXPECT_EQ(DropSummary::rangeText(3600, 3630), "about 1 h 0 min") << "ends that read the same";
    EXPECT_EQ(DropSummary::rangeText(59, 60), "between 59 s and 1 min 0 s");
}

// A time on a day whose clocks change carries its offset, since its hour alone may be one of
// two or one that never was; other days' times do not.
TEST(DropStatistics, TimesCarryTheirOffsetOnADayTheClocksChange) {
    const QTimeZone london("Europe/London");
    ASSERT_TRUE(london.isValid());
    const auto t = [&london](int month, int day, int h, int m) {
        return QDateTime(QDate(2026, month, day), QTime(h, m), london);
    };
    const QDateTime firstHalfPastOne = t(10, 25, 0, 30).addSecs(3600);
    const QDateTime secondHalfPastOne = firstHalfPastOne.addSecs(3600);
    ASSERT_EQ(firstHalfPastOne.time(), secondHalfPastOne.time());
    struct Case {
        QDateTime time;
        QString text;
    };
    const Case cases[] = {
        {t(3, 28, 12, 0), "2026-03-28 12:00:00"},
        {t(3, 29, 0, 30), "2026-03-29 00:30:00+00:00"},
        {t(3, 29, 2, 30), "2026-03-29 02:30:00+01:00"}, // after 01:00, which became 02:00
        {firstHalfPastOne, "2026-10-25 01:30:00+01:00"},
        {secondHalfPastOne, "2026-10-25 01:30:00+00:00"},
        {t(10, 26, 1, 30), "2026-10-26 01:30:00"},
        {at(3, 14, 2, 10), "2026-12-03 14:02:10"},
        {QDateTime(QDate(2026, 3, 29), QTime(1, 30), QTimeZone::utc()), "2026-03-29 01:30:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DropSummary::timeText(c.time), c.text) << c.text.toStdString();
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

// The bars count what the summary counts: a time the router was not read is no drop.
TEST(DropHistogram, BarsCountNoTimeNotRead) {
    const DropSummary s = DropSummary::of(
        {dropBetween(at(19, 9, 0), at(19, 9, 1)), notRead(at(20, 9, 0), at(20, 9, 5)),
         dropBetween(at(20, 10, 0), at(20, 10, 0, 30), DropEvent::Kind::Retrain, 0)},
        at(20, 12, 0));
    DropHistogram h;
    h.show(s, QDate(2026, 12, 20));
    const LineSeries& bars = h.chart().series(0);
    ASSERT_EQ(bars.count(), 30);
    EXPECT_EQ(bars.y(28), 1);
    EXPECT_EQ(bars.y(29), 1);
}

} // namespace
