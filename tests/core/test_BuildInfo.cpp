#include "core/BuildInfo.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

TEST(BuildInfo, VersionLineInEnglishWhateverTheDesktopLanguage) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const struct {
        QDate date;
        const char* line;
    } cases[] = {
        {QDate(2026, 12, 11), "Version 0.1.0 - 11 December 2026"},
        {QDate(2027, 1, 1), "Version 0.1.0 - 1 January 2027"},
        {QDate(2028, 2, 29), "Version 0.1.0 - 29 February 2028"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildInfo::versionLine(QStringLiteral("0.1.0"), c.date), QLatin1String(c.line));
    QLocale::setDefault(saved);
}

// The date the build defines reads as a day, and not a later one than today (UTC may be a day
// ahead of the local date).
TEST(BuildInfo, TheBuildDateIsADayNotInTheFuture) {
    const QDate built = BuildInfo::buildDate();
    ASSERT_TRUE(built.isValid());
    EXPECT_LE(built, QDate::currentDate().addDays(1));
}

} // namespace
