#pragma once
// The main window, a switchboard: it creates the monitor session, the tabs, the menus and the
// status bar, and one binder per feature that binds that feature's controls and holds its
// handlers. Start-up and the close sequence run here.
#include "app/MonitorSession.h"
#include "app/desktop/HelpDocument.h"
#include "storage/Settings.h"

#include <QCursor>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class AdvancedTab;
class Browser;
class CaptureBinder;
class ChartMenu;
class ChartView;
class Clock;
class ConfigureTab;
class DataFileDialog;
class DropsBinder;
class DesktopShell;
class GraphPage;
class GraphSet;
class HelpBinder;
class HomeHubTab;
class HousekeepingBinder;
class LogBinder;
class LoginStartBinder;
class MainMenus;
class PageDriver;
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class Restarter;
class RunBinder;
class RunControl;
class SetupBinder;
class Timer;
class ToolBar;
class TrayIcon;
class WebServerBinder;
class WebServerControl;
class WindowMessages;
struct Settings;
struct WindowServices;

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
    // A second launch asked for this window: out of the tray or the taskbar, raised and active,
    // maximized still if it was.
    void bringForward();

    // Set while a restart closes the program: the close sequence then asks nothing.
    bool RestartInProgress() const;

    // The parts tests drive.
    Settings& settings() { return settings_; }
    GraphSet& graphs();
    RunControl& runControl();
    PageDriver& pageDriver();
    CsvLog& log() { return session_->log(); }
    Timer& timer(int n); // 1, 4, 5 or 6
    // True while a web client is measuring noise.jpg: the web image is not rewritten then.
    std::function<bool()> webImageBusy();
    // The web server takes the folder the WebFolder setting names now.
    void applyWebFolder();
    WebServerControl& webServerControl();
    TrayIcon& trayIcon();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createGraphPages();
    void buildForm();
    void connectTabs();
    void connectMenus();
    void createBinders();
    void clearGroupHighlights();
    void collectSettingsFromControls();
    void loadCursors();
    void showTab(int index);

    // The window's own menu items.
    void File1Click();
    void Configure1Click();
    void PageControl1Change();
    void mnuuserDefinedClick();
    void mnuDataRestoreClick();
    void Timer6Timer();

    Dependencies deps_;
    Settings settings_;
    HelpDocument help_;
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
    std::unique_ptr<Timer> Timer6;
    bool firstShown_ = false;
    bool closeSequenceDone_ = false;
    bool userTabChange_ = true;
    ChartMenu* popupChart_ = nullptr;
    DataFileDialog* dataFileDialog_ = nullptr;
    QHash<QString, QCursor> cursors_;

    // The features, each with its own controls and handlers. Destroyed in reverse, before the
    // session: the drops window, housekeeping, then the web server's tray, control, server and
    // snapshot.
    std::unique_ptr<WindowServices> services_;
    std::unique_ptr<RunBinder> run_;
    std::unique_ptr<LogBinder> log_;
    std::unique_ptr<SetupBinder> setup_;
    std::unique_ptr<CaptureBinder> capture_;
    std::unique_ptr<WebServerBinder> web_;
    std::unique_ptr<HousekeepingBinder> housekeeping_;
    std::unique_ptr<DropsBinder> drops_;
    std::unique_ptr<HelpBinder> helpMenu_;
    std::unique_ptr<LoginStartBinder> loginStart_;
};
