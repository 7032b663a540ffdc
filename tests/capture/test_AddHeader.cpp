#include "capture/AddHeader.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2021, 3, 2), QTime(9, 15, 0));

QImage withHeader(int width, const QString& uptime) {
    QImage image(width, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    AddHeader(image, {QStringLiteral("1000"), QStringLiteral("15000"), uptime}, kNow);
    return image;
}

// Whether any pixel of the rectangle differs between the images, or from white when b is null.
bool differs(const QImage& a, const QImage& b, QRect r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (a.pixel(x, y) != (b.isNull() ? qRgb(255, 255, 255) : b.pixel(x, y)))
                return true;
    return false;
}

TEST(AddHeader, HeaderLineText) {
    EXPECT_EQ(ImageHeader::headerLine({QStringLiteral("1000"), QStringLiteral("15000"), {}}, kNow),
              QStringLiteral("Tue 02 Mar.               Upstream Rate: 1000 Kbps.   "
                             "Downstream Rate: 15000 Kbps."));
    EXPECT_EQ(ImageHeader::headerLine({}, kNow),
              QStringLiteral("Tue 02 Mar.               Upstream Rate:  Kbps.   "
                             "Downstream Rate:  Kbps."));
}

TEST(AddHeader, UptimeOnlyBeyondSixHundredPixels) {
    const QRect uptimeArea(450, 0, 150, 16);
    const struct {
        int width;
        bool shown;
    } cases[] = {{500, false}, {600, false}, {601, true}, {1000, true}};
    for (const auto& c : cases) {
        const QImage a = withHeader(c.width, QStringLiteral("1 days, 01:01:02"));
        const QImage b = withHeader(c.width, QStringLiteral("9 days, 23:59:59"));
        EXPECT_EQ(differs(a, b, uptimeArea.intersected(a.rect())), c.shown) << c.width;
    }
}

TEST(AddHeader, DrawsTheHeaderAtTheTopAndTheFooterAboveTheBottomRight) {
    const QImage image = withHeader(700, QString());
    EXPECT_TRUE(differs(image, {}, QRect(20, 0, 200, 14)));
    EXPECT_FALSE(differs(image, {}, QRect(0, 20, 700, 210)));
    const QRect footer(700 - 175, 300 - 62, 175, 14);
    EXPECT_TRUE(differs(image, {}, footer));
    // The footer is grey, never black.
    for (int y = footer.top(); y <= footer.bottom(); ++y)
        for (int x = footer.left(); x < 700; ++x)
            ASSERT_GE(qGray(image.pixel(x, y)), 100) << x << "," << y;
}

} // namespace
