#include "app/dialogs/MaintenanceDialog.h"

#include "RecordingMessages.h"
#include "TestFiles.h"
#include "core/DesktopShell.h"
#include "storage/Settings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <gtest/gtest.h>

namespace {

class OpenShell final : public DesktopShell {
public:
    bool open(const QString& target) override {
        opened << target;
        return true;
    }
    QStringList opened;
};

class MaintenanceDialogTest : public testing::Test {
protected:
    MaintenanceDialogTest() {
        settings.TrimLog = false;
        settings.TrimLines = 1000;
        settings.TrimTime = QStringLiteral("03:00");
        settings.DeleteImages = true;
        settings.DeleteDays = 5;
        settings.DeleteTime = QTime(2, 30);
        settings.Capture = QStringLiteral("/data/Capture");
        settings.AddPrefix = true;
        settings.ImagePrefix = QStringLiteral("Ltrv-");
        settings.LogFile = dir.filePath(QStringLiteral("log.txt"));
    }
    static void replaceText(QWidget* w, const QString& text) {
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
    }
    bool white(QGroupBox* box) const {
        return box->autoFillBackground() &&
               box->palette().color(QPalette::Window) == QColor(Qt::white);
    }

    QTemporaryDir dir;
    Settings settings;
    OpenShell shell;
    RecordingMessages messages;
    MaintenanceDialog form{settings, &shell, &messages};
};

TEST_F(MaintenanceDialogTest, CaptionsAndRanges) {
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Lintrove - Maintenance"));
    EXPECT_EQ(form.GroupBox25->title(), QStringLiteral("Log Maintenance"));
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral(" Captured Images "));
    EXPECT_EQ(form.btnTrimNow->text(), QStringLiteral("Trim\nNow"));
    EXPECT_EQ(form.btnDeleteNow->text(), QStringLiteral("Delete\n Now"));
    EXPECT_EQ(form.cbTrimLog->text(), QStringLiteral("Trim log file to"));
    EXPECT_EQ(form.cbDeleteImages->text(), QStringLiteral("Delete files older than "));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Close"));
    // A negative line count would erase every row.
    EXPECT_EQ(form.spTrimLines->minimum(), 0);
    EXPECT_EQ(form.spDays->minimum(), 0);
    EXPECT_EQ(form.spDays->maximum(), 99999999);
    EXPECT_EQ(form.DateTimepicker1->displayFormat(), QStringLiteral("HH:mm"));
    EXPECT_EQ(form.DeleteTimePicker->displayFormat(), QStringLiteral("HH:mm"));
    // Both lines of the two-line captions fit their buttons.
    for (QPushButton* b : {form.btnTrimNow, form.btnDeleteNow})
        EXPECT_GE(b->height(), 2 * b->fontMetrics().lineSpacing()) << b->text().toStdString();
}

TEST_F(MaintenanceDialogTest, DeletionWarningText) {
    const struct {
        bool addPrefix;
        bool startOfShow;
        int days;
        const char* text;
    } cases[] = {
        {true, true, 5,
         "ALL .jpg files with the prefix: 'Ltrv-' older than 5 days will be deleted from folder: "
         "/data/Capture"},
        {true, false, 5,
         "All .jpg files with the prefix: 'Ltrv-' older than 5 days will be deleted from folder: "
         "/data/Capture"},
        {false, true, 5,
         "All .jpg files older than 5 days will be deleted from folder: /data/Capture"},
        {false, true, 1,
         "All .jpg files older than 1 day will be deleted from folder: /data/Capture"},
        {false, true, 0,
         "All .jpg files older than 0 days will be deleted from folder: /data/Capture"},
    };
    for (const auto& c : cases) {
        settings.AddPrefix = c.addPrefix;
        settings.DeleteDays = c.days;
        EXPECT_EQ(MaintenanceDialog::deletionText(settings, c.startOfShow), QLatin1String(c.text));
    }
}

TEST_F(MaintenanceDialogTest, EveryChangeTakesEffectAtOnce) {
    form.show();
    QSignalSpy logTick(&form, &MaintenanceDialog::trimLogChanged);
    QSignalSpy imageTick(&form, &MaintenanceDialog::deleteImagesChanged);
    EXPECT_TRUE(form.Label3->isVisible());
    EXPECT_TRUE(form.Label3->text().startsWith(QStringLiteral("ALL .jpg files")));

    QTest::mouseClick(form.cbTrimLog, Qt::LeftButton);
    EXPECT_TRUE(settings.TrimLog);
    ASSERT_EQ(logTick.count(), 1);
    EXPECT_TRUE(logTick[0][0].toBool());
    replaceText(form.spTrimLines, QStringLiteral("250"));
    EXPECT_EQ(settings.TrimLines, 250);
    form.DateTimepicker1->setTime(QTime(4, 5));
    EXPECT_EQ(settings.TrimTime, QStringLiteral("04:05"));
    replaceText(form.spDays, QStringLiteral("1"));
    EXPECT_EQ(form.lblDays->text(), QStringLiteral("day"));
    EXPECT_TRUE(form.Label3->text().contains(QStringLiteral(" older than 1 day will ")));
    replaceText(form.spDays, QStringLiteral("12"));
    EXPECT_EQ(settings.DeleteDays, 12);
    EXPECT_EQ(form.lblDays->text(), QStringLiteral("days"));
    EXPECT_TRUE(form.Label3->text().startsWith(QStringLiteral("All .jpg files with the prefix")));
    EXPECT_TRUE(form.Label3->text().contains(QStringLiteral(" older than 12 days ")));
    form.DeleteTimePicker->setTime(QTime(23, 59));
    EXPECT_EQ(settings.DeleteTime, QTime(23, 59));
    QTest::mouseClick(form.cbDeleteImages, Qt::LeftButton);
    EXPECT_FALSE(settings.DeleteImages);
    EXPECT_FALSE(form.Label3->isVisible());
    ASSERT_EQ(imageTick.count(), 1);
    EXPECT_FALSE(imageTick[0][0].toBool());

    form.close();
    form.show(); // filled from the settings again
    EXPECT_TRUE(form.cbTrimLog->isChecked());
    EXPECT_EQ(form.spDays->value(), 12);
    EXPECT_EQ(form.DateTimepicker1->time(), QTime(4, 5));
}

TEST_F(MaintenanceDialogTest, UnreadableTrimTimeIsKeptUnlessChanged) {
    settings.TrimTime = QStringLiteral("soon");
    form.show();
    form.close();
    EXPECT_EQ(settings.TrimTime, QStringLiteral("soon"));
    settings.TrimTime = QStringLiteral("7:15");
    form.show();
    EXPECT_EQ(form.DateTimepicker1->time(), QTime(7, 15));
    form.close();
    EXPECT_EQ(settings.TrimTime, QStringLiteral("07:15"));
}

TEST_F(MaintenanceDialogTest, HighlightFollowsTheCallerAndGoesAtClose) {
    const struct {
        MaintenanceDialog::Highlight h;
        bool log, images;
    } cases[] = {{MaintenanceDialog::Highlight::Log, true, false},
                 {MaintenanceDialog::Highlight::Images, false, true},
                 {MaintenanceDialog::Highlight::None, false, false}};
    for (const auto& c : cases) {
        form.prepare(c.h, QRect(100, 100, 850, 650));
        form.show();
        EXPECT_EQ(white(form.GroupBox25), c.log);
        EXPECT_EQ(white(form.GroupBox1), c.images);
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(white(form.GroupBox25));
        EXPECT_FALSE(white(form.GroupBox1));
    }
}

TEST_F(MaintenanceDialogTest, CentredOnTheMainWindow) {
    form.prepare(MaintenanceDialog::Highlight::None, QRect(101, 51, 851, 651));
    const QSize size = form.frameGeometry().size();
    EXPECT_EQ(form.pos(), QPoint(101 + 425 - size.width() / 2, 51 + 325 - size.height() / 2));
}

TEST_F(MaintenanceDialogTest, ButtonsRunTheirJobs) {
    int trims = 0, deletions = 0;
    form.TrimLogNow = [&] { ++trims; };
    form.DeleteFilesNow = [&] { ++deletions; };
    QSignalSpy viewer(&form, &MaintenanceDialog::viewImagesRequested);
    form.show();
    QTest::mouseClick(form.btnTrimNow, Qt::LeftButton);
    QTest::mouseClick(form.btnDeleteNow, Qt::LeftButton);
    QTest::mouseClick(form.btnImageView, Qt::LeftButton);
    EXPECT_EQ(trims, 1);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(viewer.count(), 1);

    QTest::mouseClick(form.btnLogView, Qt::LeftButton);
    EXPECT_EQ(messages.informed, QStringList{"No log file found."});
    EXPECT_TRUE(shell.opened.isEmpty());
    writeFile(settings.LogFile, "log\n");
    QTest::mouseClick(form.btnLogView, Qt::LeftButton);
    EXPECT_EQ(shell.opened, QStringList{settings.LogFile});
}

} // namespace
