#include "app/MainWindow.h"

#include "app/SettingsTabs.h"
#include "app/binders/FirstRunGate.h"
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
#include "app/tabs/BrowserContextMenu.h"
#include "app/tabs/GraphPage.h"
#include "app/tabs/RouterAccessLock.h"
#include "app/tabs/StatsPagePicture.h"
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
#include <QTabWidget>
#include <QToolButton>
#include <cstdio>

namespace {

constexpr int kTabHomeHub = 0;
constexpr int kTabConfigure = 5;
constexpr int kTabAdvanced = 6;

void restoreCursor() {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

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
    ui.setupUi(this, deps_.browser.widget(),
               {graphPages_[0], graphPages_[1], graphPages_[2], graphPages_[3]}, webChartView_);

    tabs_ = new SettingsTabs(ui,
                             {&settings_, &graphs(), &pageDriver(), &session_->log(),
                              &session_->sampleTimer(), deps_.programFolder, this, &deps_.messages},
                             this);
    dataFileDialog_ = new DataFileDialog(settings_, &deps_.shell, &deps_.messages, this);
    dataFileDialog_->TrimDataFileNow = [this] { session_->TrimDataFileProc(); };

    qApp->installEventFilter(new WheelFilter(this));
    connectSettingsTabs();
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
            [this] { mnu3D_->setChecked(graphs().shows3D(ui.PageControl1->currentIndex())); });
    connect(mnu3D_, &QAction::triggered, this,
            [this] { graphs().toggle3D(ui.PageControl1->currentIndex()); });

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

void MainWindow::connectSettingsTabs() {
    connect(tabs_, &SettingsTabs::userGraphNamesChanged, this,
            [this](const QString& name1, const QString& name2) {
                ui.PageControl1->setTabText(3, name1);
                ui.PageControl1->setTabText(4, name2);
            });
    connect(tabs_, &SettingsTabs::loggingChanged, ui.Image7, &QWidget::setVisible);
    connect(tabs_, &SettingsTabs::logFileChanged, this, [this] { updateLogButton(); });
    connect(tabs_, &SettingsTabs::captureIndicatorsChanged, this,
            [this](bool everyPage, bool onLostConnection) {
                ui.Image1->setVisible(everyPage);
                ui.Image2->setVisible(onLostConnection);
            });
}

void MainWindow::connectMenus() {
    connect(ui.File1, &QMenu::aboutToShow, this, [this] { File1Click(); });
    connect(ui.Configure1, &QMenu::aboutToShow, this, [this] { Configure1Click(); });
    connect(ui.mnuExit, &QAction::triggered, this, [this] { close(); });
    connect(ui.mnuHelp, &QAction::triggered, this, [this] { mnuHelpClick(); });
    connect(ui.mnuuserDefined, &QAction::triggered, this, [this] { mnuuserDefinedClick(); });
    connect(ui.mnuRestoreData, &QAction::triggered, this,
            [this] { settings_.Restore = ui.mnuRestoreData->isChecked(); });
    connect(ui.mnuDataRestore, &QAction::triggered, this, [this] { mnuDataRestoreClick(); });
    connect(ui.mnuStartLog, &QAction::triggered, tabs_, &SettingsTabs::mnuStartLogClick);
    connect(ui.mnuStopLog, &QAction::triggered, tabs_, &SettingsTabs::mnuStopLogClick);
    connect(ui.mnuConfigLog, &QAction::triggered, this, [this] { mnuConfigLogClick(); });
    connect(ui.PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
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
    accessLock_ = new RouterAccessLock(
        {ui.Image11, ui.Image26, ui.edAddress, ui.edPassword1, ui.cbShowPlain, this},
        deps_.messages, {}, this);
    // Locking the box takes its text as leaving it does: a refused one gives way to the old.
    connect(accessLock_, &RouterAccessLock::aboutToLock, tabs_, &SettingsTabs::edAddressExit);

    FirstRunGate::Hooks hooks;
    hooks.settingsFileExists = [this] { return settingsFileExists(); };
    hooks.passwordEmpty = [this] { return ui.edPassword1->text().isEmpty(); };
    hooks.wizardShowing = [this] { return wizard_->isVisible(); };
    hooks.openWizard = [this] { mnuWizardClick(); };
    hooks.setStatusLine = [this](const QString& text) { ui.Label2->setText(text); };
    firstRunGate_ = std::make_unique<FirstRunGate>(*Timer4, std::move(hooks));
    connect(wizard_, &SetupWizard::cancelled, this, [this] { firstRunGate_->wizardCancelled(); });

    connect(ui.mnuWizard, &QAction::triggered, this, [this] { mnuWizardClick(); });
}

void MainWindow::mnuWizardClick() {
    wizard_->openCentredOn(this, ui.edAddress->text());
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
    tabs_->setRouterAddress(address);
    ui.edPassword1->setText(password);
    firstRunGate_->wizardFinished();
    FormShow();
    return true;
}

void MainWindow::wireCaptures() {
    GraphCapture::View view;
    view.activeTab = [this] { return ui.PageControl1->currentIndex(); };
    view.tabCaption = [this](int tab) { return ui.PageControl1->tabText(tab).remove('&'); };
    // Qt sizes only the shown tab page: every chart is rendered at that page's size.
    view.pageSize = [this] {
        const QWidget* page = ui.PageControl1->currentWidget();
        return page ? page->size() : QSize();
    };
    view.userGraphName = [this](int userGraph) {
        return (userGraph == 0 ? ui.boxUser1 : ui.boxUser2)->currentText();
    };
    const auto headerTexts = [this] {
        const LineSample& sample = session_->sample();
        return ImageHeader::Texts{sample.DataRateUpText, sample.DataRateDownText,
                                  ui.Label25->text()};
    };
    view.headerTexts = headerTexts;
    view.highlightGraphsGroup = [this] { tabs_->highlightGroup(ui.GroupGraphs); };
    view.setCaptureStatus = [this](const QString& text) { ui.statusPanels[2]->setText(text); };
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
    connect(ui.btnCapture, &QToolButton::clicked, this, captureAll);
    connect(ui.mnuCaptureAll, &QAction::triggered, this, captureAll);
    connect(chartItem("mnuCapAll"), &QAction::triggered, this, captureAll);
    connect(ui.mnuCaptureVisible, &QAction::triggered, this, captureVisible);
    connect(chartItem("mnuCapNow"), &QAction::triggered, this, captureVisible);
    connect(ui.mnuSaveAs, &QAction::triggered, this, saveAs);
    connect(chartItem("mnuChartSaveAs"), &QAction::triggered, this, saveAs);
    connect(ui.mnuCopy, &QAction::triggered, this, copy);
    connect(chartItem("CopytoClipboard1"), &QAction::triggered, this, copy);

    // The capture folder.
    connect(ui.edCapture, &QLineEdit::textChanged, this, [this] { edCaptureChange(); });
    connect(ui.edCapture, &QLineEdit::editingFinished, this, [this] {
        ui.edCapture->setText(CaptureFolder::withoutTrailingSeparator(ui.edCapture->text()));
        edCaptureChange();
    });
    connect(ui.btnBrowse, &QPushButton::clicked, this, [this] { btnBrowseClick(); });
    edCaptureChange();

    // Configure, File and Edit menus.
    connect(ui.mnuStartCapture, &QAction::triggered, this, [this] { mnuStartCaptureClick(); });
    connect(ui.mnuStopCapture, &QAction::triggered, this,
            [this] { ui.cbCapture->setChecked(false); });
    connect(ui.mnuConfigCap, &QAction::triggered, this, [this] { mnuConfigCapClick(); });
    connect(ui.File1, &QMenu::aboutToShow, this, [this] { captureMenusForTab(); });
    connect(ui.Edit1, &QMenu::aboutToShow, this, [this] { captureMenusForTab(); });
    // Ctrl+C and Ctrl+A are the page's only while the "Home Hub" tab is shown.
    connect(ui.PageControl1, &QTabWidget::currentChanged, this, [this] { captureMenusForTab(); });
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
        [this] { return ui.Label2->text() == QStringLiteral("!") + runControl().StatsPageUrl; },
        [this] { statsPagePicture_->mnuSaveImageClick(); }, this);
    connect(ui.mnuCopyWeb1, &QAction::triggered, browserMenu_,
            &BrowserContextMenu::mnuWebCopyClick);
    connect(ui.mnuSelectAllWeb1, &QAction::triggered, browserMenu_,
            &BrowserContextMenu::mnuWebSelectAllClick);

    // The image viewer and the About box.
    connect(ui.btnViewCap, &QToolButton::clicked, this, [this] { btnViewCapClick(); });
    connect(ui.mnuAbout, &QAction::triggered, this, [this] { mnuAboutClick(); });
}

// The capture buttons and menu items act only on an existing folder.
void MainWindow::edCaptureChange() {
    const bool exists = CaptureFolder::exists(ui.edCapture->text(), deps_.programFolder);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.btnCapture, ui.btnViewCap})
        w->setEnabled(exists);
    for (QAction* a : {ui.mnuCaptureVisible, ui.mnuCaptureAll})
        a->setEnabled(exists);
}

void MainWindow::btnBrowseClick() {
    ui.edCapture->setText(
        CaptureFolder::GetFolder(deps_.shell, this, ui.edCapture->text(), deps_.programFolder));
}

void MainWindow::mnuStartCaptureClick() {
    if (!capture_->folderExists())
        btnBrowseClick();
    ui.cbCapture->setChecked(capture_->folderExists());
}

void MainWindow::mnuConfigCapClick() {
    showTab(kTabConfigure);
    tabs_->clearGroupHighlights();
    tabs_->highlightGroup(ui.GroupGraphs);
}

void MainWindow::captureMenusForTab() {
    const CaptureMenus::Items items = CaptureMenus::forTab(
        ui.PageControl1->currentIndex(), ui.boxUser1->currentText(), ui.boxUser2->currentText());
    ui.mnuCaptureVisible->setText(items.captureVisible);
    ui.mnuSaveAs->setText(items.saveAs);
    ui.mnuCopy->setText(items.copy);
    for (QAction* a : {ui.mnuCaptureVisible, ui.mnuCaptureAll, ui.mnuSaveAs, ui.mnuCopy})
        a->setVisible(items.graphItemsVisible);
    // A hidden item's shortcut does not fire, so the keys stay the page's alone.
    ui.mnuCopyWeb1->setVisible(items.pageItemsVisible);
    ui.mnuSelectAllWeb1->setVisible(items.pageItemsVisible);
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
    ui.boxWebAddress->addItems(webAddresses());
    for (QLineEdit* box : {ui.edPort, ui.edWidth, ui.edHeight})
        KeyFilter::digits(box)->guard(box);
    KeyFilter::address(ui.boxWebAddress)->guard(ui.boxWebAddress);
    // Leaving it checks the address. The list box, not its line edit, holds the focus.
    ui.boxWebAddress->installEventFilter(this);
    connect(tabs_, &SettingsTabs::webServerBoxChanged, this, [this] {
        if (webServerStarted_)
            cbWebClick();
    });
    connect(webControl_.get(), &WebServerControl::indicatorVisibleChanged, ui.Image3,
            &QWidget::setVisible);
    // A box left ticked over a server that does not listen would make the next tick, after the
    // port is corrected, do nothing.
    connect(webControl_.get(), &WebServerControl::startFailed, ui.cbWeb,
            [this] { ui.cbWeb->setChecked(false); });
    connect(webControl_.get(), &WebServerControl::boxesEnabledChanged, this, [this](bool on) {
        for (QWidget* w : std::initializer_list<QWidget*>{ui.lblWebAddress, ui.boxWebAddress,
                                                          ui.lblPort, ui.edPort})
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
    connect(ui.cbMinimize, &QCheckBox::toggled, tray_.get(), &TrayIcon::setMinimizeToTray);
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
    ui.boxWebAddress->setCurrentText(
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
    webControl_->cbWebClick(ui.cbWeb->isChecked(), ui.boxWebAddress->currentText(),
                            ui.edPort->text());
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
    connect(maintenanceDialog_, &MaintenanceDialog::trimLogChanged, ui.Image16,
            &QWidget::setVisible);
    connect(maintenanceDialog_, &MaintenanceDialog::deleteImagesChanged, ui.Image23,
            &QWidget::setVisible);
    connect(maintenanceDialog_, &MaintenanceDialog::viewImagesRequested, this,
            [this] { openImageViewer(ImageViewer::placement(frameGeometry().topLeft(), 50)); });
    const auto openMaintenance = [this](MaintenanceDialog::Highlight highlight) {
        return [this, highlight] { maintenanceDialog_->Open(highlight, frameGeometry()); };
    };
    connect(ui.btnImagesMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::Images));
    connect(ui.btnLogMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::Log));
    connect(ui.btnSystemMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::None));
    connect(ui.mnuMaintain, &QAction::triggered, this,
            openMaintenance(MaintenanceDialog::Highlight::None));

    advancedDialog_ =
        new AdvancedSettingsDialog(settings_, deps_.clock, &deps_.shell, &deps_.messages, this);
    advancedDialog_->setDataFileDialog(dataFileDialog_);
    connect(ui.btnAdvanced, &QPushButton::clicked, this, [this] { btnAdvancedClick(); });
    // Queued: the restart closes the window, which must wait for the dialog's modal loop to end.
    connect(
        advancedDialog_, &AdvancedSettingsDialog::restartNowRequested, this,
        [this] {
            // The last window closing need not end the program (a tray icon keeps it).
            if (deps_.restarter && deps_.restarter->RestartNow())
                QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);

    for (QWidget* w : std::initializer_list<QWidget*>{ui.btnImagesMaintain, ui.btnLogMaintain,
                                                      ui.btnAdvanced, ui.btnSystemMaintain})
        w->setEnabled(true);
    ui.mnuMaintain->setEnabled(true);
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
    connect(ui.btnRun, &QToolButton::clicked, this, [this] {
        session_->runGuarded([this] { runControl().btnRunClick(); });
        applyRunControlView();
    });
    // The mouse-down of any button comes before the click: a second Pause stops.
    ui.btnStop->installEventFilter(this);
    connect(ui.btnStop, &QToolButton::clicked, this, [this] {
        runControl().btnStopClick();
        applyRunControlView(); // a click that changes nothing must not leave the button toggled
    });
    connect(ui.btnLog, &QToolButton::clicked, this, [this] { btnLogClick(); });
    connect(&run, &RunControl::buttonsChanged, this, [this] { applyRunControlView(); });
    connect(&run, &RunControl::startTimeChanged, ui.statusPanels[0], &QLabel::setText);
    connect(&run, &RunControl::captureIndicatorChanged, ui.Image1, &QWidget::setVisible);
    connect(&run, &RunControl::lostSyncIndicatorChanged, ui.Image2, &QWidget::setVisible);
    connect(&run, &RunControl::routerTypeEnabledChanged, ui.boxType1, &QWidget::setEnabled);
    connect(&run, &RunControl::passwordEntryEnabledChanged, ui.edPassword1, &QWidget::setEnabled);
    applyRunControlView();
}

void MainWindow::connectMonitor() {
    Timer6->setHandler([this] { Timer6Timer(); });

    PageDriver& driver = pageDriver();
    connect(&driver, &PageDriver::connectingPanelHidden, ui.Panel4, &QWidget::hide);
    connect(&driver, &PageDriver::homeHubTabRequested, this, [this] { showTab(kTabHomeHub); });
    connect(&driver, &PageDriver::toolbarTextsChanged, this, [this](const ToolbarTexts& t) {
        setToolbarTexts(t.uptime, t.noiseMarginUp, t.noiseMarginDown, t.rateUp, t.rateDown);
    });
    connect(&driver, &PageDriver::defaultCursorRequested, this, restoreCursor);
    connect(&driver, &PageDriver::runButtonEnabled, this, [this] { ui.btnRun->setEnabled(true); });
    connect(&driver, &PageDriver::statusLineChanged, ui.Label2, &QLabel::setText);
    connect(&driver, &PageDriver::statsPageRead, ui.Memo1, &QPlainTextEdit::setPlainText);
    // The title tells the run state and, while the line is not read, why.
    RouterState& router = driver.routerState();
    connect(&router, &RouterState::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(&router, &RouterState::textChanged, ui.statusPanels[3], &QLabel::setText);
    ui.statusPanels[3]->setText(router.text());

    MonitorSession::ViewSteps& steps = session_->viewSteps();
    steps.ShowLostSyncIndicator = [this] {
        ui.Image1->show();
        ui.Image2->hide();
    };
    steps.UpdateLogStatus = [this] { updateLogStatus(); };
    steps.UpdateCaptureStatus = [this] { updateCaptureStatus(); };
}

void MainWindow::applyRunControlView() {
    RunControl& run = runControl();
    ui.btnRun->setText(run.RunCaption());
    ui.btnStop->setText(run.StopCaption());
    ui.btnStop->setIcon(QIcon(QStringLiteral(":/") + run.StopPicture()));
    ui.btnRun->setCheckable(true);
    ui.btnStop->setCheckable(true);
    ui.btnRun->setChecked(run.Pressed() == RunControl::PressedButton::Run);
    ui.btnStop->setChecked(run.Pressed() == RunControl::PressedButton::Stop);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.btnStop && event->type() == QEvent::MouseButtonPress)
        runControl().btnStopMouseDown();
    if (webControl_ && watched == ui.boxWebAddress && event->type() == QEvent::FocusOut) {
        // Leaving the box for another control; not its own list, not another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            webControl_->boxWebAddressExit(ui.boxWebAddress->currentText());
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
    tabs_->applySettingsToControls();
    showTab(qBound(0, settings_.Page, 6));

    // 3. The only router type.
    ui.boxType1->setCurrentIndex(0);

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
    ui.statusPanels[1]->setText(
        QFileInfo::exists(ui.edLog->text()) ? LogStatusText(ui.edLog->text()) : QString());

    // 12. Graphs: page size, time per page, 3-D flags.
    if (const auto text = graphs().ApplyPageSize())
        ui.Panel5->setText(*text);
    graphs().Apply3D(settings_.ThreeD);

    // 13-14. User-graph names and the log header.
    tabs_->refreshUserGraphNames();
    session_->log().HeaderPending = false;

    // 15. Indicators.
    ui.Image7->setVisible(ui.cbLog->isChecked());
    ui.Image1->setVisible(ui.cbCapture->isChecked());
    ui.Image2->setVisible(ui.cbOnlyIfLost->isChecked());
    ui.Image16->setVisible(settings_.TrimLog);
    ui.Image23->setVisible(settings_.DeleteImages);

    // 16. Toolbar values, counters, the resume timer.
    setToolbarTexts({}, {}, {}, {}, {});
    ui.Label2->clear();
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
    ui.PageControl1->setCurrentIndex(index);
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
    settings_.Page = ui.PageControl1->currentIndex();
    tabs_->collectSettings();
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

void MainWindow::setToolbarTexts(const QString& uptime, const QString& nmUp, const QString& nmDown,
                                 const QString& rateUp, const QString& rateDown) {
    ui.Label25->setText(uptime);
    ui.Label20->setText(nmUp);
    ui.Label22->setText(nmDown);
    ui.Label15->setText(rateUp);
    ui.Label23->setText(rateDown);
}

// ---------------------------------------------------------------------------------------------
// Show, activation, close.

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void MainWindow::FormShow() {
    if (ui.cbStartMinimized->isChecked() && !firstShown_)
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
    if (askUser && !RestartInProgress() && ui.cbPrompt->isChecked()) {
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
    ui.mnuRestoreData->setChecked(settings_.Restore);
    ui.mnuDataRestore->setEnabled(settings_.Restore);
}

void MainWindow::Configure1Click() {
    ui.mnuStartLog->setVisible(!ui.cbLog->isChecked());
    ui.mnuStopLog->setVisible(ui.cbLog->isChecked());
    ui.mnuStartCapture->setVisible(!ui.cbCapture->isChecked());
    ui.mnuStopCapture->setVisible(ui.cbCapture->isChecked());
}

void MainWindow::showTab(int index) {
    userTabChange_ = false;
    ui.PageControl1->setCurrentIndex(index);
    userTabChange_ = true;
}

void MainWindow::PageControl1Change() {
    if (userTabChange_)
        tabs_->clearGroupHighlights();
}

void MainWindow::mnuHelpClick() {
    const QString path = helpFile();
    if (QFileInfo::exists(path) && !deps_.shell.open(path))
        deps_.messages.inform(DesktopShell::openFailedText(path));
}

void MainWindow::mnuuserDefinedClick() {
    tabs_->highlightGroup(ui.GroupUserGraphs);
    showTab(kTabAdvanced);
}

void MainWindow::mnuConfigLogClick() {
    showTab(kTabConfigure);
    tabs_->clearGroupHighlights();
    tabs_->highlightGroup(ui.GroupLog);
}

void MainWindow::mnuDataRestoreClick() {
    dataFileDialog_->move(frameGeometry().topLeft() + QPoint(100, 70));
    dataFileDialog_->exec();
}

// ---------------------------------------------------------------------------------------------
// Status bar and the log button.

void MainWindow::updateLogButton() {
    ui.btnLog->setEnabled(QFileInfo(ui.edLog->text()).isFile());
}

void MainWindow::updateLogStatus() {
    ui.statusPanels[1]->setText(ui.cbLog->isChecked() ? LogStatusText(ui.edLog->text())
                                                      : QString());
    updateLogButton();
}

void MainWindow::updateCaptureStatus() {
    ui.statusPanels[2]->setText(capture_->captureStatus());
}

void MainWindow::btnLogClick() {
    const QString path = ui.edLog->text();
    if (!QFileInfo(path).isFile()) {
        deps_.messages.inform(QStringLiteral("No log file found."));
        return;
    }
    if (!deps_.shell.open(path))
        deps_.messages.inform(DesktopShell::openFailedText(path));
}
