// Finding the graph point of a time among labels that carry the time of day only (and, with the
// date stamp, the day of the month), going back from the newest point's time.
#include "drops/LabelDates.h"

#include <QStringList>
#include <gtest/gtest.h>

#include "DropFixtures.h"

namespace {

// Labels of points every step seconds from first to last, as the graphs write them.
QStringList labelsBetween(const QDateTime& first, const QDateTime& last, int step, bool dateStamp) {
    QStringList labels;
    for (QDateTime t = first; t <= last; t = t.addSecs(step))
        labels << (dateStamp ? t.toString(" ddd dd \r HH:mm:ss ") : t.toString(" HH:mm:ss "));
    return labels;
}

std::optional<qsizetype> find(const QStringList& labels, const QDateTime& newest,
                              const QDateTime& t) {
    return LabelDates::pointAtOrBefore(
        labels.size(), [&labels](qsizetype i) { return labels[i]; }, newest, t);
}

// Two days of a point a minute, across midnight: 18 December 22:00 to 20 December 02:00.
TEST(LabelDates, FindsThePointAtOrBeforeATime) {
    const QDateTime first = at(18, 22, 0), last = at(20, 2, 0);
    const QStringList labels = labelsBetween(first, last, 60, false);
    const qsizetype n = labels.size();
    struct Case {
        const char* name;
        QDateTime t;
        std::optional<qsizetype> point;
    };
    const Case cases[] = {
        {"the first point", first, 0},
        {"before the history", first.addSecs(-1), std::nullopt},
        {"between two points", at(18, 22, 3, 59), 3},
        {"the day before's midnight", at(19, 0, 0), 120},
        {"the middle", at(19, 12, 0, 30), 120 + 720},
        {"the last minute of a day", at(19, 23, 59, 59), 120 + 1439},
        {"the newest point", last, n - 1},
        {"after the newest", last.addDays(3), n - 1},
    };
    // The file's last write may lie a little after its newest line.
    for (const QDateTime& newest : {last, last.addSecs(40)})
        for (const Case& c : cases)
            EXPECT_EQ(find(labels, newest, c.t), c.point) << c.name;
}

// Without the date stamp, a gap of days between points cannot be seen; with it, the day of the
// month places the older points.
TEST(LabelDates, DayOfTheMonthBridgesAGap) {
    QStringList labels = labelsBetween(at(10, 8, 0), at(10, 9, 0), 60, true);
    const qsizetype older = labels.size();
    labels += labelsBetween(at(14, 7, 0), at(14, 8, 0), 60, true);
    const QDateTime newest = at(14, 8, 0);
    EXPECT_EQ(find(labels, newest, at(10, 8, 30)), 30);
    EXPECT_EQ(find(labels, newest, at(12, 0, 0)), older - 1);
    EXPECT_EQ(find(labels, newest, at(14, 7, 0)), older);
}

// The clock set back within a day (summer time ending, a correction): the day of the month says
// the later-looking points are still that day, not a month earlier.
TEST(LabelDates, AClockSetBackStaysOnItsDay) {
    const qint64 tenth = at(10, 2, 0).date().toJulianDay();
    struct Label {
        const char* time;
        int dayOfMonth;
        qint64 day;
    };
    const Label newestFirst[] = {
        {"02:00:00", 10, tenth},    {"01:00:00", 10, tenth},    // after the clock went back
        {"01:59:00", 10, tenth},    {"01:00:00", 10, tenth},    // the same hour before it
        {"23:59:00", 9, tenth - 1}, {"23:58:00", 9, tenth - 1}, // the day before
        {"23:59:00", 0, tenth - 2},                             // no stamp: a day back
    };
    LabelDates dates(at(10, 2, 0));
    for (const Label& l : newestFirst) {
        int second = 0, ignored = 0;
        ASSERT_TRUE(LabelDates::labelTime(QString::fromLatin1(l.time), second, ignored));
        EXPECT_EQ(dates.olderDay(second, l.dayOfMonth), l.day) << l.time << " " << l.dayOfMonth;
    }
}

// A label's day of the month is one a month has; a damaged one counts as none, and the time of
// day is still read.
TEST(LabelDates, ADayNoMonthHasIsNoDay) {
    const struct {
        const char* label;
        int second, dayOfMonth;
    } cases[] = {
        {"Tue 08 \r14:23:05 ", 51785, 8}, {"Wed 31 \r00:00:01 ", 1, 31},
        {"Thu 3 \r00:00:02 ", 2, 3},      {"Tue 99 \r14:23:05 ", 51785, 0},
        {"Tue 32 \r14:23:05 ", 51785, 0}, {"Tue 00 \r14:23:05 ", 51785, 0},
    };
    for (const auto& c : cases) {
        int second = -1, day = -1;
        ASSERT_TRUE(LabelDates::labelTime(QString::fromLatin1(c.label), second, day)) << c.label;
        EXPECT_EQ(second, c.second) << c.label;
        EXPECT_EQ(day, c.dayOfMonth) << c.label;
    }
    // The damaged day leaves the older labels on their dates.
    const QStringList labels = {" Sun 06 \r23:00:00 ", " Mon 99 \r10:00:00 ",
                                " Tue 08 \r09:00:00 "};
    EXPECT_EQ(find(labels, at(8, 9, 0), at(7, 10, 0)), 1);
    EXPECT_EQ(find(labels, at(8, 9, 0), at(6, 23, 30)), 0);
}

TEST(LabelDates, PointsWithoutATimeAreStepped) {
    const QStringList labels = {" 10:00:00 ", "", " 10:02:00 ", "garbage"};
    EXPECT_EQ(find(labels, at(5, 10, 3), at(5, 10, 1)), 0);
    EXPECT_EQ(find(labels, at(5, 10, 3), at(5, 10, 2, 30)), 2);
    EXPECT_EQ(find({}, at(5, 10, 3), at(5, 10, 2, 30)), std::nullopt);
}

} // namespace
