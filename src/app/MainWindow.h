#pragma once
// The main window: toolbar, the tabbed pages (router page, graphs, settings), menus and status
// bar. Its handlers forward to the monitor, graph and storage classes; start-up and the close
// sequence run here.
#include "app/MainWindowUi.h"
#include "core/Clock.h"
#include "core/LineSample.h"
#include "core/Timer.h"
#include "storage/CsvLog.h"
#include "storage/Settings.h"
#include "storage/TrimBusy.h"

#include "monitor/SamplePipeline.h"

#include <QCursor>
#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class Browser;
class ChartView;
class DesktopShell;
class GraphSet;
class PageDriver;
class RunControl;
class DataFileDialog;
class WindowMessages;
class QMenu;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using TimerFactory = std::function<std::unique_ptr<Timer>(int intervalMs, bool singleShot)>;
    // What the window works with; tests pass fakes, main() leaves them empty for the real ones.
    struct Dependencies {
        QString programFolder;
        Browser* browser = nullptr;
        Clock* clock = nullptr;
        DesktopShell* shell = nullptr;
        WindowMessages* messages = nullptr;
        TimerFactory timers;
    };

    explicit MainWindow(Dependencies deps, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: settings, placement, folders, cursors, help document, graphs, restore.
    void FormCreate();
    // Every time the window becomes visible: start minimized, open the statistics page.
    void FormShow();
    // Every activation: arms the setup timer on a first run or without a password.
    void FormActivate();
    // The close sequence; returns whether the window may close. askUser is false when nobody is
    // there to answer (a termination signal).
    bool FormCloseQuery(bool askUser = true);
    // Runs the close sequence unless it already ran to its end, so that the program asks and
    // saves once however many closes arrive (a signal, the session's end, the quit that follows).
    // Returns whether the program may end.
    bool EndSession(bool askUser);
    bool SaveIni();
    // The graphs come back from the data-restore file (the last start-up step).
    void RestoreDataFile();
    // The data-restore file trimmed to TrimDataFileDays of samples ("Trim Now", daily).
    void TrimDataFileProc();

    QString settingsPath() const;
    bool settingsFileExists() const;
    QRect startGeometry() const { return startGeometry_; }
    bool RestartInProgress = false;

    // The parts tests drive.
    MainWindowUi ui;
    Settings& settings() { return settings_; }
    GraphSet& graphs() { return *graphs_; }
    RunControl& runControl() { return *run_; }
    PageDriver& pageDriver() { return *driver_; }
    SamplePipeline& pipeline() { return *pipeline_; }
    LineSample& currentSample() { return CurrentSample; }
    CsvLog& log() { return log_; }
    TrimBusy& trimBusy() { return trimBusy_; }
    Timer& timer(int n); // 1, 4, 5 or 6
    const QHash<QString, QCursor>& cursors() const { return cursors_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void applySettingsToControls();
    void collectSettingsFromControls();
    void loadCursors();
    void writeHelpFile();
    void setToolbarTexts(const QString& uptime, const QString& nmUp, const QString& nmDown,
                         const QString& rateUp, const QString& rateDown);
    void applyRunControlView();
    void connectMonitor();
    void connectGraphs();
    SamplePipeline::Steps pipelineSteps();
    void updateCaptureStatus();
    void refreshUserGraphNames();
    void updateLogStatus();
    void updateLogButton();
    void highlightGroup(QWidget* group);
    void clearGroupHighlights();
    void showTab(int index);
    void positionPagePanel(int chart);
    void runGuarded(const std::function<void()>& handler);

    // Handlers.
    void File1Click();
    void Configure1Click();
    void PageControl1Change();
    void mnuHelpClick();
    void mnuExitClick();
    void mnuuserDefinedClick();
    void mnuRestoreDataClick();
    void mnuDataRestoreClick();
    void cbLogClick();
    void edLogChange();
    void btnBrowseLogClick();
    void mnuStartLogClick();
    void mnuStopLogClick();
    void mnuConfigLogClick();
    void btnLogClick();
    void boxUserCloseUp();
    void boxUserChange();
    void spSampleChange();
    void spPointsPerPageChange();
    void spPointsPerPageExit();
    void spSampleExit();
    void cbShowPlainClick();
    void cbCaptureClick();
    void cbOnlyIfLostClick();
    void Timer4Timer();
    void Timer6Timer();
    void Chart1MouseDown(int chart, Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    void Chart1MouseMove(int chart, QPoint pos);
    void Chart1MouseUp(int chart);
    void Chart1Scroll(int chart);

    Dependencies deps_;
    std::unique_ptr<Browser> ownBrowser_;
    Browser* browser_ = nullptr;
    SystemClock systemClock_;
    Clock* clock_ = nullptr;
    std::unique_ptr<DesktopShell> ownShell_;
    DesktopShell* shell_ = nullptr;
    std::unique_ptr<WindowMessages> ownMessages_;
    WindowMessages* messages_ = nullptr;

    Settings settings_;
    bool settingsFileExists_ = false;
    bool firstShown_ = false;
    bool closeSequenceDone_ = false;
    bool userTabChange_ = true;
    LineSample CurrentSample;
    std::unique_ptr<Timer> Timer1, Timer4, Timer5, Timer6;
    std::unique_ptr<GraphSet> graphs_;
    std::array<ChartView*, 5> chartViews_{};
    QMenu* popupChart_ = nullptr;
    QAction* mnu3D_ = nullptr;
    std::unique_ptr<RunControl> run_;
    std::unique_ptr<PageDriver> driver_;
    std::unique_ptr<SamplePipeline> pipeline_;
    CsvLog log_;
    TrimBusy trimBusy_;
    DataFileDialog* dataFileDialog_ = nullptr;
    QHash<QString, QCursor> cursors_;
    QRect startGeometry_;
};
