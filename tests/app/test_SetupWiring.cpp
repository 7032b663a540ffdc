// The setup wizard, its opening by itself on a first run and the Router Access group's guards,
// as the main window wires them; the first run end to end against the simulated router.
#include "app/MainWindow.h"
#include "app/dialogs/SetupWizard.h"
#include "app/dialogs/WindowMessages.h"
#include "core/Clock.h"
#include "core/DesktopShell.h"
#include "graphs/GraphSet.h"
#include "monitor/WebEngineBrowser.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "FindNamed.h"
#include "monitor/FakeBrowser.h"
#include "monitor/RouterSim.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr int kTabConfigure = 5; // the Router Access group's tab

class ScriptedMessages final : public WindowMessages {
public:
    void inform(const QString& text) override { informed << text; }
    void error(const QString& text) override { informed << text; }
    bool confirm(const QString&, QPoint) override { return true; }
    QStringList informed;
};

class NoShell final : public DesktopShell {
public:
    bool open(const QString&) override { return true; }
};

// Runs `act` on the next modal window of type T once it shows (the caller then starts what opens
// it, which blocks in the window's own loop until `act` closes it). Records a failure, and closes
// whatever modal window is up, when none turns up.
template <typename T> void whenModal(std::function<void(T*)> act, bool* ran) {
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, act, ran, tries] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            *ran = true;
            act(w);
        } else if (++*tries > 500) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
}

int modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 0777);
}

// Fills the wizard's two pages as a user would and clicks Finish.
void fillAndFinish(SetupWizard* wizard, const QString& address, const QString& password) {
    wizard->edAddress->setText(address);
    QTest::mouseClick(wizard->Button12, Qt::LeftButton);
    wizard->edPassword->setText(password);
    QTest::mouseClick(wizard->Button16, Qt::LeftButton);
}

// The main window's own controls (the wizard has an "edAddress" of its own).
QLineEdit* mainAddress(MainWindow* w) {
    return findNamed<QLineEdit>(findNamed<QGroupBox>(w, "GroupRouterAccess"), "edAddress");
}

class SetupWiringTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    std::unique_ptr<MainWindow> make() {
        MainWindow::Dependencies deps{
            home.path(), browser, clock, shell, messages, [this](int ms, bool) {
                auto t = std::make_unique<FakeTimer>(ms);
                timers.push_back(t.get());
                return t;
            }};
        auto w = std::make_unique<MainWindow>(deps);
        w->FormCreate();
        w->show();
        return w;
    }
    FakeTimer& timer4(MainWindow* w) { return static_cast<FakeTimer&>(w->timer(4)); }
    QString settingsPath() const { return home.filePath("lintrove5a.ini"); }
    void writeSettings(const QByteArray& text) {
        QFile f(settingsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir home;
    FakeBrowser browser;
    FakeClock clock;
    NoShell shell;
    ScriptedMessages messages;
    std::vector<FakeTimer*> timers;
};

TEST_F(SetupWiringTest, FirstRunOpensTheWizardAndFinishSavesAndOpensTheRouter) {
    auto w = make();
    w->FormActivate();
    ASSERT_TRUE(timer4(w.get()).isEnabled());
    EXPECT_EQ(timer4(w.get()).interval(), 750);

    bool ran = false;
    QString offered;
    QPoint centreOffset;
    whenModal<SetupWizard>(
        [&](SetupWizard* wizard) {
            offered = wizard->edAddress->text();
            centreOffset = wizard->frameGeometry().center() - w->frameGeometry().center();
            // Blanks and a leading zero are stored as the plain address the browser is given.
            fillAndFinish(wizard, QStringLiteral(" 127.0.0.010:8089 "), QStringLiteral("pw+1"));
        },
        &ran);
    timer4(w.get()).elapse();
    ASSERT_TRUE(ran);
    EXPECT_EQ(offered, "192.168.1.254");
    // Centred, give or take the few pixels the style adds once the wizard shows.
    EXPECT_LE(std::abs(centreOffset.x()), 8);
    EXPECT_LE(std::abs(centreOffset.y()), 8);

    EXPECT_FALSE(w->findChild<SetupWizard*>()->isVisible());
    EXPECT_EQ(mainAddress(w.get())->text(), "127.0.0.10:8089");
    EXPECT_EQ(findNamed<QLineEdit>(w.get(), "edPassword1")->text(), "pw+1");
    EXPECT_EQ(modeOf(settingsPath()), 0600);
    ASSERT_FALSE(browser.navigations.isEmpty());
    EXPECT_EQ(browser.navigations.last().url, "http://127.0.0.10:8089/index.cgi?active_page=9143");

    // The file holds what the next start reads.
    Settings read;
    read.load(settingsPath());
    EXPECT_EQ(read.Address, "127.0.0.10:8089");
    EXPECT_EQ(read.Password, "pw+1");

    // Set up: activation no longer arms the timer.
    w->FormActivate();
    EXPECT_FALSE(timer4(w.get()).isEnabled());
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join('|').toStdString();
}

TEST_F(SetupWiringTest, CancelOnAFirstRunStaysQuietButTheMenuStillOpensTheWizard) {
    auto w = make();
    w->FormActivate();
    bool ran = false;
    whenModal<SetupWizard>([](SetupWizard* wizard) { wizard->reject(); }, &ran); // Escape
    timer4(w.get()).elapse();
    ASSERT_TRUE(ran);
    EXPECT_EQ(findNamed<QLabel>(w.get(), "Label2")->text(),
              "Setup not finished: choose File > Setup Wizard... to enter the router's address "
              "and password");
    w->FormActivate();
    EXPECT_FALSE(timer4(w.get()).isEnabled());
    EXPECT_TRUE(browser.navigations.isEmpty());

    QAction* menu = findNamed<QAction>(w.get(), "mnuWizard");
    ASSERT_TRUE(menu->isEnabled());
    ran = false;
    whenModal<SetupWizard>(
        [](SetupWizard* wizard) {
            fillAndFinish(wizard, QStringLiteral("127.0.0.1:8089"), QStringLiteral("abc"));
        },
        &ran);
    menu->trigger();
    ASSERT_TRUE(ran);
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "Label2")->text().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(settingsPath()));
    ASSERT_EQ(browser.navigations.size(), 1);
}

// A run of the wizard to change the address of a working setup: the window's address is offered,
// and a save that fails changes nothing, reports in the wizard and leaves it open.
TEST_F(SetupWiringTest, AFailedSaveKeepsTheWizardOpenAndChangesNothing) {
    writeSettings("[LT-BT]\r\nAddress=127.0.0.1:8089\r\nPassword=\x9e\x9d\x9c\r\n");
    auto w = make();
    const int navigations = int(browser.navigations.size());
    ASSERT_TRUE(QFile::remove(settingsPath()));
    ASSERT_TRUE(QDir(home.path()).mkdir("lintrove5a.ini")); // a file cannot be written there

    bool ran = false;
    QString offered, shown;
    bool stayedOpen = false;
    whenModal<SetupWizard>(
        [&](SetupWizard* wizard) {
            offered = wizard->edAddress->text();
            fillAndFinish(wizard, QStringLiteral("10.0.0.138"), QStringLiteral("new"));
            stayedOpen = wizard->isVisible() && wizard->onPasswordPage();
            for (auto* box : wizard->findChildren<QMessageBox*>())
                shown += box->text();
            wizard->reject();
        },
        &ran);
    findNamed<QAction>(w.get(), "mnuWizard")->trigger();
    ASSERT_TRUE(ran);
    EXPECT_EQ(offered, "127.0.0.1:8089");
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_EQ(mainAddress(w.get())->text(), "127.0.0.1:8089");
    EXPECT_EQ(findNamed<QLineEdit>(w.get(), "edPassword1")->text(), "abc");
    EXPECT_EQ(int(browser.navigations.size()), navigations);
    // A Cancel of a setup that has a password is no unfinished setup: nothing is said.
    EXPECT_TRUE(findNamed<QLabel>(w.get(), "Label2")->text().isEmpty());
}

TEST_F(SetupWiringTest, PadlockLocksTheAddressAtEveryStart) {
    writeSettings("[LT-BT]\r\nAddress=127.0.0.1:8089\r\nPassword=\x9e\x9d\x9c\r\n");
    auto w = make();
    w->showPage(kTabConfigure);
    QLineEdit* address = mainAddress(w.get());
    QLabel* closed = findNamed<QLabel>(w.get(), "Image11");
    QLabel* open = findNamed<QLabel>(w.get(), "Image26");
    EXPECT_FALSE(address->isEnabled());
    QTest::mouseClick(closed, Qt::LeftButton);
    EXPECT_TRUE(address->isEnabled());
    EXPECT_TRUE(open->isVisible());
    EXPECT_FALSE(closed->isVisible());
    ASSERT_TRUE(w->FormCloseQuery());

    auto again = make();
    again->showPage(kTabConfigure);
    EXPECT_FALSE(mainAddress(again.get())->isEnabled());
    EXPECT_TRUE(findNamed<QLabel>(again.get(), "Image11")->isVisible());
}

TEST_F(SetupWiringTest, ShowingThePasswordAsksForItFirst) {
    writeSettings("[LT-BT]\r\nAddress=127.0.0.1:8089\r\nPassword=\x9e\x9d\x9c\r\n");
    auto w = make();
    w->showPage(kTabConfigure);
    QLineEdit* password = findNamed<QLineEdit>(w.get(), "edPassword1");
    QCheckBox* plain = findNamed<QCheckBox>(w.get(), "cbShowPlain");
    ASSERT_EQ(password->echoMode(), QLineEdit::Password);

    const struct {
        const char* answer;
        bool shown;
        const char* message;
    } cases[] = {{"abd", false, "Incorrect Password."}, {"abc", true, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        messages.informed.clear();
        plain->setChecked(false);
        bool ran = false;
        QLineEdit::EchoMode whileAsked = QLineEdit::Normal;
        whenModal<QInputDialog>(
            [&](QInputDialog* d) {
                whileAsked = password->echoMode();
                EXPECT_EQ(d->windowTitle(), "Password...");
                EXPECT_EQ(d->labelText(), "Type Password");
                d->setTextValue(QString::fromLatin1(c.answer));
                d->accept();
            },
            &ran);
        QTest::mouseClick(plain, Qt::LeftButton);
        ASSERT_TRUE(ran);
        EXPECT_EQ(whileAsked, QLineEdit::Password);
        EXPECT_EQ(plain->isChecked(), c.shown);
        EXPECT_EQ(password->echoMode(), c.shown ? QLineEdit::Normal : QLineEdit::Password);
        EXPECT_EQ(messages.informed.join('|'), QString::fromLatin1(c.message));
        EXPECT_EQ(w->settings().ShowPlain, c.shown);
    }

    // Shown at the last close: the next start shows it without a question.
    ASSERT_TRUE(w->FormCloseQuery());
    auto again = make();
    EXPECT_TRUE(findNamed<QCheckBox>(again.get(), "cbShowPlain")->isChecked());
    EXPECT_EQ(findNamed<QLineEdit>(again.get(), "edPassword1")->echoMode(), QLineEdit::Normal);
}

// The first run as a user meets it: an empty program folder, the wizard opening by itself, and
// the real browser logging into the simulated router after Finish.
TEST(SetupEndToEnd, FirstRunWizardLogsInAndTheMonitorStartsByItself) {
    RouterSim sim;
    ASSERT_TRUE(sim.start(QStringLiteral("hub pass"))) << sim.error().toStdString();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ScriptedMessages messages;
    NoShell shell;
    SystemClock clock;
    WebEngineBrowser browser;
    MainWindow w({home.path(), browser, clock, shell, messages,
                  [](int ms, bool) { return std::make_unique<FakeTimer>(ms); }});
    w.FormCreate();
    w.show();
    w.FormActivate();
    bool ran = false;
    whenModal<SetupWizard>(
        [&](SetupWizard* wizard) {
            fillAndFinish(wizard, QStringLiteral("127.0.0.1:%1").arg(sim.port()),
                          QStringLiteral("hub pass"));
        },
        &ran);
    static_cast<FakeTimer&>(w.timer(4)).elapse();
    ASSERT_TRUE(ran);
    EXPECT_EQ(modeOf(home.filePath("lintrove5a.ini")), 0600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.graphs().PointCount() == 1; }, 60000))
        << "never plotted; title " << w.windowTitle().toStdString();
    EXPECT_EQ(w.windowTitle(), "Lintrove 5A  [Running]");
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join('|').toStdString();
    ASSERT_TRUE(w.FormCloseQuery());
}

} // namespace
