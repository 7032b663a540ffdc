#include "app/desktop/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const QRect kPrimary(0, 0, 1920, 1080);

TEST(StartGeometry, StoredPositionOrCentred) {
    const QList<QRect> one{kPrimary};
    const QList<QRect> twoSideBySide{kPrimary, QRect(1920, 0, 1920, 1080)};
    const QList<QRect> leftOfPrimary{kPrimary, QRect(-1280, 0, 1280, 1024)};
    const QRect centred(535, 215, 850, 650);
    const struct {
        const char* what;
        QRect stored;
        QList<QRect> screens;
        bool monitor1;
        QRect expected;
    } cases[] = {
        {"past the right edge", QRect(2000, 50, 850, 650), one, false, centred},
        {"partly past the right edge", QRect(1100, 50, 850, 650), one, false, centred},
        {"within the desktop", QRect(100, 50, 850, 650), one, false, QRect(100, 50, 850, 650)},
        {"touching the right edge", QRect(1070, 50, 850, 650), one, false,
         QRect(1070, 50, 850, 650)},
        {"on a second monitor", QRect(2000, 50, 850, 650), twoSideBySide, false,
         QRect(2000, 50, 850, 650)},
        {"Monitor1", QRect(100, 50, 850, 650), one, true, centred},
        {"below the minimum size", QRect(10, 10, 300, 200), one, false, QRect(10, 10, 842, 643)},
        // Positions that would put the window off every screen.
        {"negative Left", QRect(-900, 50, 850, 650), one, false, centred},
        {"negative Top", QRect(100, -700, 850, 650), one, false, centred},
        {"Top below the screen", QRect(100, 1200, 850, 650), one, false, centred},
        {"monitor unplugged", QRect(2000, 50, 850, 650), one, false, centred},
        {"monitor left of the primary", QRect(-1200, 50, 850, 650), leftOfPrimary, false,
         QRect(-1200, 50, 850, 650)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowPlacement::startGeometry(c.stored, c.screens, kPrimary, c.monitor1),
                  c.expected)
            << c.what;
}

TEST(CloseQuestionPosition, TrayWindowAndFallback) {
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(true, kPrimary, QRect()), QPoint(1570, 880));
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(false, kPrimary, QRect(100, 50, 850, 650)),
              QPoint(100 + 425 - 130, 50 + 325 - 60));
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(false, kPrimary, QRect()), QPoint(200, 200));
    EXPECT_EQ(WindowPlacement::closeQuestionPosition(true, QRect(), QRect()), QPoint(200, 200));
}

} // namespace
