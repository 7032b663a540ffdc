#include "app/dialogs/AdvancedSettingsDialog.h"

#include "FakeClock.h"
#include "app/dialogs/DataFileDialog.h"
#include "app/dialogs/WindowMessages.h"
#include "core/DesktopShell.h"
#include "storage/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ScriptedMessages final : public WindowMessages {
public:
    void inform(const QString& text) override { informed << text; }
    void error(const QString& text) override { informed << text; }
    bool confirm(const QString& text, QPoint topLeft) override {
        questions << text;
        positions << topLeft;
        return answerYes;
    }
    bool answerYes = true;
    QStringList informed, questions;
    QList<QPoint> positions;
};

class FolderShell final : public DesktopShell {
public:
    QString chooseFolder(QWidget*, const QString& title, const QString&, bool) override {
        titles << title;
        return answer;
    }
    QString answer;
    QStringList titles;
};

class AdvancedSettingsDialogTest : public testing::Test {
protected:
    AdvancedSettingsDialogTest() {
        settings.FirstUrl = QStringLiteral("/stats");
        settings.DateStamp = true;
        settings.ImageDateFormat = QStringLiteral("yyyymmdd-hhmmss");
        settings.ImagePrefix = QStringLiteral("Ltrv-");
        settings.AddPrefix = true;
        settings.Recycle = true;
        settings.LogDateFormat = QStringLiteral("dd/mm/yyyy");
        settings.LogTab = 8;
        settings.LogDays = true;
        settings.LogSeconds = false;
        settings.WebFolder = QStringLiteral("/srv/web");
        settings.PauseDelay = 120;
        settings.Monitor1 = false;
        settings.Restore = true;
        settings.Restart = true;
        settings.RestartDays = 3;
        settings.RestartTime = QDateTime(QDate(2026, 1, 2), QTime(4, 0));
    }

    static void replaceText(QWidget* w, const QString& text) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    // Changes every control the way a user would.
    void editAll() {
        messages.answerYes = true;
        replaceText(form.edTypeAUrl, QStringLiteral("/other"));
        click(form.cbDateStamp);
        replaceText(form.edImageDateTime, QStringLiteral("hhmm"));
        replaceText(form.edImagePrefix, QStringLiteral("Pic_"));
        click(form.cbPrefix);
        click(form.cbRecycle);
        replaceText(form.edLogDateTime, QStringLiteral("yyyy"));
        replaceText(form.sptabSize, QStringLiteral("12"));
        click(form.rbLogSeconds);
        replaceText(form.edWebFolder, QStringLiteral("/srv/www/"));
        replaceText(form.spDelay, QStringLiteral("300"));
        click(form.cbMon1);
        click(form.cbRestart);
        replaceText(form.spRestartDays, QStringLiteral("7"));
        form.dtRestartTime->setTime(QTime(5, 30));
    }

    void expectControlsShow(const Settings& s) {
        EXPECT_EQ(form.edTypeAUrl->text(), s.FirstUrl);
        EXPECT_EQ(form.cbDateStamp->isChecked(), s.DateStamp);
        EXPECT_EQ(form.edImageDateTime->text(), s.ImageDateFormat);
        EXPECT_EQ(form.edImagePrefix->text(), s.ImagePrefix);
        EXPECT_EQ(form.cbPrefix->isChecked(), s.AddPrefix);
        EXPECT_EQ(form.cbRecycle->isChecked(), s.Recycle);
        EXPECT_EQ(form.edLogDateTime->text(), s.LogDateFormat);
        EXPECT_EQ(form.sptabSize->value(), s.LogTab);
        EXPECT_EQ(form.rbLogDays->isChecked(), s.LogDays);
        EXPECT_EQ(form.rbLogSeconds->isChecked(), !s.LogDays);
        EXPECT_EQ(form.edWebFolder->text(), s.WebFolder);
        EXPECT_EQ(form.spDelay->value(), s.PauseDelay);
        EXPECT_EQ(form.cbMon1->isChecked(), s.Monitor1);
        EXPECT_EQ(form.cbRestore->isChecked(), s.Restore);
        EXPECT_EQ(form.cbRestart->isChecked(), s.Restart);
        EXPECT_EQ(form.spRestartDays->value(), s.RestartDays);
        EXPECT_EQ(form.dtRestartTime->time(), s.RestartTime.time());
    }

    Settings settings;
    FakeClock clock{QDateTime(QDate(2026, 12, 8), QTime(14, 23, 5))};
    FolderShell shell;
    ScriptedMessages messages;
    AdvancedSettingsDialog form{settings, clock, &shell, &messages};
};

TEST_F(AdvancedSettingsDialogTest, PagesCaptionsAndRanges) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Lintrove - More Advanced Settings"));
    QStringList tabs;
    for (int i = 0; i < form.PageControl1->count(); ++i)
        tabs << form.PageControl1->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Home Hub Access", "Graphs", "Captured Images", "Logging",
                                 "Web Server", "System"}));
    const struct {
        const char* name;
        const char* text;
    } buttons[] = {{"cbDateStamp", "Include Day on bottom axis labels"},
                   {"cbPrefix", "Prefix captured image filenames with"},
                   {"cbRecycle", "Send images deleted during maintenance to Recycle Bin"},
                   {"rbLogDays", "days:hr:min:sec"},
                   {"rbLogSeconds", "seconds"},
                   {"Button3", "Browse..."},
                   {"cbMon1", "Always open Lintrove on Monitor 1 (Dual Monitors)"},
                   {"cbRestore", "Save graph data and restore at restart"},
                   {"Button4", "Manage Data File"},
                   {"cbRestart", "Restart every"},
                   {"btnRestart", "Restart Now"},
                   {"Button1", "Close"},
                   {"Button2", "Cancel"}};
    for (const auto& b : buttons) {
        auto* button = form.findChild<QAbstractButton*>(QLatin1String(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QLatin1String(b.text)) << b.name;
    }
    // Cancel on the left of Close.
    form.show();
    EXPECT_LT(form.Button2->x(), form.Button1->x());
    const struct {
        QSpinBox* box;
        int min, max;
    } ranges[] = {
        {form.sptabSize, 0, 20}, {form.spDelay, 1, 2147483}, {form.spRestartDays, 1, 500}};
    for (const auto& r : ranges) {
        EXPECT_EQ(r.box->minimum(), r.min) << r.box->objectName().toStdString();
        EXPECT_EQ(r.box->maximum(), r.max) << r.box->objectName().toStdString();
    }
    EXPECT_EQ(form.dtRestartTime->displayFormat(), QStringLiteral("HH:mm"));
}

// Each label of the System page's rows stands apart from the box beside it ("resume120" and
// "at23:10" were seen).
TEST_F(AdvancedSettingsDialogTest, SystemPageLabelsDoNotTouchTheirBoxes) {
    form.PageControl1->setCurrentIndex(5);
    form.show();
    QApplication::processEvents();
    auto labelled = [&](const char* text) -> QWidget* {
        for (QLabel* l : form.findChildren<QLabel*>())
            if (l->text() == QLatin1String(text))
                return l;
        ADD_FAILURE() << "no label " << text;
        return nullptr;
    };
    auto name = [](QWidget* w) {
        auto* label = qobject_cast<QLabel*>(w);
        return (label ? label->text() : w->objectName()).toStdString();
    };
    const QList<std::pair<QWidget*, QWidget*>> neighbours{
        {labelled("Delay between pause button and automatic resume"), form.spDelay},
        {form.spDelay, labelled("seconds")},
        {form.cbRestart, form.spRestartDays},
        {form.spRestartDays, form.Label12},
        {form.Label12, form.dtRestartTime},
    };
    for (const auto& [left, right] : neighbours) {
        ASSERT_TRUE(left && right);
        ASSERT_TRUE(left->isVisible() && right->isVisible());
        EXPECT_GE(right->geometry().left() - left->geometry().right() - 1, 4)
            << name(left) << " | " << name(right);
    }
}

TEST_F(AdvancedSettingsDialogTest, CloseStoresEveryControl) {
    form.show();
    expectControlsShow(settings);
    editAll();
    click(form.Button1);
    EXPECT_FALSE(form.isVisible());
    Settings expected = settings;
    EXPECT_EQ(settings.FirstUrl, QStringLiteral("/other"));
    EXPECT_FALSE(settings.DateStamp);
    EXPECT_EQ(settings.ImageDateFormat, QStringLiteral("hhmm"));
    EXPECT_EQ(settings.ImagePrefix, QStringLiteral("Pic_"));
    EXPECT_FALSE(settings.AddPrefix);
    EXPECT_FALSE(settings.Recycle);
    EXPECT_EQ(settings.LogDateFormat, QStringLiteral("yyyy"));
    EXPECT_EQ(settings.LogTab, 12);
    EXPECT_FALSE(settings.LogDays);
    EXPECT_TRUE(settings.LogSeconds);
    EXPECT_EQ(settings.WebFolder, QStringLiteral("/srv/www")); // no trailing separator
    EXPECT_EQ(settings.PauseDelay, 300);
    EXPECT_TRUE(settings.Monitor1);
    EXPECT_FALSE(settings.Restart);
    EXPECT_EQ(settings.RestartDays, 7);
    EXPECT_EQ(settings.RestartTime, QDateTime(QDate(2026, 1, 2), QTime(5, 30)));
    form.show();
    expectControlsShow(settings);
}

TEST_F(AdvancedSettingsDialogTest, CancelAndCloseBoxDropEditsAndEveryOpeningRefills) {
    const Settings before = settings;
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox);
        form.show();
        editAll();
        if (closeBox)
            form.close();
        else
            click(form.Button2);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(settings, before);
        // No box keeps its edited state to be stored unasked at a later Close.
        form.show();
        expectControlsShow(settings);
        click(form.Button1);
        EXPECT_EQ(settings, before);
    }
}

TEST_F(AdvancedSettingsDialogTest, RestoreBoxStoresAtEveryClick) {
    form.show();
    click(form.cbRestore);
    EXPECT_FALSE(settings.Restore);
    click(form.Button2);
    EXPECT_FALSE(settings.Restore);
    form.show();
    EXPECT_FALSE(form.cbRestore->isChecked());
}

TEST_F(AdvancedSettingsDialogTest, UntickingPrefixOrRecycleWarns) {
    const struct {
        QCheckBox* box;
        QString warning;
        bool Settings::*setting;
    } cases[] = {{form.cbPrefix, AdvancedSettingsDialog::kPrefixWarning, &Settings::AddPrefix},
                 {form.cbRecycle, AdvancedSettingsDialog::kRecycleWarning, &Settings::Recycle}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.warning.toStdString());
        messages.questions.clear();
        messages.positions.clear();
        settings.*c.setting = true;
        form.show();
        messages.answerYes = false;
        click(c.box);
        EXPECT_TRUE(c.box->isChecked());
        ASSERT_EQ(messages.questions, QStringList{c.warning});
        EXPECT_EQ(messages.positions[0], form.frameGeometry().topLeft() + QPoint(100, 50));
        messages.answerYes = true;
        click(c.box);
        EXPECT_FALSE(c.box->isChecked());
        click(c.box); // ticking asks nothing
        EXPECT_EQ(messages.questions.size(), 2);
        click(c.box);
        // Yes, then the dialog's Cancel: the setting stays.
        click(form.Button2);
        EXPECT_TRUE(settings.*c.setting);
        // Filling the box at an opening asks nothing.
        settings.*c.setting = false;
        form.show();
        EXPECT_FALSE(c.box->isChecked());
        EXPECT_EQ(messages.questions.size(), 3);
        form.close();
    }
}

TEST_F(AdvancedSettingsDialogTest, DateFormatSamplesFollowTyping) {
    form.show();
    EXPECT_EQ(form.Label10->text(), QStringLiteral("08/12/2026"));
    EXPECT_EQ(form.Label11->text(), QStringLiteral("20261208-142305"));
    clock.advanceSecs(60);
    replaceText(form.edImageDateTime, QStringLiteral("ddd hh:mm x"));
    EXPECT_EQ(form.Label11->text(), QStringLiteral("Tue 14:24 x"));
    replaceText(form.edLogDateTime, QStringLiteral("yyyymmdd-hhmmss"));
    EXPECT_EQ(form.Label10->text(), QStringLiteral("20261208-142405"));
    // A new opening shows its own time.
    form.close();
    clock.advanceSecs(3600);
    form.show();
    EXPECT_EQ(form.Label11->text(), QStringLiteral("20261208-152405"));
}

TEST_F(AdvancedSettingsDialogTest, WebFolderLosesTrailingSeparatorAndBrowseReplacesIt) {
    form.show();
    QApplication::setActiveWindow(&form);
    form.PageControl1->setCurrentIndex(4);
    replaceText(form.edWebFolder, QStringLiteral("/srv/web/"));
    form.Button2->setFocus(); // leaving the box
    EXPECT_EQ(form.edWebFolder->text(), QStringLiteral("/srv/web"));
    replaceText(form.edWebFolder, QStringLiteral("/"));
    form.Button2->setFocus();
    EXPECT_EQ(form.edWebFolder->text(), QStringLiteral("/"));

    shell.answer = QString(); // cancelled
    click(form.Button3);
    EXPECT_EQ(form.edWebFolder->text(), QStringLiteral("/"));
    shell.answer = QStringLiteral("/home/me/site");
    click(form.Button3);
    EXPECT_EQ(form.edWebFolder->text(), QStringLiteral("/home/me/site"));
    EXPECT_EQ(shell.titles, (QStringList{"Select a folder", "Select a folder"}));
}

TEST_F(AdvancedSettingsDialogTest, RestartDaysLabel) {
    const struct {
        int days;
        const char* label;
    } cases[] = {{1, "day   at"}, {2, "days at"}, {500, "days at"}};
    form.show();
    for (const auto& c : cases) {
        replaceText(form.spRestartDays, QString::number(c.days));
        EXPECT_EQ(form.Label12->text(), QLatin1String(c.label)) << c.days;
    }
    // Refilled at opening as well.
    form.close();
    settings.RestartDays = 1;
    form.show();
    EXPECT_EQ(form.Label12->text(), QStringLiteral("day   at"));
}

TEST_F(AdvancedSettingsDialogTest, RestartNowAsksStoresAndRequests) {
    QSignalSpy requested(&form, &AdvancedSettingsDialog::restartNowRequested);
    const Settings before = settings;
    form.show();
    replaceText(form.spRestartDays, QStringLiteral("9"));
    messages.answerYes = false;
    click(form.btnRestart);
    EXPECT_EQ(messages.questions, QStringList{"  Confirm: restart Lintrove?  "});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(requested.count(), 0);
    EXPECT_EQ(settings, before);

    click(form.cbRestore);
    messages.answerYes = true;
    click(form.btnRestart);
    EXPECT_EQ(messages.questions.last(), QStringLiteral("      Confirm: Restart Lintrove?      \n\n"
                                                        "       All the graphs will be cleared!"));
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(requested.count(), 1);
    // The new instance loads what the dialog showed.
    EXPECT_EQ(settings.RestartDays, 9);
    EXPECT_FALSE(settings.Restore);
}

TEST_F(AdvancedSettingsDialogTest, ManageDataFileOpensBesideTheCorner) {
    DataFileDialog dataFile(settings, &shell, &messages, &form);
    form.setDataFileDialog(&dataFile);
    form.show();
    form.move(200, 150);
    QPoint shownAt;
    QTimer::singleShot(0, &dataFile, [&] {
        shownAt = dataFile.pos();
        dataFile.reject();
    });
    click(form.Button4);
    EXPECT_EQ(shownAt, form.frameGeometry().topLeft() + QPoint(100, 70));
}

TEST_F(AdvancedSettingsDialogTest, ChangingPageFocusesCancel) {
    form.show();
    QApplication::setActiveWindow(&form);
    form.edTypeAUrl->setFocus();
    form.PageControl1->setCurrentIndex(2);
    EXPECT_TRUE(form.Button2->hasFocus());
}

} // namespace
