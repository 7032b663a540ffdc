#pragma once
// The log feature: the toolbar's ViewLog button and logging indicator, the Configure menu's
// logging items, and the log's size in the status bar.
#include <QObject>

class ConfigureTab;
class MainMenus;
class QLabel;
class ToolBar;
struct WindowServices;

class LogBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ToolBar& toolBar;
        ConfigureTab& configure;
        MainMenus& menus;
        QLabel& logStatus; // status bar panel 1
    };

    LogBinder(WindowServices& services, Controls controls);

    // ViewLog acts only on an existing file.
    void updateLogButton();
    // The log's size while logging, and the button.
    void updateLogStatus();
    // Start-up: the size of a log file that exists, logging or not.
    void showLogFileSize();

private:
    void btnLogClick();

    WindowServices& services_;
    Controls c_;
};
