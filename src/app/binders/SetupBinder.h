#pragma once
// The setup feature: the setup wizard (File > "Setup Wizard..." and its opening by itself on a
// first run) and the Router Access group's padlock and password mask.
#include <QObject>
#include <memory>

class ConfigureTab;
class FirstRunGate;
class QAction;
class QLabel;
class RouterAccessLock;
class SetupWizard;
class Timer;
struct WindowServices;

class SetupBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ConfigureTab& configure;
        QLabel& statusLine; // under the browser
        QAction& mnuWizard;
    };

    // showStep runs after a successful Finish (the window's show step opens the router page).
    SetupBinder(WindowServices& services, Controls controls, std::function<void()> showStep);
    ~SetupBinder() override;

    void FormActivate();
    // The mask as the stored ShowPlain says, without the password question.
    void applyPasswordMask();
    bool settingsFileExists() const;
    Timer& gateTimer() { return *Timer4; }

private:
    void mnuWizardClick();
    // Finish: the address and password into the Router Access group, saved, then the show step.
    bool wizardFinish(const QString& address, const QString& password, QString* error);

    WindowServices& services_;
    Controls c_;
    std::function<void()> showStep_;
    std::unique_ptr<Timer> Timer4;
    SetupWizard* wizard_ = nullptr;
    RouterAccessLock* accessLock_ = nullptr;
    std::unique_ptr<FirstRunGate> firstRunGate_;
};
