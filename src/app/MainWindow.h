#pragma once
// The main window: toolbar, the tabbed pages (router page, graphs, settings), menus and status
// bar. It creates the monitor session and the tab and feature classes, binds their controls and
// connects their signals; start-up and the close sequence run here.
#include "app/MainWindowUi.h"
#include "app/MonitorSession.h"
#include "storage/Settings.h"

#include <QCursor>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class Browser;
class Clock;
class DataFileDialog;
class DesktopShell;
class GraphPage;
class GraphSet;
class PageDriver;
class RunControl;
class SettingsTabs;
class Timer;
class WindowMessages;
class QAction;
class QMenu;
class ChartView;
struct Settings;
class AdvancedSettingsDialog;
class DailyTimer;
class MaintenanceDialog;
class Restarter;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // What the window works with, built by main() (tests pass fakes).
    struct Dependencies {
        QString programFolder;
        Browser& browser;
        const Clock& clock;
        DesktopShell& shell;
        WindowMessages& messages;
        MonitorSession::TimerFactory timers;
        // Restarts of the program; none when empty (tests that do not restart).
        Restarter* restarter = nullptr;
        // A timer keeping to the millisecond, for the minute tick of the daily maintenance; the
        // plain factory when empty.
        std::function<std::unique_ptr<Timer>(int intervalMs)> preciseTimers = {};
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
    // Brings a tab to the front (the command line's --tab).
    void showPage(int index);

    // Set while a restart closes the program: the close sequence then asks nothing.
    bool RestartInProgress() const;

    // The parts tests drive.
    Settings& settings() { return settings_; }
    GraphSet& graphs();
    RunControl& runControl();
    PageDriver& pageDriver();
    CsvLog& log() { return session_->log(); }
    Timer& timer(int n); // 1, 4, 5 or 6

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool settingsFileExists() const;
    void createGraphPages();
    void connectMenus();
    void connectToolbar();
    void connectMonitor();
    void connectSettingsTabs();
    void wireSetup();
    void wireCaptures();
    void wireWebServerAndTray();
    void wireHousekeeping();
    void collectSettingsFromControls();
    void loadCursors();
    void writeHelpFile();
    void setToolbarTexts(const QString& uptime, const QString& nmUp, const QString& nmDown,
                         const QString& rateUp, const QString& rateDown);
    void applyRunControlView();
    void updateCaptureStatus();
    void updateLogStatus();
    void updateLogButton();
    void showTab(int index);

    // Handlers.
    void File1Click();
    void Configure1Click();
    void PageControl1Change();
    void mnuHelpClick();
    void mnuuserDefinedClick();
    void mnuConfigLogClick();
    void mnuDataRestoreClick();
    void btnLogClick();
    void Timer4Timer();
    void Timer6Timer();

    Dependencies deps_;
    Settings settings_;
    std::unique_ptr<MonitorSession> session_;
    MainWindowUi ui;
    std::array<GraphPage*, 4> graphPages_{};
    ChartView* webChartView_ = nullptr;
    SettingsTabs* tabs_ = nullptr;
    std::unique_ptr<Timer> Timer4, Timer6;
    bool firstShown_ = false;
    bool closeSequenceDone_ = false;
    bool userTabChange_ = true;
    QMenu* popupChart_ = nullptr;
    QAction* mnu3D_ = nullptr;
    DataFileDialog* dataFileDialog_ = nullptr;
    QHash<QString, QCursor> cursors_;

    // Setup wizard and router access.

    // Captures, the image viewer and the About box.

    // Web server and tray icon.

    // Housekeeping.
    void btnAdvancedClick();
    bool saveSettingsForRestart();
    void trimLogNow();
    void deleteFilesNow();
    std::unique_ptr<Timer> dailyTick_;
    std::unique_ptr<DailyTimer> dailyTimer_;
    MaintenanceDialog* maintenanceDialog_ = nullptr;
    AdvancedSettingsDialog* advancedDialog_ = nullptr;
    // Opens the image viewer modally with its top-left corner there (the Maintenance dialog's
    // "View"); set where the viewer is wired.
    std::function<void(QPoint topLeft)> openImageViewerAt_;
};
