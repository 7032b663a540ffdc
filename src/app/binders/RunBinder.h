#pragma once
// The run feature: Start and Pause on the toolbar with their captions, pictures and pressed
// state, and the monitor's view of the router: toolbar values, indicators, the status line and
// the last page text, the window title and the start time and router state in the status bar.
#include <QObject>
#include <functional>

class ConfigureTab;
class HomeHubTab;
class QLabel;
class QPlainTextEdit;
class ToolBar;
struct WindowServices;

class RunBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ToolBar& toolBar;
        HomeHubTab& homeHub;
        ConfigureTab& configure;
        QPlainTextEdit& lastPage; // on the hidden tab
        QLabel& startTime;        // status bar panel 0
        QLabel& routerState;      // status bar panel 3
    };

    // showHomeHub brings the "Home Hub" tab to the front as the program's own change.
    RunBinder(WindowServices& services, Controls controls, std::function<void()> showHomeHub);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindToolbar();
    void bindMonitor();
    void applyRunControlView();

    WindowServices& services_;
    Controls c_;
    std::function<void()> showHomeHub_;
};
