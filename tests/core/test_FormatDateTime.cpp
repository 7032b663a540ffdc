#include "core/DateTime.h"
#include "core/FormatDateTime.h"

#include <gtest/gtest.h>

// Readable failure messages for texts.
void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct PatternCase {
    const char* pattern;
    const char* expected;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << '"' << c.pattern << '"';
}

class FormatDateTimeTest : public testing::TestWithParam<PatternCase> {};

// Tuesday 8 December 2026, 14:03:05 and, for the am cases, 09:07:02.
TEST_P(FormatDateTimeTest, FormatsEveryToken) {
    const QDateTime t(QDate(2026, 12, 8), QTime(14, 3, 5));
    EXPECT_EQ(FormatDateTime(QString::fromLatin1(GetParam().pattern), t),
              QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatDateTimeTest,
    testing::Values(PatternCase{"ddd dd mmm yyyy  hh:mm:ss", "Tue 08 Dec 2026  14:03:05"},
                    PatternCase{"yyyymmdd-hhmmss", "20261208-140305"},
                    PatternCase{"ddd dd mmmm hh:mm:ss", "Tue 08 December 14:03:05"},
                    PatternCase{" hh:mm:ss ", " 14:03:05 "}, PatternCase{" ddd dd ", " Tue 08 "},
                    PatternCase{"d/m/yy", "8/12/26"}, PatternCase{"dddd", "Tuesday"},
                    PatternCase{"DD MM YYYY HH:NN:SS", "08 12 2026 14:03:05"},
                    PatternCase{"h:m:s", "14:3:5"}, PatternCase{"hh nn", "14 03"},
                    PatternCase{"mm hh mm", "12 14 03"}, PatternCase{"hh dd mm", "14 08 12"},
                    PatternCase{"h:mm am/pm", "2:03 pm"}, PatternCase{"h:mm AM/PM", "2:03 PM"},
                    PatternCase{"hh a/p", "02 p"}, PatternCase{"hh ampm", "02 PM"},
                    PatternCase{"[x] #1, qwe", "[x] #1, qwe"}));

TEST(FormatDateTime, TwelveHourClockAtMidnightAndMorning) {
    EXPECT_EQ(
        FormatDateTime(QStringLiteral("h:nn am/pm"), QDateTime(QDate(2026, 1, 1), QTime(0, 7))),
        QStringLiteral("12:07 am"));
    EXPECT_EQ(
        FormatDateTime(QStringLiteral("hh:nn a/p"), QDateTime(QDate(2026, 1, 1), QTime(9, 7))),
        QStringLiteral("09:07 a"));
}

// Only ASCII letters are tokens: the long s upper-cases to S and the Kelvin sign folds to k, yet
// both are ordinary characters that come out unchanged.
TEST(FormatDateTime, NonAsciiLettersAreNeverTokens) {
    const QDateTime t(QDate(2026, 12, 8), QTime(14, 3, 5));
    const struct {
        const char16_t* pattern;
        const char16_t* expected;
    } cases[] = {
        {u"\u017f", u"\u017f"},
        {u"s\u017f", u"5\u017f"},
        {u"\u017fs", u"\u017f5"},
        {u"hh:nn:\u017f\u017f", u"14:03:\u017f\u017f"},
        {u"\u212a\u212a", u"\u212a\u212a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(QString::fromUtf16(c.pattern), t), QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.pattern).toStdString();
}

TEST(FormatDateTime, AnInvalidDateHasNoNames) {
    EXPECT_EQ(FormatDateTime(QStringLiteral("[ddd][mmmm]"), QDateTime()), QStringLiteral("[][]"));
}

TEST(DateTime, DaysSince1899RoundTrip) {
    const QDateTime noon(QDate(1899, 12, 31), QTime(12, 0));
    EXPECT_DOUBLE_EQ(DateTime::fromQDateTime(noon).days(), 1.5);
    const QDateTime t(QDate(2026, 12, 8), QTime(14, 23, 5));
    EXPECT_EQ(DateTime::fromQDateTime(t).toQDateTime(), t);
    EXPECT_EQ(DateTime(0.25).toQDateTime(), QDateTime(QDate(1899, 12, 30), QTime(6, 0)));
}

} // namespace
