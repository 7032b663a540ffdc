#pragma once
// The "Configure" tab: the Router Access, Graphs and Log groups, built here and bound to the
// settings (the router address and web port checked when left, the sample interval and page
// size, the capture and log boxes). What shows elsewhere (toolbar indicators, the log button) the
// window learns through signals.
#include <QWidget>

class BoxExitCheck;
class GraphSet;
class PageDriver;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class Timer;
class UserMessages;
struct Settings;

class ConfigureTab : public QWidget {
    Q_OBJECT
public:
    struct Links {
        Settings& settings;
        GraphSet& graphs;
        PageDriver& driver;
        Timer& sampleTimer;
        UserMessages& messages; // refused router addresses
        QString programFolder;  // where the log chooser opens
    };

    explicit ConfigureTab(Links links, QWidget* parent = nullptr);

    // Load the stored settings s into the controls in the file's read order, each control's
    // handler running as for a user change (ticking cbOnlyIfLost, applied after cbCapture,
    // clears cbCapture). The file reads cbOnlyIfLost and the log after the Advanced tab's
    // options: applyLateSettings comes after that tab's applySettings.
    void applySettings(const Settings& s);
    void applyLateSettings(const Settings& s);
    void collectSettings();

    // The router address box is checked as the wizard checks it when the user leaves it and
    // when the padlock locks it; only an accepted address reaches the setting Address, in
    // plain decimal. Returns whether the box's text was accepted.
    bool edAddressExit();
    // An address already checked (the wizard's) into the box and the setting.
    void setRouterAddress(const QString& address);

    // "Start Logging": ticks the box, asking for a log file first when its folder is missing.
    void mnuStartLogClick();
    void mnuStopLogClick();
    void clearGroupHighlights();

    QGroupBox *GroupRouterAccess = nullptr, *GroupGraphs = nullptr, *GroupLog = nullptr;
    QLineEdit* edAddress = nullptr;
    QLabel *Image11 = nullptr, *Image26 = nullptr; // padlocks
    QComboBox* boxType1 = nullptr;
    QLineEdit* edPassword1 = nullptr;
    QCheckBox* cbShowPlain = nullptr;
    QSpinBox *spSample = nullptr, *spPointsPerPage = nullptr;
    QLabel* Panel5 = nullptr; // time per page
    QLineEdit* edCapture = nullptr;
    QPushButton* btnBrowse = nullptr;
    QCheckBox *cbCapture = nullptr, *cbOnlyIfLost = nullptr, *cbCaptureOnClose = nullptr;
    QPushButton* btnImagesMaintain = nullptr;
    QLabel* Image23 = nullptr; // tick beside the images "Maintenance" button
    QCheckBox* cbLog = nullptr;
    QLineEdit* edLog = nullptr;
    QPushButton *btnBrowseLog = nullptr, *btnLogMaintain = nullptr;
    QLabel* Image16 = nullptr; // tick beside the log "Maintenance" button

Q_SIGNALS:
    void loggingChanged(bool on);
    void logFileChanged(const QString& path);
    void captureIndicatorsChanged(bool everyPage, bool onLostConnection);

private:
    void build();
    void bindControls();
    void spSampleChange();
    void spPointsPerPageChange();
    void cbCaptureClick();
    void cbOnlyIfLostClick();
    void btnBrowseLogClick();
    QString chooseLogFile();

    Links links_;
    Settings& settings_;
    BoxExitCheck* addressCheck_ = nullptr;
};
