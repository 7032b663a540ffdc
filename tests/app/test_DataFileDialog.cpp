#include "app/dialogs/DataFileDialog.h"

#include "RecordingMessages.h"
#include "core/DesktopShell.h"
#include "storage/DataRestoreFile.h"
#include "storage/Settings.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

namespace {

class FakeShell final : public DesktopShell {
public:
    bool open(const QString& pathOrUrl) override {
        opened << pathOrUrl;
        return true;
    }
    QString chooseFolder(QWidget*, const QString& title, const QString& startPath,
                         bool withEditBox) override {
        asked << title + QLatin1Char('|') + startPath + (withEditBox ? "|edit" : "");
        return answer;
    }
    QStringList opened, asked;
    QString answer;
};

class DataFileDialogTest : public testing::Test {
protected:
    DataFileDialogTest() {
        settings.TrimDataFile = true;
        settings.TrimDataFileDays = 30;
        settings.TrimDataFileTime = QTime(3, 15);
        settings.DataFileFolder = dir.path();
    }

    void replaceText(QWidget* w, const QString& text) {
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }

    // Edits every control the way a user would.
    void editAll(const QString& folder) {
        QTest::mouseClick(form.cbTrimDataFile, Qt::LeftButton);
        replaceText(form.spDataFileDays, QStringLiteral("45"));
        form.DateTimePicker1->setSelectedSection(QDateTimeEdit::HourSection); // a click on the hour
        QTest::keyClicks(form.DateTimePicker1, QStringLiteral("0745"));
        replaceText(form.edDataFileFolder, folder);
    }

    void expectControlsShow(bool trim, int days, QTime time, const QString& folder) {
        EXPECT_EQ(form.cbTrimDataFile->isChecked(), trim);
        EXPECT_EQ(form.spDataFileDays->value(), days);
        EXPECT_EQ(form.DateTimePicker1->time(), time);
        EXPECT_EQ(form.edDataFileFolder->text(), folder);
    }

    QTemporaryDir dir;
    Settings settings;
    FakeShell shell;
    RecordingMessages messages;
    DataFileDialog form{settings, &shell, &messages};
};

TEST_F(DataFileDialogTest, CaptionsAndNames) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Manage Data File"));
    EXPECT_EQ(form.DateTimePicker1->displayFormat(), QStringLiteral("HH:mm"));
    const struct {
        const char* name;
        const char* caption;
    } buttons[] = {{"cbTrimDataFile", "Trim file to approximately"},
                   {"btnDataFileFolder", "Change Folder"},
                   {"btnViewDataFile", "View File"},
                   {"btnTrimDataFileNow", "Trim Now"},
                   {"btnClose", "Close"}};
    for (const auto& b : buttons) {
        auto* button = form.findChild<QAbstractButton*>(QLatin1String(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QLatin1String(b.caption));
    }
    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>())
        labels << label->text();
    for (const char* text : {"days of data", "at", "each day", "Folder:"})
        EXPECT_TRUE(labels.contains(QLatin1String(text))) << text;
    // A day count far beyond any month is accepted.
    replaceText(form.spDataFileDays, QStringLiteral("36500"));
    EXPECT_EQ(form.spDataFileDays->value(), 36500);
}

// The unit beside the day count follows it: "1 day of data", "2 days of data".
TEST_F(DataFileDialogTest, DayUnitFollowsTheCount) {
    const struct {
        const char* typed;
        const char* unit;
    } cases[] = {{"1", "day of data"}, {"2", "days of data"}, {"0", "days of data"}};
    form.show();
    for (const auto& c : cases) {
        replaceText(form.spDataFileDays, QLatin1String(c.typed));
        EXPECT_EQ(form.lblDataFileDays->text(), QLatin1String(c.unit)) << c.typed;
    }
    // Filled at an opening as well.
    form.close();
    settings.TrimDataFileDays = 1;
    form.show();
    EXPECT_EQ(form.lblDataFileDays->text(), QStringLiteral("day of data"));
}

TEST_F(DataFileDialogTest, CloseAppliesTheEdits) {
    form.show();
    expectControlsShow(true, 30, QTime(3, 15), dir.path());
    const QString other = dir.filePath(QStringLiteral("other"));
    editAll(other);
    expectControlsShow(false, 45, QTime(7, 45), other);
    EXPECT_EQ(settings.TrimDataFileDays, 30); // nothing applied while editing

    QTest::mouseClick(form.btnClose, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(settings.TrimDataFile);
    EXPECT_EQ(settings.TrimDataFileDays, 45);
    EXPECT_EQ(settings.TrimDataFileTime, QTime(7, 45));
    EXPECT_EQ(settings.DataFileFolder, other);

    form.show();
    expectControlsShow(false, 45, QTime(7, 45), other);
}

TEST_F(DataFileDialogTest, TitleBarCloseDiscardsAndReopenReloads) {
    form.show();
    editAll(dir.filePath(QStringLiteral("other")));
    form.close(); // what the title bar's close button sends
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(settings.TrimDataFile);
    EXPECT_EQ(settings.TrimDataFileDays, 30);
    EXPECT_EQ(settings.TrimDataFileTime, QTime(3, 15));
    EXPECT_EQ(settings.DataFileFolder, dir.path());

    // Changed elsewhere while the dialog was closed: the next opening shows the new values.
    settings.TrimDataFileDays = 7;
    form.show();
    expectControlsShow(true, 7, QTime(3, 15), dir.path());
}

TEST_F(DataFileDialogTest, TrimNowUsesTheAppliedValues) {
    // The main window trims with the settings in force; a real trim shows what it used.
    const QString path = DataRestoreFile::PathIn(dir.path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3000; ++i)
        file.write("14:23:05,6.3,6.1,1024.0,16000.0,1100.0,17000.0,12.5,23.0\r\n");
    file.close();
    TrimBusy busy;
    QStringList trims;
    form.TrimDataFileNow = [&] {
        trims << QString::number(settings.TrimDataFileDays);
        EXPECT_TRUE(DataRestoreFile::Trim(DataRestoreFile::PathIn(settings.DataFileFolder), 60,
                                          settings.TrimDataFileDays, busy));
    };
    const auto lines = [&] {
        int n = 0;
        EXPECT_TRUE(
            DataRestoreFile::Restore(path, [&](const QString&, const LineSample&) { ++n; }));
        return n;
    };

    form.show();
    replaceText(form.spDataFileDays, QStringLiteral("1"));
    QTest::mouseClick(form.btnTrimDataFileNow, Qt::LeftButton);
    EXPECT_EQ(lines(), 3000); // 30 days at 60 s keep everything
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.spDataFileDays->value(), 1);

    QTest::mouseClick(form.btnClose, Qt::LeftButton);
    form.show();
    QTest::mouseClick(form.btnTrimDataFileNow, Qt::LeftButton);
    EXPECT_EQ(lines(), 1440); // one day at 60 s
    EXPECT_EQ(trims, (QStringList{QStringLiteral("30"), QStringLiteral("1")}));
}

TEST_F(DataFileDialogTest, ChangeFolderTakesThePickedFolder) {
    form.show();
    const QString typed = dir.filePath(QStringLiteral("typed"));
    replaceText(form.edDataFileFolder, typed);

    shell.answer.clear(); // cancelled
    QTest::mouseClick(form.btnDataFileFolder, Qt::LeftButton);
    EXPECT_EQ(form.edDataFileFolder->text(), typed);

    shell.answer = QStringLiteral("/srv/line data");
    QTest::mouseClick(form.btnDataFileFolder, Qt::LeftButton);
    EXPECT_EQ(form.edDataFileFolder->text(), QStringLiteral("/srv/line data"));
    EXPECT_EQ(shell.asked, (QStringList{QStringLiteral("Select a folder|") + typed,
                                        QStringLiteral("Select a folder|") + typed}));
    EXPECT_EQ(settings.DataFileFolder, dir.path());
}

TEST_F(DataFileDialogTest, ViewFileOpensTheFileOfTheFolderShown) {
    const QString shown = dir.filePath(QStringLiteral("shown"));
    QDir().mkpath(shown);
    QFile file(DataRestoreFile::PathIn(shown));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    form.show();
    QTest::mouseClick(form.btnViewDataFile, Qt::LeftButton); // the applied folder has no file
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("No log file found.")});
    EXPECT_TRUE(shell.opened.isEmpty());

    replaceText(form.edDataFileFolder, shown);
    QTest::mouseClick(form.btnViewDataFile, Qt::LeftButton);
    EXPECT_EQ(shell.opened, QStringList{DataRestoreFile::PathIn(shown)});
    EXPECT_EQ(messages.informed.size(), 1);
}

} // namespace
