// The real browser engine, offscreen, against the simulated router on 127.0.0.1.
#include "monitor/RouterSim.h"
#include "monitor/StatsPageReader.h"
#include "monitor/WebEngineBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

const QString kPassword = QStringLiteral("s3cret pass");
const QString kStatsPath = QStringLiteral("/index.cgi?active_page=9143");
constexpr int kLimitMs = 30000; // only ever reached when something is broken

// Runs the event loop until done() holds; false when the limit passes first.
template <class Predicate> bool waitUntil(Predicate done, int limitMs = kLimitMs) {
    return QTest::qWaitFor(done, limitMs);
}

QString dataUrl(const QString& markup) {
    return QStringLiteral("data:text/html;charset=utf-8,") +
           QString::fromLatin1(QUrl::toPercentEncoding(markup));
}

// The line values of a statistics page as the program reads them, keyed like the simulator's
// state (user graph 1 on the maximum rate, 2 on line attenuation, then both on signal).
QJsonObject readAsProgram(const QString& page) {
    LineSample s, signal;
    StatsPageReader::BTHomeHub5A(page, 0, 1, false, s);
    StatsPageReader::BTHomeHub5A(page, 2, 2, false, signal);
    return QJsonObject{
        {"noiseMarginUp", s.NoiseMarginUp},
        {"noiseMarginDown", s.NoiseMarginDown},
        {"dataRateUp", s.DataRateUp},
        {"dataRateDown", s.DataRateDown},
        {"maxDataRateUp", s.User1Up},
        {"maxDataRateDown", s.User1Down},
        {"lineAttenuationUp", s.User2Up},
        {"lineAttenuationDown", s.User2Down},
        {"signalAttenuationUp", signal.User1Up},
        {"signalAttenuationDown", signal.User1Down},
        {"uptimeSeconds", s.UptimeText.trimmed().toLongLong()},
        {"hasNoiseMargin", s.HasNoiseMargin},
        {"hasDataRate", s.HasDataRate},
        {"hasUserRows", s.HasUser1 && s.HasUser2 && signal.HasUser1},
    };
}

// The same values as the simulator says it served them.
QJsonObject served(const QJsonObject& state) {
    QJsonObject o;
    for (const char* key :
         {"noiseMarginUp", "noiseMarginDown", "dataRateUp", "dataRateDown", "maxDataRateUp",
          "maxDataRateDown", "lineAttenuationUp", "lineAttenuationDown", "signalAttenuationUp",
          "signalAttenuationDown", "uptimeSeconds"})
        o[QLatin1String(key)] = state[QLatin1String(key)].toDouble();
    o[QStringLiteral("hasNoiseMargin")] = true;
    o[QStringLiteral("hasDataRate")] = true;
    o[QStringLiteral("hasUserRows")] = true;
    return o;
}

std::string json(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

class WebEngineBrowserTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        sim = std::make_unique<RouterSim>();
        if (!sim->start(kPassword, {QStringLiteral("--drift-seed"), QStringLiteral("7")}))
            simError = sim->error();
        browser = std::make_unique<WebEngineBrowser>();
        browser->setSilent(true);
        browser->widget()->resize(1000, 700);
        browser->widget()->show();
        browser->ensureWindow();
    }
    static void TearDownTestSuite() {
        browser.reset();
        sim.reset();
    }
    void SetUp() override { ASSERT_TRUE(simError.isEmpty()) << simError.toStdString(); }

    // How a load completed: whose it was, and whether it failed.
    struct Completion {
        bool requestedByProgram = false;
        bool loadFailed = false;
        bool operator==(const Completion&) const = default;
    };

    // Runs an action that loads a page and waits for its completion.
    template <class Action> static Completion loadBy(Action action) {
        std::optional<Completion> completed;
        const auto c = QObject::connect(browser.get(), &Browser::documentComplete,
                                        [&completed](bool program, bool failed) {
                                            if (!completed)
                                                completed = Completion{program, failed};
                                        });
        action();
        const bool done = waitUntil([&] { return completed.has_value(); });
        QObject::disconnect(c);
        EXPECT_TRUE(done) << "no documentComplete";
        return completed.value_or(Completion{});
    }
    static void load(const QString& url) {
        loadBy([&] { browser->navigate(url); });
    }

    // The page's markup as the browser answers it: nothing when it has none at all.
    static std::optional<QString> markup() {
        bool answered = false;
        std::optional<QString> html;
        browser->readBodyHtml([&](const std::optional<QString>& m) {
            answered = true;
            html = m;
        });
        EXPECT_TRUE(waitUntil([&] { return answered; })) << "no answer";
        return html;
    }
    static QString body() {
        const std::optional<QString> html = markup();
        EXPECT_TRUE(html.has_value()) << "no markup";
        return html.value_or(QString());
    }
    // A value the test reads out of the page, outside the interface under test.
    static QString evaluate(const QString& script) {
        std::optional<QString> result;
        auto* view = static_cast<QWebEngineView*>(browser->widget());
        view->page()->runJavaScript(script,
                                    [&result](const QVariant& v) { result = v.toString(); });
        EXPECT_TRUE(waitUntil([&] { return result.has_value(); })) << "no script result";
        return result.value_or(QString());
    }

    // Asks for the statistics page without a session and answers the login form.
    static void logInWith(const QString& password) {
        ASSERT_FALSE(sim->set(QStringLiteral("logout=1")).isEmpty());
        load(sim->url(kStatsPath));
        const QString login = body();
        ASSERT_TRUE(login.contains(QStringLiteral("enter your admin password")));
        ASSERT_TRUE(login.contains(QStringLiteral("Password:")));
        // This engine writes the attribute quoted even though the router sent it bare.
        static const QRegularExpression field(QStringLiteral("name=\"?(password_\\d+)"));
        const QString name = field.match(login).captured(1);
        ASSERT_EQ(name, sim->state()[QStringLiteral("lastFieldName")].toString());
        browser->setFormFieldValue(0, name, password);
        // The program's click on the login link, submitted and redirected: still the program's.
        EXPECT_EQ(loadBy([] { browser->clickLink(8); }), (Completion{true, false}));
    }

    static QWebEngineView* view() { return static_cast<QWebEngineView*>(browser->widget()); }

    // A click with the mouse on the link with this text, as the user makes it.
    static void clickWithTheMouse(const QString& linkText) {
        const QString at = evaluate(
            QStringLiteral("(function (t) { for (const a of document.links)"
                           "  if (a.textContent === t) { const r = a.getBoundingClientRect();"
                           "    return Math.round(r.left + 3) + ',' + Math.round(r.top + 3); }"
                           "  return ''; })(") +
            QString::fromUtf8(QJsonDocument(QJsonArray{linkText}).toJson(QJsonDocument::Compact))
                .mid(1)
                .chopped(1) +
            u')');
        const QStringList xy = at.split(u',');
        ASSERT_EQ(xy.size(), 2) << "no link " << linkText.toStdString();
        QTest::mouseClick(view()->focusProxy() ? view()->focusProxy() : view(), Qt::LeftButton, {},
                          QPoint(xy[0].toInt(), xy[1].toInt()));
    }

    static inline std::unique_ptr<RouterSim> sim;
    static inline std::unique_ptr<WebEngineBrowser> browser;
    static inline QString simError;
};

TEST_F(WebEngineBrowserTest, LoginLeadsToStatisticsThatReadAsServedAndReloadKeepsSession) {
    logInWith(kPassword);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "after login" : "after refresh");
        const QString page = body();
        ASSERT_TRUE(page.contains(QStringLiteral("Information for Helpdesk agents")));
        const QJsonObject state = sim->state();
        EXPECT_EQ(state[QStringLiteral("statsPages")].toInt(), round + 1);
        EXPECT_EQ(json(readAsProgram(page)), json(served(state)));
        if (round == 0)
            loadBy([] { browser->refresh(); });
    }
    EXPECT_EQ(sim->state()[QStringLiteral("logins")].toInt(), 1);
}

// Only the program's own loads are the program's: what it navigates to or reloads, its own click
// on the login link and the redirect after it; a link the user clicks in the view is the user's.
// A load the engine cannot make completes as failed.
TEST_F(WebEngineBrowserTest, EachCompletionSaysWhoseLoadItWasAndWhetherItFailed) {
    logInWith(kPassword); // the program's click, checked there
    ASSERT_TRUE(body().contains(QStringLiteral("Information for Helpdesk agents")));
    EXPECT_EQ(loadBy([] { clickWithTheMouse(QStringLiteral("Home")); }),
              (Completion{false, false}));
    EXPECT_EQ(view()->url().query(), QStringLiteral("active_page=9100"));
    EXPECT_EQ(loadBy([] { browser->refresh(); }), (Completion{true, false}));
    EXPECT_EQ(loadBy([] { clickWithTheMouse(QStringLiteral("Broadband")); }),
              (Completion{false, false}));
    EXPECT_EQ(loadBy([] { browser->navigate(sim->url(kStatsPath)); }), (Completion{true, false}));
    EXPECT_EQ(loadBy([] { browser->navigate(sim->url(QStringLiteral("/")), true); }),
              (Completion{true, false})); // redirected to the home page
    EXPECT_EQ(loadBy([] { clickWithTheMouse(QStringLiteral("Home")); }),
              (Completion{false, false}));
    const QString unreachable =
        QStringLiteral("http://127.0.0.1:%1").arg(RouterSim::unusedPort()) + kStatsPath;
    EXPECT_EQ(loadBy([&] { browser->navigate(unreachable); }), (Completion{true, true}));
}

// A load the program stops, or replaces by another, never completes: only the last one does.
TEST_F(WebEngineBrowserTest, AStoppedOrReplacedLoadNeverCompletes) {
    logInWith(kPassword);
    ASSERT_FALSE(sim->set(QStringLiteral("slow=3000")).isEmpty());
    int started = 0;
    const auto starts =
        QObject::connect(view()->page(), &QWebEnginePage::loadStarted, [&] { ++started; });
    int completed = 0;
    const auto completions =
        QObject::connect(browser.get(), &Browser::documentComplete, [&completed] { ++completed; });
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replaced" : "stopped");
        completed = 0;
        const int before = started;
        browser->navigate(sim->url(kStatsPath));
        ASSERT_TRUE(waitUntil([&] { return started > before; })) << "the load never started";
        if (!replace)
            browser->stop();
        // A page that completes at once; it comes after anything the first load still sends.
        browser->navigate(dataUrl(QStringLiteral("<p>next</p>")));
        ASSERT_TRUE(waitUntil([&] { return completed > 0; }));
        EXPECT_EQ(completed, 1);
        EXPECT_EQ(body(), QStringLiteral("<p>next</p>"));
    }
    QObject::disconnect(starts);
    QObject::disconnect(completions);
    ASSERT_FALSE(sim->set(QStringLiteral("slow=0")).isEmpty());
}

// Every way the simulated router writes its page reads back as the values it reports.
TEST_F(WebEngineBrowserTest, EveryPageStyleReadsAsServed) {
    struct Case {
        const char* name;
        QString switches;
        QString path;
        // What the program reads where it differs from the values served.
        std::function<void(QJsonObject&)> adjust;
    };
    const auto none = [](QJsonObject&) {};
    const Case cases[] = {
        {"no sync", "nosync=1", kStatsPath, none},
        {"missing labels", "missing=1", kStatsPath,
         [](QJsonObject& o) {
             for (const char* key :
                  {"noiseMarginUp", "noiseMarginDown", "dataRateUp", "dataRateDown"})
                 o[QLatin1String(key)] = 0;
             o[QStringLiteral("hasNoiseMargin")] = false;
             o[QStringLiteral("hasDataRate")] = false;
         }},
        {"rates in Mbps", "mbps=1", kStatsPath, none},
        {"wrapped noise margin", "quirk=1", kStatsPath, none},
        {"moved statistics", "firmware=1", QStringLiteral("/index.cgi?active_page=9141"), none},
    };
    logInWith(kPassword);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QJsonObject switched =
            sim->set(QStringLiteral("nosync=0&missing=0&mbps=0&quirk=0&firmware=0&") + c.switches);
        ASSERT_FALSE(switched.isEmpty());
        load(sim->url(c.path));
        const QString page = body();
        ASSERT_TRUE(page.contains(QStringLiteral("Information for Helpdesk agents")));
        const QJsonObject state = sim->state();
        QJsonObject expected = served(state);
        c.adjust(expected);
        EXPECT_EQ(json(readAsProgram(page)), json(expected));

        const QJsonObject texts = state[QStringLiteral("texts")].toObject();
        EXPECT_EQ(state[QStringLiteral("synced")].toBool(), c.switches != u"nosync=1");
        EXPECT_EQ(texts[QStringLiteral("noiseMargin")].toString().startsWith(u"21474836"),
                  c.switches == u"quirk=1");
        EXPECT_EQ(texts[QStringLiteral("dataRate")].toString().endsWith(u" Mbps"),
                  c.switches == u"mbps=1");
        EXPECT_EQ(page.contains(QStringLiteral("Software version 4.7.5.1.83.8.204")),
                  c.switches == u"firmware=1");
    }
    ASSERT_FALSE(
        sim->set(QStringLiteral("nosync=0&missing=0&mbps=0&quirk=0&firmware=0")).isEmpty());
}

TEST_F(WebEngineBrowserTest, WrongPasswordGivesWrongPasswordPage) {
    const int before = sim->state()[QStringLiteral("wrongPasswordPages")].toInt();
    logInWith(QStringLiteral("not the password"));
    const QString page = body();
    EXPECT_GE(page.indexOf(QStringLiteral("incorrect")), 2);
    EXPECT_GE(page.indexOf(QStringLiteral("Your password hint")), 2);
    EXPECT_FALSE(page.contains(QStringLiteral("Information for Helpdesk agents")));
    EXPECT_EQ(sim->state()[QStringLiteral("wrongPasswordPages")].toInt(), before + 1);
}

// A page that is not the router's replaces the statistics page, and completes exactly once.
TEST_F(WebEngineBrowserTest, PagesThatAreNotStatisticsStillCompleteOnce) {
    struct Case {
        const char* name;
        QString url;
        QString simSwitches;
        bool loadFailed; // only a router that cannot be reached; its pages are pages
    };
    const Case cases[] = {
        {"unreachable port",
         QStringLiteral("http://127.0.0.1:%1").arg(RouterSim::unusedPort()) + kStatsPath,
         {},
         true},
        {"garbage bytes", sim->url(kStatsPath), QStringLiteral("garbage=1"), false},
        {"unknown page", sim->url(QStringLiteral("/no/such/page")), {}, false},
    };
    logInWith(kPassword);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(sim->url(kStatsPath));
        ASSERT_TRUE(body().contains(QStringLiteral("Information for Helpdesk agents")));
        if (!c.simSwitches.isEmpty()) {
            ASSERT_FALSE(sim->set(c.simSwitches).isEmpty());
        }

        int completed = 0;
        bool failed = false;
        const auto counter = QObject::connect(browser.get(), &Browser::documentComplete,
                                              [&completed, &failed](bool, bool loadFailed) {
                                                  if (++completed == 1)
                                                      failed = loadFailed;
                                              });
        browser->navigate(c.url);
        EXPECT_TRUE(waitUntil([&] { return completed == 1; }));
        EXPECT_EQ(failed, c.loadFailed);
        EXPECT_FALSE(body().contains(QStringLiteral("Information for Helpdesk agents")));
        ASSERT_FALSE(sim->set(QStringLiteral("garbage=0")).isEmpty());
        // The next load's completion comes after any late one of this load.
        browser->navigate(sim->url(QStringLiteral("/index.cgi?active_page=9100")));
        EXPECT_TRUE(waitUntil([&] { return completed >= 2; }));
        QObject::disconnect(counter);
        EXPECT_EQ(completed, 2);
    }
}

// Empty markup is still markup; only a document without a body has none.
TEST_F(WebEngineBrowserTest, EmptyPagesHaveMarkupADocumentWithoutBodyHasNone) {
    struct Case {
        const char* name;
        QString url;
        std::optional<QString> markup;
    };
    const Case cases[] = {
        {"empty reply", sim->url(kStatsPath), QString()},
        {"bare body", dataUrl(QStringLiteral("<body></body>")), QString()},
        {"document without a body",
         QStringLiteral("data:image/svg+xml,") +
             QString::fromLatin1(QUrl::toPercentEncoding(
                 QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg'></svg>"))),
         std::nullopt},
    };
    ASSERT_FALSE(sim->set(QStringLiteral("empty=1")).isEmpty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.url);
        const std::optional<QString> read = markup();
        EXPECT_EQ(read.has_value(), c.markup.has_value());
        EXPECT_EQ(read.value_or(QStringLiteral("none")), c.markup.value_or(QStringLiteral("none")));
    }
    ASSERT_FALSE(sim->set(QStringLiteral("empty=0")).isEmpty());
}

TEST_F(WebEngineBrowserTest, FormFieldIsSetOnlyOnAnInputOfAnExistingForm) {
    load(dataUrl(QStringLiteral(
        "<form><input name=user value=old><textarea name=notes>old</textarea>"
        "<select name=choice><option value=old>old</option><option value=new>new</option>"
        "</select><button name=go value=old>go</button></form>"
        "<form><input name=other value=old></form>")));
    const auto fields = [] {
        const QString json = evaluate(QStringLiteral(
            "JSON.stringify([document.forms[0].user.value, document.forms[0].notes.value, "
            "document.forms[0].choice.value, document.forms[0].go.value, "
            "document.forms[1].other.value, document.title])"));
        QStringList values;
        for (const QJsonValue& v : QJsonDocument::fromJson(json.toUtf8()).array())
            values << v.toString();
        return values;
    };
    const QString odd = QStringLiteral("a\"b'c\\d</script>\t\u20ac");
    const QStringList unchanged{"old", "old", "old", "old", "old", ""};
    struct Case {
        int form;
        QString field, value;
        QStringList expected;
    };
    const Case cases[] = {
        {0, "notes", "new", unchanged},
        {0, "choice", "new", unchanged},
        {0, "go", "new", unchanged},
        {0, "missing", "new", unchanged},
        {2, "user", "new", unchanged},
        {0, "other", "new", unchanged},
        {0, "user'];document.title='hit';//", "new", unchanged},
        {1, "other", "new", {"old", "old", "old", "old", "new", ""}},
        {0, "user", odd, {odd, "old", "old", "old", "new", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        browser->setFormFieldValue(c.form, c.field, c.value);
        EXPECT_EQ(fields(), c.expected);
    }
}

TEST_F(WebEngineBrowserTest, ScriptDialogsNeverBlockASilentPage) {
    // A dialog that did open is recorded and closed, so the test fails instead of hanging.
    bool dialogShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&dialogShown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialogShown = true;
            modal->close();
        }
    });
    watch.start(50);
    load(dataUrl(QStringLiteral(
        "<body><script>alert('hello');"
        "document.body.setAttribute('data-answers', [confirm('sure?'), prompt('name?', 'x')]"
        ".join('|'));</script></body>")));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.getAttribute('data-answers')")),
              QStringLiteral("false|"));
    EXPECT_FALSE(dialogShown);
}

TEST_F(WebEngineBrowserTest, ScrollSelectAndGrabTheStatisticsPage) {
    logInWith(kPassword);
    ASSERT_TRUE(body().contains(QStringLiteral("Information for Helpdesk agents")));

    browser->scrollBy(0, 28);
    EXPECT_TRUE(waitUntil([] { return evaluate(QStringLiteral("window.scrollY")) == "28"; }));
    browser->scrollBy(0, -300);
    browser->scrollBy(0, 270);
    EXPECT_TRUE(waitUntil([] { return evaluate(QStringLiteral("window.scrollY")) == "270"; }));

    std::optional<QString> none;
    browser->readSelectedText([&none](const QString& s) { none = s; });
    ASSERT_TRUE(waitUntil([&] { return none.has_value(); }));
    EXPECT_EQ(*none, QString());

    browser->selectAll();
    QString selected;
    EXPECT_TRUE(waitUntil([&] {
        std::optional<QString> text;
        browser->readSelectedText([&text](const QString& s) { text = s; });
        waitUntil([&] { return text.has_value(); });
        selected = text.value_or(QString());
        return !selected.isEmpty();
    }));
    EXPECT_TRUE(selected.contains(QStringLiteral("Information for Helpdesk agents")));
    EXPECT_TRUE(selected.contains(QStringLiteral("Noise margin:")));

    const QImage image = browser->grab();
    EXPECT_EQ(image.size(), browser->viewSize());
    EXPECT_EQ(browser->viewSize(), QSize(1000, 700));
    // The page is painted, not a blank view: more than one colour across its width.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 3);
}

} // namespace

// The engine's preparation fills in only what the user left unset: a variable the user set,
// even to nothing, is theirs.
TEST(WebEngineBrowserPrepare, SetsOnlyTheVariablesTheUserLeftUnset) {
    const QByteArray names[] = {"QTWEBENGINE_CHROMIUM_FLAGS", "QT_QUICK_BACKEND",
                                "QT_XCB_GL_INTEGRATION"};
    std::vector<std::optional<QByteArray>> saved;
    for (const QByteArray& name : names)
        saved.push_back(qEnvironmentVariableIsSet(name.constData())
                            ? std::optional(qgetenv(name.constData()))
                            : std::nullopt);

    struct Case {
        const char* name;
        std::optional<QByteArray> userValue;
    };
    for (const QByteArray& name : names)
        for (const Case& c : {Case{"unset", std::nullopt}, Case{"empty", QByteArray()},
                              Case{"own", QByteArray("users-own")}}) {
            SCOPED_TRACE(name.toStdString() + " " + c.name);
            for (const QByteArray& n : names)
                qunsetenv(n.constData());
            if (c.userValue)
                qputenv(name.constData(), *c.userValue);
            WebEngineBrowser::prepareEngine();
            if (c.userValue)
                EXPECT_EQ(qgetenv(name.constData()), *c.userValue);
            else
                EXPECT_FALSE(qgetenv(name.constData()).isEmpty());
            // The others were unset, so each has the program's value.
            for (const QByteArray& other : names)
                if (other != name) {
                    EXPECT_TRUE(qEnvironmentVariableIsSet(other.constData()));
                    EXPECT_FALSE(qgetenv(other.constData()).isEmpty());
                }
        }
    for (const QByteArray& n : names)
        qunsetenv(n.constData());
    WebEngineBrowser::prepareEngine();
    EXPECT_EQ(qgetenv("QT_XCB_GL_INTEGRATION"), "none");
    EXPECT_EQ(qgetenv("QT_QUICK_BACKEND"), "software");
    EXPECT_TRUE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--disable-gpu"));

    for (size_t i = 0; i < std::size(names); ++i)
        if (saved[i])
            qputenv(names[i].constData(), *saved[i]);
        else
            qunsetenv(names[i].constData());
}
