#include "app/MainWindow.h"

#include "app/DataFileDialog.h"
#include "app/MessageBoxes.h"
#include "app/WheelFilter.h"
#include "app/WindowPlacement.h"
#include "charting/AxisRangeError.h"
#include "charting/ChartRenderer.h"
#include "charting/ChartView.h"
#include "core/DesktopShell.h"
#include "core/FormatDateTime.h"
#include "core/ProgramPaths.h"
#include "core/SizeText.h"
#include "graphs/GraphSet.h"
#include "monitor/PageDriver.h"
#include "monitor/RunControl.h"
#include "monitor/SamplePipeline.h"
#include "monitor/StatsPageReader.h"
#include "monitor/WebEngineBrowser.h"
#include "storage/CsvLog.h"
#include "storage/DataRestoreFile.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBitmap>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

constexpr int kTabHomeHub = 0;
constexpr int kTabConfigure = 5;
constexpr int kTabAdvanced = 6;

std::unique_ptr<Timer> defaultTimer(int ms, bool singleShot) {
    return makeQtTimer(ms, singleShot);
}

// Line ends in a file (a read error just gives the count so far).
qsizetype countLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    qsizetype lines = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            break;
        lines += chunk.count('\n');
    }
    return lines + 1;
}

} // namespace

// The pictures, cursors and help document live in this static library's resources.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(Dependencies deps, QWidget* parent)
    : QMainWindow(parent), deps_(std::move(deps)) {
    initResources();
    if (deps_.programFolder.isEmpty())
        deps_.programFolder = ProgramPaths::programFolder();
    if (!deps_.timers)
        deps_.timers = defaultTimer;
    clock_ = deps_.clock ? deps_.clock : &systemClock_;
    if (deps_.browser) {
        browser_ = deps_.browser;
    } else {
        ownBrowser_ = std::make_unique<WebEngineBrowser>();
        browser_ = ownBrowser_.get();
    }
    if (deps_.shell) {
        shell_ = deps_.shell;
    } else {
        ownShell_ = std::make_unique<DesktopShell>();
        shell_ = ownShell_.get();
    }
    if (deps_.messages) {
        messages_ = deps_.messages;
    } else {
        ownMessages_ = std::make_unique<MessageBoxes>(this);
        messages_ = ownMessages_.get();
    }

    Timer1 = deps_.timers(30000, false);
    Timer4 = deps_.timers(750, true);
    Timer5 = deps_.timers(120000, false);
    Timer6 = deps_.timers(5, true);

    run_ = std::make_unique<RunControl>(*browser_, *Timer1, *Timer5, settings_, *clock_);
    graphs_ = std::make_unique<GraphSet>(settings_, *messages_, *run_);
    for (int i = 0; i < GraphSet::ChartCount; ++i) {
        chartViews_[size_t(i)] = new ChartView(&graphs_->chart(i));
        chartViews_[size_t(i)]->setObjectName(QStringLiteral("Chart%1").arg(i + 1));
    }
    ui.setupUi(this, browser_->widget(),
               {chartViews_[0], chartViews_[1], chartViews_[2], chartViews_[3], chartViews_[4]});
    driver_ = std::make_unique<PageDriver>(*browser_, *run_, settings_, CurrentSample, *clock_);
    pipeline_ = std::make_unique<SamplePipeline>(settings_, CurrentSample, pipelineSteps());
    dataFileDialog_ = new DataFileDialog(settings_, shell_, messages_, this);
    dataFileDialog_->TrimDataFileNow = [this] { TrimDataFileProc(); };

    connectControls();
    connectMonitor();
    connectGraphs();
}

MainWindow::~MainWindow() = default;

QString MainWindow::settingsPath() const {
    return deps_.programFolder + QStringLiteral("/lintrove5a.ini");
}

bool MainWindow::settingsFileExists() const {
    return QFileInfo::exists(settingsPath());
}

Timer& MainWindow::timer(int n) {
    switch (n) {
    case 1:
        return *Timer1;
    case 4:
        return *Timer4;
    case 5:
        return *Timer5;
    default:
        return *Timer6;
    }
}

// ---------------------------------------------------------------------------------------------
// Controls and handlers.

void MainWindow::connectControls() {
    qApp->installEventFilter(new WheelFilter(this));

    // Settings held in controls follow every change, so SaveIni and the logic read them.
    connect(ui.edAddress, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.Address = t; });
    connect(ui.edPassword1, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.Password = t; });
    // A corrected address or password is tried at once unless the monitor is running.
    connect(ui.edAddress, &QLineEdit::editingFinished, this,
            [this] { driver_->RouterAccessEdited(); });
    connect(ui.edPassword1, &QLineEdit::editingFinished, this,
            [this] { driver_->RouterAccessEdited(); });
    connect(ui.cbShowPlain, &QCheckBox::toggled, this, [this](bool on) {
        settings_.ShowPlain = on;
        cbShowPlainClick();
    });
    connect(ui.spSample, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.Sample = v;
        spSampleChange();
    });
    connect(ui.spPointsPerPage, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.PointsperPage = v;
        spPointsPerPageChange();
    });
    connect(ui.spSample, &QSpinBox::editingFinished, this, [this] { spSampleExit(); });
    connect(ui.spPointsPerPage, &QSpinBox::editingFinished, this,
            [this] { spPointsPerPageExit(); });
    connect(ui.edCapture, &QLineEdit::textChanged, this, [this](const QString& t) {
        settings_.Capture = t;
        ui.edCapture->setToolTip(t);
    });
    connect(ui.cbCapture, &QCheckBox::toggled, this, [this](bool on) {
        settings_.cbCapture = on;
        cbCaptureClick();
    });
    connect(ui.cbOnlyIfLost, &QCheckBox::toggled, this, [this](bool on) {
        settings_.LostSync = on;
        cbOnlyIfLostClick();
    });
    connect(ui.cbCaptureOnClose, &QCheckBox::toggled, this,
            [this](bool on) { settings_.OnClose = on; });
    // The names follow every change of choice, from the open list or from the keys while it is
    // closed: the list's popup hides before the selection changes, so refreshing there would
    // name the previous quantity.
    connect(ui.boxUser1, &QComboBox::currentIndexChanged, this, [this](int i) {
        settings_.User1 = i;
        boxUserChange();
        boxUserCloseUp();
    });
    connect(ui.boxUser2, &QComboBox::currentIndexChanged, this, [this](int i) {
        settings_.User2 = i;
        boxUserChange();
        boxUserCloseUp();
    });
    connect(ui.rbTotal1, &QRadioButton::toggled, this, [this](bool on) { settings_.Total1 = on; });
    connect(ui.rbLastHour1, &QRadioButton::toggled, this,
            [this](bool on) { settings_.LastHour1 = on; });
    connect(ui.rbTotal2, &QRadioButton::toggled, this, [this](bool on) { settings_.Total2 = on; });
    connect(ui.rbLastHour2, &QRadioButton::toggled, this,
            [this](bool on) { settings_.LastHour2 = on; });
    connect(ui.cbPrompt, &QCheckBox::toggled, this, [this](bool on) { settings_.Prompt = on; });
    connect(ui.cbMinimize, &QCheckBox::toggled, this, [this](bool on) { settings_.Minimize = on; });
    connect(ui.cbStartMinimized, &QCheckBox::toggled, this,
            [this](bool on) { settings_.StartMinimized = on; });
    connect(ui.cbSaveAxes, &QCheckBox::toggled, this, [this](bool on) { settings_.SaveAxes = on; });
    connect(ui.cbLog, &QCheckBox::toggled, this, [this](bool on) {
        settings_.cbLog = on;
        cbLogClick();
    });
    connect(ui.edLog, &QLineEdit::textChanged, this, [this](const QString& t) {
        settings_.LogFile = t;
        edLogChange();
    });
    connect(ui.btnBrowseLog, &QPushButton::clicked, this, [this] { btnBrowseLogClick(); });
    connect(ui.btnLog, &QToolButton::clicked, this, [this] { btnLogClick(); });
    connect(ui.cbWeb, &QCheckBox::toggled, this, [this](bool on) {
        settings_.Web = on;
        ui.Image3->setVisible(on);
    });
    connect(ui.boxWebAddress, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { settings_.WebAddress = t; });
    connect(ui.edPort, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.Port = t; });
    connect(ui.edWidth, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.webWidth = t; });
    connect(ui.edHeight, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.webHeight = t; });

    // Menus.
    connect(ui.File1, &QMenu::aboutToShow, this, [this] { File1Click(); });
    connect(ui.Configure1, &QMenu::aboutToShow, this, [this] { Configure1Click(); });
    connect(ui.mnuExit, &QAction::triggered, this, [this] { mnuExitClick(); });
    connect(ui.mnuHelp, &QAction::triggered, this, [this] { mnuHelpClick(); });
    connect(ui.mnuuserDefined, &QAction::triggered, this, [this] { mnuuserDefinedClick(); });
    connect(ui.mnuRestoreData, &QAction::triggered, this, [this] { mnuRestoreDataClick(); });
    connect(ui.mnuDataRestore, &QAction::triggered, this, [this] { mnuDataRestoreClick(); });
    connect(ui.mnuStartLog, &QAction::triggered, this, [this] { mnuStartLogClick(); });
    connect(ui.mnuStopLog, &QAction::triggered, this, [this] { mnuStopLogClick(); });
    connect(ui.mnuConfigLog, &QAction::triggered, this, [this] { mnuConfigLogClick(); });
    connect(ui.PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });

    // Behaviour that arrives with later features: placed, but not pretending to work.
    for (QWidget* w : std::initializer_list<QWidget*>{ui.btnCapture, ui.btnViewCap, ui.btnBrowse,
                                                      ui.btnImagesMaintain, ui.btnLogMaintain,
                                                      ui.btnAdvanced, ui.btnSystemMaintain})
        w->setEnabled(false);
    for (QAction* a : {ui.mnuCaptureVisible, ui.mnuCaptureAll, ui.mnuSaveAs, ui.mnuMaintain,
                       ui.mnuWizard, ui.mnuCopy, ui.mnuCopyWeb1, ui.mnuSelectAllWeb1,
                       ui.mnuStartCapture, ui.mnuStopCapture, ui.mnuConfigCap, ui.mnuAbout})
        a->setEnabled(false);
}

void MainWindow::connectGraphs() {
    popupChart_ = new QMenu(this);
    popupChart_->setObjectName(QStringLiteral("popupChart"));
    const char* chartItems[] = {"Capture Now", "Save As...", "Capture All Now"};
    const char* chartItemNames[] = {"mnuCapNow", "mnuChartSaveAs", "mnuCapAll"};
    for (int i = 0; i < 3; ++i) {
        auto* a = popupChart_->addAction(QLatin1String(chartItems[i]));
        a->setObjectName(QLatin1String(chartItemNames[i]));
        a->setEnabled(false); // image capture arrives with its own feature
    }
    popupChart_->addSeparator();
    auto* copy = popupChart_->addAction(QStringLiteral("Copy to Clipboard"));
    copy->setObjectName(QStringLiteral("CopytoClipboard1"));
    copy->setEnabled(false);
    popupChart_->addSeparator();
    mnu3D_ = popupChart_->addAction(QStringLiteral("Show Chart in 3D"));
    mnu3D_->setObjectName(QStringLiteral("mnu3D"));
    mnu3D_->setCheckable(true);
    connect(popupChart_, &QMenu::aboutToShow, this, [this] {
        mnu3D_->setChecked(graphs_->popupChartPopup(ui.PageControl1->currentIndex()));
    });
    connect(mnu3D_, &QAction::triggered, this,
            [this] { graphs_->mnu3DClick(ui.PageControl1->currentIndex()); });
    for (int i = 0; i < 4; ++i) {
        ChartView* view = chartViews_[size_t(i)];
        const int chart = i;
        view->setContextMenu(popupChart_);
        view->installEventFilter(this); // keeps the page-button panel in place
        connect(view, &ChartView::mousePressed, this,
                [this, chart](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint p) {
                    Chart1MouseDown(chart, b, m, p);
                });
        connect(view, &ChartView::mouseMoved, this,
                [this, chart](Qt::KeyboardModifiers, QPoint p) { Chart1MouseMove(chart, p); });
        connect(view, &ChartView::mouseReleased, this,
                [this, chart](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) {
                    Chart1MouseUp(chart);
                });
        connect(view, &ChartView::scrolled, this, [this, chart] { Chart1Scroll(chart); });
        const auto& buttons = ui.pageButtons[size_t(i)];
        connect(buttons[0], &QToolButton::clicked, this,
                [this] { runGuarded([this] { graphs_->btnHomeClick(); }); });
        connect(buttons[1], &QToolButton::clicked, this,
                [this] { runGuarded([this] { graphs_->btnChartBack1Click(); }); });
        connect(buttons[2], &QToolButton::clicked, this,
                [this] { runGuarded([this] { graphs_->btnChartForwardClick(); }); });
        connect(buttons[3], &QToolButton::clicked, this,
                [this] { runGuarded([this] { graphs_->btnForwardHomeClick(); }); });
    }

    graphs_->SetStartHandler([this] { run_->btnRunClick(); });
    graphs_->mouseCycle().SetRestoreCursor([] {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    });
}

void MainWindow::connectMonitor() {
    connect(ui.btnRun, &QToolButton::clicked, this, [this] {
        runGuarded([this] { run_->btnRunClick(); });
        applyRunControlView();
    });
    // The mouse-down of any button comes before the click: a second Pause stops.
    ui.btnStop->installEventFilter(this);
    connect(ui.btnStop, &QToolButton::clicked, this, [this] {
        run_->btnStopClick();
        applyRunControlView(); // a click that changes nothing must not leave the button toggled
    });
    Timer1->setHandler([this] { runGuarded([this] { run_->Timer1Timer(); }); });
    Timer5->setHandler([this] { runGuarded([this] { run_->Timer5Timer(); }); });
    Timer4->setHandler([this] { Timer4Timer(); });
    Timer6->setHandler([this] { Timer6Timer(); });

    connect(run_.get(), &RunControl::titleChanged, this, &QWidget::setWindowTitle);
    connect(run_.get(), &RunControl::buttonsChanged, this, [this] { applyRunControlView(); });
    connect(run_.get(), &RunControl::startTimeChanged, ui.statusPanels[0], &QLabel::setText);
    // RunControl::maintenanceCheckRequested is where the daily maintenance jobs will hang.
    connect(run_.get(), &RunControl::rateTextsCleared, this, [this] {
        CurrentSample.DataRateUpText.clear();
        CurrentSample.DataRateDownText.clear();
    });
    connect(run_.get(), &RunControl::lostSyncPendingCleared, this,
            [this] { pipeline_->LostSyncPending = false; });
    connect(run_.get(), &RunControl::image1VisibleChanged, ui.Image1, &QWidget::setVisible);
    connect(run_.get(), &RunControl::image2VisibleChanged, ui.Image2, &QWidget::setVisible);
    connect(run_.get(), &RunControl::boxType1EnabledChanged, ui.boxType1, &QWidget::setEnabled);
    connect(run_.get(), &RunControl::edPassword1EnabledChanged, ui.edPassword1,
            &QWidget::setEnabled);
    applyRunControlView();

    connect(driver_.get(), &PageDriver::connectingPanelHidden, ui.Panel4, &QWidget::hide);
    connect(driver_.get(), &PageDriver::homeHubTabRequested, this,
            [this] { showTab(kTabHomeHub); });
    connect(driver_.get(), &PageDriver::toolbarTextsChanged, this, [this](const ToolbarTexts& t) {
        setToolbarTexts(t.uptime, t.noiseMarginUp, t.noiseMarginDown, t.rateUp, t.rateDown);
    });
    connect(driver_.get(), &PageDriver::defaultCursorRequested, this, [] {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    });
    connect(driver_.get(), &PageDriver::runButtonEnabled, this,
            [this] { ui.btnRun->setEnabled(true); });
    connect(driver_.get(), &PageDriver::label2Changed, ui.Label2, &QLabel::setText);
    // Tries a router that cannot be reached before the first start again.
    driver_->setRetryTimer(deps_.timers(30000, true));
    connect(driver_.get(), &PageDriver::statsPageRead, ui.Memo1, &QPlainTextEdit::setPlainText);
    connect(driver_.get(), &PageDriver::pageReady, this, [this](const QDateTime& sampleTime, bool) {
        runGuarded([&] {
            pipeline_->Run(sampleTime, clock_->now(), run_->state() == MonitorState::Running,
                           driver_->StatsParsed);
        });
    });
    connect(driver_.get(), &PageDriver::documentReadFailed, this,
            [this](const QString& message) { messages_->error(message); });
}

void MainWindow::applyRunControlView() {
    ui.btnRun->setText(run_->RunCaption());
    ui.btnStop->setText(run_->StopCaption());
    ui.btnStop->setIcon(QIcon(QStringLiteral(":/") + run_->StopPicture()));
    ui.btnRun->setCheckable(true);
    ui.btnStop->setCheckable(true);
    ui.btnRun->setChecked(run_->Pressed() == RunControl::PressedButton::Run);
    ui.btnStop->setChecked(run_->Pressed() == RunControl::PressedButton::Stop);
}

SamplePipeline::Steps MainWindow::pipelineSteps() {
    SamplePipeline::Steps steps;
    steps.SetLabelSpacing = [this](bool dateStamp) { graphs_->SetLabelSpacing(dateStamp); };
    steps.PointLabel = &GraphSet::PointLabel;
    steps.AppendSample = [this](const QString& L, const QString& W, const LineSample& S) {
        graphs_->AppendSample(L, W, S);
    };
    steps.PointCount = [this] { return graphs_->PointCount(); };
    // Captures, the tray icon and the web image arrive with their own features.
    steps.ShowLostSyncIndicator = [this] {
        ui.Image1->show();
        ui.Image2->hide();
    };
    steps.TrimBusy = [this] { return trimBusy_.isSet(); };
    steps.AppendDataLine = [this](const QString& L, const LineSample& S) {
        // A failed write loses this line only; the graphs and the log go on.
        (void)DataRestoreFile::Append(DataRestoreFile::PathIn(settings_.DataFileFolder), L, S);
    };
    steps.WriteLogRow = [this](const QDateTime& t, const LineSample& S) {
        // A failed write loses this row only; a pending header waits for the next one.
        (void)log_.WriteRow(ui.edLog->text(),
                            LogLine(t, S, settings_.LogDateFormat, settings_.LogTab));
    };
    steps.UpdateLogStatus = [this] { updateLogStatus(); };
    steps.UpdateCaptureStatus = [this] { updateCaptureStatus(); };
    return steps;
}

void MainWindow::updateCaptureStatus() {
    const QString folder = ui.edCapture->text();
    ui.statusPanels[2]->setText(QFileInfo(folder).isDir() && !folder.isEmpty()
                                    ? QStringLiteral("Capture folder:  ") +
                                          FormatSize(FolderSize(folder))
                                    : QString());
}

void MainWindow::RestoreDataFile() {
    const QString path = DataRestoreFile::PathIn(settings_.DataFileFolder);
    // Room for the whole history and a day of live samples, so the series never regrow.
    graphs_->Reserve(countLines(path) + 8640);
    const QString webLabel = GraphSet::WebLabel(clock_->now());
    QString error;
    if (!DataRestoreFile::Restore(
            path,
            [this, &webLabel](const QString& label, const LineSample& s) {
                CurrentSample = s;
                graphs_->AppendSample(label, webLabel, s);
            },
            &error))
        messages_->error(error);
}

void MainWindow::TrimDataFileProc() {
    QString error;
    if (!DataRestoreFile::Trim(DataRestoreFile::PathIn(settings_.DataFileFolder), settings_.Sample,
                               settings_.TrimDataFileDays, trimBusy_, &error))
        messages_->inform(error);
}

// A handler whose error nothing else catches ends there and shows the standard error box.
void MainWindow::runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const AxisRangeError& e) {
        messages_->error(e.message());
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up.

void MainWindow::FormCreate() {
    // 1. First-show flag, hidden tab 7 and the wheel filter are set up with the widgets.
    firstShown_ = false;

    // 2. Settings.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize();
    settings_ = Settings::defaults(deps_.programFolder, clock_->now(), screenSize);
    settingsFileExists_ = settings_.load(settingsPath());
    applySettingsToControls();

    // 3. The only router type.
    ui.boxType1->setCurrentIndex(0);

    // 4. Placement.
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->geometry();
    startGeometry_ = WindowPlacement::startGeometry(
        QRect(settings_.Left, settings_.Top, settings_.Width, settings_.Height), screens,
        screen ? screen->geometry() : QRect(), settings_.Monitor1);
    resize(startGeometry_.size());
    move(startGeometry_.topLeft());

    // 5. Web server indicator (the server arrives with its own feature).
    ui.Image3->setVisible(ui.cbWeb->isChecked());

    // 6. Folders beside the program; a failure shows later, when they are used.
    for (const char* name : {"Capture", "WebServer"})
        QDir(deps_.programFolder).mkdir(QLatin1String(name));

    // 7. Cursors of the graph mouse cycle.
    loadCursors();

    // 8. A fresh help document at every start.
    writeHelpFile();

    // 9. Password mask.
    cbShowPlainClick();

    // 10. Buttons and status texts that depend on files.
    updateLogButton();
    updateCaptureStatus();
    ui.statusPanels[1]->setText(
        QFileInfo::exists(ui.edLog->text()) ? LogStatusText(ui.edLog->text()) : QString());

    // 12. Graphs: page size, time per page, 3-D flags.
    if (const auto text = graphs_->ApplyPageSize())
        ui.Panel5->setText(*text);
    graphs_->Apply3D(settings_.ThreeD);

    // 13-14. User-graph names and the log header.
    refreshUserGraphNames();
    log_.HeaderPending = false;

    // 15. Indicators.
    ui.Image7->setVisible(ui.cbLog->isChecked());
    ui.Image1->setVisible(ui.cbCapture->isChecked());
    ui.Image2->setVisible(ui.cbOnlyIfLost->isChecked());
    ui.Image16->setVisible(settings_.TrimLog);
    ui.Image23->setVisible(settings_.DeleteImages);

    // 16. Toolbar values, counters, the resume timer.
    setToolbarTexts({}, {}, {}, {}, {});
    ui.Label2->clear();
    pipeline_->CapturePointCount = 0;
    Timer5->setInterval(settings_.PauseDelay * 1000);

    // 17. Browser.
    browser_->setSilent(true);
    browser_->ensureWindow();

    driver_->AutoStarted = false;

    // 18. The graphs come back from the data-restore file.
    const QString dataFile = DataRestoreFile::PathIn(settings_.DataFileFolder);
    if (settings_.Restore && QFileInfo::exists(dataFile))
        RestoreDataFile();
}

// Loads the settings into the controls in the file's read order; each control's handler runs as
// for a user change (ticking cbOnlyIfLost, applied after cbCapture, clears cbCapture).
void MainWindow::applySettingsToControls() {
    const Settings s = settings_; // handlers write back into settings_ as controls change
    ui.edAddress->setText(s.Address);
    ui.edPassword1->setText(s.Password);
    ui.cbShowPlain->setChecked(s.ShowPlain);
    ui.spSample->setValue(s.Sample);
    settings_.Sample = ui.spSample->value();
    spSampleChange(); // also when the stored value equals the field's own
    ui.spPointsPerPage->setValue(s.PointsperPage);
    settings_.PointsperPage = ui.spPointsPerPage->value(); // a stored negative count reads as 0
    ui.edCapture->setText(s.Capture);
    ui.cbCapture->setChecked(s.cbCapture);
    ui.cbCaptureOnClose->setChecked(s.OnClose);
    ui.boxUser1->setCurrentIndex(qBound(0, s.User1, 2));
    ui.boxUser2->setCurrentIndex(qBound(0, s.User2, 2));
    ui.rbTotal1->setChecked(s.Total1);
    ui.rbLastHour1->setChecked(s.LastHour1);
    ui.rbTotal2->setChecked(s.Total2);
    ui.rbLastHour2->setChecked(s.LastHour2);
    ui.cbPrompt->setChecked(s.Prompt);
    ui.cbMinimize->setChecked(s.Minimize);
    ui.cbStartMinimized->setChecked(s.StartMinimized);
    ui.cbSaveAxes->setChecked(s.SaveAxes);
    graphs_->ApplySavedAxes(settings_);
    ui.cbOnlyIfLost->setChecked(s.LostSync);
    ui.cbLog->setChecked(s.cbLog);
    showTab(qBound(0, s.Page, 6));
    ui.edLog->setText(s.LogFile);
    ui.boxWebAddress->setCurrentText(s.WebAddress);
    ui.edPort->setText(s.Port);
    ui.edWidth->setText(s.webWidth);
    ui.edHeight->setText(s.webHeight);
    ui.cbWeb->setChecked(s.Web);
    // Settings the controls do not hold keep their loaded values; the user indexes are kept
    // as stored when out of range, since the boxes show their nearest item.
    settings_.User1 = s.User1;
    settings_.User2 = s.User2;
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
    settings_.Type = ui.boxType1->currentIndex();
    settings_.User1 = ui.boxUser1->currentIndex();
    settings_.User2 = ui.boxUser2->currentIndex();
    if (settings_.SaveAxes)
        graphs_->StoreAxes(settings_);
}

bool MainWindow::SaveIni() {
    collectSettingsFromControls();
    QString error;
    if (!settings_.save(settingsPath(), &error)) {
        messages_->inform(error);
        return false;
    }
    settingsFileExists_ = true;
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
void MainWindow::writeHelpFile() {
    const QString path = deps_.programFolder + QStringLiteral("/lintrove5a.html");
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
        driver_->OpenStatsPage();
    // Without a settings file nothing is loaded: the first run waits for the setup.
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void MainWindow::FormActivate() {
    if (!settingsFileExists() || ui.edPassword1->text().isEmpty())
        Timer4->setEnabled(true);
}

void MainWindow::Timer4Timer() {
    Timer4->setEnabled(false);
    // The setup wizard that opens here arrives with its own feature.
}

void MainWindow::Timer6Timer() {
    Timer6->setEnabled(false);
    showMinimized();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (EndSession(true))
        event->accept();
    else
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
    if (askUser && !RestartInProgress && ui.cbPrompt->isChecked()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint at = WindowPlacement::closeQuestionPosition(
            false, screen ? screen->availableGeometry() : QRect(), frameGeometry());
        if (!messages_->confirm(QStringLiteral("Confirm: Close Lintrove?"), at))
            return false;
    }
    browser_->stop();
    QFile::remove(deps_.programFolder + QStringLiteral("/lintrove5a.html"));
    // The capture at close arrives with image capture.
    return SaveIni();
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
        clearGroupHighlights();
}

void MainWindow::highlightGroup(QWidget* group) {
    QPalette p = group->palette();
    p.setColor(QPalette::Window, Qt::white);
    group->setPalette(p);
}

void MainWindow::clearGroupHighlights() {
    for (QWidget* g : std::initializer_list<QWidget*>{ui.GroupRouterAccess, ui.GroupGraphs,
                                                      ui.GroupLog, ui.GroupUserGraphs})
        g->setPalette(QPalette());
}

void MainWindow::mnuHelpClick() {
    const QString path = deps_.programFolder + QStringLiteral("/lintrove5a.html");
    if (QFileInfo::exists(path) && !shell_->open(path))
        messages_->inform(DesktopShell::openFailedText(path));
}

void MainWindow::mnuExitClick() {
    close();
}

void MainWindow::mnuuserDefinedClick() {
    highlightGroup(ui.GroupUserGraphs);
    showTab(kTabAdvanced);
}

// ---------------------------------------------------------------------------------------------
// Log controls.

void MainWindow::cbLogClick() {
    ui.Image7->setVisible(ui.cbLog->isChecked());
}

void MainWindow::edLogChange() {
    updateLogButton();
    ui.edLog->setToolTip(ui.edLog->text());
}

void MainWindow::updateLogButton() {
    ui.btnLog->setEnabled(QFileInfo(ui.edLog->text()).isFile());
}

void MainWindow::updateLogStatus() {
    ui.statusPanels[1]->setText(ui.cbLog->isChecked() ? LogStatusText(ui.edLog->text())
                                                      : QString());
    updateLogButton();
}

namespace {
// The log file dialog: text files or all files, ".txt" appended, a question before an existing
// file is overwritten; it opens in the program's folder.
QString chooseLogFile(QWidget* parent, const QString& programFolder, const QString& current) {
    const QString name =
        current.isEmpty() ? QStringLiteral("Log.txt") : QFileInfo(current).fileName();
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(programFolder);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

void MainWindow::btnBrowseLogClick() {
    const QString path = chooseLogFile(this, deps_.programFolder, ui.edLog->text());
    if (path.isEmpty())
        return;
    ui.edLog->setText(path);
    ui.edLog->setToolTip(path);
}

void MainWindow::mnuStartLogClick() {
    if (QFileInfo(QFileInfo(ui.edLog->text()).absolutePath()).isDir() &&
        !ui.edLog->text().isEmpty()) {
        ui.cbLog->setChecked(true);
        return;
    }
    const QString path = chooseLogFile(this, deps_.programFolder, ui.edLog->text());
    if (path.isEmpty())
        return;
    ui.edLog->setText(path);
    ui.cbLog->setChecked(true);
}

void MainWindow::mnuStopLogClick() {
    ui.cbLog->setChecked(false);
}

void MainWindow::mnuConfigLogClick() {
    showTab(kTabConfigure);
    clearGroupHighlights();
    highlightGroup(ui.GroupLog);
}

void MainWindow::btnLogClick() {
    if (!QFileInfo(ui.edLog->text()).isFile()) {
        messages_->inform(QStringLiteral("No log file found."));
        return;
    }
    if (!shell_->open(ui.edLog->text()))
        messages_->inform(DesktopShell::openFailedText(ui.edLog->text()));
}

// ---------------------------------------------------------------------------------------------
// User-defined graphs.

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.btnStop && event->type() == QEvent::MouseButtonPress)
        run_->btnStopMouseDown();
    if (event->type() == QEvent::Resize) {
        for (int i = 0; i < 4; ++i)
            if (watched == chartViews_[size_t(i)])
                positionPagePanel(i);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::refreshUserGraphNames() {
    const QString name1 = ui.boxUser1->currentText();
    const QString name2 = ui.boxUser2->currentText();
    ui.PageControl1->setTabText(3, name1);
    ui.PageControl1->setTabText(4, name2);
    graphs_->RefreshUserGraphNames(name1, name2);
    log_.Header = LogHeader(name1, name2);
}

void MainWindow::boxUserCloseUp() {
    refreshUserGraphNames();
}

void MainWindow::boxUserChange() {
    log_.HeaderPending = true;
}

// ---------------------------------------------------------------------------------------------
// Data-restore file.

void MainWindow::mnuRestoreDataClick() {
    settings_.Restore = ui.mnuRestoreData->isChecked();
}

void MainWindow::mnuDataRestoreClick() {
    dataFileDialog_->move(frameGeometry().topLeft() + QPoint(100, 70));
    dataFileDialog_->exec();
}

// ---------------------------------------------------------------------------------------------
// Graphs: page size, sample interval, the mouse cycle, page-button panels.

void MainWindow::spSampleChange() {
    Timer1->setInterval(settings_.Sample * 1000);
    ui.Panel5->setText(graphs_->TimePerPageText());
}

void MainWindow::spPointsPerPageChange() {
    // A refused width keeps the previous time text.
    if (const auto text = graphs_->ApplyPageSize())
        ui.Panel5->setText(*text);
}

void MainWindow::spPointsPerPageExit() {
    if (ui.spPointsPerPage->value() < 10)
        ui.spPointsPerPage->setValue(10);
}

void MainWindow::spSampleExit() {
    ui.spSample->setValue(qBound(10, ui.spSample->value(), 300));
}

void MainWindow::Chart1MouseDown(int chart, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                                 QPoint pos) {
    const QString cursor = graphs_->Chart1MouseDown(chart, button, mods.testFlag(Qt::ShiftModifier),
                                                    mods.testFlag(Qt::ControlModifier), pos.x(),
                                                    pos.y(), frameGeometry().width());
    if (!cursor.isEmpty() && cursors_.contains(cursor))
        QApplication::setOverrideCursor(cursors_.value(cursor));
}

void MainWindow::Chart1Scroll(int chart) {
    runGuarded([&] {
        graphs_->Chart1Scroll(chart, QCursor::pos().x(), frameGeometry().left(),
                              frameGeometry().width());
    });
}

void MainWindow::Chart1MouseUp(int chart) {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    graphs_->Chart1MouseUp(chart);
}

void MainWindow::Chart1MouseMove(int chart, QPoint pos) {
    const ChartView* view = chartViews_[size_t(chart)];
    const bool visible =
        graphs_->PageButtonsVisible(pos.x(), pos.y(), view->x(), view->width(), view->height());
    for (int i = 0; i < 4; ++i) {
        QFrame* panel = ui.pagePanels[size_t(i)];
        // The time labels may have come or changed since the last time it showed.
        if (visible && panel->isHidden())
            positionPagePanel(i);
        panel->setVisible(visible);
    }
}

// The panel sits near the chart's middle, just above its time labels, so that it never hides
// them: they start below the wall.
void MainWindow::positionPagePanel(int chart) {
    constexpr int gap = 4; // between the panel and the labels
    QFrame* panel = ui.pagePanels[size_t(chart)];
    const ChartView* view = chartViews_[size_t(chart)];
    const ChartLayout lay = ChartRenderer::layout(*view->model(), view->size());
    const int labelsTop = int(lay.wall.bottom()); // never negative
    panel->move((view->width() - panel->width()) / 2, qMax(0, labelsTop - gap - panel->height()));
}

void MainWindow::cbShowPlainClick() {
    ui.edPassword1->setEchoMode(ui.cbShowPlain->isChecked() ? QLineEdit::Normal
                                                            : QLineEdit::Password);
}

void MainWindow::cbCaptureClick() {
    if (ui.cbCapture->isChecked())
        ui.cbOnlyIfLost->setChecked(false);
    ui.Image1->setVisible(ui.cbCapture->isChecked());
    ui.Image2->setVisible(ui.cbOnlyIfLost->isChecked());
}

void MainWindow::cbOnlyIfLostClick() {
    if (ui.cbOnlyIfLost->isChecked())
        ui.cbCapture->setChecked(false);
    ui.Image1->setVisible(ui.cbCapture->isChecked());
    ui.Image2->setVisible(ui.cbOnlyIfLost->isChecked());
}
