#include "monitor/WebEngineBrowser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <functional>

namespace {

// A page that can keep quiet: while silent, its script dialogs are answered without being
// shown, and its console never writes to our output. It also tells the program's own loads from
// the user's: only the program's are samples.
class QuietPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    bool silent = false;
    // The next navigation is the program's: set by a load or reload the program asks for, and
    // by its own click on a link, whose navigation the engine reports as a click or a submit.
    bool programNavigationDue = false;
    // The origin of the main frame's current load.
    bool loadIsProgramsOwn = true;
    // The user's navigation replaces a load of the program's that had not finished.
    std::function<void()> programLoadReplaced;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame)
            return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        // Server redirects and a page's script or refresh on the way continue the load they
        // belong to; anything else starts a load of its own.
        if (type != NavigationTypeRedirect) {
            const bool replacesProgramLoad =
                !programNavigationDue && loadIsProgramsOwn && isLoading();
            loadIsProgramsOwn = programNavigationDue;
            programNavigationDue = false;
            if (replacesProgramLoad && programLoadReplaced)
                programLoadReplaced();
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        if (!silent)
            QWebEnginePage::javaScriptAlert(origin, message);
    }
    // Silent answers are the cautious ones: nothing confirmed, nothing entered.
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        return silent ? false : QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override {
        return silent ? false
                      : QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

// One page in one renderer, drawn in software; no cache of pages left behind. The network
// service and the GPU thread run inside our own process, so the engine's spare launcher for
// unsandboxed helper processes would only ever sit idle (some 10 MiB).
constexpr const char* kEngineFlags = "--disable-gpu --renderer-process-limit=1 "
                                     "--disable-features=BackForwardCache --no-unsandboxed-zygote";

// Arguments for a script, as a JSON array literal: page text never becomes script code.
QString scriptArguments(const QJsonArray& args) {
    return QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact));
}

} // namespace

void WebEngineBrowser::prepareEngine() {
    // Software drawing throughout: a page a few hundred pixels high is redrawn once a sample,
    // which costs less on the CPU than running a GL stack for it (and on a display without a
    // GPU, such as Xvfb, the GL stack is itself a CPU renderer).
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", kEngineFlags);
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    // Nothing in the program draws with GL then, yet an X display would still load the GL
    // driver stack (on Mesa, its LLVM as well: some 35 MiB) for the windows.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

WebEngineBrowser::WebEngineBrowser(QObject* parent) : Browser(parent) {
    // A profile without a storage name is off the record: nothing reaches the disk, and the
    // router's session cookie lives only as long as the program.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::NoCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile_->setSpellCheckEnabled(false);

    auto* page = new QuietPage(profile_, nullptr);
    page_ = page;
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // A reload every sample must not pull the keyboard focus away from the user.
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    // An unreachable router must replace the last page by an error page, never leave the
    // previous statistics on show to be read again.
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    // The router's pages are read, not browsed: nothing a page load does beyond its own
    // markup and scripts is wanted, and the favicon would be one more request every sample.
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings->setAttribute(QWebEngineSettings::TouchIconsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebGLEnabled, false);
    settings->setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled, false);
    settings->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);

    view_ = new QWebEngineView;
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);

    page->programLoadReplaced = [this] { Q_EMIT programLoadAbandoned(); };
    // The loading state rather than loadFinished: a stopped load finishes too, unsuccessfully,
    // and would come back as a page after whoever stopped it had dealt with it.
    connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& i) {
        if (i.status() != QWebEngineLoadingInfo::LoadFailedStatus &&
            i.status() != QWebEngineLoadingInfo::LoadSucceededStatus)
            return;
        // A page with an error status (404) is still the router's answer, not a failed load.
        const bool failed = i.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
                            i.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain;
        if (clearHistoryWhenLoaded_) {
            clearHistoryWhenLoaded_ = false;
            page_->history()->clear();
        }
        Q_EMIT documentComplete(static_cast<QuietPage*>(page_)->loadIsProgramsOwn, failed);
    });
}

WebEngineBrowser::~WebEngineBrowser() {
    // The engine wants its pages gone before their profile.
    delete view_.data();
    delete page_;
    delete profile_;
}

void WebEngineBrowser::setSilent(bool silent) {
    static_cast<QuietPage*>(page_)->silent = silent;
}

void WebEngineBrowser::ensureWindow() {
    // The top-level window, not the view, gets a native window: a native child would change
    // how the view is composed into the main window.
    if (view_)
        view_->window()->winId();
}

void WebEngineBrowser::expectProgramNavigation(bool due) {
    static_cast<QuietPage*>(page_)->programNavigationDue = due;
}

void WebEngineBrowser::navigate(const QString& url, bool withoutHistoryOrCache) {
    expectProgramNavigation(true);
    if (!withoutHistoryOrCache) {
        page_->load(QUrl(url));
        return;
    }
    // The profile has no cache; the headers ask any cache on the way not to answer either.
    QWebEngineHttpRequest request{QUrl(url)};
    request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    request.setHeader(QByteArrayLiteral("Pragma"), QByteArrayLiteral("no-cache"));
    clearHistoryWhenLoaded_ = true;
    page_->load(request);
}

void WebEngineBrowser::refresh() {
    expectProgramNavigation(true);
    page_->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

void WebEngineBrowser::stop() {
    // A click of the program's that has not navigated by now never will.
    expectProgramNavigation(false);
    page_->triggerAction(QWebEnginePage::Stop);
}

void WebEngineBrowser::runScript(const QString& script) {
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void WebEngineBrowser::runScript(const QString& script, TextCallback done) {
    page_->runJavaScript(
        script, QWebEngineScript::ApplicationWorld,
        [done = std::move(done)](const QVariant& result) { done(result.toString()); });
}

void WebEngineBrowser::readBodyHtml(MarkupCallback done) {
    // Only a text is markup: a document without a body answers null, and a script that could
    // not run answers nothing at all.
    page_->runJavaScript(QStringLiteral("document.body ? document.body.innerHTML : null"),
                         QWebEngineScript::ApplicationWorld,
                         [done = std::move(done)](const QVariant& result) {
                             if (result.typeId() == QMetaType::QString)
                                 done(result.toString());
                             else
                                 done(std::nullopt);
                         });
}

void WebEngineBrowser::setFormFieldValue(int formIndex, const QString& fieldName,
                                         const QString& value) {
    runScript(QStringLiteral("(function (a) {"
                             "  var form = document.forms[a[0]];"
                             "  if (!form) return;"
                             "  var e = form.elements[a[1]] || form[a[1]];"
                             "  if (e && e.tagName === 'INPUT') e.value = a[2];"
                             "})(") +
              scriptArguments({formIndex, fieldName, value}) + u')');
}

void WebEngineBrowser::scrollBy(int dx, int dy) {
    runScript(QStringLiteral("window.scrollBy(%1, %2)").arg(dx).arg(dy));
}

void WebEngineBrowser::scrollInSteps(const QList<QPoint>& steps, std::function<void()> done) {
    QString script;
    for (const QPoint& step : steps)
        script += QStringLiteral("window.scrollBy(%1, %2);").arg(step.x()).arg(step.y());
    runScript(script + QStringLiteral("''"), [done = std::move(done)](const QString&) { done(); });
}

void WebEngineBrowser::clickLink(int index) {
    expectProgramNavigation(true);
    runScript(QStringLiteral("(function (i) {"
                             "  var link = document.links[i];"
                             "  if (link) link.click();"
                             "})(%1)")
                  .arg(index));
}

void WebEngineBrowser::readSelectedText(TextCallback done) {
    runScript(QStringLiteral("window.getSelection ? String(window.getSelection()) : ''"),
              std::move(done));
}

void WebEngineBrowser::selectAll() {
    // The document's own command rather than the view's edit action: the action needs a
    // shown view, the command works on a hidden tab too.
    runScript(QStringLiteral("document.execCommand('selectAll')"));
}

QImage WebEngineBrowser::grab() {
    if (!view_)
        return QImage();
    QImage image = view_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The view's size in pixels, whatever the screen's scale.
    if (image.size() != view_->size())
        image = image.scaled(view_->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QSize WebEngineBrowser::viewSize() const {
    return view_ ? view_->size() : QSize();
}

QWidget* WebEngineBrowser::widget() {
    return view_;
}
