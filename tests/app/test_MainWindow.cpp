#include "app/MainWindow.h"
#include "app/dialogs/WindowMessages.h"
#include "charting/ChartView.h"
#include "core/DesktopShell.h"
#include "graphs/GraphSet.h"
#include "housekeeping/Restarter.h"
#include "monitor/FakeBrowser.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "FindNamed.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Answers the close question as told and records every message.
class RecordingShell final : public DesktopShell {
public:
    bool open(const QString& target) override {
        opened << target;
        return opens;
    }
    void openWatched(const QString& target, QObject*, std::function<void()> failed) override {
        if (!open(target))
            failed();
    }
    bool opens = true; // false: the desktop has no program for it
    QStringList opened;
};

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    std::unique_ptr<MainWindow> make() {
        MainWindow::Dependencies deps{
            home.path(), browser, clock, shell, messages, [this](int ms, bool) {
                auto t = std::make_unique<FakeTimer>(ms);
                timers.push_back(t.get());
                return t;
            }};
        deps.networkAddresses = [] { return QStringList{"127.0.0.1"}; }; // the stored one is used
        deps.restarter = restarter;
        deps.installedHelpFile = installedHelp;
        return std::make_unique<MainWindow>(deps);
    }

    void writeSettings(const QByteArray& text) {
        QFile f(home.filePath("lintrove5a.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    // A window over a stored router address and password, created and shown.
    std::unique_ptr<MainWindow> makeShown() {
        writeSettings("[LT-BT]\r\nAddress=127.0.0.1:1\r\nPassword=\x9e\x9d\x9c\r\n");
        auto w = make();
        w->FormCreate();
        w->show();
        return w;
    }
    // The same, Running on its first statistics page.
    std::unique_ptr<MainWindow> makeRunning() {
        auto w = makeShown();
        browser.loadPage(fixturePage("helpdesk-adsl.html"));
        EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Running]");
        return w;
    }

    QTemporaryDir home;
    FakeBrowser browser;
    FakeClock clock;
    RecordingShell shell;
    ScriptedMessages messages;
    std::vector<FakeTimer*> timers;
    Restarter* restarter = nullptr;
    QString installedHelp;
};

TEST_F(MainWindowTest, FirstRunUsesDefaultsDoesNotNavigateAndArmsTheSetup) {
    auto w = make();
    w->FormCreate();
    w->show();
    EXPECT_TRUE(browser.navigations.isEmpty());
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A");
    EXPECT_EQ(findNamed<QSpinBox>(w.get(), "spSample")->value(), 30);
    EXPECT_EQ(findNamed<QSpinBox>(w.get(), "spPointsPerPage")->value(), 480);
    EXPECT_EQ(findNamed<QLineEdit>(w.get(), "edPort")->text(), "8081");
    EXPECT_EQ(findNamed<QLineEdit>(w.get(), "edHeight")->text(), "250");
    EXPECT_FALSE(findNamed<QToolButton>(w.get(), "btnRun")->isEnabled());
    w->FormActivate();
    EXPECT_TRUE(w->timer(4).isEnabled());
    // The folders and a fresh help document exist beside the program.
    EXPECT_TRUE(QFileInfo(home.filePath("Capture")).isDir());
    EXPECT_TRUE(QFileInfo(home.filePath("WebServer")).isDir());
    EXPECT_TRUE(QFileInfo(home.filePath("lintrove5a.html")).size() > 1000);
}

TEST_F(MainWindowTest, ASettingsFileOpensTheStatisticsPageAtTheFirstShow) {
    writeSettings("[LT-BT]\r\nAddress=127.0.0.1:8089\r\nPassword=\x9e\x9d\x9c\r\n");
    auto w = make();
    w->FormCreate();
    w->show();
    ASSERT_FALSE(browser.navigations.isEmpty());
    EXPECT_EQ(browser.navigations.last().url, "http://127.0.0.1:8089/index.cgi?active_page=9143");
    EXPECT_EQ(findNamed<QLineEdit>(w.get(), "edPassword1")->text(), "abc");
    w->FormActivate();
    EXPECT_FALSE(w->timer(4).isEnabled()); // a password is set
}

TEST_F(MainWindowTest, CloseAsksAndCancelKeepsTheProgramOpen) {
    auto w = make();
    w->FormCreate();
    w->show();
    messages.answerYes = false;
    EXPECT_FALSE(w->FormCloseQuery());
    EXPECT_EQ(messages.questions, QStringList({"Confirm: Close Lintrove?"}));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("lintrove5a.ini")));

    messages.answerYes = true;
    EXPECT_TRUE(w->FormCloseQuery());
    EXPECT_TRUE(QFileInfo::exists(home.filePath("lintrove5a.ini")));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("lintrove5a.html")));
}

TEST_F(MainWindowTest, NoQuestionWithoutPromptOrDuringARestart) {
    for (int variant = 0; variant < 2; ++variant) {
        messages.questions.clear();
        InstanceLauncher launcher; // a restart now starts the new instance only at the end
        FakeTimer retry;
        Restarter restart(launcher, {}, retry);
        restarter = variant == 1 ? &restart : nullptr;
        auto w = make();
        w->FormCreate();
        w->show();
        if (variant == 0) {
            findNamed<QCheckBox>(w.get(), "cbPrompt")->setChecked(false);
            EXPECT_TRUE(w->FormCloseQuery());
        } else {
            // The restart's close runs the close sequence without its question.
            EXPECT_TRUE(restart.RestartNow());
            EXPECT_FALSE(w->isVisible());
            EXPECT_TRUE(QFileInfo::exists(home.filePath("lintrove5a.ini")));
        }
        EXPECT_TRUE(messages.questions.isEmpty()) << variant;
    }
}

TEST_F(MainWindowTest, ASaveFailureKeepsTheWindowOpen) {
    auto w = make();
    w->FormCreate();
    findNamed<QCheckBox>(w.get(), "cbPrompt")->setChecked(false);
    // A directory where the settings file should be: the save cannot replace it.
    ASSERT_TRUE(QDir(home.path()).mkdir("lintrove5a.ini"));
    EXPECT_FALSE(w->FormCloseQuery());
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].startsWith("Unable to write to "));
}

TEST_F(MainWindowTest, SettingsRoundTripThroughTheControls) {
    writeSettings("[LT-BT]\r\nSample=45\r\nPointsperPage=300\r\nUser1=2\r\nUser2=0\r\n"
                  "[Capture]\r\ncbCapture=1\r\nLostSync=1\r\n[Log]\r\ncbLog=1\r\n");
    auto w = make();
    w->FormCreate();
    // LostSync is applied after cbCapture and clears it.
    EXPECT_FALSE(findNamed<QCheckBox>(w.get(), "cbCapture")->isChecked());
    EXPECT_TRUE(findNamed<QCheckBox>(w.get(), "cbOnlyIfLost")->isChecked());
    EXPECT_EQ(findNamed<QTabWidget>(w.get(), "PageControl1")->tabText(3), "Signal Attenuation");
    EXPECT_EQ(findNamed<QTabWidget>(w.get(), "PageControl1")->tabText(4), "Max Data Rate");
    EXPECT_EQ(w->timer(1).interval(), 45000);
    findNamed<QCheckBox>(w.get(), "cbPrompt")->setChecked(false);
    ASSERT_TRUE(w->FormCloseQuery());
    Settings reread = Settings::defaults(home.path(), QDateTime::currentDateTime(), QSize());
    ASSERT_TRUE(reread.load(home.filePath("lintrove5a.ini")));
    EXPECT_EQ(reread.Sample, 45);
    EXPECT_EQ(reread.PointsperPage, 300);
    EXPECT_FALSE(reread.cbCapture);
    EXPECT_TRUE(reread.LostSync);
    EXPECT_TRUE(reread.cbLog);
    EXPECT_EQ(reread.User1, 2);
}

// A settings file with every key away from its default: each control shows its key, and the
// file saved at close holds the same values, so no key can miss its control.
TEST_F(MainWindowTest, EveryKeyAwayFromItsDefaultReachesItsControlAndComesBack) {
    Settings stored =
        Settings::defaults(home.path(), QDateTime(QDate(2026, 3, 2), QTime(9, 15)), QSize());
    stored.Address = "127.0.0.1:1";
    stored.Password = "secret";
    stored.ShowPlain = true;
    stored.FirstUrl = "/other.cgi";
    stored.Sample = 45;
    stored.PointsperPage = 300;
    stored.User1 = 2;
    stored.User2 = 0;
    stored.Total1 = false;
    stored.LastHour1 = true;
    stored.Total2 = false;
    stored.LastHour2 = true;
    stored.Prompt = false;
    stored.Minimize = true;
    stored.StartMinimized = true;
    stored.Restore = false;
    stored.TrimDataFile = false;
    stored.TrimDataFileDays = 12;
    stored.TrimDataFileTime = QTime(3, 4, 5);
    stored.DataFileFolder = home.filePath("data");
    stored.SaveAxes = true;
    stored.Axes = {
        {{12, 14, -3, -1}, {30, 40, 1, 2}, {25, 26, 3, 4}, {21, 22, 5, 6}, {11, 13, -4, -5}}};
    stored.ThreeD = "10100";
    stored.Page = 2;
    stored.cbLog = true;
    stored.LogFile = home.filePath("other-log.txt");
    stored.TrimLog = true;
    stored.TrimLines = 77;
    stored.TrimTime = "04:05";
    stored.LogDays = false;
    stored.LogSeconds = true;
    stored.Capture = home.filePath("pictures");
    // cbCapture and LostSync exclude each other: LostSync stays off so that cbCapture can be on.
    stored.cbCapture = true;
    stored.OnClose = true;
    stored.DeleteImages = true;
    stored.DeleteDays = 9;
    stored.DeleteTime = QTime(5, 6, 7);
    stored.LogTab = 12;
    stored.ImagePrefix = "Pic-";
    stored.AddPrefix = false;
    stored.Recycle = false;
    stored.ImageDateFormat = "yyyy-mm-dd";
    stored.LogDateFormat = "dd/mm/yyyy hh:nn";
    stored.PauseDelay = 60;
    // Monitor1 stays off: it would centre the window and so change Left and Top.
    stored.HHAUrl = "/a.html";
    stored.HHBUrl = "/b.html";
    stored.WebFolder = home.filePath("www");
    stored.DateStamp = false;
    stored.Restart = true;
    stored.RestartDays = 3;
    stored.RestartTime = QDateTime(QDate(2026, 3, 5), QTime(4, 0));
    stored.Web = true;
    stored.WebAddress = "127.0.0.1";
    stored.Port = "18081";
    stored.webWidth = "640";
    stored.webHeight = "320";
    stored.Width = 900;
    stored.Height = 700;
    stored.Top = 20;
    stored.Left = 30;
    QString error;
    ASSERT_TRUE(stored.save(home.filePath("lintrove5a.ini"), &error)) << error.toStdString();
    const QByteArray file = readFile(home.filePath("lintrove5a.ini"));

    auto w = make();
    w->FormCreate();
    const auto checked = [&](const char* name) {
        auto* box = w->findChild<QAbstractButton*>(name);
        EXPECT_NE(box, nullptr) << name;
        return box && box->isChecked();
    };
    const auto text = [&](const char* name) {
        if (auto* edit = w->findChild<QLineEdit*>(name))
            return edit->text();
        if (auto* combo = w->findChild<QComboBox*>(name))
            return combo->currentText();
        ADD_FAILURE() << "no text control " << name;
        return QString();
    };
    const struct {
        const char* control;
        bool on;
    } boxes[] = {{"cbShowPlain", true},      {"rbTotal1", false},
                 {"rbLastHour1", true},      {"rbTotal2", false},
                 {"rbLastHour2", true},      {"cbPrompt", false},
                 {"cbMinimize", true},       {"cbStartMinimized", true},
                 {"cbSaveAxes", true},       {"cbLog", true},
                 {"cbCapture", true},        {"cbOnlyIfLost", false},
                 {"cbCaptureOnClose", true}, {"cbWeb", true}};
    for (const auto& b : boxes)
        EXPECT_EQ(checked(b.control), b.on) << b.control;
    const struct {
        const char* control;
        QString value;
    } texts[] = {{"edAddress", stored.Address},        {"edPassword1", stored.Password},
                 {"edCapture", stored.Capture},        {"edLog", stored.LogFile},
                 {"boxWebAddress", stored.WebAddress}, {"edPort", stored.Port},
                 {"edWidth", stored.webWidth},         {"edHeight", stored.webHeight},
                 {"boxUser1", "Signal Attenuation"},   {"boxUser2", "Max Data Rate"}};
    for (const auto& t : texts)
        EXPECT_EQ(text(t.control), t.value) << t.control;
    EXPECT_EQ(findNamed<QSpinBox>(w.get(), "spSample")->value(), 45);
    EXPECT_EQ(findNamed<QSpinBox>(w.get(), "spPointsPerPage")->value(), 300);
    EXPECT_EQ(findNamed<QTabWidget>(w.get(), "PageControl1")->currentIndex(), 2);

    ASSERT_TRUE(w->FormCloseQuery());
    // Left and Top follow the window's placement on this screen; every other line comes back.
    const auto withoutPlacement = [](const QByteArray& bytes) {
        QByteArrayList kept;
        for (const QByteArray& line : bytes.split('\n'))
            if (!line.startsWith("Left=") && !line.startsWith("Top="))
                kept << line;
        return kept.join('\n');
    };
    EXPECT_EQ(withoutPlacement(readFile(home.filePath("lintrove5a.ini"))).toStdString(),
              withoutPlacement(file).toStdString());
}

TEST_F(MainWindowTest, ConfigureMenuShowsOneOfStartAndStopLogging) {
    auto w = make();
    w->FormCreate();
    auto* menu = findNamed<QMenu>(w.get(), "Configure1");
    auto* start = findNamed<QAction>(w.get(), "mnuStartLog");
    auto* stop = findNamed<QAction>(w.get(), "mnuStopLog");
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(start->isVisible());
    EXPECT_FALSE(stop->isVisible());
    findNamed<QCheckBox>(w.get(), "cbLog")->setChecked(true);
    Q_EMIT menu->aboutToShow();
    EXPECT_FALSE(start->isVisible());
    EXPECT_TRUE(stop->isVisible());
}

TEST_F(MainWindowTest, MenuHighlightLastsUntilTheUserChangesTabs) {
    auto w = make();
    w->FormCreate();
    w->show();
    auto* group = findNamed<QWidget>(w.get(), "GroupUserGraphs");
    findNamed<QAction>(w.get(), "mnuuserDefined")->trigger();
    auto* tabs = findNamed<QTabWidget>(w.get(), "PageControl1");
    EXPECT_EQ(tabs->currentIndex(), 6);
    EXPECT_EQ(group->palette().color(QPalette::Window), QColor(Qt::white));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_NE(group->palette().color(QPalette::Window), QColor(Qt::white));
}

// What the router writes is shown as it wrote it: a value cell holding markup is text on the
// toolbar, and the picture it names is never loaded (a FIFO there once hung the program). The
// same goes for every label that shows the router's text, file names or settings.
TEST_F(MainWindowTest, RouterTextIsShownAsTextNeverAsMarkup) {
    QTemporaryDir pictures;
    ASSERT_TRUE(pictures.isValid());
    const QString picture = pictures.filePath("big.png");
    QImage big(300, 300, QImage::Format_RGB32);
    big.fill(Qt::red);
    ASSERT_TRUE(big.save(picture));
    const QString markup = "x.<img src=\"" + picture + "\">";
    // Drawn as markup, a label is at least as tall as the picture.
    const auto loadedNothing = [](QLabel* label) { return label->sizeHint().height() < 100; };

    auto w = makeShown();
    QString page = fixturePage("helpdesk-adsl.html");
    ASSERT_TRUE(page.contains("1097 / 15623"));
    page.replace("1097 / 15623", "1097 / " + markup);
    browser.loadPage(page);
    auto* rate = findNamed<QLabel>(w.get(), "Label23");
    EXPECT_EQ(rate->text(), markup + " Kbps");
    EXPECT_TRUE(loadedNothing(rate)) << rate->sizeHint().height();

    for (const char* name : {"Label25", "Label20", "Label22", "Label15", "Label2", "Panel5",
                             "StatusPanel0", "StatusPanel1", "StatusPanel2", "StatusPanel3"}) {
        auto* label = findNamed<QLabel>(w.get(), name);
        label->setText(markup);
        EXPECT_TRUE(loadedNothing(label)) << name;
    }
}

// A statistics page starts the monitor, and every statistics page while Running is plotted,
// stored in the data-restore file and logged; a restart brings the points back.
TEST_F(MainWindowTest, StatisticsPagesArePlottedStoredLoggedAndRestored) {
    writeSettings(
        "[LT-BT]\r\nAddress=127.0.0.1:1\r\nPassword=\x9e\x9d\x9c\r\n[Log]\r\ncbLog=1\r\n");
    const QString stats = fixturePage("helpdesk-adsl.html");
    {
        auto w = make();
        w->FormCreate();
        w->show();
        browser.loadPage(stats); // the first statistics page starts the monitor
        EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Running]");
        EXPECT_TRUE(findNamed<QToolButton>(w.get(), "btnRun")->isEnabled());
        EXPECT_EQ(findNamed<QLabel>(w.get(), "Label22")->text(), "6.1 dB");
        EXPECT_EQ(findNamed<QLabel>(w.get(), "Label23")->text(), "15,623 Kbps");
        EXPECT_EQ(findNamed<QLabel>(w.get(), "Label2")->text(),
                  "!http://127.0.0.1:1/index.cgi?active_page=9143");
        EXPECT_EQ(findNamed<QPlainTextEdit>(w.get(), "Memo1")->toPlainText(), stats);
        clock.advanceSecs(30);
        static_cast<FakeTimer&>(w->timer(1)).elapse();
        browser.loadPage(stats);
        clock.advanceSecs(30);
        static_cast<FakeTimer&>(w->timer(1)).elapse();
        browser.loadPage("<html><body>The page cannot be displayed</body></html>");
        EXPECT_EQ(w->graphs().PointCount(), 3);
        EXPECT_DOUBLE_EQ(w->graphs().downstream(GraphSet::Chart1).y(1), 6.1);
        EXPECT_DOUBLE_EQ(w->graphs().downstream(GraphSet::Chart1).y(2), 0.0); // lost page
        EXPECT_DOUBLE_EQ(w->graphs().downstream(GraphSet::Chart2).y(0), 15623);
        EXPECT_TRUE(findNamed<QLabel>(w.get(), "Label22")->text().isEmpty());
    }
    QFile data(home.filePath("Lintrove5A.txt"));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = data.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4); // three lines and the end
    EXPECT_TRUE(lines[0].startsWith("Tue 08 ! 14:23:05,6.2,6.1,1097.0,15623.0,1229.0,17456.0"))
        << lines[0].toStdString();
    QFile log(home.filePath("log.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = log.readAll().split('\n');
    ASSERT_EQ(rows.size(), 6); // header, underline, three rows, the end
    EXPECT_TRUE(rows[0].startsWith("Date/Time, Uptime, Up SNR (dB), Down SNR (dB)"));
    EXPECT_TRUE(rows[2].startsWith("Tue 08 Dec 2026  14:23:05, 1:01:01:02,     6.2,     6.1,"))
        << rows[2].toStdString();
    // The lost page is logged as zeros in every column, like the graphs show it.
    EXPECT_EQ(rows[4], "Tue 08 Dec 2026  14:24:05, 1:01:01:02," +
                           QByteArray("       0,").repeated(7) + "       0\r");

    auto again = make();
    again->FormCreate();
    EXPECT_EQ(again->graphs().PointCount(), 3);
    EXPECT_DOUBLE_EQ(again->graphs().downstream(GraphSet::Chart1).y(0), 6.1);
    EXPECT_EQ(again->graphs().labels().at(0), "Tue 08 \r 14:23:05 ");
}

// A router that cannot be reached at start is tried again every Sample seconds; a wrong
// password is corrected in the password box and tried at once.
TEST_F(MainWindowTest, UnreachableRouterIsTriedAgainAndACorrectedPasswordAtOnce) {
    writeSettings("[LT-BT]\r\nAddress=127.0.0.1:1\r\nPassword=\x9e\x9d\x9c\r\nSample=20\r\n");
    const QString url = QStringLiteral("http://127.0.0.1:1/index.cgi?active_page=9143");
    auto w = make();
    w->FormCreate();
    w->show();
    auto* label2 = findNamed<QLabel>(w.get(), "Label2");
    auto* retry = static_cast<FakeTimer*>(w->pageDriver().retryTimer());
    ASSERT_NE(retry, nullptr);

    browser.loadFailedPage("<html><body>This site can't be reached</body></html>");
    EXPECT_EQ(label2->text(), "Home Hub not reachable at 127.0.0.1:1, trying again every 20 s");
    EXPECT_EQ(retry->interval(), 20000);
    browser.clearCalls();
    retry->elapse();
    EXPECT_EQ(browser.navigations, QList<FakeBrowser::Navigation>({{url, true}}));

    const QString login = QStringLiteral("<div><p>Please enter your admin password</p><form>"
                                         "<input type=password name=password_77></form></div>");
    browser.loadPage(login);
    EXPECT_TRUE(label2->text().isEmpty());
    browser.loadPage("<div><p>Password incorrect</p></div>");
    EXPECT_FALSE(retry->isEnabled());

    auto* password = findNamed<QLineEdit>(w.get(), "edPassword1");
    password->clear();
    QTest::keyClicks(password, "right");
    browser.clearCalls();
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(browser.navigations, QList<FakeBrowser::Navigation>({{url, true}}));
    browser.loadPage(login);
    EXPECT_EQ(browser.callsStartingWith("setField"), QStringList({"setField 0 password_77 right"}));

    browser.loadPage(fixturePage("helpdesk-adsl.html"));
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Running]");
    EXPECT_EQ(label2->text(), "!" + url);
}

// Pause, then a second press of Pause, with real mouse events: Paused, then Stopped.
TEST_F(MainWindowTest, PauseThenStopWithTheMouse) {
    auto w = makeRunning();
    auto* stop = findNamed<QToolButton>(w.get(), "btnStop");
    auto* start = findNamed<QToolButton>(w.get(), "btnRun");
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Paused]");
    EXPECT_EQ(stop->text(), "Stop");
    EXPECT_EQ(start->text(), "Resume");
    EXPECT_TRUE(w->timer(5).isEnabled());
    EXPECT_FALSE(w->timer(1).isEnabled());
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Stopped]");
    EXPECT_EQ(start->text(), "Start");
    EXPECT_FALSE(w->timer(5).isEnabled());
    // Stopped: a further Pause changes nothing, and the pressed button stays as it was.
    QTest::mouseClick(stop, Qt::RightButton);
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Stopped]");
    EXPECT_TRUE(stop->isChecked());
    EXPECT_FALSE(start->isChecked());
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Running]");
    EXPECT_TRUE(start->isChecked());
    EXPECT_FALSE(stop->isChecked());
    // Start while Running keeps it pressed.
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(start->isChecked());
}

// Samples come from the sample timer only: the window coming back from the tray or from a
// minimize loads nothing of its own.
TEST_F(MainWindowTest, TheWindowComingBackTakesNoExtraSample) {
    auto w = makeRunning();
    browser.clearCalls();

    w->hide(); // into the tray, and back as the tray's Restore does it
    w->showNormal();
    w->showMinimized();
    w->showNormal();
    EXPECT_TRUE(browser.navigations.isEmpty());
    EXPECT_EQ(w->graphs().PointCount(), 1);
}

// The router's state in the window: the title, the status bar's fourth panel and the status
// line, for a router that stops answering and then a pause.
TEST_F(MainWindowTest, TheWindowTellsTheRoutersState) {
    auto w = makeShown();
    auto* panel = findNamed<QLabel>(w.get(), "StatusPanel3");
    EXPECT_EQ(panel->text(), "Connecting");
    browser.loadPage(fixturePage("helpdesk-adsl.html"));
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Running]");
    EXPECT_EQ(panel->text(), "Reading the line");

    clock.advanceSecs(30);
    static_cast<FakeTimer&>(w->timer(1)).elapse(); // 14:23:35, never answered
    clock.advanceSecs(30);
    static_cast<FakeTimer*>(w->pageDriver().deadlineTimer())->elapse();
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Running]  - Home Hub not responding");
    EXPECT_EQ(panel->text(), "Not responding since 14:23:35");
    EXPECT_EQ(findNamed<QLabel>(w.get(), "Label2")->text(),
              "Home Hub not responding at 127.0.0.1:1 since 14:23:35");
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "Label22")->text().isEmpty());
    ASSERT_EQ(w->graphs().PointCount(), 2);
    EXPECT_DOUBLE_EQ(w->graphs().downstream(GraphSet::Chart1).y(1), 0.0);
    EXPECT_TRUE(w->graphs().labels().at(1).endsWith(" 14:23:35 ")) << "the time it was asked for";

    w->runControl().btnStopClick();
    EXPECT_EQ(w->windowTitle(), "Lintrove 5A  [Paused]");
    EXPECT_EQ(panel->text(), "Paused, resumes at 14:26:05");
}

// Paused pages update the toolbar but add no point.
TEST_F(MainWindowTest, WhilePausedPagesUpdateTheToolbarOnly) {
    auto w = makeShown();
    const QString stats = fixturePage("helpdesk-adsl.html");
    browser.loadPage(stats);
    ASSERT_EQ(w->graphs().PointCount(), 1);
    w->runControl().btnStopClick();
    w->pageDriver().OpenStatsPage(); // as the window does when it is shown again
    browser.loadPage(stats);
    EXPECT_EQ(w->graphs().PointCount(), 1);
    EXPECT_EQ(findNamed<QLabel>(w.get(), "Label20")->text(), "6.2 dB");
}

// The tab captions, the axis titles and the log header name the quantity just chosen, whether it
// was picked in the open list (keys or mouse) or changed with the keys while the list was closed;
// a new choice also asks for a new log header.
TEST_F(MainWindowTest, UserGraphNamesFollowTheChoice) {
    auto w = make();
    w->FormCreate();
    w->show();
    auto* box = findNamed<QComboBox>(w.get(), "boxUser2");
    auto* tabs = findNamed<QTabWidget>(w.get(), "PageControl1");
    EXPECT_EQ(tabs->tabText(3), "Max Data Rate");
    EXPECT_EQ(tabs->tabText(4), "Line Attenuation");
    EXPECT_EQ(w->graphs().chart(GraphSet::Chart4).leftAxis().title, "Upstream Line Attenuation");
    EXPECT_FALSE(w->log().HeaderPending);

    const auto expectNames = [&](const QString& name, const char* how) {
        EXPECT_EQ(tabs->tabText(4), name) << how;
        EXPECT_EQ(w->graphs().chart(GraphSet::Chart4).leftAxis().title, "Upstream " + name) << how;
        EXPECT_EQ(w->graphs().chart(GraphSet::Chart4).rightAxis().title, "Downstream " + name)
            << how;
        EXPECT_TRUE(w->log().Header.endsWith("Up " + name + ", Down " + name)) << how;
    };

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down); // the list closed
    EXPECT_EQ(w->settings().User2, 2);
    EXPECT_TRUE(w->log().HeaderPending);
    expectNames("Signal Sttenuation", "keys, list closed");

    box->showPopup();
    QAbstractItemView* list = box->view();
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->currentIndex(), 1);
    expectNames("Line Attenuation", "keys and Return in the open list");

    box->showPopup();
    list = box->view();
    const QRect item = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(box->currentIndex(), 0);
    expectNames("Max Data Rate", "mouse in the open list");
}

// Typed values: out of range or empty become the nearest bound when the field is left; the
// page size has no upper bound.
TEST_F(MainWindowTest, TypedSampleAndPageSizeValues) {
    auto w = make();
    w->FormCreate();
    w->show();
    auto* sample = findNamed<QSpinBox>(w.get(), "spSample");
    auto* points = findNamed<QSpinBox>(w.get(), "spPointsPerPage");
    const struct {
        QSpinBox* box;
        const char* typed;
        int expected;
    } cases[] = {
        {sample, "5", 10},  {sample, "500", 300},         {sample, "", 10},
        {sample, "45", 45}, {sample, "99999999999", 300}, {points, "5", 10},
        {points, "", 10},   {points, "2000000", 2000000}, {points, "2147483647", 2147483647},
    };
    for (const auto& c : cases) {
        const QString where = c.box->objectName() + " typed \"" + c.typed + "\"";
        c.box->selectAll();
        QTest::keyClick(c.box, Qt::Key_Backspace);
        QTest::keyClicks(c.box, QString::fromLatin1(c.typed));
        QTest::keyClick(c.box, Qt::Key_Return); // editing finished, as when leaving the field
        EXPECT_EQ(c.box->value(), c.expected) << where.toStdString();
    }
    EXPECT_EQ(w->settings().Sample, 300);
    EXPECT_EQ(w->timer(1).interval(), 300000);
    EXPECT_EQ(w->settings().PointsperPage, 2147483647);
}

TEST_F(MainWindowTest, LogControls) {
    auto w = make();
    w->FormCreate();
    auto* viewLog = findNamed<QToolButton>(w.get(), "btnLog");
    auto* edLog = findNamed<QLineEdit>(w.get(), "edLog");
    auto* image7 = findNamed<QLabel>(w.get(), "Image7");
    EXPECT_EQ(edLog->text(), home.filePath("log.txt"));
    EXPECT_FALSE(viewLog->isEnabled());
    viewLog->setEnabled(true); // the file vanished behind the program's back
    QTest::mouseClick(viewLog, Qt::LeftButton);
    EXPECT_EQ(messages.informed, QStringList({"No log file found."}));
    EXPECT_TRUE(shell.opened.isEmpty());

    // "Start Logging" with an existing folder just ticks the box; the indicator follows.
    findNamed<QAction>(w.get(), "mnuStartLog")->trigger();
    EXPECT_TRUE(findNamed<QCheckBox>(w.get(), "cbLog")->isChecked());
    EXPECT_TRUE(image7->isVisibleTo(w.get()));
    findNamed<QAction>(w.get(), "mnuStopLog")->trigger();
    EXPECT_FALSE(image7->isVisibleTo(w.get()));

    QFile f(home.filePath("other.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    edLog->setText(home.filePath("other.txt"));
    EXPECT_TRUE(viewLog->isEnabled());
    EXPECT_EQ(QTextDocumentFragment::fromHtml(edLog->toolTip()).toPlainText(),
              home.filePath("other.txt"));
    QTest::mouseClick(viewLog, Qt::LeftButton);
    EXPECT_EQ(shell.opened, QStringList({home.filePath("other.txt")}));
}

// The File menu's data-restore items follow Restore; the item switches it.
TEST_F(MainWindowTest, DataRestoreMenuItems) {
    auto w = make();
    w->FormCreate();
    auto* file = findNamed<QMenu>(w.get(), "File1");
    auto* restore = findNamed<QAction>(w.get(), "mnuRestoreData");
    auto* manage = findNamed<QAction>(w.get(), "mnuDataRestore");
    Q_EMIT file->aboutToShow();
    EXPECT_TRUE(restore->isChecked());
    EXPECT_TRUE(manage->isEnabled());
    restore->trigger();
    EXPECT_FALSE(w->settings().Restore);
    Q_EMIT file->aboutToShow();
    EXPECT_FALSE(restore->isChecked());
    EXPECT_FALSE(manage->isEnabled());
}

// Help opens the document written at start; without it nothing happens.
TEST_F(MainWindowTest, HelpOpensTheWrittenDocument) {
    auto w = make();
    w->FormCreate();
    findNamed<QAction>(w.get(), "mnuHelp")->trigger();
    EXPECT_EQ(shell.opened, QStringList({home.filePath("lintrove5a.html")}));
    QFile::remove(home.filePath("lintrove5a.html"));
    findNamed<QAction>(w.get(), "mnuHelp")->trigger();
    EXPECT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(messages.informed.isEmpty());
}

// An installed copy opens the document of its installation: nothing is written into the program
// folder at start, and the close leaves the installed file alone (root could delete it).
TEST_F(MainWindowTest, AnInstalledHelpDocumentIsOpenedAndNeverWrittenOrDeleted) {
    QTemporaryDir doc;
    ASSERT_TRUE(doc.isValid());
    installedHelp = doc.filePath("lintrove5a.html");
    writeFile(installedHelp, "<html>installed</html>");
    auto w = make();
    w->FormCreate();
    w->show();
    EXPECT_FALSE(QFileInfo::exists(home.filePath("lintrove5a.html")));
    findNamed<QAction>(w.get(), "mnuHelp")->trigger();
    EXPECT_EQ(shell.opened, QStringList({installedHelp}));
    messages.answerYes = true;
    EXPECT_TRUE(w->FormCloseQuery());
    EXPECT_EQ(readFile(installedHelp), "<html>installed</html>");
}

// A desktop that cannot open the log says so, naming the file; the help document then opens in
// the program's own window instead, with nothing to tell.
TEST_F(MainWindowTest, HelpAndLogThatCannotBeOpenedAreReported) {
    auto w = make();
    w->FormCreate();
    shell.opens = false;
    findNamed<QAction>(w.get(), "mnuHelp")->trigger();
    EXPECT_TRUE(findNamed<QWidget>(w.get(), "HelpWindow")->isVisible());
    const QString log = home.filePath("mine.txt");
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    findNamed<QLineEdit>(w.get(), "edLog")->setText(log);
    QTest::mouseClick(findNamed<QToolButton>(w.get(), "btnLog"), Qt::LeftButton);
    ASSERT_EQ(messages.informed.size(), 1) << messages.informed.join(" | ").toStdString();
    EXPECT_TRUE(messages.informed[0].startsWith("Unable to open " + log));
}

// After a signal or the session's end ran the close sequence, the application's quit closes the
// window again: no second question and no second save.
TEST_F(MainWindowTest, TheCloseSequenceRunsOnceForTheSystem) {
    auto w = make();
    w->FormCreate();
    w->show();
    ASSERT_TRUE(findNamed<QCheckBox>(w.get(), "cbPrompt")->isChecked());
    ASSERT_TRUE(w->EndSession(false));
    EXPECT_TRUE(messages.questions.isEmpty());
    const QString ini = home.filePath("lintrove5a.ini");
    ASSERT_TRUE(QFileInfo::exists(ini));
    QFile::remove(ini);
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(ini)) << "saved a second time";

    // The desktop session's end asks once; Cancel vetoes it and the next try asks again.
    auto second = make();
    second->FormCreate();
    second->show();
    messages.answerYes = false;
    EXPECT_FALSE(second->EndSession(true));
    messages.answerYes = true;
    EXPECT_TRUE(second->EndSession(true));
    EXPECT_TRUE(second->close());
    EXPECT_EQ(messages.questions.size(), 2);
}

// The page buttons appear near the bottom of a graph, on all four graphs together; the chart
// menu toggles 3-D for the graph of the active tab.
TEST_F(MainWindowTest, GraphPageButtonsAndThreeDMenu) {
    auto w = make();
    w->FormCreate();
    w->show();
    auto* tabs = findNamed<QTabWidget>(w.get(), "PageControl1");
    tabs->setCurrentIndex(2);
    auto* chart = findNamed<QWidget>(w.get(), "Chart2");
    const auto panels =
        std::array{findNamed<QWidget>(w.get(), "Panel11"), findNamed<QWidget>(w.get(), "Panel14"),
                   findNamed<QWidget>(w.get(), "Panel15"), findNamed<QWidget>(w.get(), "Panel16")};
    QTest::mouseMove(chart, QPoint(chart->width() / 2, chart->height() - 60));
    for (auto* p : panels)
        EXPECT_FALSE(p->isHidden()) << p->objectName().toStdString();
    QTest::mouseMove(chart, QPoint(chart->width() / 2, 20));
    for (auto* p : panels)
        EXPECT_TRUE(p->isHidden()) << p->objectName().toStdString();

    auto* menu = findNamed<QMenu>(w.get(), "popupChart");
    auto* item = findNamed<QAction>(w.get(), "mnu3D");
    Q_EMIT menu->aboutToShow();
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_EQ(w->settings().ThreeD, "01000");
    EXPECT_TRUE(w->graphs().chart(GraphSet::Chart2).view3D());
    EXPECT_FALSE(w->graphs().chart(GraphSet::Chart1).view3D());
}

// The router address box takes what the setup wizard takes, checked when the box is left (Tab,
// Return) and when the padlock locks it: a refused text is named and the old address comes back.
// The setting, which every tick reads, follows no keystroke and holds only accepted addresses.
TEST_F(MainWindowTest, RouterAddressBoxIsCheckedWhenLeftOrLocked) {
    auto w = makeShown();
    QApplication::setActiveWindow(w.get());
    findNamed<QTabWidget>(w.get(), "PageControl1")->setCurrentIndex(5); // Configure
    auto* address = findNamed<QLineEdit>(w.get(), "edAddress");
    auto* closedPadlock = findNamed<QLabel>(w.get(), "Image11");
    auto* openPadlock = findNamed<QLabel>(w.get(), "Image26");
    const QString page = QStringLiteral("/index.cgi?active_page=9143");
    enum class Leave { Tab, Return, Lock };
    struct Case {
        const char* typed;
        Leave leave;
        const char* kept; // shown and stored afterwards
        bool refused;
    };
    const Case cases[] = {
        {"not an address!", Leave::Tab, "127.0.0.1:1", true},
        {"192.168.1", Leave::Return, "127.0.0.1:1", true},
        {" 010.0.0.1:8080 ", Leave::Tab, "10.0.0.1:8080", false},
        {"127.0.0.1:70000", Leave::Return, "10.0.0.1:8080", true},
        {"127.0.0.2", Leave::Return, "127.0.0.2", false},
        {"127.0.0.x", Leave::Lock, "127.0.0.2", true},
        {"127.000.0.3", Leave::Lock, "127.0.0.3", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        if (closedPadlock->isVisible())
            QTest::mouseClick(closedPadlock, Qt::LeftButton);
        ASSERT_TRUE(address->isEnabled());
        const QString before = w->settings().Address;
        address->setFocus();
        address->selectAll();
        QTest::keyClicks(address, QLatin1String(c.typed));
        EXPECT_EQ(w->settings().Address, before) << "a keystroke reached the setting";
        messages.informed.clear();
        browser.clearCalls();
        if (c.leave == Leave::Tab)
            QTest::keyClick(address, Qt::Key_Tab);
        else if (c.leave == Leave::Return)
            QTest::keyClick(address, Qt::Key_Return);
        else
            QTest::mouseClick(openPadlock, Qt::LeftButton);
        EXPECT_EQ(address->text(), QLatin1String(c.kept));
        EXPECT_EQ(w->settings().Address, QLatin1String(c.kept));
        if (c.refused) {
            EXPECT_EQ(messages.informed,
                      QStringList{QLatin1String(c.typed) + " is not a valid IP address."});
            EXPECT_TRUE(browser.navigations.isEmpty());
        } else {
            EXPECT_TRUE(messages.informed.isEmpty());
            // Not running: a changed address is tried at once.
            ASSERT_FALSE(browser.navigations.isEmpty());
            EXPECT_EQ(browser.navigations.last().url, "http://" + QLatin1String(c.kept) + page);
        }
        EXPECT_EQ(address->isEnabled(), c.leave != Leave::Lock);
    }
}

// An open chart menu swallows the release; sampling must go on while it stays open, and a
// tick that falls then loads the statistics page.
TEST_F(MainWindowTest, SamplingGoesOnWhileTheChartMenuIsOpen) {
    auto w = makeRunning();
    findNamed<QTabWidget>(w.get(), "PageControl1")->setCurrentIndex(1);
    auto* chart = findNamed<ChartView>(w.get(), "Chart1");
    auto* menu = findNamed<QMenu>(w.get(), "popupChart");
    auto& timer1 = static_cast<FakeTimer&>(w->timer(1));
    ASSERT_TRUE(timer1.isEnabled());

    bool menuWasOpen = false, timerRanWhileOpen = false;
    int navigationsWhileOpen = 0;
    QObject::connect(
        menu, &QMenu::aboutToShow, menu,
        [&] {
            menuWasOpen = menu->isVisible();
            timerRanWhileOpen = timer1.isEnabled();
            browser.clearCalls();
            timer1.elapse();
            navigationsWhileOpen = int(browser.navigations.size());
            menu->close();
        },
        Qt::QueuedConnection);
    QTest::mousePress(chart, Qt::RightButton, {}, QPoint(chart->width() / 2, 100));
    EXPECT_TRUE(menuWasOpen);
    EXPECT_TRUE(timerRanWhileOpen);
    EXPECT_EQ(navigationsWhileOpen, 1);
    EXPECT_FALSE(w->runControl().SamplingSuspended);
    EXPECT_TRUE(timer1.isEnabled());
}

// The page buttons come up above the time labels, flat or deep, so that they never hide them.
TEST_F(MainWindowTest, PageButtonsStayAboveTheTimeLabels) {
    auto w = make();
    w->FormCreate();
    w->resize(900, 650);
    w->show();
    LineSample sample;
    sample.NoiseMarginUp = 6;
    sample.NoiseMarginDown = 7;
    for (int i = 0; i < 100; ++i) {
        const QDateTime t(QDate(2024, 1, 4), QTime(10, 0).addSecs(30 * i));
        w->graphs().AppendSample(GraphSet::PointLabel(t, true), GraphSet::WebLabel(t), sample);
    }
    findNamed<QTabWidget>(w.get(), "PageControl1")->setCurrentIndex(1);
    auto* chart = findNamed<ChartView>(w.get(), "Chart1");
    auto* panel = findNamed<QWidget>(w.get(), "Panel11");
    ASSERT_TRUE(chart && panel);
    for (bool deep : {false, true}) {
        w->graphs().chart(GraphSet::Chart1).setView3D(deep);
        QTest::mouseMove(chart, QPoint(chart->width() / 2, 20)); // away: the panels hide
        ASSERT_TRUE(panel->isHidden());
        QTest::mouseMove(chart, QPoint(chart->width() / 2, chart->height() - 60));
        ASSERT_FALSE(panel->isHidden());

        // The highest row of the time labels' ink (black; every other text is coloured).
        const QImage image = chart->RenderChartBitmap();
        int labelsTop = image.height();
        for (int y = 0; y < image.height() && labelsTop == image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::max({c.red(), c.green(), c.blue()}) < 120 &&
                    std::max({c.red(), c.green(), c.blue()}) -
                            std::min({c.red(), c.green(), c.blue()}) <
                        30) {
                    labelsTop = y;
                    break;
                }
            }
        ASSERT_LT(labelsTop, image.height() - 20) << "the labels are drawn";
        EXPECT_LT(panel->geometry().bottom(), labelsTop) << (deep ? "3-D" : "2-D");
        EXPECT_GE(panel->geometry().top(), chart->height() - 150) << "within reach of the zone";
    }
}

} // namespace
