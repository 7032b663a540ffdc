// Help where the desktop cannot show the help document: the program's own help window, reached
// from Help..., F1 and the About box's link; its Back and Forward, and links to the web.
#include "app/MainWindow.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/HelpWindow.h"
#include "app/dialogs/WindowMessages.h"
#include "core/DesktopShell.h"
#include "monitor/FakeBrowser.h"

#include "FakeClock.h"
#include "FindNamed.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowDependencies.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

constexpr int kLimitMs = 30000; // only reached when something is broken

// A desktop that can or cannot show documents; every hand-over is recorded.
class FakeShell final : public DesktopShell {
public:
    bool open(const QString& target) override {
        opened << target;
        return opens;
    }
    void openWatched(const QString& target, QObject*, std::function<void()> failed) override {
        watched << target;
        if (!opens)
            failed();
    }
    bool opens = true;
    QStringList opened, watched;
};

class HelpTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    std::unique_ptr<MainWindow> make() {
        auto w = createdWindow(windowDependencies(home.path(), browser, clock, shell, messages));
        w->show();
        return w;
    }
    QUrl document() const { return QUrl::fromLocalFile(home.filePath("lintrove5a.html")); }
    static bool showsPage(const HelpWindow* help, const QUrl& url) {
        return QTest::qWaitFor([&] { return help->url() == url; }, kLimitMs);
    }

    QTemporaryDir home;
    FakeBrowser browser;
    FakeClock clock;
    FakeShell shell;
    ScriptedMessages messages;
};

TEST_F(HelpTest, ADesktopThatShowsTheHelpGetsItAndNoWindowOpens) {
    auto w = make();
    findNamed<QAction>(w.get(), "mnuHelp")->trigger();
    EXPECT_EQ(shell.watched, QStringList{home.filePath("lintrove5a.html")});
    EXPECT_EQ(w->findChild<HelpWindow*>(), nullptr);
    EXPECT_TRUE(messages.informed.isEmpty());
}

// Help..., F1 and the About box's link all come to one help window on the document; a second
// call brings the same window back.
TEST_F(HelpTest, WhereTheDesktopCannotTheHelpOpensInOneWindowOfOurOwn) {
    shell.opens = false;
    auto w = make();
    EXPECT_EQ(findNamed<QAction>(w.get(), "mnuHelp")->shortcut(), QKeySequence(Qt::Key_F1));

    const struct {
        const char* how;
        std::function<void()> ask;
    } cases[] = {
        {"Help...", [&] { findNamed<QAction>(w.get(), "mnuHelp")->trigger(); }},
        {"Help... again", [&] { findNamed<QAction>(w.get(), "mnuHelp")->trigger(); }},
        {"F1",
         [&] {
             w->activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
             QTest::keyClick(w.get(), Qt::Key_F1);
         }},
        {"the About box's link",
         [&] {
             bool clicked = false;
             QTimer::singleShot(0, [&] {
                 if (auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget())) {
                     QTest::mouseClick(findNamed<QLabel>(about, "Label3"), Qt::LeftButton);
                     clicked = true;
                     // The box makes way for the help window instead of holding it back.
                     EXPECT_FALSE(about->isVisible());
                     if (about->isVisible())
                         about->reject();
                 }
             });
             findNamed<QAction>(w.get(), "mnuAbout")->trigger();
             EXPECT_TRUE(clicked);
         }},
    };
    for (const auto& c : cases) {
        if (HelpWindow* open = w->findChild<HelpWindow*>())
            open->close();
        const qsizetype asked = shell.watched.size();
        c.ask();
        EXPECT_EQ(shell.watched.size(), asked + 1) << c.how;
        const auto windows = w->findChildren<HelpWindow*>();
        ASSERT_EQ(windows.size(), 1) << c.how;
        HelpWindow* help = windows[0];
        EXPECT_TRUE(help->isVisible()) << c.how;
        EXPECT_EQ(help->objectName(), "HelpWindow");
        EXPECT_EQ(help->windowTitle(), "Lintrove 5A Help");
        EXPECT_TRUE(showsPage(help, document())) << c.how;
    }
    // Asked again while open: still one window, shown.
    findNamed<QAction>(w.get(), "mnuHelp")->trigger();
    EXPECT_EQ(w->findChildren<HelpWindow*>().size(), 1);
    EXPECT_TRUE(w->findChild<HelpWindow*>()->isVisible());
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join('|').toStdString();
    EXPECT_TRUE(shell.opened.isEmpty());
}

// Two local pages in a folder of their own, the first linking to the second and to the web.
class HelpPages : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        writeFile(dir.filePath("a.html"),
                  "<html><body><a id='next' href='b.html'>next</a>"
                  "<a id='web' href='http://127.0.0.1:9/elsewhere.html'>web</a></body></html>");
        writeFile(dir.filePath("b.html"), "<html><body>second</body></html>");
        a = QUrl::fromLocalFile(dir.filePath("a.html"));
        b = QUrl::fromLocalFile(dir.filePath("b.html"));
    }
    bool loaded(const QUrl& url) {
        return QTest::qWaitFor([&] { return help.url() == url && !loading(); }, kLimitMs);
    }
    bool loading() const { return help.findChild<QWebEngineView*>()->page()->isLoading(); }
    QWebEnginePage* page() { return help.findChild<QWebEngineView*>()->page(); }
    // As the user would: the pages themselves run no scripts.
    void click(const char* id) {
        page()->runJavaScript(
            QStringLiteral("document.getElementById('%1').click()").arg(QLatin1String(id)),
            QWebEngineScript::ApplicationWorld);
    }
    struct Buttons {
        bool back, forward;
        bool operator==(const Buttons&) const = default;
    };
    Buttons buttons() {
        return {findNamed<QPushButton>(&help, "btnHelpBack")->isEnabled(),
                findNamed<QPushButton>(&help, "btnHelpForward")->isEnabled()};
    }

    QTemporaryDir dir;
    FakeShell shell;
    HelpWindow help{shell};
    QUrl a, b;
};

TEST_F(HelpPages, BackAndForwardFollowTheHistory) {
    help.showDocument(dir.filePath("a.html"));
    ASSERT_TRUE(loaded(a));
    EXPECT_EQ(buttons(), (Buttons{false, false}));

    click("next");
    ASSERT_TRUE(loaded(b));
    EXPECT_EQ(buttons(), (Buttons{true, false}));

    findNamed<QPushButton>(&help, "btnHelpBack")->click();
    ASSERT_TRUE(loaded(a));
    EXPECT_EQ(buttons(), (Buttons{false, true}));

    findNamed<QPushButton>(&help, "btnHelpForward")->click();
    ASSERT_TRUE(loaded(b));
    EXPECT_EQ(buttons(), (Buttons{true, false}));

    // Shown again while open, the window stays where the user went.
    help.showDocument(dir.filePath("a.html"));
    EXPECT_EQ(help.url(), b);
}

// A web address in the help goes to the desktop's browser and is never loaded here.
TEST_F(HelpPages, ALinkToTheWebGoesToTheDesktop) {
    help.showDocument(dir.filePath("a.html"));
    ASSERT_TRUE(loaded(a));
    click("web");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.opened.isEmpty(); }, kLimitMs));
    EXPECT_EQ(shell.opened, QStringList{"http://127.0.0.1:9/elsewhere.html"});
    EXPECT_EQ(help.url(), a);
    EXPECT_EQ(buttons(), (Buttons{false, false}));
}

// The help is HTML read from disk: a page there runs no script of its own, and nothing in it
// reads another file of the user's.
TEST_F(HelpPages, APageRunsNoScriptAndReadsNoOtherFile) {
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    writeFile(other.filePath("secret.txt"), "the secret");
    const QString secret = QUrl::fromLocalFile(other.filePath("secret.txt")).toString();
    const QString read = "(function () { try { var x = new XMLHttpRequest(); x.open('GET', '" +
                         secret +
                         "', false); x.send(); return 'read:' + x.responseText; }"
                         " catch (e) { return 'refused'; } })()";
    writeFile(dir.filePath("script.html"),
              ("<html><head><title>as written</title></head><body><script>document.title = (" +
               read + ");</script></body></html>")
                  .toUtf8());
    help.showDocument(dir.filePath("script.html"));
    ASSERT_TRUE(loaded(QUrl::fromLocalFile(dir.filePath("script.html"))));
    EXPECT_EQ(page()->title().toStdString(), "as written");

    QVariant answer;
    bool answered = false;
    page()->runJavaScript(read, QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
        answer = v;
        answered = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, kLimitMs));
    EXPECT_FALSE(answer.toString().contains("the secret")) << answer.toString().toStdString();
}

TEST_F(HelpPages, CloseAndEscapeCloseTheWindow) {
    const struct {
        const char* how;
        std::function<void()> close;
    } cases[] = {
        {"Close", [&] { findNamed<QPushButton>(&help, "btnHelpClose")->click(); }},
        {"Escape",
         [&] {
             help.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
             QTest::keyClick(&help, Qt::Key_Escape);
         }},
    };
    for (const auto& c : cases) {
        help.showDocument(dir.filePath("a.html"));
        ASSERT_TRUE(help.isVisible());
        c.close();
        EXPECT_FALSE(help.isVisible()) << c.how;
    }
}

} // namespace
