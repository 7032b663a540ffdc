// The icon picture by its pixels: background rows, colour by sync, "?" when paused, the small
// font for a wide number, centring.
#include "app/desktop/IconNoise.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

namespace {

const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kMagenta = qRgb(255, 0, 255);

// Rows of the "iconbitmap" picture, top to bottom.
const QRgb kRows[16] = {
    qRgb(214, 218, 238), qRgb(178, 181, 198), qRgb(53, 54, 59),   0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    qRgb(72, 72, 95),    qRgb(134, 134, 178), qRgb(192, 192, 255)};

struct Ink {
    int count = 0, yellow = 0, magenta = 0;
    int left = 16, right = -1, top = 16, bottom = -1;
};

// Every pixel that is not the background's, and its colour.
Ink inkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = image.pixel(x, y) | 0xFF000000u;
            if (p == (kRows[y] | 0xFF000000u))
                continue;
            ++ink.count;
            ink.yellow += p == kYellow;
            ink.magenta += p == kMagenta;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

TEST(IconNoise, NarrowFontIsInstalled) {
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Liberation Sans Narrow")))
        << "fonts-liberation is missing: the icon would fall back to another font";
}

TEST(IconNoise, BackgroundRows) {
    const QImage bg = IconNoise::background();
    ASSERT_EQ(bg.size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(bg.pixel(x, y) | 0xFF000000u, kRows[y] | 0xFF000000u) << x << "," << y;
}

TEST(IconNoise, YellowWithSyncMagentaWithout) {
    const Ink synced = inkOf(IconNoise::draw(QStringLiteral("Run"), 6.2, 1500));
    EXPECT_GT(synced.yellow, 10);
    EXPECT_EQ(synced.yellow, synced.count); // one colour, no smoothing
    const Ink lost = inkOf(IconNoise::draw(QStringLiteral("Run"), 6.2, 0));
    EXPECT_GT(lost.magenta, 10);
    EXPECT_EQ(lost.magenta, lost.count);
    const Ink barely = inkOf(IconNoise::draw(QStringLiteral("Run"), 0, 0.001));
    EXPECT_EQ(barely.yellow, barely.count); // only exactly 0 is magenta
}

TEST(IconNoise, NumberCentredFromTheTopOrSmallAndLowerWhenWide) {
    struct Case {
        double value;
        bool small;
    };
    const Case cases[] = {{6.2, false}, {7, false},    {12, false},
                          {12.3, true}, {-12.3, true}, {123.4, false}};
    const Ink reference = inkOf(IconNoise::draw(QStringLiteral("Run"), 6.2, 1500));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const Ink ink = inkOf(IconNoise::draw(QStringLiteral("Run"), c.value, 1500));
        ASSERT_GT(ink.count, 0);
        // Centred: the margins left and right differ by little.
        EXPECT_LE(std::abs(ink.left - (15 - ink.right)), 2) << ink.left << ".." << ink.right;
        if (c.small) {
            EXPECT_GE(ink.top, 2);
            EXPECT_LT(ink.bottom - ink.top, reference.bottom - reference.top);
        } else {
            EXPECT_LE(ink.top, 3); // digits start at the top of the cell
            EXPECT_EQ(ink.bottom - ink.top, reference.bottom - reference.top);
        }
    }
}

TEST(IconNoise, PausedDrawsTheQuestionMarkWhateverTheValues) {
    const QImage a = IconNoise::draw(QStringLiteral("Stop"), 6.2, 1500);
    const QImage b = IconNoise::draw(QStringLiteral("Stop"), -123.4, 9999);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, IconNoise::draw(QStringLiteral("Run"), 6.2, 1500));
    const Ink ink = inkOf(a);
    EXPECT_GT(ink.yellow, 5);
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.top, 3);
    EXPECT_EQ(inkOf(IconNoise::draw(QStringLiteral("Stop"), 6.2, 0)).magenta, ink.count);
}

TEST(IconNoise, NumberTexts) {
    const QLocale c(QLocale::C);
    const QLocale german(QLocale::German, QLocale::Germany);
    const std::tuple<double, QLocale, const char*> cases[] = {
        {6.2, c, "6.2"},     {12.34, c, "12.3"}, {7, c, "7"},          {123.4, c, "123"},
        {-3.25, c, "-3.25"}, {0, c, "0"},        {6.2, german, "6,2"}, {1234.5, german, "1,23E+03"},
    };
    for (const auto& [value, locale, text] : cases)
        EXPECT_EQ(IconNoise::numberText(value, locale), QString::fromUtf8(text)) << value;
}

} // namespace
