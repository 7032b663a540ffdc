#pragma once
// The housekeeping feature: the daily jobs at every minute boundary and at every Start (log trim,
// data-file trim, old images, the scheduled restart), the restarter's steps, the Maintenance and
// More Advanced Settings dialogs with their buttons, menu item and tick pictures.
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

class AdvancedSettingsDialog;
class AdvancedTab;
class ConfigureTab;
class DailyTimer;
class DataFileDialog;
class MainMenus;
class MaintenanceDialog;
class Restarter;
class Timer;
struct WindowServices;

class HousekeepingBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ConfigureTab& configure;
        AdvancedTab& advanced;
        MainMenus& menus;
        DataFileDialog& dataFileDialog; // opened from the More Advanced Settings dialog too
    };
    // What other features do after a job.
    struct Hooks {
        std::function<void(QPoint topLeft)> openImageViewer;
        std::function<void()> applyWebFolder; // the Advanced dialog may change the folder
        std::function<void()> updateLogStatus;
        std::function<void()> updateCaptureStatus;
    };
    using PreciseTimers = std::function<std::unique_ptr<Timer>(int intervalMs)>;

    // restarter may be null (no restarts); preciseTimers empty: the plain timer factory.
    HousekeepingBinder(WindowServices& services, Controls controls, Hooks hooks,
                       Restarter* restarter, const PreciseTimers& preciseTimers);
    ~HousekeepingBinder() override;

private:
    void bindDialogs();
    void btnAdvancedClick();
    bool saveSettingsForRestart();
    void trimLogNow();
    void deleteFilesNow();

    WindowServices& services_;
    Controls c_;
    Hooks hooks_;
    Restarter* restarter_;
    std::unique_ptr<Timer> dailyTick_;
    std::unique_ptr<DailyTimer> dailyTimer_;
    MaintenanceDialog* maintenanceDialog_ = nullptr;
    AdvancedSettingsDialog* advancedDialog_ = nullptr;
};
