// The main window's housekeeping: the Maintenance and More Advanced Settings dialogs opened from
// their buttons, the tick pictures, the daily jobs at the minute tick and at Start, and the
// restarts through the restarter.
#include "app/MainWindow.h"
#include "app/dialogs/AdvancedSettingsDialog.h"
#include "app/dialogs/MaintenanceDialog.h"
#include "app/dialogs/WindowMessages.h"
#include "core/DesktopShell.h"
#include "housekeeping/Restarter.h"
#include "monitor/FakeBrowser.h"
#include "monitor/RunControl.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "FindNamed.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class NoShell final : public DesktopShell {
public:
    bool open(const QString&) override { return true; }
};

class CountingLauncher final : public InstanceLauncher {
public:
    bool start(const Request&) override {
        ++started;
        return true;
    }
    int started = 0;
};

QDateTime at(int hour, int minute, int second) {
    return QDateTime(QDate(2026, 3, 14), QTime(hour, minute, second));
}

class HousekeepingWiringTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        folder = home.path();
    }

    std::unique_ptr<MainWindow> make() {
        MainWindow::Dependencies deps{folder,
                                      browser,
                                      clock,
                                      shell,
                                      messages,
                                      [](int ms, bool) { return std::make_unique<FakeTimer>(ms); },
                                      [] { return QStringList{"127.0.0.1"}; },
                                      &restarter,
                                      [this](int ms) {
                                          auto t = std::make_unique<FakeTimer>(ms);
                                          dailyTick = t.get();
                                          return t;
                                      }};
        auto w = std::make_unique<MainWindow>(deps);
        w->FormCreate();
        return w;
    }

    // Runs trigger, which opens a modal dialog; inspect sees the dialog, then it is closed unless
    // inspect closed it. Returns whether a modal dialog came up.
    static bool withModal(const std::function<void()>& trigger,
                          const std::function<void(QDialog*)>& inspect) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            inspect(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        trigger();
        QCoreApplication::processEvents();
        return seen;
    }

    // A log of the header pair and rows rows.
    QString writeLog(int rows) {
        QByteArray text = "header\r\n------\r\n";
        for (int i = 0; i < rows; ++i)
            text += "row " + QByteArray::number(i) + "\r\n";
        const QString path = QDir(folder).filePath("log.txt");
        writeFile(path, text);
        return path;
    }

    QTemporaryDir home;
    QString folder; // the program folder
    FakeBrowser browser;
    FakeClock clock{at(2, 59, 30)};
    NoShell shell;
    ScriptedMessages messages;
    CountingLauncher launcher;
    FakeTimer retry;
    Restarter restarter{launcher, {}, retry};
    FakeTimer* dailyTick = nullptr;
};

TEST_F(HousekeepingWiringTest, MaintenanceButtonsOpenTheDialogWithTheirGroupHighlighted) {
    using H = MaintenanceDialog::Highlight;
    struct Case {
        const char* opener;
        H highlight;
    };
    const Case cases[] = {{"btnImagesMaintain", H::Images},
                          {"btnLogMaintain", H::Log},
                          {"btnSystemMaintain", H::None},
                          {"mnuMaintain", H::None}};
    auto w = make();
    w->resize(900, 700);
    w->move(100, 80);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opener);
        std::function<void()> trigger;
        if (auto* button = w->findChild<QPushButton*>(c.opener)) {
            EXPECT_TRUE(button->isEnabled());
            trigger = [button] { button->click(); };
        } else {
            auto* action = findNamed<QAction>(w.get(), c.opener);
            EXPECT_TRUE(action->isEnabled());
            trigger = [action] { action->trigger(); };
        }
        H shown = H::None;
        bool right = false;
        QPoint centreOffset;
        EXPECT_TRUE(withModal(trigger, [&](QDialog* d) {
            auto* dialog = qobject_cast<MaintenanceDialog*>(d);
            right = dialog != nullptr;
            if (dialog)
                shown = dialog->highlighted();
            centreOffset = d->frameGeometry().center() - w->frameGeometry().center();
        }));
        EXPECT_TRUE(right);
        EXPECT_EQ(shown, c.highlight);
        EXPECT_LE(centreOffset.manhattanLength(), 4); // rounding of odd sizes
    }
}

TEST_F(HousekeepingWiringTest, TheTickPicturesFollowTheDialogAndTrimNowTrims) {
    auto w = make();
    QWidget* logTick = findNamed<QWidget>(w.get(), "Image16");
    QWidget* imagesTick = findNamed<QWidget>(w.get(), "Image23");
    EXPECT_TRUE(logTick->isHidden());
    EXPECT_TRUE(imagesTick->isHidden());
    w->settings().LogFile = writeLog(5);
    w->settings().TrimLines = 2;

    ASSERT_TRUE(withModal([&] { findNamed<QPushButton>(w.get(), "btnLogMaintain")->click(); },
                          [](QDialog* d) {
                              auto* dialog = static_cast<MaintenanceDialog*>(d);
                              dialog->cbTrimLog->click();
                              dialog->cbDeleteImages->click();
                              dialog->btnTrimNow->click();
                          }));
    EXPECT_FALSE(logTick->isHidden());
    EXPECT_FALSE(imagesTick->isHidden());
    EXPECT_TRUE(w->settings().TrimLog);
    EXPECT_EQ(readFile(w->settings().LogFile), "header\r\n------\r\nrow 3\r\nrow 4\r\n");
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join(" | ").toStdString();
    EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join('\n').toStdString();
}

// At the minute tick of 03:00 every job due runs: the log trim, the image deletion and the
// scheduled restart, which saves without a question and leaves the new instance for later.
TEST_F(HousekeepingWiringTest, TheMinuteTickRunsTheJobsDueAndTheScheduledRestart) {
    auto w = make();
    ASSERT_NE(dailyTick, nullptr);
    EXPECT_TRUE(dailyTick->isEnabled());
    Settings& s = w->settings();
    s.LogFile = writeLog(3);
    s.TrimLog = true;
    s.TrimLines = 1;
    s.TrimTime = QStringLiteral("03:00");
    // Typed relative: the images beside the program go, whatever the working folder is.
    const QString capture = QDir(folder).filePath("Capture");
    s.Capture = QStringLiteral("Capture");
    s.DeleteImages = true;
    s.DeleteDays = 1;
    s.DeleteTime = QTime(3, 0);
    s.AddPrefix = true;
    s.ImagePrefix = QStringLiteral("Ltrv-");
    s.Recycle = false;
    for (const char* name : {"Ltrv-old.jpg", "other.jpg"}) {
        QFile f(QDir(capture).filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.setFileTime(at(3, 0, 0).addDays(-3), QFileDevice::FileModificationTime));
    }
    s.Restart = true;
    s.RestartDays = 1;
    s.RestartTime = QDateTime(QDate(2020, 1, 1), QTime(3, 0));

    // Still 02:59: nothing is due.
    dailyTick->elapse();
    EXPECT_EQ(readFile(s.LogFile).count('\n'), 5);
    EXPECT_FALSE(restarter.Pending());

    clock.set(at(3, 0, 0).addMSecs(50));
    dailyTick->elapse();
    EXPECT_EQ(readFile(s.LogFile), "header\r\n------\r\nrow 2\r\n");
    EXPECT_FALSE(QFileInfo::exists(QDir(capture).filePath("Ltrv-old.jpg")));
    EXPECT_TRUE(QFileInfo::exists(QDir(capture).filePath("other.jpg")));
    EXPECT_TRUE(restarter.Pending());
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath("lintrove5a.ini")));
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_EQ(launcher.started, 0) << "the new instance waits until the window is gone";
    EXPECT_TRUE(restarter.LaunchPending());
    EXPECT_EQ(launcher.started, 1);
}

TEST_F(HousekeepingWiringTest, StartRunsTheMaintenanceCheck) {
    clock.set(at(3, 0, 10));
    auto w = make();
    w->settings().LogFile = writeLog(3);
    w->settings().TrimLog = true;
    w->settings().TrimLines = 1;
    w->settings().TrimTime = QStringLiteral("03:00");
    w->runControl().btnRunClick();
    EXPECT_EQ(readFile(w->settings().LogFile), "header\r\n------\r\nrow 2\r\n");
}

// The restart set in the dialog is the one the minute tick then keeps.
TEST_F(HousekeepingWiringTest, AdvancedOpensCentredAndItsRestartSettingsTakeEffect) {
    auto w = make();
    w->resize(900, 700);
    w->move(100, 80);
    auto* button = findNamed<QPushButton>(w.get(), "btnAdvanced");
    EXPECT_TRUE(button->isEnabled());
    QPoint centreOffset;
    ASSERT_TRUE(withModal([button] { button->click(); },
                          [&](QDialog* d) {
                              auto* dialog = qobject_cast<AdvancedSettingsDialog*>(d);
                              ASSERT_NE(dialog, nullptr);
                              centreOffset =
                                  dialog->frameGeometry().center() - w->frameGeometry().center();
                              dialog->cbRestart->setChecked(true);
                              dialog->spRestartDays->setValue(1);
                              dialog->dtRestartTime->setTime(QTime(3, 0));
                              dialog->Button1->click();
                          }));
    EXPECT_LE(centreOffset.manhattanLength(), 4); // rounding of odd sizes
    clock.set(at(3, 0, 0));
    dailyTick->elapse();
    EXPECT_TRUE(restarter.Pending());
}

// "Restart Now" closes the window without the close question and saves; a close that cannot
// save stays open, starts nothing and is no longer restarting.
TEST_F(HousekeepingWiringTest, RestartNowClosesQuietlyOrStaysWhenTheSaveFails) {
    for (bool saveFails : {true, false}) {
        SCOPED_TRACE(saveFails ? "save fails" : "save works");
        folder = home.filePath(saveFails ? "blocked" : "free");
        ASSERT_TRUE(QDir().mkpath(folder));
        messages.questions.clear();
        if (saveFails) {
            ASSERT_TRUE(QDir(folder).mkdir("lintrove5a.ini"));
        }
        auto w = make();
        w->show();
        ASSERT_TRUE(withModal(
            [&] { findNamed<QPushButton>(w.get(), "btnAdvanced")->click(); },
            [](QDialog* d) { static_cast<AdvancedSettingsDialog*>(d)->btnRestart->click(); }));
        QCoreApplication::processEvents(); // the queued restart
        ASSERT_EQ(messages.questions.size(), 1);
        EXPECT_EQ(messages.questions[0],
                  AdvancedSettingsDialog::restartQuestion(w->settings().Restore));
        EXPECT_EQ(w->isVisible(), saveFails);
        EXPECT_EQ(restarter.Pending(), !saveFails);
        EXPECT_FALSE(w->RestartInProgress() && saveFails);
        EXPECT_EQ(QFileInfo(QDir(folder).filePath("lintrove5a.ini")).isFile(), !saveFails);
        w.reset();
        restarter.LaunchPending();
    }
    EXPECT_EQ(launcher.started, 1);
}

} // namespace
