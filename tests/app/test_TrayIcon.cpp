// Tray icon: tooltip (never an unread reading's zeros), menu, minimizing to the tray and back,
// and no tray at all.
#include "app/desktop/IconNoise.h"
#include "app/desktop/TrayIcon.h"

#include "FakeTimer.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "Readings.h"

namespace {

// A tray that is there or not as the test says, asked whenever the icon asks.
struct Desktop {
    bool hasTray = false;
    FakeTimer* watch = nullptr;
    std::unique_ptr<TrayIcon> tray(QWidget* window) {
        auto timer = std::make_unique<FakeTimer>();
        watch = timer.get();
        return std::make_unique<TrayIcon>(
            window, [this] { return hasTray; }, std::move(timer));
    }
};

QImage pictureOf(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
}

LineSample sample(double margin, double rate) {
    LineSample s;
    s.NoiseMarginDown = margin;
    s.DataRateDown = rate;
    return s;
}

const QDateTime kRead(QDate(2026, 12, 8), QTime(10, 30, 35));

LineReading synced(double margin, double rate, const QDateTime& t) {
    LineReading r;
    r.time = t;
    r.state = LineReading::State::Synced;
    r.why = LineReading::Why::None;
    r.sample = sample(margin, rate);
    return r;
}

LineReading noSync(const QDateTime& t) {
    LineReading r = synced(0, 0, t);
    r.state = LineReading::State::NoSync;
    return r;
}

// The zeros the graphs get for a page that was not read.
LineReading notRead(const QDateTime& t) {
    return unreadReading(t);
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
    Desktop desktop;
    const auto owned = desktop.tray(&window);
    TrayIcon& tray = *owned;
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
        Desktop desktop{c.available};
        const auto tray = desktop.tray(&window);
        EXPECT_EQ(tray->trayAvailable(), c.available);
        tray->setMinimizeToTray(c.option);
        window.showMinimized();
        tray->windowMinimized();
        EXPECT_TRUE(window.isVisible()); // not inside the minimize itself
        QApplication::processEvents();
        EXPECT_EQ(window.isVisible(), !c.inTray);
        EXPECT_EQ(tray->isIconVisible(), c.inTray);
        const QRect screen(0, 0, 1920, 1080);
        EXPECT_EQ(tray->closeQuestionTopLeft(screen), c.inTray ? QPoint(1570, 880) : QPoint());

        tray->mnuRestoreClick();
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.isMinimized());
        EXPECT_FALSE(tray->isIconVisible());
    }
}

// A panel that starts after the program (at login) brings its tray late: a window minimized
// while there was none goes into the tray once it comes, as long as it is still minimized and
// the option still on.
TEST(TrayIcon, ATrayThatAppearsLaterTakesTheMinimizedWindow) {
    enum class Meanwhile { Nothing, WindowRestored, OptionOff };
    struct Case {
        const char* name;
        Meanwhile meanwhile;
        bool inTray;
    };
    const Case cases[] = {
        {"still minimized", Meanwhile::Nothing, true},
        {"restored from the taskbar", Meanwhile::WindowRestored, false},
        {"option switched off", Meanwhile::OptionOff, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.show();
        Desktop desktop;
        const auto tray = desktop.tray(&window);
        tray->setMinimizeToTray(true);
        window.showMinimized();
        tray->windowMinimized();
        QApplication::processEvents();
        EXPECT_TRUE(window.isVisible()); // on the taskbar, where it can be found
        EXPECT_TRUE(desktop.watch->isEnabled());
        desktop.watch->elapse(); // no tray yet: nothing changes
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(desktop.watch->isEnabled());

        if (c.meanwhile == Meanwhile::WindowRestored)
            window.showNormal();
        if (c.meanwhile == Meanwhile::OptionOff)
            tray->setMinimizeToTray(false);
        desktop.hasTray = true;
        desktop.watch->elapse();
        EXPECT_EQ(window.isVisible(), !c.inTray);
        EXPECT_EQ(tray->isIconVisible(), c.inTray);
        EXPECT_FALSE(desktop.watch->isEnabled()) << "the watch ends either way";
    }
}

// With a modal dialog open the tray icon could not be clicked (the dialog holds every other
// window of the program), so the window is minimized as usual; the watch for a late tray does
// not take it into the tray before the dialog is closed either.
TEST(TrayIcon, AWindowMinimizedWithADialogOpenStaysOnTheTaskbar) {
    for (const bool trayFromStart : {true, false}) {
        SCOPED_TRACE(trayFromStart ? "tray from the start" : "tray comes later");
        QWidget window;
        window.show();
        QDialog dialog(&window);
        dialog.setModal(true);
        dialog.show();
        ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
        Desktop desktop{trayFromStart};
        const auto tray = desktop.tray(&window);
        tray->setMinimizeToTray(true);
        window.showMinimized();
        tray->windowMinimized();
        QApplication::processEvents();
        if (!trayFromStart) {
            desktop.hasTray = true;
            desktop.watch->elapse();
        }
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(tray->isIconVisible());

        // Once the dialog is closed a later minimize goes to the tray again.
        dialog.close();
        window.showNormal();
        window.showMinimized();
        tray->windowMinimized();
        QApplication::processEvents();
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(tray->isIconVisible());
    }
}

TEST(TrayIcon, RestoredBeforeTheNextTurnStaysShown) {
    QWidget window;
    window.show();
    Desktop desktop{true};
    const auto tray = desktop.tray(&window);
    tray->setMinimizeToTray(true);
    window.showMinimized();
    tray->windowMinimized();
    window.showNormal(); // restored before the hide ran
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(tray->isIconVisible());
    EXPECT_FALSE(desktop.watch->isEnabled());
}

TEST(TrayIcon, StartMinimizedGoesStraightToTheTray) {
    QWidget window;
    window.show();
    Desktop desktop;
    const auto tray = desktop.tray(&window);
    tray->setMinimizeToTray(true);
    EXPECT_FALSE(tray->startInTray()); // no tray: minimize as usual
    EXPECT_TRUE(window.isVisible());
    desktop.hasTray = true; // asked when it matters, not when the icon was made
    tray->setMinimizeToTray(false);
    EXPECT_FALSE(tray->startInTray()); // option off: minimize as usual
    tray->setMinimizeToTray(true);
    EXPECT_TRUE(tray->startInTray());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(tray->isIconVisible());
}

// Before the first sample the window and the tray show the program's own icon, never the empty
// background the number is drawn on; the first picture drawn replaces it in both.
TEST(TrayIcon, ProgramIconUntilTheFirstSample) {
    QWidget window;
    Desktop desktop;
    const auto tray = desktop.tray(&window);
    auto* shown = tray->findChild<QSystemTrayIcon*>();
    ASSERT_NE(shown, nullptr) << "made even without a tray";
    const QImage own = pictureOf(QIcon(QStringLiteral(":/appicon/16")));
    ASSERT_FALSE(own.isNull());
    EXPECT_NE(own, IconNoise::background().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(pictureOf(window.windowIcon()), own);
    EXPECT_EQ(pictureOf(shown->icon()), own);
    EXPECT_EQ(TrayIcon::programIcon().availableSizes().size(), 8);

    tray->IconNoise(QStringLiteral("Run"), sample(6.2, 1500));
    const QImage number = IconNoise::draw(QStringLiteral("Run"), 6.2, 1500);
    EXPECT_EQ(pictureOf(window.windowIcon()), number);
    EXPECT_EQ(pictureOf(shown->icon()), number);
}

// The picture follows the pipeline; the tooltip follows the readings, so a pause that redraws
// the picture from a reading of zeros does not put those zeros into the tooltip.
TEST(TrayIcon, IconNoiseSetsTheWindowIconNotTheToolTip) {
    QWidget window;
    Desktop desktop{true};
    const auto owned = desktop.tray(&window);
    TrayIcon& tray = *owned;
    tray.setReading(synced(6.2, 1500, kRead));
    tray.IconNoise(QStringLiteral("Run"), sample(6.2, 1500));
    const QImage shown =
        window.windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, IconNoise::draw(QStringLiteral("Run"), 6.2, 1500));
    EXPECT_EQ(tray.toolTip(), TrayIcon::toolTipText(6.2, 1500));
    tray.IconNoise(QStringLiteral("Stop"), sample(0, 0));
    EXPECT_EQ(window.windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32),
              IconNoise::draw(QStringLiteral("Stop"), 0, 0));
    EXPECT_EQ(tray.toolTip(), TrayIcon::toolTipText(6.2, 1500));
}

// The router's state is the tooltip's last line, kept across readings and renewed without one.
TEST(TrayIcon, ToolTipEndsWithTheRouterState) {
    QWidget window;
    Desktop desktop{true};
    const auto owned = desktop.tray(&window);
    TrayIcon& tray = *owned;
    tray.setReading(synced(6.2, 1500, kRead));
    tray.setRouterText(QStringLiteral("Reading the line"));
    EXPECT_EQ(
        tray.toolTip(),
        QStringLiteral("Lintrove\nNoise margin: 6.2 dB\nSync speed: 1500 Kbps\nReading the line"));
    tray.setReading(notRead(kRead.addSecs(30)));
    tray.setRouterText(QStringLiteral("Not responding since 10:31:05"));
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Lintrove\nNot responding since 10:31:05; last "
                                             "reading 10:30:35: 6.2 dB, 1,500 Kbps"));
    tray.IconNoise(QStringLiteral("Run"), sample(0, 0));
    tray.setRouterText(QStringLiteral("Paused"));
    EXPECT_EQ(tray.toolTip(),
              QStringLiteral("Lintrove\nPaused; last reading 10:30:35: 6.2 dB, 1,500 Kbps"));
}

// Values only from a reading with sync; without sync the router's state says since when; while
// the router is not read, the last reading that was, never the zeros of the one that was not.
TEST(TrayIcon, ToolTipForEachKindOfReading) {
    struct Case {
        const char* name;
        std::vector<LineReading> readings;
        const char* routerText;
        const char* toolTip;
    };
    const Case cases[] = {
        {"synced",
         {synced(6.2, 15623, kRead)},
         "Reading the line",
         "Lintrove\nNoise margin: 6.2 dB\nSync speed: 15623 Kbps\nReading the line"},
        {"no sync",
         {synced(6.2, 15623, kRead.addSecs(-30)), noSync(kRead)},
         "No sync since 10:30:35",
         "Lintrove\nNo sync since 10:30:35"},
        {"not read after a reading with sync",
         {synced(6.2, 15623, kRead), notRead(kRead.addSecs(30)), notRead(kRead.addSecs(60))},
         "Not responding since 10:31:05",
         "Lintrove\nNot responding since 10:31:05; last reading 10:30:35: 6.2 dB, 15,623 Kbps"},
        {"not read after one without sync",
         {synced(6.2, 15623, kRead.addSecs(-30)), noSync(kRead), notRead(kRead.addSecs(30))},
         "Not reachable since 10:31:05",
         "Lintrove\nNot reachable since 10:31:05; last reading 10:30:35: no sync"},
        {"never read", {notRead(kRead)}, "Password rejected", "Lintrove\nPassword rejected"},
        {"nothing yet", {}, "Connecting", "Lintrove\nConnecting"},
    };
    QWidget window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desktop desktop{true};
        const auto tray = desktop.tray(&window);
        for (const LineReading& r : c.readings)
            tray->setReading(r);
        tray->setRouterText(QString::fromUtf8(c.routerText));
        EXPECT_EQ(tray->toolTip(), QString::fromUtf8(c.toolTip));
        EXPECT_EQ(tray->findChild<QSystemTrayIcon*>()->toolTip(), tray->toolTip());
    }
}

} // namespace
