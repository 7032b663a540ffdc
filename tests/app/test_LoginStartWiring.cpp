// "Start Lintrove when I log in" on the Advanced tab: the box writes and removes the autostart
// entry, follows a file changed by hand when the tab is shown, and tells a failure.
#include "app/MainWindow.h"
#include "app/dialogs/WindowMessages.h"
#include "core/DesktopShell.h"
#include "monitor/FakeBrowser.h"

#include "FakeClock.h"
#include "FindNamed.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowDependencies.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class NoShell final : public DesktopShell {
public:
    bool open(const QString&) override { return true; }
};

class LoginStartWiringTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(config.isValid());
        hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        entry = config.filePath("autostart/lintrove5a.desktop");
    }
    void TearDown() override {
        if (hadConfig)
            qputenv("XDG_CONFIG_HOME", savedConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    std::unique_ptr<MainWindow> make() {
        return createdWindow(windowDependencies(home.path(), browser, clock, shell, messages));
    }
    static void showTab(MainWindow* w, int index) {
        findNamed<QTabWidget>(w, "PageControl1")->setCurrentIndex(index);
    }

    QTemporaryDir home, config;
    QByteArray savedConfig;
    bool hadConfig = false;
    QString entry;
    FakeBrowser browser;
    FakeClock clock;
    NoShell shell;
    ScriptedMessages messages;
};

TEST_F(LoginStartWiringTest, TickingWritesTheEntryAndUntickingRemovesIt) {
    auto w = make();
    auto* box = findNamed<QCheckBox>(w.get(), "cbLoginStart");
    EXPECT_EQ(box->text(), "Start Lintrove when I log in");
    EXPECT_FALSE(box->isChecked());

    box->click();
    EXPECT_TRUE(box->isChecked());
    ASSERT_TRUE(QFileInfo(entry).isFile());
    // This test's program folder is its own: the entry must name it, or another would come up.
    const QString text = QString::fromUtf8(readFile(entry));
    EXPECT_TRUE(text.contains("\nExec=env LINTROVE_HOME=" + home.path() + ' ' +
                              QCoreApplication::applicationFilePath() + '\n'))
        << text.toStdString();

    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join('|').toStdString();
}

// The file is the truth: written or deleted by hand, the box follows at start and whenever the
// Advanced tab is shown. It is no setting kept in the settings file.
TEST_F(LoginStartWiringTest, TheBoxFollowsTheFileWhenTheTabIsShown) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(entry).absolutePath()));
    writeFile(entry, "[Desktop Entry]\nExec=elsewhere\n");
    auto w = make();
    auto* box = findNamed<QCheckBox>(w.get(), "cbLoginStart");
    EXPECT_TRUE(box->isChecked());

    const struct { bool present; } cases[] = {{false}, {true}};
    for (const auto& c : cases) {
        showTab(w.get(), 5);
        if (c.present)
            writeFile(entry, "[Desktop Entry]\n");
        else
            QFile::remove(entry);
        showTab(w.get(), 6);
        EXPECT_EQ(box->isChecked(), c.present);
    }

    // Saved while ticked, the program comes back unticked once the file is gone.
    ASSERT_TRUE(box->isChecked());
    findNamed<QCheckBox>(w.get(), "cbPrompt")->setChecked(false);
    ASSERT_TRUE(w->FormCloseQuery());
    w.reset();
    QFile::remove(entry);
    auto again = make();
    EXPECT_FALSE(findNamed<QCheckBox>(again.get(), "cbLoginStart")->isChecked());
}

TEST_F(LoginStartWiringTest, AFailureIsToldAndTheBoxShowsWhatIsThere) {
    // Nothing can be written below a file where the autostart folder should be.
    writeFile(config.filePath("autostart"), "a file");
    auto w = make();
    auto* box = findNamed<QCheckBox>(w.get(), "cbLoginStart");
    box->click();
    EXPECT_FALSE(box->isChecked());
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].startsWith("Unable to write " + entry + '\n'))
        << messages.informed[0].toStdString();
    EXPECT_GT(messages.informed[0].size(), ("Unable to write " + entry + '\n').size());

    // A folder in the entry's place is there, and cannot be removed as a file.
    QFile::remove(config.filePath("autostart"));
    ASSERT_TRUE(QDir().mkpath(entry + "/inside"));
    showTab(w.get(), 5);
    showTab(w.get(), 6);
    ASSERT_TRUE(box->isChecked());
    box->click();
    EXPECT_TRUE(box->isChecked());
    ASSERT_EQ(messages.informed.size(), 2);
    EXPECT_TRUE(messages.informed[1].startsWith("Unable to remove " + entry + '\n'));
}

// A program folder whose name holds a control character cannot go into an entry a desktop
// accepts: ticking says so as any failure does, and the box stays unticked.
TEST_F(LoginStartWiringTest, AFolderNameAnEntryCannotHoldIsRefused) {
    ASSERT_TRUE(QDir(home.path()).mkdir("odd\x1b[1mname"));
    auto w = createdWindow(
        windowDependencies(home.filePath("odd\x1b[1mname"), browser, clock, shell, messages));
    auto* box = findNamed<QCheckBox>(w.get(), "cbLoginStart");
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(QFileInfo::exists(entry));
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].startsWith("Unable to write " + entry + '\n'))
        << messages.informed[0].toStdString();
}

} // namespace
