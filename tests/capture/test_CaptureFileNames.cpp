#include "capture/CaptureFileNames.h"
#include "storage/Settings.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2021, 3, 2), QTime(9, 15, 0));

TEST(CaptureFileNames, AllGraphsAndVisibleGraphNames) {
    const struct {
        bool addPrefix;
        const char* prefix;
        const char* dateFormat;
        int chart; // all graphs: 0..3; -1 for the visible graph
        int tab;   // visible graph's tab
        const char* user1;
        const char* user2;
        const char* expected;
    } cases[] = {
        {true, "Ltrv-", "yyyymmdd-hhmmss", 0, 0, "Max Data Rate", "Line Attenuation",
         "Ltrv-NoiseMargin-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", 1, 0, "Max Data Rate", "Line Attenuation",
         "Ltrv-ConnectionSpeed-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", 2, 0, "Max Data Rate", "Line Attenuation",
         "Ltrv-Max Data Rate-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", 3, 0, "Max Data Rate", "Line Attenuation",
         "Ltrv-Line Attenuation-20210302-091500.jpg"},
        {false, "Ltrv-", "yyyymmdd-hhmmss", 0, 0, "Max Data Rate", "Line Attenuation",
         "NoiseMargin-20210302-091500.jpg"},
        // Both user graphs on one quantity: the second image must not overwrite the first.
        {true, "Ltrv-", "yyyymmdd-hhmmss", 2, 0, "Line Attenuation", "Line Attenuation",
         "Ltrv-Line Attenuation-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", 3, 0, "Line Attenuation", "Line Attenuation",
         "Ltrv-Line Attenuation-2-20210302-091500.jpg"},
        // The visible graph: the tab's caption, with its blank.
        {true, "Ltrv-", "yyyymmdd-hhmmss", -1, 1, "Max Data Rate", "Line Attenuation",
         "Ltrv-Noise Margin-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", -1, 2, "Max Data Rate", "Line Attenuation",
         "Ltrv-Connection Speed-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", -1, 3, "Max Data Rate", "Line Attenuation",
         "Ltrv-Max Data Rate-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", -1, 4, "Signal Attenuation", "Signal Attenuation",
         "Ltrv-Signal Attenuation-2-20210302-091500.jpg"},
        {true, "Ltrv-", "yyyymmdd-hhmmss", -1, 0, "Max Data Rate", "Line Attenuation",
         "Ltrv-Home Hub-20210302-091500.jpg"},
        {true, "", "dd mmm yyyy hh-nn", 0, 0, "a", "b", "NoiseMargin-02 Mar 2021 09-15.jpg"},
    };
    for (const auto& c : cases) {
        Settings s;
        s.AddPrefix = c.addPrefix;
        s.ImagePrefix = QString::fromUtf8(c.prefix);
        s.ImageDateFormat = QString::fromUtf8(c.dateFormat);
        const QString user1 = QString::fromUtf8(c.user1), user2 = QString::fromUtf8(c.user2);
        const QString base =
            c.chart >= 0
                ? CaptureFileNames::allGraphsBase(c.chart, user1, user2)
                : CaptureFileNames::visibleBase(c.tab, user1, user2, QStringLiteral("Home Hub"));
        EXPECT_EQ(CaptureFileNames::fileName(s, base, kNow), QString::fromUtf8(c.expected))
            << c.expected;
    }
}

TEST(CaptureFileNames, NamesThatWouldLeaveTheFolderAreRefused) {
    const struct {
        QString name;
        bool plain;
    } cases[] = {{QStringLiteral("Ltrv-NoiseMargin-20210302-091500.jpg"), true},
                 {QStringLiteral("../NoiseMargin.jpg"), false},
                 {QStringLiteral("a/b.jpg"), false},
                 {QStringLiteral("a") + QChar(0) + QStringLiteral("b.jpg"), false},
                 {QString(), false},
                 {QStringLiteral("..jpg"), true}};
    for (const auto& c : cases)
        EXPECT_EQ(CaptureFileNames::isPlainName(c.name), c.plain) << c.name.toStdString();

    // A date format giving "/" (dd/mm/yyyy) makes a name with a separator in it.
    Settings s;
    s.ImageDateFormat = QStringLiteral("dd/mm/yyyy");
    EXPECT_FALSE(CaptureFileNames::isPlainName(
        CaptureFileNames::fileName(s, QStringLiteral("NoiseMargin"), kNow)));
}

} // namespace
