#pragma once
// The main window: toolbar, the tabbed pages (router page, graphs, settings), menus and status
// bar. It creates the monitor session and the tab and feature classes, binds their controls and
// connects their signals; start-up and the close sequence run here.
#include "app/MonitorSession.h"
#include "storage/Settings.h"

#include <QCursor>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class AboutBox;
class AdvancedTab;
class ConfigureTab;
class HomeHubTab;
class MainMenus;
class QLabel;
class QPlainTextEdit;
class QTabWidget;
class ToolBar;
class Browser;
class BrowserContextMenu;
class Clock;
class DataFileDialog;
class DesktopShell;
class FirstRunGate;
class GraphCapture;
class GraphPage;
class ImageViewer;
class GraphSet;
class PageDriver;
class RouterAccessLock;
class RunControl;
class SetupWizard;
class StatsPagePicture;
class Timer;
class WebImageWriter;
class WindowMessages;
class QAction;
class QMenu;
class ChartView;
struct Settings;
class AdvancedSettingsDialog;
class DailyTimer;
class MaintenanceDialog;
class MetricsSnapshot;
class Restarter;
class TrayIcon;
class WebImageWriter;
class WebServer;
class WebServerControl;

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
        // The machine's IPv4 addresses for the web server's address box; empty: asked of the
        // network interfaces (tests keep to the loopback).
        std::function<QStringList()> networkAddresses = {};
        // Restarts of the program; none when empty (tests that do not restart).
        Restarter* restarter = nullptr;
        // A timer keeping to the millisecond, for the minute tick of the daily maintenance; the
        // plain factory when empty.
        std::function<std::unique_ptr<Timer>(int intervalMs)> preciseTimers = {};
        // The help document an installed copy carries (share/doc/lintrove5a): opened as it is,
        // never written or deleted. Empty: the window writes its own copy into the program
        // folder at start and deletes it at close.
        QString installedHelpFile = {};
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
    void buildForm();
    void clearGroupHighlights();
    void connectMenus();
    void connectToolbar();
    void connectMonitor();
    void connectTabs();
    void wireSetup();
    void wireCaptures();
    void wireWebServerAndTray();
    void wireHousekeeping();
    void collectSettingsFromControls();
    void loadCursors();
    void writeHelpFile();
    QString helpFile() const;
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
    void Timer6Timer();

    Dependencies deps_;
    Settings settings_;
    std::unique_ptr<MonitorSession> session_;
    std::array<GraphPage*, 4> graphPages_{};
    ChartView* webChartView_ = nullptr;
    ToolBar* toolBar_ = nullptr;
    QTabWidget* pages_ = nullptr;
    HomeHubTab* homeHub_ = nullptr;
    ConfigureTab* configure_ = nullptr;
    AdvancedTab* advanced_ = nullptr;
    QPlainTextEdit* memo_ = nullptr; // the last page text, on the hidden tab
    std::array<QLabel*, 4> statusPanels_{};
    std::unique_ptr<MainMenus> menus_;
    std::unique_ptr<Timer> Timer4, Timer6;
    bool firstShown_ = false;
    bool closeSequenceDone_ = false;
    bool userTabChange_ = true;
    QMenu* popupChart_ = nullptr;
    QAction* mnu3D_ = nullptr;
    DataFileDialog* dataFileDialog_ = nullptr;
    QHash<QString, QCursor> cursors_;

    // Setup wizard and router access.
    void mnuWizardClick();
    // Finish: the address and password into the Router Access group, saved, then the show step.
    bool wizardFinish(const QString& address, const QString& password, QString* error);
    SetupWizard* wizard_ = nullptr;
    RouterAccessLock* accessLock_ = nullptr;
    std::unique_ptr<FirstRunGate> firstRunGate_;

    // Captures, the image viewer and the About box.
    void edCaptureChange();
    void btnBrowseClick();
    void mnuStartCaptureClick();
    void mnuConfigCapClick();
    void captureMenusForTab(); // File and Edit menu items by the active tab
    void btnViewCapClick();
    void openImageViewer(QPoint topLeft);
    void mnuAboutClick();
    std::unique_ptr<GraphCapture> capture_;
    std::unique_ptr<WebImageWriter> webImageWriter_;
    // Whether web clients are reading the served image; the web server sets it.
    std::function<bool()> webImageBusy_ = [] { return false; };
    StatsPagePicture* statsPagePicture_ = nullptr;
    BrowserContextMenu* browserMenu_ = nullptr;
    ImageViewer* imageViewer_ = nullptr; // created at the first "View"
    AboutBox* aboutBox_ = nullptr;       // created at the first "About..."

    // Web server and tray icon.
public:
    // True while a web client is measuring noise.jpg: the web image is not rewritten then.
    std::function<bool()> webImageBusy();
    // The server serves the folder the WebFolder setting names (created when missing); run at
    // start-up and after the Advanced dialog, where the folder is changed.
    void applyWebFolder();
    WebServerControl& webServerControl() { return *webControl_; }
    TrayIcon& trayIcon() { return *tray_; }

private:
    void startWebServer();
    QStringList webAddresses() const;
    void cbWebClick();
    // Destroyed in reverse: the tray, the control, the server (its threads end), the snapshot.
    std::unique_ptr<MetricsSnapshot> metrics_;
    std::unique_ptr<WebServer> webServer_;
    std::unique_ptr<WebServerControl> webControl_;
    std::unique_ptr<TrayIcon> tray_;
    bool webServerStarted_ = false; // the box follows clicks once start-up has set it
    bool samplePlotted_ = false;

    // Housekeeping.
    void btnAdvancedClick();
    bool saveSettingsForRestart();
    void trimLogNow();
    void deleteFilesNow();
    std::unique_ptr<Timer> dailyTick_;
    std::unique_ptr<DailyTimer> dailyTimer_;
    MaintenanceDialog* maintenanceDialog_ = nullptr;
    AdvancedSettingsDialog* advancedDialog_ = nullptr;
};
