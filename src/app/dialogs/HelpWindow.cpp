#include "app/dialogs/HelpWindow.h"

#include "core/DesktopShell.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace {

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ws") || scheme == QLatin1String("wss") ||
           scheme == QLatin1String("ftp");
}

// Nothing of a help page comes from the network: a picture or script it names there is not
// fetched.
class LocalOnly : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (isWebAddress(info.requestUrl()))
            info.block(true);
    }
};

// A link to a web address opens in the user's browser, as it would from a help viewer.
class HelpPage : public QWebEnginePage {
public:
    HelpPage(QWebEngineProfile* profile, DesktopShell& shell, QObject* parent)
        : QWebEnginePage(profile, parent), shell_(shell) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isWebAddress(url))
            return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        // A desktop without a browser leaves the link alone: the help stays where it is.
        if (isMainFrame && type == NavigationTypeLinkClicked)
            (void)shell_.open(url.toString());
        return false;
    }

private:
    DesktopShell& shell_;
};

} // namespace

HelpWindow::HelpWindow(DesktopShell& shell, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Lintrove 5A Help"));
    resize(760, 600);

    // Off the record, like the router's browser: nothing of the help reaches the disk.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::NoCache);
    profile_->setUrlRequestInterceptor(new LocalOnly(profile_));
    auto* page = new HelpPage(profile_, shell, nullptr);
    // The help is a document read from disk, without scripts. Whatever a page there holds, it
    // runs nothing and reads no other file: a script in it could otherwise read any file of the
    // user's.
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    view_ = new QWebEngineView(this);
    view_->setObjectName(QStringLiteral("HelpView"));
    view_->setPage(page);
    page->setParent(view_);

    btnHelpBack = new QPushButton(QStringLiteral("Back"));
    btnHelpBack->setObjectName(QStringLiteral("btnHelpBack"));
    btnHelpForward = new QPushButton(QStringLiteral("Forward"));
    btnHelpForward->setObjectName(QStringLiteral("btnHelpForward"));
    btnHelpClose = new QPushButton(QStringLiteral("Close"));
    btnHelpClose->setObjectName(QStringLiteral("btnHelpClose"));
    // Through the history itself: the engine's own Back passes over pages that a script rather
    // than a click brought up, which would leave the button enabled and doing nothing.
    connect(btnHelpBack, &QPushButton::clicked, this, [this] { view_->history()->back(); });
    connect(btnHelpForward, &QPushButton::clicked, this, [this] { view_->history()->forward(); });
    connect(btnHelpClose, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // The engine has no signal for its history; every change of page is one.
    connect(view_, &QWebEngineView::urlChanged, this, &HelpWindow::updateButtons);
    connect(view_, &QWebEngineView::loadFinished, this, &HelpWindow::updateButtons);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelpBack);
    buttons->addWidget(btnHelpForward);
    buttons->addStretch(1);
    buttons->addWidget(btnHelpClose);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(buttons);
    column->addWidget(view_, 1);
    updateButtons();
}

// The engine wants its pages gone before their profile.
HelpWindow::~HelpWindow() {
    delete view_;
    view_ = nullptr;
}

void HelpWindow::showDocument(const QString& path) {
    if (!isVisible() || view_->url().isEmpty())
        view_->load(QUrl::fromLocalFile(path));
    // The first time over the main window, as a dialog would be; later where the user left it.
    if (!placed_ && parentWidget()) {
        const QRect over = parentWidget()->window()->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
        placed_ = true;
    }
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

QUrl HelpWindow::url() const {
    return view_->url();
}

void HelpWindow::updateButtons() {
    if (!view_)
        return;
    btnHelpBack->setEnabled(view_->history()->canGoBack());
    btnHelpForward->setEnabled(view_->history()->canGoForward());
}
