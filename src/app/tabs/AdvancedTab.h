#pragma once
// The "Advanced" tab: the user-defined graphs and the system options (closing, the tray, start
// at login, the axes, the web server's box, address, port and image size), built here and bound to
// the settings. The user-graph names and the web server box reach the window through signals.
#include <QWidget>

class BoxExitCheck;
class CsvLog;
class GraphSet;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class UserMessages;
struct Settings;

class AdvancedTab : public QWidget {
    Q_OBJECT
public:
    struct Links {
        Settings& settings;
        GraphSet& graphs;
        CsvLog& log;
        UserMessages& messages; // refused ports
    };

    explicit AdvancedTab(Links links, QWidget* parent = nullptr);

    // Load the stored settings s into the controls in the file's read order, the stored axes
    // after the user graphs they belong to; the web server's boxes come last in the file
    // (applyWebSettings, after the Configure tab's late ones).
    void applySettings(const Settings& s);
    void applyWebSettings(const Settings& s);
    void collectSettings();

    // The user-graph names: tab captions, axis titles and the log header follow the choices.
    void refreshUserGraphNames();
    void clearGroupHighlights();

    QGroupBox *GroupUserGraphs = nullptr, *GroupSystem = nullptr;
    QComboBox *boxUser1 = nullptr, *boxUser2 = nullptr;
    QRadioButton *rbTotal1 = nullptr, *rbLastHour1 = nullptr, *rbTotal2 = nullptr,
                 *rbLastHour2 = nullptr;
    QCheckBox *cbPrompt = nullptr, *cbMinimize = nullptr, *cbStartMinimized = nullptr,
              *cbLoginStart = nullptr, *cbSaveAxes = nullptr, *cbWeb = nullptr;
    QComboBox* boxWebAddress = nullptr;
    QLineEdit *edPort = nullptr, *edWidth = nullptr, *edHeight = nullptr;
    // "Address:" and "Port:", greyed out with their boxes while the server runs.
    QLabel *lblWebAddress = nullptr, *lblPort = nullptr;
    QPushButton *btnAdvanced = nullptr, *btnSystemMaintain = nullptr;

Q_SIGNALS:
    void userGraphNamesChanged(const QString& name1, const QString& name2);
    void webServerBoxChanged(bool on);

private:
    void build();
    void bindControls();
    void boxUserChange();

    Links links_;
    Settings& settings_;
    BoxExitCheck* portCheck_ = nullptr;
};
