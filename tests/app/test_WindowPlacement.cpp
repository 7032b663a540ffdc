#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const QRect kPrimary(0, 0, 1920, 1080);

TEST(StartGeometry, StoredPositionOrCentred) {
    const struct {
        QRect stored;
        int desktopWidth;
        bool monitor1;
        QRect expected;
    } cases[] = {
        // Reaching past the right edge of a 1920-pixel desktop: centred, stored size kept.
        {QRect(2000, 50, 850, 650), 1920, false, QRect(535, 215, 850, 650)},
        {QRect(1100, 50, 850, 650), 1920, false, QRect(535, 215, 850, 650)},
        // Within the desktop: the stored place.
        {QRect(100, 50, 850, 650), 1920, false, QRect(100, 50, 850, 650)},
        {QRect(1070, 50, 850, 650), 1920, false, QRect(1070, 50, 850, 650)},
        // A second monitor to the right makes the desktop wider.
        {QRect(2000, 50, 850, 650), 3840, false, QRect(2000, 50, 850, 650)},
        // Monitor1: centred whatever the stored position.
        {QRect(100, 50, 850, 650), 1920, true, QRect(535, 215, 850, 650)},
        // The minimum size applies to what was loaded.
        {QRect(10, 10, 300, 200), 1920, false, QRect(10, 10, 842, 643)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowPlacement::startGeometry(c.stored, c.desktopWidth, kPrimary, c.monitor1),
                  c.expected)
            << c.stored.left() << " on " << c.desktopWidth << " monitor1 " << c.monitor1;
}

TEST(CloseQuestionPosition, TrayWindowAndFallback) {
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(true, kPrimary, QRect()), QPoint(1570, 880));
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(false, kPrimary, QRect(100, 50, 850, 650)),
              QPoint(100 + 425 - 130, 50 + 325 - 60));
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(false, kPrimary, QRect()), QPoint(200, 200));
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(true, QRect(), QRect()), QPoint(200, 200));
}

} // namespace
