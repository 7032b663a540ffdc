// The web server, the metrics page and the tray icon as the main window drives them: a sample
// becomes noise.jpg and /metrics over real HTTP on 127.0.0.1, the "Web server" box and its
// address and port boxes, Pause's picture and the close sequence.
#include "app/MainWindow.h"
#include "app/desktop/IconNoise.h"
#include "app/desktop/TrayIcon.h"
#include "app/dialogs/WindowMessages.h"
#include "core/DesktopShell.h"
#include "monitor/FakeBrowser.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"

#include "../webserver/HttpClient.h"
#include "../webserver/ServerPorts.h"
#include "FakeClock.h"
#include "FakeTimer.h"
#include "FindNamed.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowDependencies.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class NoShell final : public DesktopShell {
public:
    bool open(const QString&) override { return true; }
};

class WebServerWiring : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        port = freePort();
        ASSERT_NE(port, 0);
    }

    std::unique_ptr<MainWindow> make(const QByteArray& webSection, const QByteArray& btMore = {}) {
        writeFile(home.filePath("lintrove5a.ini"),
                  "[LT-BT]\r\nAddress=127.0.0.1:1\r\nPassword=\x9e\x9d\x9c\r\n" + btMore +
                      "[WebServer]\r\n" + webSection);
        MainWindow::Dependencies deps =
            windowDependencies(home.path(), browser, clock, shell, messages);
        deps.networkAddresses = [this] { return addresses; };
        auto w = createdWindow(std::move(deps));
        w->show();
        return w;
    }
    // Start-up puts the machine's only address in the box; these tests talk only to the
    // loopback, so they tick the box themselves.
    void startOnLoopback(MainWindow* w, int onPort) {
        findNamed<QComboBox>(w, "boxWebAddress")->setCurrentText("127.0.0.1");
        findNamed<QLineEdit>(w, "edPort")->setText(QString::number(onPort));
        findNamed<QCheckBox>(w, "cbWeb")->click();
    }

    QTemporaryDir home;
    FakeBrowser browser;
    FakeClock clock;
    NoShell shell;
    ScriptedMessages messages;
    int port = 0;
    // The machine's addresses as the window sees them: one of its own (a documentation address),
    // then the loopback.
    QStringList addresses{"192.0.2.7", "127.0.0.1"};
};

// A plotted sample is served as noise.jpg and as /metrics; nothing outside the web folder
// comes back.
TEST_F(WebServerWiring, ASampleIsServedAsTheImageAndTheMetrics) {
    auto w = make("Web=0\r\n");
    startOnLoopback(w.get(), port);
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "Image3")->isVisibleTo(w.get()));
    EXPECT_FALSE(findNamed<QLineEdit>(w.get(), "edPort")->isEnabled());
    EXPECT_FALSE(findNamed<QComboBox>(w.get(), "boxWebAddress")->isEnabled());
    // Their labels grey out with them.
    EXPECT_FALSE(findNamed<QLabel>(w.get(), "lblPort")->isEnabled());
    EXPECT_FALSE(findNamed<QLabel>(w.get(), "lblWebAddress")->isEnabled());
    EXPECT_EQ(httpRequest(port, "/noise.jpg").status, 404); // no sample yet

    browser.loadPage(fixturePage("helpdesk-adsl.html")); // starts the monitor and is plotted
    const QByteArray written = readFile(home.filePath("WebServer/noise.jpg"));
    ASSERT_TRUE(written.startsWith("\xff\xd8")) << "noise.jpg is a JPEG";
    const HttpAnswer image = httpRequest(port, "/noise.jpg");
    EXPECT_EQ(image.status, 200);
    EXPECT_EQ(image.header("Content-Type"), "image/jpeg");
    EXPECT_EQ(QByteArray::fromStdString(image.body), written);

    const std::string metrics = httpRequest(port, "/metrics").body;
    for (const char* line : {"lintrove_noise_margin_db{direction=\"down\"} 6.1\n",
                             "lintrove_sync_rate_bytes_per_second{direction=\"down\"} 1952875\n",
                             "lintrove_samples_total 1\n", "lintrove_line_up 1\n",
                             "lintrove_monitor_state{state=\"running\"} 1\n"})
        EXPECT_NE(metrics.find(line), std::string::npos) << line << " in\n" << metrics;

    w->runControl().btnStopClick();
    EXPECT_NE(httpRequest(port, "/metrics").body.find("lintrove_monitor_state{state=\"paused\"} 1"),
              std::string::npos);

    // The settings file lies beside the web folder: refused, and none of it sent.
    for (const char* hostile : {"/../lintrove5a.ini", "/%2e%2e/lintrove5a.ini"}) {
        const HttpAnswer a = httpRequest(port, hostile);
        EXPECT_EQ(a.status, 403) << hostile;
        EXPECT_EQ(a.body.find("LT-BT"), std::string::npos) << hostile;
    }
}

// A web folder holding the program folder is refused at start with a message: the settings file
// and the lock are never served.
TEST_F(WebServerWiring, AWebFolderHoldingTheProgramFolderServesNothing) {
    const QString parent = QFileInfo(home.path()).absolutePath();
    for (const QString& folder : {home.path(), parent}) {
        SCOPED_TRACE(folder.toStdString());
        messages.informed.clear();
        auto w = make("Web=0\r\n", "[Advanced]\r\nWebFolder=" + folder.toUtf8() + "\r\n");
        ASSERT_EQ(messages.informed.size(), 1) << messages.informed.join('|').toStdString();
        EXPECT_TRUE(messages.informed[0].contains(folder)) << messages.informed[0].toStdString();
        startOnLoopback(w.get(), port);
        const QString name = QFileInfo(home.path()).fileName();
        for (const QString& target :
             {QStringLiteral("/lintrove5a.ini"), QStringLiteral("/lintrove5a.lock"),
              "/" + name + "/lintrove5a.ini"}) {
            const HttpAnswer a = httpRequest(port, target.toStdString());
            EXPECT_NE(a.status, 200) << target.toStdString();
            EXPECT_EQ(a.body.find("LT-BT"), std::string::npos) << target.toStdString();
        }
        findNamed<QCheckBox>(w.get(), "cbWeb")->click(); // off, and the port free again
    }
}

// A web folder changed in More Advanced Settings is the one served once the dialog closes.
TEST_F(WebServerWiring, AFolderChangedInTheAdvancedDialogIsServed) {
    auto w = make("Web=0\r\n");
    startOnLoopback(w.get(), port);
    ASSERT_TRUE(QDir(home.path()).mkdir("other"));
    writeFile(home.filePath("other/a.txt"), "from the other folder");
    EXPECT_EQ(httpRequest(port, "/a.txt").status, 404);

    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        findNamed<QLineEdit>(dialog, "edWebFolder")->setText(home.filePath("other"));
        findNamed<QPushButton>(dialog, "Button1")->click(); // Close stores the edits
    });
    findNamed<QPushButton>(w.get(), "btnAdvanced")->click();
    const HttpAnswer a = httpRequest(port, "/a.txt");
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.body, "from the other folder");
}

// Unticking stops the server and frees the boxes; ticking again starts it on the edited port.
// The close sequence stops it.
TEST_F(WebServerWiring, TheBoxSwitchesTheServerAndTheCloseStopsIt) {
    auto w = make("Web=0\r\n");
    startOnLoopback(w.get(), port);
    ASSERT_EQ(httpRequest(port, "/metrics").status, 200);
    auto* box = findNamed<QCheckBox>(w.get(), "cbWeb");
    auto* edPort = findNamed<QLineEdit>(w.get(), "edPort");
    box->click();
    EXPECT_EQ(httpRequest(port, "/metrics").status, 0);
    EXPECT_TRUE(edPort->isEnabled());
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "lblPort")->isEnabled());
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "lblWebAddress")->isEnabled());
    EXPECT_FALSE(findNamed<QLabel>(w.get(), "Image3")->isVisibleTo(w.get()));

    const int second = freePort();
    edPort->setText(QString::number(second));
    box->click();
    EXPECT_EQ(httpRequest(second, "/metrics").status, 200);
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "Image3")->isVisibleTo(w.get()));
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join('\n').toStdString();
    EXPECT_TRUE(messages.errors.isEmpty()) << messages.errors.join('\n').toStdString();

    ASSERT_TRUE(w->FormCloseQuery());
    EXPECT_EQ(httpRequest(second, "/metrics").status, 0);
}

// A port already taken at start: one message naming it (the stored port, not the form's own
// default), the box unticked, the indicator hidden and the boxes enabled. The stored choice stays
// for the next start, and ticking the box once the port is free starts the server.
TEST_F(WebServerWiring, APortTakenAtStartUnticksTheBoxAndKeepsTheStoredChoice) {
    addresses = {"127.0.0.1"}; // no address of its own: the stored one is used
    auto taken = std::make_unique<QTcpServer>();
    ASSERT_TRUE(taken->listen(QHostAddress::LocalHost, quint16(port)));
    auto w = make("Web=1\r\nAddress=127.0.0.1\r\nPort=" + QByteArray::number(port) + "\r\n");
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].contains(", port " + QString::number(port) + ":"))
        << messages.informed[0].toStdString();
    auto* box = findNamed<QCheckBox>(w.get(), "cbWeb");
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(findNamed<QLabel>(w.get(), "Image3")->isVisibleTo(w.get()));
    EXPECT_TRUE(findNamed<QLineEdit>(w.get(), "edPort")->isEnabled());
    EXPECT_TRUE(findNamed<QComboBox>(w.get(), "boxWebAddress")->isEnabled());
    ASSERT_TRUE(w->SaveIni());
    EXPECT_TRUE(readFile(home.filePath("lintrove5a.ini")).contains("[WebServer]\r\nWeb=1\r\n"));

    taken.reset();
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(httpRequest(port, "/metrics").status, 200);
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "Image3")->isVisibleTo(w.get()));
    EXPECT_EQ(messages.informed.size(), 1);
}

// While the program runs: a port out of range is refused when the box is left and the previous
// one comes back; a start that fails unticks the box, and ticking it after a correction starts
// the server.
TEST_F(WebServerWiring, APortIsCheckedWhenLeftAndAFailedTickUnticks) {
    auto w = make("Web=0\r\nPort=" + QByteArray::number(port) + "\r\n");
    QApplication::setActiveWindow(w.get());
    auto* edPort = findNamed<QLineEdit>(w.get(), "edPort");
    auto* box = findNamed<QCheckBox>(w.get(), "cbWeb");
    edPort->setFocus();
    ASSERT_TRUE(edPort->hasFocus());
    edPort->selectAll();
    QTest::keyClicks(edPort, "8199999");
    QTest::keyClick(edPort, Qt::Key_Tab);
    EXPECT_FALSE(edPort->hasFocus());
    EXPECT_EQ(messages.informed,
              QStringList{"8199999 is not a valid port: it must be a number from 1 to 65535."});
    EXPECT_EQ(edPort->text(), QString::number(port));
    EXPECT_EQ(w->settings().Port, QString::number(port));

    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, quint16(port)));
    findNamed<QComboBox>(w.get(), "boxWebAddress")->setCurrentText("127.0.0.1");
    messages.informed.clear();
    box->click();
    EXPECT_EQ(messages.informed.size(), 1);
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(w->settings().Web);
    EXPECT_TRUE(edPort->isEnabled());

    const int free = freePort();
    edPort->setText(QString::number(free));
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(w->settings().Web);
    EXPECT_EQ(httpRequest(free, "/metrics").status, 200);
    EXPECT_EQ(messages.informed.size(), 1);
}

// Typed keys the boxes do not take are dropped; leaving the address box checks the address.
TEST_F(WebServerWiring, TheBoxesTakeOnlyTheirKeysAndTheAddressIsChecked) {
    auto w = make("Web=0\r\nAddress=10.9.9.9\r\n");
    auto* address = findNamed<QComboBox>(w.get(), "boxWebAddress");
    // The list offers the machine's addresses; its only own one replaces a stored address of
    // another machine (a stored loopback is kept: see WebServerControl's tests).
    ASSERT_EQ(address->count(), 2);
    EXPECT_EQ(address->itemText(0), "192.0.2.7");
    EXPECT_EQ(address->currentText(), "192.0.2.7");
    struct Case {
        QLineEdit* box;
        const char* typed;
        const char* kept;
    } cases[] = {
        {findNamed<QLineEdit>(w.get(), "edPort"), "8a0-8", "808"},
        {findNamed<QLineEdit>(w.get(), "edWidth"), "6 4x0", "640"},
        {findNamed<QLineEdit>(w.get(), "edHeight"), "2.5e2", "252"},
    };
    for (const Case& c : cases) {
        c.box->clear();
        QTest::keyClicks(c.box, QLatin1String(c.typed));
        EXPECT_EQ(c.box->text(), QLatin1String(c.kept)) << c.typed;
    }
    // The list box holds the focus: the keys reach it, not its line edit.
    address->clearEditText();
    QTest::keyClicks(address, "10.0,0.x7");
    EXPECT_EQ(address->currentText(), "10.00.7");

    // Opening its own list or switching windows is not leaving the box; the Tab key is, with the
    // text X11 gives it.
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(address, &out);
    }
    EXPECT_TRUE(messages.informed.isEmpty());
    QApplication::setActiveWindow(w.get());
    address->setFocus();
    ASSERT_TRUE(address->hasFocus());
    QTest::sendKeyEvent(QTest::Press, address, Qt::Key_Tab, QStringLiteral("\t"), {});
    EXPECT_FALSE(address->hasFocus());
    EXPECT_EQ(messages.informed, QStringList{"10.00.7 is not a valid IP address."});
}

// Pause draws "?" into the window icon; the tooltip follows every page; the tray menu's close
// runs the close sequence.
TEST_F(WebServerWiring, PauseShowsTheQuestionMarkAndTheTrayMenuCloses) {
    auto w = make("Web=0\r\n");
    browser.loadPage(fixturePage("helpdesk-adsl.html"));
    TrayIcon& tray = w->trayIcon();
    EXPECT_EQ(tray.toolTip(),
              "Lintrove\nNoise margin: 6.1 dB\nSync speed: 15623 Kbps\nReading the line");
    const QImage running =
        w->windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(running, IconNoise::draw("Run", 6.1, 15623).convertToFormat(QImage::Format_RGB32));

    w->runControl().btnStopClick();
    const QImage paused =
        w->windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(paused, IconNoise::draw("Stop", 6.1, 15623).convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(tray.toolTip().endsWith("\nPaused, resumes at 14:25:05"))
        << tray.toolTip().toStdString();

    messages.answerYes = false;
    findNamed<QAction>(tray.TrayPopup(), "mnuClose")->trigger();
    EXPECT_EQ(messages.questions, QStringList{"Confirm: Close Lintrove?"});
    EXPECT_TRUE(w->isVisible());
}

// Without a system tray, "start minimized" with the tray option minimizes the window as usual
// instead of hiding it where nobody could bring it back.
TEST_F(WebServerWiring, StartMinimizedWithoutATrayMinimizes) {
    auto w = make("Web=0\r\n", "Minimize=1\r\nStartMinimized=1\r\n");
    ASSERT_FALSE(w->trayIcon().trayAvailable()); // the offscreen platform has none
    EXPECT_TRUE(w->trayIcon().minimizeToTray());
    ASSERT_TRUE(w->timer(6).isEnabled());
    static_cast<FakeTimer&>(w->timer(6)).elapse();
    EXPECT_TRUE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());
}

// The router stops answering, then answers without sync: /metrics leaves the line's values and
// lintrove_line_up out while it is not read, and counts one lost connection across the silence;
// the tooltip and the status bar say the router's state with the last reading, then since when
// the line has had no sync, never a reading of zeros.
TEST_F(WebServerWiring, AnUnreadRouterShowsTheLastReadingNotZeros) {
    auto w = make("Web=0\r\n");
    startOnLoopback(w.get(), port);
    TrayIcon& tray = w->trayIcon();
    auto* panel = findNamed<QLabel>(w.get(), "StatusPanel3");
    const QString stats = fixturePage("helpdesk-adsl.html");
    browser.loadPage(stats); // 14:23:05: 6.1 dB, 15623 Kbps
    const double readAt = double(clock.now().toSecsSinceEpoch());

    clock.advanceSecs(30);
    static_cast<FakeTimer&>(w->timer(1)).elapse(); // 14:23:35, never answered
    clock.advanceSecs(30);
    static_cast<FakeTimer*>(w->pageDriver().deadlineTimer())->elapse();
    EXPECT_EQ(panel->text(), "Not responding since 14:23:35");
    EXPECT_EQ(tray.toolTip(), "Lintrove\nNot responding since 14:23:35; last reading 14:23:05: "
                              "6.1 dB, 15,623 Kbps");
    // The icon says nothing was read, as while paused; never a margin of 0.
    EXPECT_EQ(w->windowIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32),
              IconNoise::draw("Stop", 0, 0).convertToFormat(QImage::Format_RGB32));
    std::string metrics = httpRequest(port, "/metrics").body;
    for (const char* absent : {"lintrove_noise_margin_db", "lintrove_sync_rate_bytes_per_second",
                               "lintrove_line_up ", "lintrove_router_uptime_seconds"})
        EXPECT_EQ(metrics.find(absent), std::string::npos) << absent << " in\n" << metrics;
    EXPECT_NE(metrics.find("lintrove_last_reading_timestamp_seconds " +
                           std::to_string(qint64(readAt)) + "\n"),
              std::string::npos)
        << metrics;
    EXPECT_NE(metrics.find("lintrove_router_state{state=\"not_responding\"} 1\n"),
              std::string::npos);

    // The next tick's page answers, without sync.
    QString noSync = stats;
    noSync.replace("1097 / 15623", "0 / 0").replace("6.2 / 6.1", "0 / 0");
    clock.advanceSecs(30);
    static_cast<FakeTimer&>(w->timer(1)).elapse(); // 14:24:35
    browser.loadPage(noSync);
    EXPECT_EQ(panel->text(), "No sync since 14:24:35");
    EXPECT_EQ(tray.toolTip(), "Lintrove\nNo sync since 14:24:35");
    metrics = httpRequest(port, "/metrics").body;
    for (const char* line :
         {"lintrove_line_up 0\n", "lintrove_lost_connections_total 1\n",
          "lintrove_noise_margin_db{direction=\"down\"} 0\n", "lintrove_samples_total 3\n"})
        EXPECT_NE(metrics.find(line), std::string::npos) << line << " in\n" << metrics;
}

} // namespace
