#include "capture/PagePicture.h"

#include <gtest/gtest.h>

namespace {

TEST(PagePicture, SizeRule) {
    const struct {
        QSize view, picture;
    } cases[] = {{{1000, 700}, {700, 600}}, {{800, 455}, {500, 455}}, {{900, 600}, {600, 600}},
                 {{300, 500}, {}},          {{200, 500}, {}},         {{1000, 0}, {}}};
    for (const auto& c : cases)
        EXPECT_EQ(PagePicture::pictureSize(c.view), c.picture)
            << c.view.width() << "x" << c.view.height();
}

TEST(PagePicture, TakesTheTopLeftPartOfTheGrab) {
    QImage grab(1000, 700, QImage::Format_RGB32);
    grab.fill(Qt::red);
    grab.setPixel(0, 0, qRgb(0, 0, 255));
    const QImage picture = PagePicture::fromGrab(grab, {1000, 700});
    ASSERT_EQ(picture.size(), QSize(700, 600));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(picture.pixel(699, 599), qRgb(255, 0, 0));

    // A grab smaller than the view leaves the rest white; no grab gives no picture.
    const QImage small = PagePicture::fromGrab(grab.copy(0, 0, 100, 100), {1000, 700});
    EXPECT_EQ(small.pixel(699, 599), qRgb(255, 255, 255));
    EXPECT_TRUE(PagePicture::fromGrab(QImage(), {1000, 700}).isNull());
}

} // namespace
