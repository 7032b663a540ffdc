// The Line Drops window in the main window: opened from the toolbar and the View menu with the
// record in its table, a double-clicked drop shown in the graphs and the image viewer, the
// exports through the save dialog, and the table kept up to date while it is open.
#include "app/MainWindow.h"
#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/LineDropsWindow.h"
#include "app/dialogs/WindowMessages.h"
#include "core/DesktopShell.h"
#include "drops/DropRecordFile.h"
#include "graphs/GraphSet.h"
#include "monitor/FakeBrowser.h"
#include "storage/DataRestoreFile.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "FindNamed.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowDependencies.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class NoShell final : public DesktopShell {
public:
    bool open(const QString&) override { return true; }
};

// Two hundred samples a minute apart up to a minute before the clock, two drops among them:
// points 50-52 and 150-151 without sync. The record holds both, the older with two images.
class DropsWiringTest : public testing::Test {
protected:
    static constexpr int kPoints = 200;

    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        pictures = home.filePath("pictures");
        ASSERT_TRUE(QDir().mkpath(pictures));
        const QString data = DataRestoreFile::PathIn(home.path());
        for (int i = 0; i < kPoints; ++i) {
            LineSample s;
            if ((i >= 50 && i <= 52) || (i >= 150 && i <= 151)) {
                s.setZeroSample();
            } else {
                s.NoiseMarginUp = 6.3;
                s.NoiseMarginDown = 5.8;
                s.DataRateUp = 1100;
                s.DataRateDown = 17000;
            }
            ASSERT_TRUE(
                DataRestoreFile::Append(data, GraphSet::PointLabel(pointTime(i), false), s));
        }
        QFile file(data);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(pointTime(kPoints - 1), QFileDevice::FileModificationTime));
        file.close();

        DropEvent older = event(49, 53, 3);
        older.images = {"Ltrv-NoiseMargin-A.jpg", "Ltrv-SyncRate-A.jpg"};
        for (const QString& name : older.images) {
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            ASSERT_TRUE(image.save(QDir(pictures).filePath(name), "JPEG"));
        }
        writeFile(DropRecordFile::PathIn(home.path()),
                  DropRecordFile::Csv({older, event(149, 152, 2)}));
    }

    QDateTime pointTime(int i) const { return start.addSecs(60 * (i - kPoints)); }
    DropEvent event(int before, int after, int samplesDown) const {
        DropEvent e;
        e.before = {pointTime(before), 6.3, 5.8, 1100, 17000};
        e.after = {pointTime(after), 6.3, 5.8, 1100, 17000};
        e.samplesDown = samplesDown;
        e.durationSeconds = 60 * (after - before);
        // Its readings without sync are the points after before, a minute apart.
        e.startLatest = pointTime(before + 1);
        e.endEarliest = pointTime(before + samplesDown);
        e.lostMinSeconds = 60 * (samplesDown - 1);
        e.lostMaxSeconds = e.durationSeconds;
        return e;
    }

    std::unique_ptr<MainWindow> make() {
        writeFile(home.filePath("lintrove5a.ini"),
                  "[LT-BT]\r\nAddress=127.0.0.1:1\r\nPassword=\x9e\x9d\x9c\r\nPrompt=0\r\n"
                  "PointsperPage=20\r\nSample=60\r\n\r\n[Capture]\r\nCapture=" +
                      pictures.toUtf8() + "\r\n");
        auto w = createdWindow(windowDependencies(home.path(), browser, clock, shell, messages));
        w->resize(1000, 700);
        w->show();
        return w;
    }

    LineDropsWindow* openedWindow(MainWindow& w) {
        findNamed<QToolButton>(&w, "btnDrops")->click();
        auto* drops = findNamed<LineDropsWindow>(&w, "LineDropsWindow");
        EXPECT_TRUE(drops->isVisible());
        return drops;
    }

    static QStringList column(const QTableView* table, int c) {
        QStringList texts;
        for (int r = 0; r < table->model()->rowCount(); ++r)
            texts << table->model()->index(r, c).data().toString();
        return texts;
    }

    // The four graphs' windows, which must agree.
    std::pair<double, double> graphWindow(MainWindow& w) {
        const ChartAxis& first = w.graphs().chart(GraphSet::Chart1).bottomAxis();
        for (int c = GraphSet::Chart2; c <= GraphSet::Chart4; ++c) {
            EXPECT_EQ(w.graphs().chart(c).bottomAxis().minimum(), first.minimum()) << c;
            EXPECT_EQ(w.graphs().chart(c).bottomAxis().maximum(), first.maximum()) << c;
        }
        return {first.minimum(), first.maximum()};
    }

    void doubleClickRow(QTableView* table, int row) {
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }

    QTemporaryDir home;
    QString pictures;
    const QDateTime start{QDate(2021, 3, 2), QTime(9, 15, 0)};
    FakeClock clock{start};
    FakeBrowser browser;
    NoShell shell;
    ScriptedMessages messages;
};

TEST_F(DropsWiringTest, OpensFromTheToolbarAndTheViewMenuWithTheRecord) {
    auto w = make();
    const QList<QAction*> menus = w->menuBar()->actions();
    QStringList titles;
    for (QAction* a : menus)
        titles << a->text();
    EXPECT_EQ(titles.indexOf("View"), titles.indexOf("Edit") + 1);
    auto* view = findNamed<QMenu>(w.get(), "View1");
    EXPECT_EQ(view->actions().constFirst(), findNamed<QAction>(w.get(), "mnuDrops"));
    EXPECT_EQ(findNamed<QToolButton>(w.get(), "btnDrops")->toolTip(),
              "Line drops: table, summary, report");

    LineDropsWindow* drops = openedWindow(*w);
    EXPECT_EQ(drops->windowTitle(), "Line Drops");
    EXPECT_FALSE(drops->isModal());
    auto* table = findNamed<QTableView>(drops, "DropsTable");
    EXPECT_EQ(column(table, 0), QStringList({pointTime(149).toString("yyyy-MM-dd HH:mm:ss"),
                                             pointTime(49).toString("yyyy-MM-dd HH:mm:ss")}));
    EXPECT_EQ(column(table, 8), QStringList({"0", "2"}));
    EXPECT_TRUE(findNamed<QLabel>(drops, "DropsSummary")
                    ->text()
                    .startsWith("Today: 2 drops, between 3 min 0 s and 7 min 0 s lost."));
    EXPECT_TRUE(findNamed<QWidget>(drops, "DropsHistogram")->isVisible());
    EXPECT_LE(findNamed<QWidget>(drops, "DropsHistogram")->height(), 130);
    // The main window goes on answering while it is open.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QTest::keyClick(table, Qt::Key_Escape);
    EXPECT_FALSE(drops->isVisible());
    findNamed<QAction>(w.get(), "mnuDrops")->trigger();
    EXPECT_TRUE(drops->isVisible());
    findNamed<QPushButton>(drops, "btnClose")->click();
    EXPECT_FALSE(drops->isVisible());
}

// A drop opens the page of the graphs that holds it, all four together, and its first image in
// the viewer; a drop without images opens no viewer.
TEST_F(DropsWiringTest, DoubleClickShowsTheDropInTheGraphsAndItsImages) {
    auto w = make();
    ASSERT_EQ(w->graphs().PointCount(), kPoints);
    auto* tabs = findNamed<QTabWidget>(w.get(), "PageControl1");
    tabs->setCurrentIndex(0);
    LineDropsWindow* drops = openedWindow(*w);
    auto* table = findNamed<QTableView>(drops, "DropsTable");

    QString selected;
    int viewers = 0;
    QTimer::singleShot(0, [&] {
        if (auto* viewer = qobject_cast<ImageViewer*>(QApplication::activeModalWidget())) {
            ++viewers;
            selected = viewer->selectedPath();
            viewer->reject();
        }
    });
    doubleClickRow(table, 1); // points 49 to 53
    EXPECT_EQ(viewers, 1);
    EXPECT_EQ(selected, QDir(pictures).filePath("Ltrv-NoiseMargin-A.jpg"));
    EXPECT_EQ(graphWindow(*w), std::make_pair(41.0, 61.0));
    EXPECT_EQ(tabs->currentIndex(), 1);

    tabs->setCurrentIndex(3);
    QTimer::singleShot(0, [&] {
        if (QApplication::activeModalWidget())
            ++viewers;
    });
    doubleClickRow(table, 0); // points 149 to 152
    EXPECT_EQ(viewers, 1);
    EXPECT_EQ(graphWindow(*w), std::make_pair(140.0, 160.0));
    EXPECT_EQ(tabs->currentIndex(), 3) << "a graph tab stays";
    EXPECT_EQ(findNamed<QLabel>(drops, "DropsStatus")->text(), "");
}

// Each export asks for a file in the save dialog, offering a dated name; a written one is told
// in the window, a failed one in a message naming the file, leaving no file.
TEST_F(DropsWiringTest, ExportsThroughTheSaveDialog) {
    auto w = make();
    LineDropsWindow* drops = openedWindow(*w);
    QString offered;
    const auto answer = [&](const QString& path) {
        QTimer::singleShot(0, [&, path] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            offered = dialog->selectedFiles().value(0);
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
    };
    const QString report = home.filePath("for-the-provider.html");
    answer(report);
    findNamed<QPushButton>(drops, "btnExportReport")->click();
    EXPECT_EQ(offered, QDir(QDir::homePath()).filePath("Lintrove5A-drops-report-20210302.html"));
    ASSERT_TRUE(QFile::exists(report));
    EXPECT_EQ(drops->statusText(), "Report written to " + report);
    EXPECT_TRUE(readFile(report).contains("data:image/jpeg;base64,"));

    answer(QString());
    findNamed<QPushButton>(drops, "btnExportCsv")->click();
    EXPECT_EQ(offered, home.filePath("Lintrove5A-drops-20210302.csv")) << "the last folder";
    EXPECT_EQ(drops->statusText(), "Report written to " + report) << "a cancel writes nothing";

    const QString unwritable = home.filePath("no-such-folder/drops.csv");
    answer(unwritable);
    findNamed<QPushButton>(drops, "btnExportCsv")->click();
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].contains(unwritable)) << messages.informed[0].toStdString();
    EXPECT_FALSE(QFile::exists(unwritable));
    EXPECT_EQ(drops->statusText(), "");
}

// A drop that ends while the window is open comes into its table at once.
TEST_F(DropsWiringTest, TheTableFollowsTheRecordWhileOpen) {
    auto w = make();
    LineDropsWindow* drops = openedWindow(*w);
    auto* table = findNamed<QTableView>(drops, "DropsTable");
    ASSERT_EQ(table->model()->rowCount(), 2);
    const QString stats = fixturePage("helpdesk-adsl.html");
    // The statistics page of a line without sync: a router that is read, so a drop (another page
    // would be a time the router was not read, which is none).
    const QString noSync = QString(stats)
                               .replace(QLatin1String("1097 / 15623"), QLatin1String("0 / 0"))
                               .replace(QLatin1String("6.2 / 6.1"), QLatin1String("0.0 / 0.0"));
    const auto sample = [&](bool sync) {
        clock.advanceSecs(60);
        static_cast<FakeTimer&>(w->timer(1)).elapse();
        browser.loadPage(sync ? stats : noSync);
    };
    browser.loadPage(stats); // starts the monitor with the first sample
    // The page's rates differ from the history's: the line retrained in between.
    ASSERT_EQ(table->model()->rowCount(), 3);
    EXPECT_EQ(table->model()->index(0, 3).data().toString(), "Retrain");
    auto* summary = findNamed<QLabel>(drops, "DropsSummary");
    EXPECT_FALSE(summary->text().contains("down since"));
    const QDateTime lastGood = clock.now();
    sample(false);
    EXPECT_EQ(table->model()->rowCount(), 3) << "a drop is recorded when it ends";
    EXPECT_TRUE(summary->text().endsWith("\nThe line is down since " +
                                         lastGood.toString("yyyy-MM-dd HH:mm:ss") +
                                         " (1 min 0 s so far)."))
        << summary->text().toStdString();
    sample(false);
    EXPECT_TRUE(summary->text().endsWith("(2 min 0 s so far).")) << summary->text().toStdString();
    sample(true);
    ASSERT_EQ(table->model()->rowCount(), 4);
    EXPECT_FALSE(summary->text().contains("down since")) << summary->text().toStdString();
    EXPECT_EQ(table->model()->index(0, 3).data().toString(), "Drop");
    // Seen without sync from the first reading to the second, a minute; up to the three minutes
    // between the readings with sync.
    EXPECT_EQ(table->model()->index(0, 2).data().toString(), "between 1 min 0 s and 3 min 0 s");
    EXPECT_TRUE(findNamed<QLabel>(drops, "DropsSummary")->text().startsWith("Today: 4 drops"));
}

// A drop whose texts are wider than any before (a router restart's kind) widens the open window
// by as much as its columns grew, so that every column stays whole; a narrower width the user
// chose stays as narrow.
TEST_F(DropsWiringTest, AWiderDropKeepsEveryColumnWhole) {
    auto w = make();
    LineDropsWindow* drops = openedWindow(*w);
    auto* table = findNamed<QTableView>(drops, "DropsTable");
    const auto whole = [&] {
        QApplication::processEvents();
        return table->horizontalHeader()->length() <= table->viewport()->width();
    };
    ASSERT_TRUE(whole());
    const QString stats = fixturePage("helpdesk-adsl.html");
    QString restarted = stats;
    restarted.replace("var wait = 90061;", "var wait = 120;");
    ASSERT_NE(restarted, stats);
    const auto sample = [&](const QString& page) {
        clock.advanceSecs(60);
        static_cast<FakeTimer&>(w->timer(1)).elapse();
        browser.loadPage(page);
    };
    browser.loadPage(stats);
    const int before = table->horizontalHeader()->length();
    sample(restarted);
    ASSERT_EQ(table->model()->index(0, 3).data().toString(), "Router restart");
    ASSERT_GT(table->horizontalHeader()->length(), before) << "the fixture must widen a column";
    EXPECT_TRUE(whole()) << table->horizontalHeader()->length() << " in "
                         << table->viewport()->width();

    drops->resize(600, drops->height());
    QApplication::processEvents();
    sample(stats);
    sample(restarted);
    ASSERT_EQ(table->model()->rowCount(), 5);
    QApplication::processEvents();
    EXPECT_EQ(drops->width(), 600);
}

} // namespace
