#include "app/binders/SetupBinder.h"

#include "app/binders/FirstRunGate.h"
#include "app/binders/WindowServices.h"
#include "app/dialogs/SetupWizard.h"
#include "app/dialogs/WindowMessages.h"
#include "app/tabs/ConfigureTab.h"
#include "app/tabs/RouterAccessLock.h"
#include "core/ProgramPaths.h"
#include "storage/Settings.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

SetupBinder::SetupBinder(WindowServices& services, Controls controls,
                         std::function<void()> showStep)
    : services_(services), c_(controls), showStep_(std::move(showStep)) {
    Timer4 = services_.timers(FirstRunGate::DelayMs, true);
    // Made after the window's own controls, so that a search by name finds their "edAddress"
    // before the wizard's. It keeps its own message boxes: one over the main window could not be
    // answered while the wizard is modal.
    wizard_ = new SetupWizard(&services_.window);
    wizard_->setFinishHandler(
        [this](const QString& address, const QString& password, QString* error) {
            return wizardFinish(address, password, error);
        });
    ConfigureTab& tab = c_.configure;
    accessLock_ = new RouterAccessLock({tab.Image11, tab.Image26, tab.edAddress, tab.edPassword1,
                                        tab.cbShowPlain, &services_.window},
                                       services_.messages, {}, &services_.window);
    // Locking the box takes its text as leaving it does: a refused one gives way to the old.
    connect(accessLock_, &RouterAccessLock::aboutToLock, &tab, &ConfigureTab::edAddressExit);

    FirstRunGate::Hooks hooks;
    hooks.settingsFileExists = [this] { return settingsFileExists(); };
    hooks.passwordEmpty = [this] { return c_.configure.edPassword1->text().isEmpty(); };
    hooks.wizardShowing = [this] { return wizard_->isVisible(); };
    hooks.openWizard = [this] { mnuWizardClick(); };
    hooks.setStatusLine = [this](const QString& text) { c_.statusLine.setText(text); };
    firstRunGate_ = std::make_unique<FirstRunGate>(*Timer4, std::move(hooks));
    connect(wizard_, &SetupWizard::cancelled, this, [this] { firstRunGate_->wizardCancelled(); });

    connect(&c_.mnuWizard, &QAction::triggered, this, [this] { mnuWizardClick(); });
}

SetupBinder::~SetupBinder() = default;

bool SetupBinder::settingsFileExists() const {
    return QFileInfo::exists(ProgramPaths::settingsFile(services_.programFolder));
}

void SetupBinder::FormActivate() {
    firstRunGate_->FormActivate();
}

void SetupBinder::applyPasswordMask() {
    accessLock_->cbShowPlainClick();
}

void SetupBinder::mnuWizardClick() {
    wizard_->openCentredOn(&services_.window, c_.configure.edAddress->text());
}

bool SetupBinder::wizardFinish(const QString& address, const QString& password, QString* error) {
    // Saved before anything changes: a failed save leaves the controls and the browser as they
    // were, and the wizard open with its entries.
    services_.collectSettings();
    Settings toSave = services_.settings;
    toSave.Address = address;
    toSave.Password = password;
    if (!toSave.save(ProgramPaths::settingsFile(services_.programFolder), error))
        return false;
    c_.configure.setRouterAddress(address);
    c_.configure.edPassword1->setText(password);
    firstRunGate_->wizardFinished();
    showStep_();
    return true;
}
