#include "app/binders/WebServerBinder.h"

#include "app/MonitorSession.h"
#include "app/binders/WindowServices.h"
#include "app/desktop/TrayIcon.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/AdvancedTab.h"
#include "app/tabs/ToolBar.h"
#include "capture/CaptureFolder.h"
#include "core/ProgramPaths.h"
#include "core/Timer.h"
#include "drops/DropRecord.h"
#include "housekeeping/InstanceLock.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"
#include "storage/Settings.h"
#include "webserver/KeyFilter.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"
#include "webserver/WebServerControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSystemTrayIcon>

WebServerBinder::WebServerBinder(WindowServices& services, Controls controls, AddressList addresses)
    : services_(services), c_(controls), addresses_(std::move(addresses)) {
    metrics_ = std::make_unique<MetricsSnapshot>();
    webServer_ = std::make_unique<WebServer>(metrics_.get());
    // The drop record's pages and counters; the session outlives this binder and its server.
    webServer_->setDropsBoard(&services_.session.drops().board());
    webControl_ = std::make_unique<WebServerControl>(*webServer_, services_.messages);
    tray_ = std::make_unique<TrayIcon>(&services_.window, &QSystemTrayIcon::isSystemTrayAvailable,
                                       services_.timers(TrayIcon::kTrayWatchMs, false));
    bindBoxes();
    bindPipeline();
    // The tray.
    connect(c_.advanced.cbMinimize, &QCheckBox::toggled, tray_.get(), &TrayIcon::setMinimizeToTray);
    connect(tray_.get(), &TrayIcon::closeRequested, this, [this] { services_.window.close(); });
}

WebServerBinder::~WebServerBinder() = default;

// The boxes of the Advanced tab.
void WebServerBinder::bindBoxes() {
    AdvancedTab& tab = c_.advanced;
    tab.boxWebAddress->addItems(webAddresses());
    for (QLineEdit* box : {tab.edPort, tab.edWidth, tab.edHeight})
        KeyFilter::digits(box)->guard(box);
    KeyFilter::address(tab.boxWebAddress)->guard(tab.boxWebAddress);
    // Leaving it checks the address. The list box, not its line edit, holds the focus.
    tab.boxWebAddress->installEventFilter(this);
    connect(&tab, &AdvancedTab::webServerBoxChanged, this, [this] {
        if (webServerStarted_)
            cbWebClick();
    });
    connect(webControl_.get(), &WebServerControl::indicatorVisibleChanged, c_.toolBar.Image3,
            &QWidget::setVisible);
    // A box left ticked over a server that does not listen would make the next tick, after the
    // port is corrected, do nothing.
    connect(webControl_.get(), &WebServerControl::startFailed, tab.cbWeb,
            [this] { c_.advanced.cbWeb->setChecked(false); });
    connect(webControl_.get(), &WebServerControl::boxesEnabledChanged, this, [this](bool on) {
        AdvancedTab& t = c_.advanced;
        for (QWidget* w :
             std::initializer_list<QWidget*>{t.lblWebAddress, t.boxWebAddress, t.lblPort, t.edPort})
            w->setEnabled(on);
    });
}

// The pipeline: the tray picture, the web image, the metrics of each plotted reading, the
// tooltip of every one.
void WebServerBinder::bindPipeline() {
    MonitorSession& session = services_.session;
    MonitorSession::ViewSteps& steps = session.viewSteps();
    steps.WebImageBusy = webImageBusy();
    // A router that was not read draws "?", as a pause does: its zeros are no noise margin.
    steps.IconNoise = [this, &session](const QString& state) {
        const std::optional<LineReading>& reading = session.lastReading();
        const bool unread = reading && !reading->isRead();
        tray_->IconNoise(unread ? QStringLiteral("Stop") : state, session.sample());
    };
    // The session hands the reading on once the pipeline and the record are through: /metrics
    // takes the plotted ones, the tooltip every one. Neither shows an unread reading's zeros.
    connect(&session, &MonitorSession::readingHandled, this,
            [this](const LineReading& reading, bool plotted) {
                const Settings& settings = services_.settings;
                if (plotted)
                    metrics_->recordReading(reading, settings.User1, settings.User2);
                tray_->setReading(reading);
            });
    RunControl& run = session.run();
    connect(&run, &RunControl::stateChanged, this,
            [this](MonitorState state) { metrics_->setMonitorState(state); });
    RouterState& router = session.driver().routerState();
    connect(&router, &RouterState::statusChanged, this,
            [this](RouterStatus status) { metrics_->setRouterStatus(status); });
    connect(&router, &RouterState::textChanged, tray_.get(), &TrayIcon::setRouterText);
    connect(&router, &RouterState::textChanged, this,
            [this](const QString& text) { metrics_->setRouterText(text); });
    metrics_->setRouterStatus(router.status());
    metrics_->setRouterText(router.text());
    tray_->setRouterText(router.text());
    connect(&run, &RunControl::trayIconRequested, this,
            [this, &session](const QString& state) { tray_->IconNoise(state, session.sample()); });
}

bool WebServerBinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.advanced.boxWebAddress && event->type() == QEvent::FocusOut) {
        // Leaving the box for another control; not its own list, not another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            webControl_->boxWebAddressExit(c_.advanced.boxWebAddress->currentText());
    }
    return QObject::eventFilter(watched, event);
}

QStringList WebServerBinder::webAddresses() const {
    return addresses_ ? addresses_() : WebServerControl::addressList();
}

std::function<bool()> WebServerBinder::webImageBusy() {
    return [this] { return webServer_->imageBusy(); };
}

void WebServerBinder::applyWebFolder() {
    const QString& programFolder = services_.programFolder;
    const QString folder = CaptureFolder::resolve(services_.settings.WebFolder, programFolder);
    if (!folder.isEmpty())
        QDir().mkpath(folder); // a failure shows when the web image is written
    // The instance's socket is never a regular file, which is all the server sends.
    webControl_->setWebFolder(
        folder, programFolder,
        {ProgramPaths::settingsFile(programFolder), InstanceLock::fileIn(programFolder)});
}

void WebServerBinder::startWebServer() {
    Settings& settings = services_.settings;
    c_.advanced.boxWebAddress->setCurrentText(
        WebServerControl::startupAddress(webAddresses(), settings.WebAddress));
    applyWebFolder();
    webServerStarted_ = true;
    const bool stored = settings.Web;
    cbWebClick();
    // A stored choice that fails now (the port still held by a program that has not ended) is
    // kept for the next start; only the user's own ticking or unticking changes it.
    settings.Web = stored;
}

void WebServerBinder::shutDown() {
    webControl_->shutDown();
}

void WebServerBinder::cbWebClick() {
    webControl_->cbWebClick(c_.advanced.cbWeb->isChecked(),
                            c_.advanced.boxWebAddress->currentText(), c_.advanced.edPort->text());
}
