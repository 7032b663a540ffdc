#include "app/MainWindow.h"

#include "app/binders/CaptureBinder.h"
#include "app/binders/DropsBinder.h"
#include "app/binders/HelpBinder.h"
#include "app/binders/HousekeepingBinder.h"
#include "app/binders/LogBinder.h"
#include "app/binders/LoginStartBinder.h"
#include "app/binders/RunBinder.h"
#include "app/binders/SetupBinder.h"
#include "app/binders/WebServerBinder.h"
#include "app/binders/WindowServices.h"
#include "app/desktop/HelpDocument.h"
#include "app/desktop/NamedWidget.h"
#include "app/desktop/OverrideCursor.h"
#include "app/desktop/TrayIcon.h"
#include "app/desktop/WheelFilter.h"
#include "app/desktop/WindowPlacement.h"
#include "app/dialogs/DataFileDialog.h"
#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/AdvancedTab.h"
#include "app/tabs/ChartMenu.h"
#include "app/tabs/ConfigureTab.h"
#include "app/tabs/FormParts.h"
#include "app/tabs/GraphPage.h"
#include "app/tabs/HomeHubTab.h"
#include "app/tabs/MainMenus.h"
#include "app/tabs/ToolBar.h"
#include "charting/ChartView.h"
#include "core/Clock.h"
#include "core/DesktopShell.h"
#include "core/ProgramPaths.h"
#include "core/Timer.h"
#include "graphs/GraphSet.h"
#include "housekeeping/Restarter.h"
#include "monitor/Browser.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"
#include "storage/DataRestoreFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

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
    : QMainWindow(parent), deps_(std::move(deps)),
      help_(deps_.programFolder, deps_.installedHelpFile) {
    initResources();
    session_ = std::make_unique<MonitorSession>(settings_, deps_.browser, deps_.clock,
                                                deps_.messages, deps_.timers);
    Timer6 = deps_.timers(5, true);
    Timer6->setHandler([this] { Timer6Timer(); });

    createGraphPages();
    webChartView_ = new ChartView(&graphs().chart(GraphSet::Chart5));
    webChartView_->setObjectName(QStringLiteral("Chart5"));
    buildForm();

    dataFileDialog_ = new DataFileDialog(settings_, &deps_.shell, &deps_.messages, this);
    dataFileDialog_->TrimDataFileNow = [this] { session_->TrimDataFileProc(); };

    qApp->installEventFilter(new WheelFilter(this));
    connectTabs();
    connectMenus();
    createBinders();
}

// The chart views paint the session's graphs: they go first.
MainWindow::~MainWindow() {
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

Timer& MainWindow::timer(int n) {
    switch (n) {
    case 1:
        return session_->sampleTimer();
    case 4:
        return setup_->gateTimer();
    case 5:
        return session_->resumeTimer();
    default:
        return *Timer6;
    }
}

// ---------------------------------------------------------------------------------------------
// Wiring.

void MainWindow::createGraphPages() {
    popupChart_ = new ChartMenu(
        graphs(), [this] { return pages_->currentIndex(); }, this);

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
    // The fourth panel tells the router's state. The last two are at least as wide as their
    // longest texts, so that neither cuts the other's off.
    const QFontMetrics metrics(status->font());
    const auto fits = [&metrics](const char* text) {
        return metrics.horizontalAdvance(QLatin1String(text)) + 12;
    };
    const int widths[] = {250, 300, std::max(50, fits("Capture folder:  [no files]")),
                          std::max(160, fits("Not responding since 00:00:00"))};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setTextFormat(Qt::PlainText); // file names and the router's state, never markup
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
    connect(menus_->mnuuserDefined, &QAction::triggered, this, [this] { mnuuserDefinedClick(); });
    connect(menus_->mnuRestoreData, &QAction::triggered, this,
            [this] { settings_.Restore = menus_->mnuRestoreData->isChecked(); });
    connect(menus_->mnuDataRestore, &QAction::triggered, this, [this] { mnuDataRestoreClick(); });
    connect(pages_, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

// Each feature binds its own controls, menus and pipeline steps. The order keeps the order of
// handlers that share a signal (the router state's text: the status bar before the tray).
void MainWindow::createBinders() {
    services_ = std::make_unique<WindowServices>(
        WindowServices{*this, settings_, *session_, deps_.clock, deps_.shell, deps_.messages,
                       deps_.programFolder, deps_.timers,
                       [this](QGroupBox* group) {
                           showTab(kTabConfigure);
                           clearGroupHighlights();
                           FormParts::highlight(group);
                       },
                       [this] { collectSettingsFromControls(); }});
    WindowServices& services = *services_;
    run_ =
        std::make_unique<RunBinder>(services,
                                    RunBinder::Controls{*toolBar_, *homeHub_, *configure_, *memo_,
                                                        *statusPanels_[0], *statusPanels_[3]},
                                    [this] { showTab(kTabHomeHub); });
    log_ = std::make_unique<LogBinder>(
        services, LogBinder::Controls{*toolBar_, *configure_, *menus_, *statusPanels_[1]});
    setup_ = std::make_unique<SetupBinder>(
        services, SetupBinder::Controls{*configure_, *homeHub_->Label2, *menus_->mnuWizard},
        [this] { FormShow(); });
    capture_ = std::make_unique<CaptureBinder>(
        services, deps_.browser,
        CaptureBinder::Controls{*toolBar_, *menus_, *popupChart_, *pages_, *homeHub_, *configure_,
                                *advanced_, *statusPanels_[2]});
    web_ = std::make_unique<WebServerBinder>(
        services, WebServerBinder::Controls{*advanced_, *toolBar_}, deps_.networkAddresses);
    // The web image written by the capture binder waits on the server's readers.
    capture_->setWebImageBusy(web_->webImageBusy());
    housekeeping_ = std::make_unique<HousekeepingBinder>(
        services, HousekeepingBinder::Controls{*configure_, *advanced_, *menus_, *dataFileDialog_},
        HousekeepingBinder::Hooks{[this](QPoint at) { capture_->openImageViewer(at); },
                                  [this] { web_->applyWebFolder(); },
                                  [this] { log_->updateLogStatus(); },
                                  [this] { capture_->updateCaptureStatus(); }},
        deps_.restarter, deps_.preciseTimers);
    drops_ = std::make_unique<DropsBinder>(
        services, DropsBinder::Controls{*toolBar_, *menus_, *pages_, *advanced_},
        DropsBinder::Hooks{[this](const QString& picture) {
            capture_->openImageViewer(ImageViewer::placement(frameGeometry().topLeft(), 110),
                                      picture);
        }});

    helpMenu_ = std::make_unique<HelpBinder>(services, HelpBinder::Controls{*menus_}, help_);
    loginStart_ = std::make_unique<LoginStartBinder>(
        services, LoginStartBinder::Controls{*advanced_, *pages_});

    MonitorSession::ViewSteps& steps = session_->viewSteps();
    steps.UpdateLogStatus = [this] { log_->updateLogStatus(); };
    steps.UpdateCaptureStatus = [this] { capture_->updateCaptureStatus(); };
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
    web_->startWebServer();

    // 7. Cursors of the graph mouse cycle.
    loadCursors();

    // 8. A fresh help document at every start.
    help_.writeCopy();

    // 9. Password mask.
    setup_->applyPasswordMask();

    // 10. Buttons and status texts that depend on files.
    log_->updateLogButton();
    capture_->edCaptureChange();
    capture_->updateCaptureStatus();
    log_->showLogFileSize();

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

void MainWindow::bringForward() {
    if (!isVisible()) {
        trayIcon().mnuRestoreClick();
        return;
    }
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
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
    if (setup_->settingsFileExists())
        pageDriver().OpenStatsPage();
    // Without a settings file nothing is loaded: the first run waits for the setup.
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        web_->tray().windowMinimized();
}

void MainWindow::FormActivate() {
    setup_->FormActivate();
}

void MainWindow::Timer6Timer() {
    Timer6->setEnabled(false);
    if (!web_->tray().startInTray())
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
            web_->tray().isIconVisible(), screen ? screen->availableGeometry() : QRect(),
            frameGeometry());
        if (!deps_.messages.confirm(QStringLiteral("Confirm: Close Lintrove?"), at))
            return false;
    }
    deps_.browser.stop();
    help_.removeCopy();
    capture_->captureAtClose();
    if (!SaveIni())
        return false;
    web_->shutDown();
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

void MainWindow::mnuuserDefinedClick() {
    FormParts::highlight(advanced_->GroupUserGraphs);
    showTab(kTabAdvanced);
}

void MainWindow::mnuDataRestoreClick() {
    dataFileDialog_->move(frameGeometry().topLeft() + QPoint(100, 70));
    dataFileDialog_->exec();
}

bool MainWindow::RestartInProgress() const {
    return deps_.restarter && deps_.restarter->RestartInProgress();
}

std::function<bool()> MainWindow::webImageBusy() {
    return web_->webImageBusy();
}

void MainWindow::applyWebFolder() {
    web_->applyWebFolder();
}

WebServerControl& MainWindow::webServerControl() {
    return web_->control();
}

TrayIcon& MainWindow::trayIcon() {
    return web_->tray();
}
