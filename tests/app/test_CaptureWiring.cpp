// The main window's captures: by hand, automatically and at close into the capture folder, the
// folder controls and menus, the browser view's menu and the viewer and About box.
#include "app/MainWindow.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/BrowserContextMenu.h"
#include "core/BuildInfo.h"
#include "core/DesktopShell.h"
#include "graphs/GraphSet.h"
#include "monitor/FakeBrowser.h"

#include "../capture/CaptureFixture.h"
#include "FakeClock.h"
#include "FakeTimer.h"
#include "FindNamed.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowDependencies.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class ScriptedShell final : public DesktopShell {
public:
    bool open(const QString& target) override {
        opened << target;
        return true;
    }
    QString chooseFolder(QWidget*, const QString& title, const QString& start, bool) override {
        asked << title + " @ " + start;
        return chosen;
    }
    QString chosen; // empty: the user cancels
    QStringList opened, asked;
};

class CaptureWiringTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        pictures = home.filePath("pictures");
        ASSERT_TRUE(QDir().mkpath(pictures));
    }

    // lt and capture: more lines of those sections.
    std::unique_ptr<MainWindow> make(const QByteArray& lt = {}, const QByteArray& capture = {}) {
        QFile ini(home.filePath("lintrove5a.ini"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[LT-BT]\r\nAddress=127.0.0.1:1\r\nPassword=\x9e\x9d\x9c\r\nPrompt=0\r\n" + lt +
                  "\r\n[Capture]\r\nCapture=" + pictures.toUtf8() + "\r\n" + capture + "\r\n");
        ini.close();
        auto w = createdWindow(windowDependencies(home.path(), browser, clock, shell, messages));
        w->resize(1000, 700);
        w->show();
        return w;
    }

    // One sample tick: the clock moves on and the statistics page loads again.
    void tick(MainWindow& w) {
        clock.advanceSecs(30);
        static_cast<FakeTimer&>(w.timer(1)).elapse();
        browser.loadPage(stats);
    }

    QStringList pictureFiles() const {
        return QDir(pictures).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // Every file is a colour baseline JPEG of the given size.
    void expectJpegsOfSize(const QStringList& names, QSize size) {
        for (const QString& name : names) {
            QFile f(QDir(pictures).filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
            const QByteArray bytes = f.readAll();
            EXPECT_TRUE(isBaselineJpeg(bytes)) << name.toStdString();
            EXPECT_EQ(jpegComponents(bytes), 3) << name.toStdString();
            EXPECT_EQ(QImage::fromData(bytes).size(), size) << name.toStdString();
        }
    }

    QTemporaryDir home;
    QString pictures;
    FakeBrowser browser;
    FakeClock clock{QDateTime(QDate(2021, 3, 2), QTime(9, 15, 0))};
    ScriptedShell shell;
    ScriptedMessages messages;
    const QString stats = fixturePage("helpdesk-adsl.html");
};

// Every second sample captures the four graphs; the toolbar button and the File menu capture
// by hand, at the size of the tab page shown; the status bar shows the folder's size.
TEST_F(CaptureWiringTest, CapturesByHandAndEveryPage) {
    auto w = make("PointsperPage=2", "cbCapture=1");
    auto* tabs = findNamed<QTabWidget>(w.get(), "PageControl1");
    tabs->setCurrentIndex(2);
    const QSize pageSize = tabs->currentWidget()->size();
    ASSERT_GT(pageSize.width(), 640);

    browser.loadPage(stats); // starts the monitor with the first sample
    EXPECT_TRUE(pictureFiles().isEmpty());
    tick(*w);
    ASSERT_EQ(w->graphs().PointCount(), 2);
    const QStringList page = pictureFiles();
    EXPECT_EQ(page, QStringList({"Ltrv-ConnectionSpeed-20210302-091530.jpg",
                                 "Ltrv-Line Attenuation-20210302-091530.jpg",
                                 "Ltrv-Max Data Rate-20210302-091530.jpg",
                                 "Ltrv-NoiseMargin-20210302-091530.jpg"}));
    expectJpegsOfSize(page, pageSize);
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "StatusPanel2")->text().startsWith("Capture folder:  "))
        << findNamed<QLabel>(w.get(), "StatusPanel2")->text().toStdString();
    tick(*w); // the count starts again: no capture
    EXPECT_EQ(pictureFiles().size(), 4);

    clock.advanceSecs(5);
    auto* button = findNamed<QToolButton>(w.get(), "btnCapture");
    ASSERT_TRUE(button->isEnabled());
    button->click();
    EXPECT_EQ(pictureFiles().size(), 8);
    EXPECT_TRUE(pictureFiles().contains("Ltrv-NoiseMargin-20210302-091605.jpg"));

    clock.advanceSecs(1);
    tabs->setCurrentIndex(1);
    Q_EMIT findNamed<QMenu>(w.get(), "File1")->aboutToShow();
    auto* visible = findNamed<QAction>(w.get(), "mnuCaptureVisible");
    EXPECT_EQ(visible->text(), "Capture Noise Margin Graph Image");
    visible->trigger();
    expectJpegsOfSize({"Ltrv-Noise Margin-20210302-091606.jpg"}, tabs->currentWidget()->size());
    // The chart menu's items act too.
    clock.advanceSecs(1);
    findNamed<QAction>(w.get(), "mnuCapNow")->trigger();
    EXPECT_TRUE(pictureFiles().contains("Ltrv-Noise Margin-20210302-091607.jpg"));
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join(" | ").toStdString();
}

// A lost connection (a page of zeros) captures at once and again one page later.
TEST_F(CaptureWiringTest, ALostConnectionCapturesAndFollowsUp) {
    auto w = make("PointsperPage=2", "LostSync=1");
    browser.loadPage(stats);
    tick(*w);
    EXPECT_TRUE(pictureFiles().isEmpty());
    clock.advanceSecs(30);
    static_cast<FakeTimer&>(w->timer(1)).elapse();
    browser.loadPage("<html><body>The page cannot be displayed</body></html>");
    EXPECT_EQ(pictureFiles().size(), 4);
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "Image1")->isVisibleTo(w.get()));
    tick(*w);
    EXPECT_EQ(pictureFiles().size(), 4);
    tick(*w);
    EXPECT_EQ(pictureFiles().size(), 8);
}

// The close captures the four graphs only with the box ticked and more than two samples.
TEST_F(CaptureWiringTest, CaptureAtClose) {
    const struct {
        bool onClose;
        int points;
        int files;
    } cases[] = {{true, 3, 4}, {true, 2, 0}, {false, 3, 0}};
    for (const auto& c : cases) {
        for (const QString& f : pictureFiles())
            QFile::remove(QDir(pictures).filePath(f));
        auto w = make({}, c.onClose ? "OnClose=1" : "");
        LineSample sample;
        sample.NoiseMarginDown = 6;
        for (int i = 0; i < c.points; ++i)
            w->graphs().AppendSample(" 09:15:00 ", " 09:15:00 ", sample);
        ASSERT_TRUE(w->FormCloseQuery());
        EXPECT_EQ(pictureFiles().size(), c.files) << c.onClose << " " << c.points;
    }
}

// The buttons and menu items follow the folder text; a missing folder is asked for.
TEST_F(CaptureWiringTest, FolderControlsAndConfigureMenu) {
    auto w = make();
    // A graph tab: elsewhere the menu items are hidden, and Qt disables hidden actions.
    findNamed<QTabWidget>(w.get(), "PageControl1")->setCurrentIndex(1);
    auto* edit = findNamed<QLineEdit>(w.get(), "edCapture");
    const auto enabled = [&] {
        return std::vector<bool>{findNamed<QToolButton>(w.get(), "btnCapture")->isEnabled(),
                                 findNamed<QToolButton>(w.get(), "btnViewCap")->isEnabled(),
                                 findNamed<QAction>(w.get(), "mnuCaptureVisible")->isEnabled(),
                                 findNamed<QAction>(w.get(), "mnuCaptureAll")->isEnabled()};
    };
    EXPECT_EQ(enabled(), std::vector<bool>(4, true));
    edit->setText(home.filePath("missing"));
    EXPECT_EQ(enabled(), std::vector<bool>(4, false));
    edit->setText(QString()); // an empty text is no folder
    EXPECT_EQ(enabled(), std::vector<bool>(4, false));
    edit->setText("pictures/"); // beside the program
    Q_EMIT edit->editingFinished();
    EXPECT_EQ(edit->text(), "pictures");
    EXPECT_EQ(enabled(), std::vector<bool>(4, true));

    // The chart menu's "Capture Now" without a folder asks for one.
    edit->setText(home.filePath("missing"));
    findNamed<QTabWidget>(w.get(), "PageControl1")->setCurrentIndex(2); // a user's change
    findNamed<QAction>(w.get(), "mnuCapNow")->trigger();
    EXPECT_EQ(messages.informed,
              QStringList({"Please select a suitable folder in which to capture the images"}));
    EXPECT_EQ(findNamed<QGroupBox>(w.get(), "GroupGraphs")->palette().color(QPalette::Window),
              QColor(Qt::white));

    // "Start Image Capture" asks for the missing folder first; cancelling leaves it off.
    auto* box = findNamed<QCheckBox>(w.get(), "cbCapture");
    findNamed<QAction>(w.get(), "mnuStartCapture")->trigger();
    EXPECT_EQ(shell.asked.size(), 1);
    EXPECT_EQ(edit->text(), home.filePath("missing"));
    EXPECT_FALSE(box->isChecked());
    shell.chosen = pictures;
    findNamed<QAction>(w.get(), "mnuStartCapture")->trigger();
    EXPECT_EQ(edit->text(), pictures);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(w->settings().Capture, pictures);
    findNamed<QAction>(w.get(), "mnuStopCapture")->trigger();
    EXPECT_FALSE(box->isChecked());
    findNamed<QPushButton>(w.get(), "btnBrowse")->click();
    EXPECT_EQ(shell.asked.size(), 3);
    EXPECT_TRUE(shell.asked.last().startsWith("Select folder @ " + pictures));

    findNamed<QAction>(w.get(), "mnuConfigCap")->trigger();
    EXPECT_EQ(findNamed<QTabWidget>(w.get(), "PageControl1")->currentIndex(), 5);
}

// The graph items name the tab's graph; the page items (and their keys) exist on "Home Hub" only.
TEST_F(CaptureWiringTest, MenusFollowTheTab) {
    auto w = make();
    auto* tabs = findNamed<QTabWidget>(w.get(), "PageControl1");
    auto* copyGraph = findNamed<QAction>(w.get(), "mnuCopy");
    auto* copyPage = findNamed<QAction>(w.get(), "mnuCopyWeb1");
    auto* selectAll = findNamed<QAction>(w.get(), "mnuSelectAllWeb1");
    tabs->setCurrentIndex(3);
    Q_EMIT findNamed<QMenu>(w.get(), "Edit1")->aboutToShow();
    EXPECT_EQ(copyGraph->text(),
              "Copy " + findNamed<QComboBox>(w.get(), "boxUser1")->currentText() + " Graph Image");
    EXPECT_TRUE(copyGraph->isVisible());
    EXPECT_FALSE(copyPage->isVisible());
    EXPECT_FALSE(selectAll->isVisible());
    tabs->setCurrentIndex(0); // no menu opened: the keys follow the tab at once
    EXPECT_TRUE(copyPage->isVisible());
    EXPECT_TRUE(selectAll->isVisible());
    EXPECT_FALSE(copyGraph->isVisible());
    EXPECT_FALSE(findNamed<QAction>(w.get(), "mnuCaptureAll")->isVisible());

    // Edit > Copy takes the page's selection; with none the clipboard stays as it was.
    QApplication::clipboard()->setText("kept");
    copyPage->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    browser.selectedText = "6.1 dB";
    copyPage->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "6.1 dB");
    selectAll->trigger();
    EXPECT_EQ(browser.count("selectAll"), 1);
}

// "Save ADSL Line Stats Image As..." only on the recognised statistics page.
TEST_F(CaptureWiringTest, BrowserMenuOffersThePagePictureOnTheStatisticsPageOnly) {
    auto w = make();
    auto* menu = w->findChild<BrowserContextMenu*>();
    ASSERT_TRUE(menu);
    browser.loadPage(fixturePage("login.html"));
    menu->PopupMenu1Popup({});
    EXPECT_FALSE(menu->saveImageAction()->isEnabled());
    browser.loadPage(stats);
    menu->PopupMenu1Popup({});
    EXPECT_TRUE(menu->saveImageAction()->isEnabled());
}

// "View" opens the viewer on the capture folder below the toolbar; "About..." centres the box.
TEST_F(CaptureWiringTest, ViewerAndAboutBoxOpenModally) {
    auto w = make();
    w->move(40, 30);
    QString directory, version;
    QPoint viewerAt;
    QTimer::singleShot(0, [&] {
        if (auto* viewer = qobject_cast<ImageViewer*>(QApplication::activeModalWidget())) {
            directory = viewer->directory();
            viewerAt = viewer->pos();
            viewer->reject();
        }
    });
    findNamed<QToolButton>(w.get(), "btnViewCap")->click();
    EXPECT_EQ(directory, pictures);
    EXPECT_EQ(viewerAt, w->frameGeometry().topLeft() + QPoint(0, 110));

    QTimer::singleShot(0, [&] {
        if (auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget())) {
            version = findNamed<QLabel>(about, "Label2")->text();
            about->reject();
        }
    });
    findNamed<QAction>(w.get(), "mnuAbout")->trigger();
    // The version --version prints, and the day of this build.
    EXPECT_EQ(version, BuildInfo::versionLine());
    EXPECT_TRUE(version.startsWith("Version " LINTROVE_VERSION " - ")) << version.toStdString();
}

} // namespace
