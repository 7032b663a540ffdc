#pragma once
// The Configure and Advanced tabs: their controls bound to the settings, and their handlers (the
// sample interval and page size, the password mask, the capture and log boxes, the user-defined
// graphs, the web server boxes, the group highlights). What the window shows elsewhere (toolbar
// indicators, tab captions) it learns through signals.
#include <QObject>
#include <QString>

class BoxExitCheck;
class CsvLog;
class GraphSet;
class MainWindowUi;
class PageDriver;
class QGroupBox;
class QWidget;
class Timer;
class UserMessages;
struct Settings;

class SettingsTabs : public QObject {
    Q_OBJECT
public:
    struct Links {
        Settings* settings = nullptr;
        GraphSet* graphs = nullptr;
        PageDriver* driver = nullptr;
        CsvLog* log = nullptr;
        Timer* sampleTimer = nullptr;
        QString programFolder; // where the log chooser opens
        QWidget* dialogParent = nullptr;
        UserMessages* messages = nullptr; // refused router addresses and ports
    };

    SettingsTabs(MainWindowUi& ui, Links links, QObject* parent = nullptr);

    // Loads the settings into the controls in the file's read order; each control's handler runs
    // as for a user change (ticking cbOnlyIfLost, applied after cbCapture, clears cbCapture).
    void applySettingsToControls();
    // The settings taken from these tabs at save time.
    void collectSettings();

    // The router address box is checked as the wizard checks it when the user leaves it and
    // when the padlock locks it; only an accepted address reaches the setting Address, in
    // plain decimal. Returns whether the box's text was accepted.
    bool edAddressExit();
    // An address already checked (the wizard's) into the box and the setting.
    void setRouterAddress(const QString& address);

    // The user-graph names: tab captions, axis titles and the log header follow the choices.
    void refreshUserGraphNames();
    // "Start Logging": ticks the box, asking for a log file first when its folder is missing.
    void mnuStartLogClick();
    void mnuStopLogClick();

    // One group turns white (a menu's "Configure ..." item) until the user next changes tabs.
    void highlightGroup(QGroupBox* group);
    void clearGroupHighlights();

Q_SIGNALS:
    void userGraphNamesChanged(const QString& name1, const QString& name2);
    void loggingChanged(bool on);
    void logFileChanged(const QString& path);
    void captureIndicatorsChanged(bool everyPage, bool onLostConnection);
    void webServerBoxChanged(bool on);

private:
    void bindControls();
    void spSampleChange();
    void spPointsPerPageChange();
    void spPointsPerPageExit();
    void spSampleExit();
    void cbCaptureClick();
    void cbOnlyIfLostClick();
    void boxUserChange();
    void btnBrowseLogClick();
    QString chooseLogFile();

    MainWindowUi& ui;
    Links links_;
    Settings& settings_;
    BoxExitCheck* addressCheck_ = nullptr;
    BoxExitCheck* portCheck_ = nullptr;
};
