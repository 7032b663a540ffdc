#include "app/MainWindow.h"

#include "app/binders/FirstRunGate.h"
#include "app/desktop/NamedWidget.h"
#include "app/desktop/OverrideCursor.h"
#include "app/desktop/TrayIcon.h"
#include "app/desktop/WheelFilter.h"
#include "app/desktop/WindowPlacement.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/AdvancedSettingsDialog.h"
#include "app/dialogs/DataFileDialog.h"
#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/MaintenanceDialog.h"
#include "app/dialogs/SetupWizard.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/AdvancedTab.h"
#include "app/tabs/BrowserContextMenu.h"
#include "app/tabs/ConfigureTab.h"
#include "app/tabs/FormParts.h"
#include "app/tabs/GraphPage.h"
#include "app/tabs/HomeHubTab.h"
#include "app/tabs/MainMenus.h"
#include "app/tabs/RouterAccessLock.h"
#include "app/tabs/StatsPagePicture.h"
#include "app/tabs/ToolBar.h"
#include "capture/CaptureFolder.h"
#include "capture/CaptureMenus.h"
#include "capture/GraphCapture.h"
#include "capture/PictureSaveDialog.h"
#include "capture/WebImageWriter.h"
#include "charting/ChartView.h"
#include "core/Clock.h"
#include "core/DesktopShell.h"
#include "core/ProgramPaths.h"
#include "core/SizeText.h"
#include "core/Timer.h"
#include "graphs/GraphSet.h"
#include "housekeeping/DailyTimer.h"
#include "housekeeping/ImageDeletion.h"
#include "housekeeping/Restarter.h"
#include "monitor/Browser.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"
#include "storage/CsvLog.h"
#include "storage/DataRestoreFile.h"
#include "webserver/KeyFilter.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"
#include "webserver/WebServerControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

namespace {

constexpr int kTabHomeHub = 0;
constexpr int kTabConfigure = 5;
constexpr int kTabAdvanced = 6;

} // namespace

// The pictures, cursors and help document live in this static library's resources.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(Dependencies deps, QWidget* parent)
    : QMainWindow(parent), deps_(std::move(deps)) {
    initResources();
    session_ = std::make_unique<MonitorSession>(settings_, deps_.browser, deps_.clock,
                                                deps_.messages, deps_.timers);
    Timer4 = deps_.timers(750, true);
    Timer6 = deps_.timers(5, true);

    createGraphPages();
    webChartView_ = new ChartView(&graphs().chart(GraphSet::Chart5));
    webChartView_->setObjectName(QStringLiteral("Chart5"));
    buildForm();

    dataFileDialog_ = new DataFileDialog(settings_, &deps_.shell, &deps_.messages, this);
    dataFileDialog_->TrimDataFileNow = [this] { session_->TrimDataFileProc(); };

    qApp->installEventFilter(new WheelFilter(this));
    connectTabs();
    connectMenus();
    connectToolbar();
    connectMonitor();
    // Each feature's controls, menus and pipeline steps.
    wireSetup();
    wireCaptures();
    wireWebServerAndTray();
    wireHousekeeping();
}

// The chart views paint the session's graphs: they go first.
MainWindow::~MainWindow() {
    if (deps_.restarter)
        deps_.restarter->setSteps({}); // the restarter outlives the window
    for (GraphPage*& page : graphPages_) {
        delete page;
        page = nullptr;
    }
    delete webChartView_;
}

GraphSet& MainWindow::graphs() {
    return session_->graphs();
}
RunControl& MainWindow::runControl() {
    return session_->run();
}
PageDriver& MainWindow::pageDriver() {
    return session_->driver();
}

bool MainWindow::settingsFileExists() const {
    return QFileInfo::exists(ProgramPaths::settingsFile(deps_.programFolder));
}

Timer& MainWindow::timer(int n) {
    switch (n) {
    case 1:
        return session_->sampleTimer();
    case 4:
        return *Timer4;
    case 5:
        return session_->resumeTimer();
    default:
        return *Timer6;
    }
}

// ---------------------------------------------------------------------------------------------
// Wiring.

void MainWindow::createGraphPages() {
    popupChart_ = new QMenu(this);
    popupChart_->setObjectName(QStringLiteral("popupChart"));
    const char* chartItems[] = {"Capture Now", "Save As...", "Capture All Now"};
    const char* chartItemNames[] = {"mnuCapNow", "mnuChartSaveAs", "mnuCapAll"};
    for (int i = 0; i < 3; ++i) {
        auto* a = popupChart_->addAction(QLatin1String(chartItems[i]));
        a->setObjectName(QLatin1String(chartItemNames[i]));
        a->setEnabled(false); // until the captures are wired
    }
    popupChart_->addSeparator();
    auto* copy = popupChart_->addAction(QStringLiteral("Copy to Clipboard"));
    copy->setObjectName(QStringLiteral("CopytoClipboard1"));
    copy->setEnabled(false);
    popupChart_->addSeparator();
    mnu3D_ = popupChart_->addAction(QStringLiteral("Show Chart in 3D"));
    mnu3D_->setObjectName(QStringLiteral("mnu3D"));
    mnu3D_->setCheckable(true);
    connect(popupChart_, &QMenu::aboutToShow, this,
            [this] { mnu3D_->setChecked(graphs().shows3D(pages_->currentIndex())); });
    connect(mnu3D_, &QAction::triggered, this,
            [this] { graphs().toggle3D(pages_->currentIndex()); });

    GraphPage::Context context;
    context.graphs = &graphs();
    context.chartMenu = popupChart_;
    context.cursors = &cursors_;
    context.windowFrame = [this] { return frameGeometry(); };
    context.runGuarded = [this](const std::function<void()>& f) { session_->runGuarded(f); };
    for (int i = 0; i < 4; ++i)
        graphPages_[size_t(i)] = new GraphPage(i, context);
    for (GraphPage* from : graphPages_)
        for (GraphPage* to : graphPages_)
            connect(from, &GraphPage::pageButtonsVisibilityRequested, to,
                    &GraphPage::setPageButtonsVisible);

    graphs().SetStartHandler([this] { runControl().btnRunClick(); });
    graphs().mouseCycle().SetRestoreCursor(restoreCursor);
}

// The window's form: the toolbar over the tabs, the status bar and the menus. Every tab is built
// before any dialog exists, so a search by name finds the window's controls first.
void MainWindow::buildForm() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Lintrove 5A"));
    setMinimumSize(842, 643);
    setFont(QFont(QStringLiteral("Arial"), 8));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    toolBar_ = new ToolBar(central);
    column->addWidget(toolBar_);

    pages_ = named(new QTabWidget, "PageControl1");
    pages_->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { height: 25px; width: 105px; padding: 0px; }"));
    column->addWidget(pages_, 1);

    homeHub_ = new HomeHubTab(deps_.browser.widget());
    pages_->addTab(homeHub_, QStringLiteral("Home Hub"));
    const char* sheetCaptions[] = {"Noise Margin", "Connection Speed", "Max Rate",
                                   "Line Attenuation"};
    for (int i = 0; i < 4; ++i)
        pages_->addTab(graphPages_[size_t(i)], QLatin1String(sheetCaptions[i]));
    configure_ = new ConfigureTab({settings_, graphs(), pageDriver(), session_->sampleTimer(),
                                   deps_.messages, deps_.programFolder});
    pages_->addTab(configure_, QStringLiteral("Configure"));
    advanced_ = new AdvancedTab({settings_, graphs(), session_->log(), deps_.messages});
    pages_->addTab(advanced_, QStringLiteral("Advanced"));

    // 7: never shown; the web-image graph and the last page text live here.
    auto* hidden = named(new QWidget, "TabSheet3");
    auto* hiddenColumn = new QVBoxLayout(hidden);
    hiddenColumn->addWidget(webChartView_, 1);
    memo_ = named(new QPlainTextEdit, "Memo1");
    memo_->setReadOnly(true);
    hiddenColumn->addWidget(memo_);
    pages_->addTab(hidden, QString());
    pages_->setTabVisible(7, false);
    setCentralWidget(central);

    auto* status = named(new QStatusBar, "StatusBar1");
    status->setFont(QFont(QStringLiteral("Arial"), 8));
    // The fourth panel tells the router's state.
    const int widths[] = {250, 300, 50, 160};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        if (i < 2)
            panel->setFixedWidth(widths[i]);
        statusPanels_[size_t(i)] = panel;
        status->addWidget(panel, i == 2 ? 1 : 0);
    }
    setStatusBar(status);
    menus_ = std::make_unique<MainMenus>(this);
}

void MainWindow::clearGroupHighlights() {
    configure_->clearGroupHighlights();
    advanced_->clearGroupHighlights();
}

void MainWindow::connectTabs() {
    connect(advanced_, &AdvancedTab::userGraphNamesChanged, this,
            [this](const QString& name1, const QString& name2) {
                pages_->setTabText(3, name1);
                pages_->setTabText(4, name2);
            });
    connect(configure_, &ConfigureTab::loggingChanged, toolBar_->Image7, &QWidget::setVisible);
    connect(configure_, &ConfigureTab::logFileChanged, this, [this] { updateLogButton(); });
    connect(configure_, &ConfigureTab::captureIndicatorsChanged, this,
            [this](bool everyPage, bool onLostConnection) {
                toolBar_->Image1->setVisible(everyPage);
                toolBar_->Image2->setVisible(onLostConnection);
            });
}

void MainWindow::connectMenus() {
    connect(menus_->File1, &QMenu::aboutToShow, this, [this] { File1Click(); });
    connect(menus_->Configure1, &QMenu::aboutToShow, this, [this] { Configure1Click(); });
    connect(menus_->mnuExit, &QAction::triggered, this, [this] { close(); });
    connect(menus_->mnuHelp, &QAction::triggered, this, [this] { mnuHelpClick(); });
    connect(menus_->mnuuserDefined, &QAction::triggered, this, [this] { mnuuserDefinedClick(); });
    connect(menus_->mnuRestoreData, &QAction::triggered, this,
            [this] { settings_.Restore = menus_->mnuRestoreData->isChecked(); });
    connect(menus_->mnuDataRestore, &QAction::triggered, this, [this] { mnuDataRestoreClick(); });
    connect(menus_->mnuStartLog, &QAction::triggered, configure_, &ConfigureTab::mnuStartLogClick);
    connect(menus_->mnuStopLog, &QAction::triggered, configure_, &ConfigureTab::mnuStopLogClick);
    connect(menus_->mnuConfigLog, &QAction::triggered, this, [this] { mnuConfigLogClick(); });
    connect(pages_, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

// ---------------------------------------------------------------------------------------------
// Features. Behaviour not wired yet is placed but disabled, not pretending to work.

void MainWindow::wireSetup() {
    // Made after the window's own controls, so that a search by name finds their "edAddress"
    // before the wizard's. It keeps its own message boxes: one over this window could not be
    // answered while the wizard is modal.
    wizard_ = new SetupWizard(this);
    wizard_->setFinishHandler(
        [this](const QString& address, const QString& password, QString* error) {
            return wizardFinish(address, password, error);
        });
    accessLock_ =
        new RouterAccessLock({configure_->Image11, configure_->Image26, configure_->edAddress,
                              configure_->edPassword1, configure_->cbShowPlain, this},
                             deps_.messages, {}, this);
    // Locking the box takes its text as leaving it does: a refused one gives way to the old.
    connect(accessLock_, &RouterAccessLock::aboutToLock, configure_, &ConfigureTab::edAddressExit);

    FirstRunGate::Hooks hooks;
    hooks.settingsFileExists = [this] { return settingsFileExists(); };
    hooks.passwordEmpty = [this] { return configure_->edPassword1->text().isEmpty(); };
    hooks.wizardShowing = [this] { return wizard_->isVisible(); };
    hooks.openWizard = [this] { mnuWizardClick(); };
    hooks.setStatusLine = [this](const QString& text) { homeHub_->Label2->setText(text); };
    firstRunGate_ = std::make_unique<FirstRunGate>(*Timer4, std::move(hooks));
    connect(wizard_, &SetupWizard::cancelled, this, [this] { firstRunGate_->wizardCancelled(); });

    connect(menus_->mnuWizard, &QAction::triggered, this, [this] { mnuWizardClick(); });
}

void MainWindow::mnuWizardClick() {
    wizard_->openCentredOn(this, configure_->edAddress->text());
}

bool MainWindow::wizardFinish(const QString& address, const QString& password, QString* error) {
    // Saved before anything changes: a failed save leaves the controls and the browser as they
    // were, and the wizard open with its entries.
    collectSettingsFromControls();
    Settings toSave = settings_;
    toSave.Address = address;
    toSave.Password = password;
    if (!toSave.save(ProgramPaths::settingsFile(deps_.programFolder), error))
        return false;
    configure_->setRouterAddress(address);
    configure_->edPassword1->setText(password);
    firstRunGate_->wizardFinished();
    FormShow();
    return true;
}

void MainWindow::wireCaptures() {
    GraphCapture::View view;
    view.activeTab = [this] { return pages_->currentIndex(); };
    view.tabCaption = [this](int tab) { return pages_->tabText(tab).remove('&'); };
    // Qt sizes only the shown tab page: every chart is rendered at that page's size.
    view.pageSize = [this] {
        const QWidget* page = pages_->currentWidget();
        return page ? page->size() : QSize();
    };
    view.userGraphName = [this](int userGraph) {
        return (userGraph == 0 ? advanced_->boxUser1 : advanced_->boxUser2)->currentText();
    };
    const auto headerTexts = [this] {
        const LineSample& sample = session_->sample();
        return ImageHeader::Texts{sample.DataRateUpText, sample.DataRateDownText,
                                  toolBar_->Label25->text()};
    };
    view.headerTexts = headerTexts;
    view.highlightGraphsGroup = [this] { FormParts::highlight(configure_->GroupGraphs); };
    view.setCaptureStatus = [this](const QString& text) { statusPanels_[2]->setText(text); };
    capture_ = std::make_unique<GraphCapture>(settings_, graphs(), deps_.clock, deps_.messages,
                                              deps_.programFolder, std::move(view));
    webImageWriter_ = std::make_unique<WebImageWriter>(
        settings_, graphs(), deps_.clock, deps_.messages, deps_.programFolder, headerTexts,
        [this] { return webImageBusy_ && webImageBusy_(); });

    MonitorSession::ViewSteps& steps = session_->viewSteps();
    steps.CaptureAllGraphs = [this] {
        capture_->CaptureAllGraphs(GraphCapture::Trigger::Automatic);
    };
    steps.WriteWebImage = [this] { webImageWriter_->WriteWebImage(); };

    // Buttons, menus and the chart menu.
    const auto captureAll = [this] { capture_->CaptureAllGraphs(GraphCapture::Trigger::Hand); };
    const auto captureVisible = [this] { capture_->CaptureVisibleGraph(); };
    const auto saveAs = [this] {
        capture_->SaveVisibleGraphAs(
            [this](const QString& start) { return PictureSaveDialog::ask(this, start); });
    };
    const auto copy = [this] { capture_->CopyVisibleGraph(); };
    const auto chartItem = [this](const char* name) {
        auto* item = popupChart_->findChild<QAction*>(QLatin1String(name));
        item->setEnabled(true);
        return item;
    };
    connect(toolBar_->btnCapture, &QToolButton::clicked, this, captureAll);
    connect(menus_->mnuCaptureAll, &QAction::triggered, this, captureAll);
    connect(chartItem("mnuCapAll"), &QAction::triggered, this, captureAll);
    connect(menus_->mnuCaptureVisible, &QAction::triggered, this, captureVisible);
    connect(chartItem("mnuCapNow"), &QAction::triggered, this, captureVisible);
    connect(menus_->mnuSaveAs, &QAction::triggered, this, saveAs);
    connect(chartItem("mnuChartSaveAs"), &QAction::triggered, this, saveAs);
    connect(menus_->mnuCopy, &QAction::triggered, this, copy);
    connect(chartItem("CopytoClipboard1"), &QAction::triggered, this, copy);

    // The capture folder.
    connect(configure_->edCapture, &QLineEdit::textChanged, this, [this] { edCaptureChange(); });
    connect(configure_->edCapture, &QLineEdit::editingFinished, this, [this] {
        configure_->edCapture->setText(
            CaptureFolder::withoutTrailingSeparator(configure_->edCapture->text()));
        edCaptureChange();
    });
    connect(configure_->btnBrowse, &QPushButton::clicked, this, [this] { btnBrowseClick(); });
    edCaptureChange();

    // Configure, File and Edit menus.
    connect(menus_->mnuStartCapture, &QAction::triggered, this, [this] { mnuStartCaptureClick(); });
    connect(menus_->mnuStopCapture, &QAction::triggered, this,
            [this] { configure_->cbCapture->setChecked(false); });
    connect(menus_->mnuConfigCap, &QAction::triggered, this, [this] { mnuConfigCapClick(); });
    connect(menus_->File1, &QMenu::aboutToShow, this, [this] { captureMenusForTab(); });
    connect(menus_->Edit1, &QMenu::aboutToShow, this, [this] { captureMenusForTab(); });
    // Ctrl+C and Ctrl+A are the page's only while the "Home Hub" tab is shown.
    connect(pages_, &QTabWidget::currentChanged, this, [this] { captureMenusForTab(); });
    captureMenusForTab();

    // The browser view's own menu, the Edit menu's page items and the statistics-page picture.
    StatsPagePicture::Hooks hooks;
    hooks.running = [this] { return runControl().state() == MonitorState::Running; };
    hooks.startFolder = [this] { return capture_->folder(); };
    hooks.askFileName = [this](const QString& start) {
        return PictureSaveDialog::ask(this, start);
    };
    statsPagePicture_ = new StatsPagePicture(deps_.browser, session_->sampleTimer(), deps_.messages,
                                             std::move(hooks), this);
    browserMenu_ = new BrowserContextMenu(
        deps_.browser,
        [this] {
            return homeHub_->Label2->text() == QStringLiteral("!") + runControl().StatsPageUrl;
        },
        [this] { statsPagePicture_->mnuSaveImageClick(); }, this);
    connect(menus_->mnuCopyWeb1, &QAction::triggered, browserMenu_,
            &BrowserContextMenu::mnuWebCopyClick);
    connect(menus_->mnuSelectAllWeb1, &QAction::triggered, browserMenu_,
            &BrowserContextMenu::mnuWebSelectAllClick);

    // The image viewer and the About box.
    connect(toolBar_->btnViewCap, &QToolButton::clicked, this, [this] { btnViewCapClick(); });
    connect(menus_->mnuAbout, &QAction::triggered, this, [this] { mnuAboutClick(); });
}

// The capture buttons and menu items act only on an existing folder.
void MainWindow::edCaptureChange() {
    const bool exists = CaptureFolder::exists(configure_->edCapture->text(), deps_.programFolder);
    for (QWidget* w : std::initializer_list<QWidget*>{toolBar_->btnCapture, toolBar_->btnViewCap})
        w->setEnabled(exists);
    for (QAction* a : {menus_->mnuCaptureVisible, menus_->mnuCaptureAll})
        a->setEnabled(exists);
}

void MainWindow::btnBrowseClick() {
    configure_->edCapture->setText(CaptureFolder::GetFolder(
        deps_.shell, this, configure_->edCapture->text(), deps_.programFolder));
}

void MainWindow::mnuStartCaptureClick() {
    if (!capture_->folderExists())
        btnBrowseClick();
    configure_->cbCapture->setChecked(capture_->folderExists());
}

void MainWindow::mnuConfigCapClick() {
    showTab(kTabConfigure);
    clearGroupHighlights();
    FormParts::highlight(configure_->GroupGraphs);
}

void MainWindow::captureMenusForTab() {
    const CaptureMenus::Items items =
        CaptureMenus::forTab(pages_->currentIndex(), advanced_->boxUser1->currentText(),
                             advanced_->boxUser2->currentText());
    menus_->mnuCaptureVisible->setText(items.captureVisible);
    menus_->mnuSaveAs->setText(items.saveAs);
    menus_->mnuCopy->setText(items.copy);
    for (QAction* a :
         {menus_->mnuCaptureVisible, menus_->mnuCaptureAll, menus_->mnuSaveAs, menus_->mnuCopy})
        a->setVisible(items.graphItemsVisible);
    // A hidden item's shortcut does not fire, so the keys stay the page's alone.
    menus_->mnuCopyWeb1->setVisible(items.pageItemsVisible);
    menus_->mnuSelectAllWeb1->setVisible(items.pageItemsVisible);
}

void MainWindow::btnViewCapClick() {
    openImageViewer(ImageViewer::placement(frameGeometry().topLeft(), 110));
}

// Toolbar "View" and the Maintenance dialog's "View" open the same viewer at their own places.
void MainWindow::openImageViewer(QPoint topLeft) {
    if (!imageViewer_)
        imageViewer_ =
            new ImageViewer(settings_, deps_.programFolder, deps_.shell, deps_.messages, this);
    imageViewer_->move(topLeft);
    imageViewer_->exec();
}

void MainWindow::mnuAboutClick() {
    if (!aboutBox_)
        aboutBox_ = new AboutBox(deps_.shell, helpFile(), this);
    aboutBox_->move(AboutBox::centredOn(frameGeometry(), aboutBox_->size()));
    aboutBox_->exec();
}

void MainWindow::wireWebServerAndTray() {
    metrics_ = std::make_unique<MetricsSnapshot>();
    webServer_ = std::make_unique<WebServer>(metrics_.get());
    webControl_ = std::make_unique<WebServerControl>(*webServer_, deps_.messages);
    tray_ = std::make_unique<TrayIcon>(this, &QSystemTrayIcon::isSystemTrayAvailable,
                                       deps_.timers(TrayIcon::kTrayWatchMs, false));

    // The boxes of the Configure tab.
    advanced_->boxWebAddress->addItems(webAddresses());
    for (QLineEdit* box : {advanced_->edPort, advanced_->edWidth, advanced_->edHeight})
        KeyFilter::digits(box)->guard(box);
    KeyFilter::address(advanced_->boxWebAddress)->guard(advanced_->boxWebAddress);
    // Leaving it checks the address. The list box, not its line edit, holds the focus.
    advanced_->boxWebAddress->installEventFilter(this);
    connect(advanced_, &AdvancedTab::webServerBoxChanged, this, [this] {
        if (webServerStarted_)
            cbWebClick();
    });
    connect(webControl_.get(), &WebServerControl::indicatorVisibleChanged, toolBar_->Image3,
            &QWidget::setVisible);
    // A box left ticked over a server that does not listen would make the next tick, after the
    // port is corrected, do nothing.
    connect(webControl_.get(), &WebServerControl::startFailed, advanced_->cbWeb,
            [this] { advanced_->cbWeb->setChecked(false); });
    connect(webControl_.get(), &WebServerControl::boxesEnabledChanged, this, [this](bool on) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{advanced_->lblWebAddress, advanced_->boxWebAddress,
                                             advanced_->lblPort, advanced_->edPort})
            w->setEnabled(on);
    });

    // The pipeline: the tray picture, the web image, the metrics of each plotted sample.
    MonitorSession::ViewSteps& steps = session_->viewSteps();
    steps.WebImageBusy = webImageBusy();
    steps.IconNoise = [this](const QString& state) {
        tray_->IconNoise(state, session_->sample());
        samplePlotted_ = true; // only a plotted sample draws the picture
    };
    webImageBusy_ = webImageBusy(); // the web image written by the capture wiring waits on it
    // Connected after the session's own handler, so this runs once the pipeline is through.
    connect(&pageDriver(), &PageDriver::pageReady, this, [this](const QDateTime& sampleTime) {
        const LineSample& sample = session_->sample();
        if (samplePlotted_)
            metrics_->recordSample(sample, settings_.User1, settings_.User2, sampleTime);
        samplePlotted_ = false;
        tray_->setToolTipFrom(sample);
    });
    RunControl& run = runControl();
    connect(&run, &RunControl::stateChanged, this,
            [this](MonitorState state) { metrics_->setMonitorState(state); });
    RouterState& router = pageDriver().routerState();
    connect(&router, &RouterState::statusChanged, this,
            [this](RouterStatus status) { metrics_->setRouterStatus(status); });
    connect(&router, &RouterState::textChanged, tray_.get(), &TrayIcon::setRouterText);
    metrics_->setRouterStatus(router.status());
    tray_->setRouterText(router.text());
    connect(&run, &RunControl::trayIconRequested, this,
            [this](const QString& state) { tray_->IconNoise(state, session_->sample()); });

    // The tray.
    connect(advanced_->cbMinimize, &QCheckBox::toggled, tray_.get(), &TrayIcon::setMinimizeToTray);
    connect(tray_.get(), &TrayIcon::closeRequested, this, [this] { close(); });
}

QStringList MainWindow::webAddresses() const {
    return deps_.networkAddresses ? deps_.networkAddresses() : WebServerControl::addressList();
}

std::function<bool()> MainWindow::webImageBusy() {
    return [this] { return webServer_->imageBusy(); };
}

void MainWindow::applyWebFolder() {
    const QString folder = CaptureFolder::resolve(settings_.WebFolder, deps_.programFolder);
    if (!folder.isEmpty())
        QDir().mkpath(folder); // a failure shows when the web image is written
    webServer_->setWebFolder(folder);
}

// Start-up, once the settings are in the controls: the address box offers this machine's
// address, and a ticked box starts the server.
void MainWindow::startWebServer() {
    advanced_->boxWebAddress->setCurrentText(
        WebServerControl::startupAddress(webAddresses(), settings_.WebAddress));
    applyWebFolder();
    webServerStarted_ = true;
    const bool stored = settings_.Web;
    cbWebClick();
    // A stored choice that fails now (the port still held by a program that has not ended) is
    // kept for the next start; only the user's own ticking or unticking changes it.
    settings_.Web = stored;
}

void MainWindow::cbWebClick() {
    webControl_->cbWebClick(advanced_->cbWeb->isChecked(), advanced_->boxWebAddress->currentText(),
                            advanced_->edPort->text());
}

void MainWindow::wireHousekeeping() {
    // The daily jobs, checked at every minute boundary and at every Start and Resume.
    dailyTick_ = deps_.preciseTimers ? deps_.preciseTimers(60000) : deps_.timers(60000, false);
    DailyTimer::Jobs jobs;
    jobs.TrimLog = [this] { trimLogNow(); };
    jobs.TrimDataFileProc = [this] { session_->TrimDataFileProc(); };
    jobs.DeleteFiles = [this] { deleteFilesNow(); };
    jobs.Restart = [this] {
        if (deps_.restarter)
            deps_.restarter->ScheduledRestart();
    };
    dailyTimer_ = std::make_unique<DailyTimer>(settings_, deps_.clock, *dailyTick_, jobs);
    connect(&runControl(), &RunControl::maintenanceCheckRequested, this,
            [this] { dailyTimer_->DailyTimerTimer(); });

    if (Restarter* restarter = deps_.restarter) {
        Restarter::Steps steps;
        steps.SaveSettings = [this] { return saveSettingsForRestart(); };
        // exit(), not quit(): quit() would close the window and run the close sequence.
        steps.EndProgram = [] { QCoreApplication::exit(0); };
        steps.CloseMainWindow = [this] { return close(); };
        steps.Busy = [] { return QApplication::activeModalWidget() != nullptr; };
        restarter->setSteps(steps);
    }

    maintenanceDialog_ = new MaintenanceDialog(settings_, &deps_.shell, &deps_.messages, this);
    maintenanceDialog_->TrimLogNow = [this] { trimLogNow(); };
    maintenanceDialog_->DeleteFilesNow = [this] { deleteFilesNow(); };
    connect(maintenanceDialog_, &MaintenanceDialog::trimLogChanged, configure_->Image16,
            &QWidget::setVisible);
    connect(maintenanceDialog_, &MaintenanceDialog::deleteImagesChanged, configure_->Image23,
            &QWidget::setVisible);
    connect(maintenanceDialog_, &MaintenanceDialog::viewImagesRequested, this,
            [this] { openImageViewer(ImageViewer::placement(frameGeometry().topLeft(), 50)); });
    const auto openMaintenance = [this](MaintenanceDialog::Highlight highlight) {
        return [this, highlight] { maintenanceDialog_->Open(highlight, frameGeometry()); };
    };
    connect(configure_->btnImagesMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::Images));
    connect(configure_->btnLogMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::Log));
    connect(advanced_->btnSystemMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::None));
    connect(menus_->mnuMaintain, &QAction::triggered, this,
            openMaintenance(MaintenanceDialog::Highlight::None));

    advancedDialog_ =
        new AdvancedSettingsDialog(settings_, deps_.clock, &deps_.shell, &deps_.messages, this);
    advancedDialog_->setDataFileDialog(dataFileDialog_);
    connect(advanced_->btnAdvanced, &QPushButton::clicked, this, [this] { btnAdvancedClick(); });
    // Queued: the restart closes the window, which must wait for the dialog's modal loop to end.
    connect(
        advancedDialog_, &AdvancedSettingsDialog::restartNowRequested, this,
        [this] {
            // The last window closing need not end the program (a tray icon keeps it).
            if (deps_.restarter && deps_.restarter->RestartNow())
                QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);

    for (QWidget* w :
         std::initializer_list<QWidget*>{configure_->btnImagesMaintain, configure_->btnLogMaintain,
                                         advanced_->btnAdvanced, advanced_->btnSystemMaintain})
        w->setEnabled(true);
    menus_->mnuMaintain->setEnabled(true);
}

bool MainWindow::RestartInProgress() const {
    return deps_.restarter && deps_.restarter->RestartInProgress();
}

// The scheduled restart saves without a message box: nobody may be there to answer it, and the
// previous settings file is still whole when the save fails.
bool MainWindow::saveSettingsForRestart() {
    collectSettingsFromControls();
    QString error;
    if (settings_.save(ProgramPaths::settingsFile(deps_.programFolder), &error))
        return true;
    std::fprintf(stderr, "lintrove5a: %s\n", qPrintable(error));
    return false;
}

void MainWindow::trimLogNow() {
    QString error;
    if (!TrimLog(settings_.LogFile, settings_.TrimLines, session_->trimBusy(), &error))
        deps_.messages.inform(error);
    updateLogStatus();
}

void MainWindow::deleteFilesNow() {
    const DeletionResult result = DeleteFiles(settings_, deps_.programFolder, deps_.clock.now());
    for (const QString& path : result.failed)
        std::fprintf(stderr, "lintrove5a: could not delete %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
    updateCaptureStatus();
}

void MainWindow::btnAdvancedClick() {
    // Before its first showing a dialog has not taken its size yet.
    if (!advancedDialog_->testAttribute(Qt::WA_Resized))
        advancedDialog_->adjustSize();
    advancedDialog_->move(
        WindowPlacement::centredOn(frameGeometry(), advancedDialog_->frameGeometry().size()));
    // Its settings are read where they are used; the pause delay at the next pause. The web
    // server keeps its own copy of the folder, so it takes the one the dialog may have changed.
    advancedDialog_->exec();
    applyWebFolder();
}

void MainWindow::connectToolbar() {
    RunControl& run = runControl();
    connect(toolBar_->btnRun, &QToolButton::clicked, this, [this] {
        session_->runGuarded([this] { runControl().btnRunClick(); });
        applyRunControlView();
    });
    // The mouse-down of any button comes before the click: a second Pause stops.
    toolBar_->btnStop->installEventFilter(this);
    connect(toolBar_->btnStop, &QToolButton::clicked, this, [this] {
        runControl().btnStopClick();
        applyRunControlView(); // a click that changes nothing must not leave the button toggled
    });
    connect(toolBar_->btnLog, &QToolButton::clicked, this, [this] { btnLogClick(); });
    connect(&run, &RunControl::buttonsChanged, this, [this] { applyRunControlView(); });
    connect(&run, &RunControl::startTimeChanged, statusPanels_[0], &QLabel::setText);
    connect(&run, &RunControl::captureIndicatorChanged, toolBar_->Image1, &QWidget::setVisible);
    connect(&run, &RunControl::lostSyncIndicatorChanged, toolBar_->Image2, &QWidget::setVisible);
    connect(&run, &RunControl::routerTypeEnabledChanged, configure_->boxType1,
            &QWidget::setEnabled);
    connect(&run, &RunControl::passwordEntryEnabledChanged, configure_->edPassword1,
            &QWidget::setEnabled);
    applyRunControlView();
}

void MainWindow::connectMonitor() {
    Timer6->setHandler([this] { Timer6Timer(); });

    PageDriver& driver = pageDriver();
    connect(&driver, &PageDriver::connectingPanelHidden, homeHub_->Panel4, &QWidget::hide);
    connect(&driver, &PageDriver::homeHubTabRequested, this, [this] { showTab(kTabHomeHub); });
    connect(&driver, &PageDriver::toolbarTextsChanged, this, [this](const ToolbarTexts& t) {
        toolBar_->setTexts(t.uptime, t.noiseMarginUp, t.noiseMarginDown, t.rateUp, t.rateDown);
    });
    connect(&driver, &PageDriver::defaultCursorRequested, this, restoreCursor);
    connect(&driver, &PageDriver::runButtonEnabled, this,
            [this] { toolBar_->btnRun->setEnabled(true); });
    connect(&driver, &PageDriver::statusLineChanged, homeHub_->Label2, &QLabel::setText);
    connect(&driver, &PageDriver::statsPageRead, memo_, &QPlainTextEdit::setPlainText);
    // The title tells the run state and, while the line is not read, why.
    RouterState& router = driver.routerState();
    connect(&router, &RouterState::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(&router, &RouterState::textChanged, statusPanels_[3], &QLabel::setText);
    statusPanels_[3]->setText(router.text());

    MonitorSession::ViewSteps& steps = session_->viewSteps();
    steps.ShowLostSyncIndicator = [this] {
        toolBar_->Image1->show();
        toolBar_->Image2->hide();
    };
    steps.UpdateLogStatus = [this] { updateLogStatus(); };
    steps.UpdateCaptureStatus = [this] { updateCaptureStatus(); };
}

void MainWindow::applyRunControlView() {
    RunControl& run = runControl();
    toolBar_->btnRun->setText(run.RunCaption());
    toolBar_->btnStop->setText(run.StopCaption());
    toolBar_->btnStop->setIcon(QIcon(QStringLiteral(":/") + run.StopPicture()));
    toolBar_->btnRun->setCheckable(true);
    toolBar_->btnStop->setCheckable(true);
    toolBar_->btnRun->setChecked(run.Pressed() == RunControl::PressedButton::Run);
    toolBar_->btnStop->setChecked(run.Pressed() == RunControl::PressedButton::Stop);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == toolBar_->btnStop && event->type() == QEvent::MouseButtonPress)
        runControl().btnStopMouseDown();
    if (webControl_ && watched == advanced_->boxWebAddress && event->type() == QEvent::FocusOut) {
        // Leaving the box for another control; not its own list, not another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            webControl_->boxWebAddressExit(advanced_->boxWebAddress->currentText());
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Start-up.

void MainWindow::FormCreate() {
    // 1. First-show flag, hidden tab 7 and the wheel filter are set up with the widgets.
    firstShown_ = false;

    // 2. Settings.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize();
    settings_ = Settings::defaults(deps_.programFolder, deps_.clock.now(), screenSize);
    settings_.load(ProgramPaths::settingsFile(deps_.programFolder));
    // The controls take the stored settings in the file's read order.
    const Settings stored = settings_; // handlers write back into settings_ as controls change
    configure_->applySettings(stored);
    advanced_->applySettings(stored);
    configure_->applyLateSettings(stored);
    advanced_->applyWebSettings(stored);
    showTab(qBound(0, settings_.Page, 6));

    // 3. The only router type.
    configure_->boxType1->setCurrentIndex(0);

    // 4. Placement.
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->geometry();
    const QRect start = WindowPlacement::startGeometry(
        QRect(settings_.Left, settings_.Top, settings_.Width, settings_.Height), screens,
        screen ? screen->geometry() : QRect(), settings_.Monitor1);
    resize(start.size());
    move(start.topLeft());

    // 6. Folders beside the program; a failure shows later, when they are used.
    for (const char* name : {"Capture", "WebServer"})
        QDir(deps_.programFolder).mkdir(QLatin1String(name));

    // 6b. The web server and its indicator, once its folder exists.
    startWebServer();

    // 7. Cursors of the graph mouse cycle.
    loadCursors();

    // 8. A fresh help document at every start.
    writeHelpFile();

    // 9. Password mask.
    accessLock_->cbShowPlainClick();

    // 10. Buttons and status texts that depend on files.
    updateLogButton();
    edCaptureChange();
    updateCaptureStatus();
    statusPanels_[1]->setText(QFileInfo::exists(configure_->edLog->text())
                                  ? LogStatusText(configure_->edLog->text())
                                  : QString());

    // 12. Graphs: page size, time per page, 3-D flags.
    if (const auto text = graphs().ApplyPageSize())
        configure_->Panel5->setText(*text);
    graphs().Apply3D(settings_.ThreeD);

    // 13-14. User-graph names and the log header.
    advanced_->refreshUserGraphNames();
    session_->log().HeaderPending = false;

    // 15. Indicators.
    toolBar_->Image7->setVisible(configure_->cbLog->isChecked());
    toolBar_->Image1->setVisible(configure_->cbCapture->isChecked());
    toolBar_->Image2->setVisible(configure_->cbOnlyIfLost->isChecked());
    configure_->Image16->setVisible(settings_.TrimLog);
    configure_->Image23->setVisible(settings_.DeleteImages);

    // 16. Toolbar values, counters, the resume timer.
    toolBar_->setTexts({}, {}, {}, {}, {});
    homeHub_->Label2->clear();
    session_->pipeline().CapturePointCount = 0;
    session_->resumeTimer().setInterval(settings_.PauseDelay * 1000);

    // 17. Browser.
    deps_.browser.setSilent(true);
    deps_.browser.ensureWindow();
    pageDriver().AutoStarted = false;

    // 18. The graphs come back from the data-restore file.
    const QString dataFile = DataRestoreFile::PathIn(settings_.DataFileFolder);
    if (settings_.Restore && QFileInfo::exists(dataFile))
        session_->RestoreDataFile();
}

void MainWindow::showPage(int index) {
    pages_->setCurrentIndex(index);
}

// Window bounds, the tab shown, the router type and the axes are taken at save time.
void MainWindow::collectSettingsFromControls() {
    // move() places the frame, so the frame's corner is what is stored; a maximized or minimized
    // window keeps the bounds it comes back to, shifted by the same frame offsets.
    const QPoint frameOffset = frameGeometry().topLeft() - geometry().topLeft();
    const QRect bounds = (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
    settings_.Left = bounds.left() + frameOffset.x();
    settings_.Top = bounds.top() + frameOffset.y();
    settings_.Width = bounds.width();
    settings_.Height = bounds.height();
    settings_.Page = pages_->currentIndex();
    configure_->collectSettings();
    advanced_->collectSettings();
    if (settings_.SaveAxes)
        graphs().StoreAxes(settings_);
}

bool MainWindow::SaveIni() {
    collectSettingsFromControls();
    QString error;
    if (!settings_.save(ProgramPaths::settingsFile(deps_.programFolder), &error)) {
        deps_.messages.inform(error);
        return false;
    }
    return true;
}

void MainWindow::loadCursors() {
    for (const char* name : {"cursorN", "cursorNS", "cursorEW", "cursorNO"}) {
        const QPixmap pixmap(QStringLiteral(":/") + QLatin1String(name));
        cursors_.insert(QLatin1String(name), QCursor(pixmap, 8, 8));
    }
}

// Deleted first and written anew; when the old copy cannot be deleted (a viewer holds it) it
// stays and is used.
QString MainWindow::helpFile() const {
    return deps_.installedHelpFile.isEmpty() ? ProgramPaths::helpFile(deps_.programFolder)
                                             : deps_.installedHelpFile;
}

void MainWindow::writeHelpFile() {
    if (!deps_.installedHelpFile.isEmpty())
        return;
    const QString path = helpFile();
    if (QFileInfo::exists(path))
        QFile::remove(path);
    if (QFileInfo::exists(path))
        return;
    QFile resource(QStringLiteral(":/MYUSERDATA"));
    QFile out(path);
    if (resource.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(resource.readAll());
    // A folder that cannot be written leaves no help document; "Help..." then does nothing.
}

// ---------------------------------------------------------------------------------------------
// Show, activation, close.

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void MainWindow::FormShow() {
    if (advanced_->cbStartMinimized->isChecked() && !firstShown_)
        Timer6->setEnabled(true);
    firstShown_ = true;
    if (settingsFileExists())
        pageDriver().OpenStatsPage();
    // Without a settings file nothing is loaded: the first run waits for the setup.
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        tray_->windowMinimized();
}

void MainWindow::FormActivate() {
    firstRunGate_->FormActivate();
}

void MainWindow::Timer6Timer() {
    Timer6->setEnabled(false);
    if (!tray_->startInTray())
        showMinimized();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (EndSession(true)) {
        event->accept();
        QCoreApplication::quit(); // the program does not end with its last window (the tray)
    } else
        event->ignore();
}

bool MainWindow::EndSession(bool askUser) {
    // The application's quit closes the window once more after a signal or the session's end
    // ran the sequence: that close must neither ask again nor save again.
    if (!closeSequenceDone_)
        closeSequenceDone_ = FormCloseQuery(askUser);
    return closeSequenceDone_;
}

bool MainWindow::FormCloseQuery(bool askUser) {
    if (askUser && !RestartInProgress() && advanced_->cbPrompt->isChecked()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint at = WindowPlacement::closeQuestionPosition(
            tray_->isIconVisible(), screen ? screen->availableGeometry() : QRect(),
            frameGeometry());
        if (!deps_.messages.confirm(QStringLiteral("Confirm: Close Lintrove?"), at))
            return false;
    }
    deps_.browser.stop();
    if (deps_.installedHelpFile.isEmpty())
        QFile::remove(helpFile()); // the installed document belongs to the installation
    capture_->CaptureAtClose(graphs().PointCount());
    if (!SaveIni())
        return false;
    webControl_->shutDown(); // requests end before anything they read goes
    return true;
}

// ---------------------------------------------------------------------------------------------
// Menus and tabs.

void MainWindow::File1Click() {
    menus_->mnuRestoreData->setChecked(settings_.Restore);
    menus_->mnuDataRestore->setEnabled(settings_.Restore);
}

void MainWindow::Configure1Click() {
    menus_->mnuStartLog->setVisible(!configure_->cbLog->isChecked());
    menus_->mnuStopLog->setVisible(configure_->cbLog->isChecked());
    menus_->mnuStartCapture->setVisible(!configure_->cbCapture->isChecked());
    menus_->mnuStopCapture->setVisible(configure_->cbCapture->isChecked());
}

void MainWindow::showTab(int index) {
    userTabChange_ = false;
    pages_->setCurrentIndex(index);
    userTabChange_ = true;
}

void MainWindow::PageControl1Change() {
    if (userTabChange_)
        clearGroupHighlights();
}

void MainWindow::mnuHelpClick() {
    const QString path = helpFile();
    if (QFileInfo::exists(path) && !deps_.shell.open(path))
        deps_.messages.inform(DesktopShell::openFailedText(path));
}

void MainWindow::mnuuserDefinedClick() {
    FormParts::highlight(advanced_->GroupUserGraphs);
    showTab(kTabAdvanced);
}

void MainWindow::mnuConfigLogClick() {
    showTab(kTabConfigure);
    clearGroupHighlights();
    FormParts::highlight(configure_->GroupLog);
}

void MainWindow::mnuDataRestoreClick() {
    dataFileDialog_->move(frameGeometry().topLeft() + QPoint(100, 70));
    dataFileDialog_->exec();
}

// ---------------------------------------------------------------------------------------------
// Status bar and the log button.

void MainWindow::updateLogButton() {
    toolBar_->btnLog->setEnabled(QFileInfo(configure_->edLog->text()).isFile());
}

void MainWindow::updateLogStatus() {
    statusPanels_[1]->setText(
        configure_->cbLog->isChecked() ? LogStatusText(configure_->edLog->text()) : QString());
    updateLogButton();
}

void MainWindow::updateCaptureStatus() {
    statusPanels_[2]->setText(capture_->captureStatus());
}

void MainWindow::btnLogClick() {
    const QString path = configure_->edLog->text();
    if (!QFileInfo(path).isFile()) {
        deps_.messages.inform(QStringLiteral("No log file found."));
        return;
    }
    if (!deps_.shell.open(path))
        deps_.messages.inform(DesktopShell::openFailedText(path));
}
