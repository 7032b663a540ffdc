// Tray icon: tooltip, menu, minimizing to the tray and back, and no tray at all.
#include "app/IconNoise.h"
#include "app/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

LineSample sample(double margin, double rate) {
    LineSample s;
    s.NoiseMarginDown = margin;
    s.DataRateDown = rate;
    return s;
}

TEST(TrayIcon, ToolTipHasThreeLinesWithPlainNumbers) {
    const std::tuple<double, double, const char*> cases[] = {
        {6.2, 1500, "Lintrove\nNoise margin: 6.2 dB\nSync speed: 1500 Kbps"},
        {0, 0, "Lintrove\nNoise margin: 0 dB\nSync speed: 0 Kbps"},
        {-1.5, 79999.25, "Lintrove\nNoise margin: -1.5 dB\nSync speed: 79999.25 Kbps"},
        {12.345678901234, 12345678,
         "Lintrove\nNoise margin: 12.345678901234 dB\nSync speed: "
         "12345678 Kbps"},
    };
    for (const auto& [margin, rate, text] : cases)
        EXPECT_EQ(TrayIcon::toolTipText(margin, rate), QString::fromUtf8(text));
}

TEST(TrayIcon, MenuRestoresAndAsksToClose) {
    QWidget window;
    TrayIcon tray(&window, false);
    QMenu* menu = tray.TrayPopup();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Restore Lintrove"));
    EXPECT_EQ(actions[0]->objectName(), QStringLiteral("mnuRestore"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Close Lintrove"));
    EXPECT_EQ(actions[2]->objectName(), QStringLiteral("mnuClose"));

    QSignalSpy close(&tray, &TrayIcon::closeRequested);
    actions[2]->trigger();
    EXPECT_EQ(close.size(), 1);

    window.showMinimized();
    actions[0]->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

TEST(TrayIcon, MinimizeGoesToTheTrayOnlyWithTheOptionAndATray) {
    struct Case {
        bool available, option, inTray;
    };
    const Case cases[] = {
        {true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.available) + std::to_string(c.option));
        QWidget window;
        window.show();
        TrayIcon tray(&window, c.available);
        EXPECT_EQ(tray.trayAvailable(), c.available);
        tray.setMinimizeToTray(c.option);
        window.showMinimized();
        tray.windowMinimized();
        EXPECT_TRUE(window.isVisible()); // not inside the minimize itself
        QApplication::processEvents();
        EXPECT_EQ(window.isVisible(), !c.inTray);
        EXPECT_EQ(tray.isIconVisible(), c.inTray);
        const QRect screen(0, 0, 1920, 1080);
        EXPECT_EQ(tray.closeQuestionTopLeft(screen), c.inTray ? QPoint(1570, 880) : QPoint());

        tray.mnuRestoreClick();
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.isMinimized());
        EXPECT_FALSE(tray.isIconVisible());
    }
}

TEST(TrayIcon, RestoredBeforeTheNextTurnStaysShown) {
    QWidget window;
    window.show();
    TrayIcon tray(&window, true);
    tray.setMinimizeToTray(true);
    window.showMinimized();
    tray.windowMinimized();
    window.showNormal(); // restored before the hide ran
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(tray.isIconVisible());
}

TEST(TrayIcon, StartMinimizedGoesStraightToTheTray) {
    QWidget window;
    window.show();
    TrayIcon tray(&window, true);
    EXPECT_FALSE(tray.startInTray()); // option off: minimize as usual
    tray.setMinimizeToTray(true);
    EXPECT_TRUE(tray.startInTray());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(tray.isIconVisible());
    TrayIcon none(&window, false);
    none.setMinimizeToTray(true);
    EXPECT_FALSE(none.startInTray());
}

TEST(TrayIcon, IconNoiseSetsTheWindowIconAndTheToolTip) {
    QWidget window;
    TrayIcon tray(&window, true);
    tray.IconNoise(QStringLiteral("Run"), sample(6.2, 1500));
    const QImage shown =
        window.windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, IconNoise::draw(QStringLiteral("Run"), 6.2, 1500));
    EXPECT_EQ(tray.toolTip(), TrayIcon::toolTipText(6.2, 1500));
    tray.IconNoise(QStringLiteral("Stop"), sample(5, 0));
    EXPECT_EQ(window.windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32),
              IconNoise::draw(QStringLiteral("Stop"), 5, 0));
    EXPECT_EQ(tray.toolTip(), TrayIcon::toolTipText(5, 0));
}

// The router's state is the tooltip's fourth line, kept across samples and renewed without one.
TEST(TrayIcon, ToolTipEndsWithTheRouterState) {
    QWidget window;
    TrayIcon tray(&window, true);
    tray.setToolTipFrom(sample(6.2, 1500));
    tray.setRouterText(QStringLiteral("Reading the line"));
    EXPECT_EQ(
        tray.toolTip(),
        QStringLiteral("Lintrove\nNoise margin: 6.2 dB\nSync speed: 1500 Kbps\nReading the line"));
    tray.setToolTipFrom(sample(0, 0));
    tray.setRouterText(QStringLiteral("Not responding since 10:02:13"));
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Lintrove\nNoise margin: 0 dB\nSync speed: 0 Kbps\n"
                                             "Not responding since 10:02:13"));
    tray.IconNoise(QStringLiteral("Run"), sample(5.5, 900));
    EXPECT_TRUE(tray.toolTip().endsWith(QStringLiteral("\nNot responding since 10:02:13")));
}

} // namespace
