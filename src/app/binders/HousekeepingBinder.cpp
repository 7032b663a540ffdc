#include "app/binders/HousekeepingBinder.h"

#include "app/binders/WindowServices.h"
#include "app/desktop/WindowPlacement.h"
#include "app/dialogs/AdvancedSettingsDialog.h"
#include "app/dialogs/ImageViewer.h"
#include "app/dialogs/MaintenanceDialog.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/AdvancedTab.h"
#include "app/tabs/ConfigureTab.h"
#include "app/tabs/MainMenus.h"
#include "core/Clock.h"
#include "core/ProgramPaths.h"
#include "core/Timer.h"
#include "housekeeping/DailyTimer.h"
#include "housekeeping/ImageDeletion.h"
#include "housekeeping/Restarter.h"
#include "monitor/RunControl.h"
#include "storage/CsvLog.h"
#include "storage/Settings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <cstdio>

HousekeepingBinder::HousekeepingBinder(WindowServices& services, Controls controls, Hooks hooks,
                                       Restarter* restarter, const PreciseTimers& preciseTimers)
    : services_(services), c_(controls), hooks_(std::move(hooks)), restarter_(restarter) {
    MonitorSession& session = services_.session;
    // The daily jobs, checked at every minute boundary and at every Start and Resume.
    dailyTick_ = preciseTimers ? preciseTimers(60000) : services_.timers(60000, false);
    DailyTimer::Jobs jobs;
    jobs.TrimLog = [this] { trimLogNow(); };
    jobs.TrimDataFileProc = [&session] { session.TrimDataFileProc(); };
    jobs.DeleteFiles = [this] { deleteFilesNow(); };
    jobs.Restart = [this] {
        if (restarter_)
            restarter_->ScheduledRestart();
    };
    dailyTimer_ =
        std::make_unique<DailyTimer>(services_.settings, services_.clock, *dailyTick_, jobs);
    connect(&session.run(), &RunControl::maintenanceCheckRequested, this,
            [this] { dailyTimer_->DailyTimerTimer(); });

    if (restarter_) {
        Restarter::Steps steps;
        steps.SaveSettings = [this] { return saveSettingsForRestart(); };
        // exit(), not quit(): quit() would close the window and run the close sequence.
        steps.EndProgram = [] { QCoreApplication::exit(0); };
        steps.CloseMainWindow = [this] { return services_.window.close(); };
        steps.Busy = [] { return QApplication::activeModalWidget() != nullptr; };
        restarter_->setSteps(steps);
    }
    bindDialogs();
}

// The restarter outlives the window and this binder: it keeps no step of theirs.
HousekeepingBinder::~HousekeepingBinder() {
    if (restarter_)
        restarter_->setSteps({});
}

void HousekeepingBinder::bindDialogs() {
    QWidget& window = services_.window;
    maintenanceDialog_ =
        new MaintenanceDialog(services_.settings, &services_.shell, &services_.messages, &window);
    maintenanceDialog_->TrimLogNow = [this] { trimLogNow(); };
    maintenanceDialog_->DeleteFilesNow = [this] { deleteFilesNow(); };
    connect(maintenanceDialog_, &MaintenanceDialog::trimLogChanged, c_.configure.Image16,
            &QWidget::setVisible);
    connect(maintenanceDialog_, &MaintenanceDialog::deleteImagesChanged, c_.configure.Image23,
            &QWidget::setVisible);
    connect(maintenanceDialog_, &MaintenanceDialog::viewImagesRequested, this, [this] {
        hooks_.openImageViewer(
            ImageViewer::placement(services_.window.frameGeometry().topLeft(), 50));
    });
    const auto openMaintenance = [this](MaintenanceDialog::Highlight highlight) {
        return [this, highlight] {
            maintenanceDialog_->Open(highlight, services_.window.frameGeometry());
        };
    };
    connect(c_.configure.btnImagesMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::Images));
    connect(c_.configure.btnLogMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::Log));
    connect(c_.advanced.btnSystemMaintain, &QPushButton::clicked, this,
            openMaintenance(MaintenanceDialog::Highlight::None));
    connect(c_.menus.mnuMaintain, &QAction::triggered, this,
            openMaintenance(MaintenanceDialog::Highlight::None));

    advancedDialog_ = new AdvancedSettingsDialog(services_.settings, services_.clock,
                                                 &services_.shell, &services_.messages, &window);
    advancedDialog_->setDataFileDialog(&c_.dataFileDialog);
    connect(c_.advanced.btnAdvanced, &QPushButton::clicked, this, [this] { btnAdvancedClick(); });
    // Queued: the restart closes the window, which must wait for the dialog's modal loop to end.
    connect(
        advancedDialog_, &AdvancedSettingsDialog::restartNowRequested, this,
        [this] {
            // The last window closing need not end the program (a tray icon keeps it).
            if (restarter_ && restarter_->RestartNow())
                QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);

    for (QWidget* w : std::initializer_list<QWidget*>{
             c_.configure.btnImagesMaintain, c_.configure.btnLogMaintain, c_.advanced.btnAdvanced,
             c_.advanced.btnSystemMaintain})
        w->setEnabled(true);
    c_.menus.mnuMaintain->setEnabled(true);
}

// The scheduled restart saves without a message box: nobody may be there to answer it, and the
// previous settings file is still whole when the save fails.
bool HousekeepingBinder::saveSettingsForRestart() {
    services_.collectSettings();
    QString error;
    if (services_.settings.save(ProgramPaths::settingsFile(services_.programFolder), &error))
        return true;
    std::fprintf(stderr, "lintrove5a: %s\n", qPrintable(error));
    return false;
}

void HousekeepingBinder::trimLogNow() {
    const Settings& settings = services_.settings;
    QString error;
    if (!TrimLog(settings.LogFile, settings.TrimLines, services_.session.trimBusy(), &error))
        services_.messages.inform(error);
    hooks_.updateLogStatus();
}

void HousekeepingBinder::deleteFilesNow() {
    const DeletionResult result =
        DeleteFiles(services_.settings, services_.programFolder, services_.clock.now());
    for (const QString& path : result.failed)
        std::fprintf(stderr, "lintrove5a: could not delete %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
    hooks_.updateCaptureStatus();
}

void HousekeepingBinder::btnAdvancedClick() {
    // Before its first showing a dialog has not taken its size yet.
    if (!advancedDialog_->testAttribute(Qt::WA_Resized))
        advancedDialog_->adjustSize();
    advancedDialog_->move(WindowPlacement::centredOn(services_.window.frameGeometry(),
                                                     advancedDialog_->frameGeometry().size()));
    // Its settings are read where they are used; the pause delay at the next pause. The web
    // server keeps its own copy of the folder, so it takes the one the dialog may have changed.
    advancedDialog_->exec();
    hooks_.applyWebFolder();
}
