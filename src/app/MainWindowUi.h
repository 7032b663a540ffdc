#pragma once
// The main window's widgets, built in code the way a designer form would be: every control
// carries its object name, so handlers and tests find it by that name.
#include <QString>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QStackedLayout;
class QTabWidget;
class QToolButton;
class QPushButton;
class QWidget;

class MainWindowUi {
public:
    // Builds every region; the browser view, the four graph pages and the web-image chart are
    // placed on their tabs.
    void setupUi(QMainWindow* window, QWidget* browserView,
                 const std::array<QWidget*, 4>& graphPages, QWidget* webChart);

    // Toolbar.
    QFrame* ToolBar = nullptr;
    QToolButton *btnRun = nullptr, *btnStop = nullptr, *btnCapture = nullptr, *btnViewCap = nullptr,
                *btnLog = nullptr;
    QLabel *Image1 = nullptr, *Image2 = nullptr, *Image7 = nullptr, *Image3 = nullptr;
    QLabel *Label20 = nullptr, *Label22 = nullptr, *Label15 = nullptr, *Label23 = nullptr,
           *Label25 = nullptr;

    // Pages.
    QTabWidget* PageControl1 = nullptr;
    QWidget *TabHomeHub = nullptr, *TabConfigure = nullptr, *TabAdvanced = nullptr,
            *TabSheet3 = nullptr;
    std::array<QWidget*, 4> graphSheets{}; // TabSheet1, TabSheet2, TabSheet6, TabSheet7
    QLabel* Panel4 = nullptr; // "Please wait. Connecting to the Home Hub...." over the browser
    QLabel* Label2 = nullptr; // status line under the browser
    QPlainTextEdit* Memo1 = nullptr;

    // Configure tab.
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

    // Advanced tab.
    QGroupBox *GroupUserGraphs = nullptr, *GroupSystem = nullptr;
    QComboBox *boxUser1 = nullptr, *boxUser2 = nullptr;
    QRadioButton *rbTotal1 = nullptr, *rbLastHour1 = nullptr, *rbTotal2 = nullptr,
                 *rbLastHour2 = nullptr;
    QCheckBox *cbPrompt = nullptr, *cbMinimize = nullptr, *cbStartMinimized = nullptr,
              *cbSaveAxes = nullptr, *cbWeb = nullptr;
    QComboBox* boxWebAddress = nullptr;
    QLineEdit *edPort = nullptr, *edWidth = nullptr, *edHeight = nullptr;
    // "Address:" and "Port:", greyed out with their boxes while the server runs.
    QLabel *lblWebAddress = nullptr, *lblPort = nullptr;
    QPushButton *btnAdvanced = nullptr, *btnSystemMaintain = nullptr;

    // Status bar panels 0, 1, 2 and the router state.
    std::array<QLabel*, 4> statusPanels{};

    // Menus.
    QMenu *File1 = nullptr, *Edit1 = nullptr, *Configure1 = nullptr, *Help1 = nullptr;
    QAction *mnuCaptureVisible = nullptr, *mnuCaptureAll = nullptr, *mnuSaveAs = nullptr,
            *mnuMaintain = nullptr, *mnuRestoreData = nullptr, *mnuDataRestore = nullptr,
            *mnuWizard = nullptr, *mnuExit = nullptr;
    QAction *mnuCopy = nullptr, *mnuCopyWeb1 = nullptr, *mnuSelectAllWeb1 = nullptr;
    QAction *mnuStartCapture = nullptr, *mnuStopCapture = nullptr, *mnuStartLog = nullptr,
            *mnuStopLog = nullptr, *mnuConfigCap = nullptr, *mnuConfigLog = nullptr,
            *mnuuserDefined = nullptr;
    QAction *mnuHelp = nullptr, *mnuAbout = nullptr;

private:
    QWidget* buildToolbar(QWidget* parent);
    QWidget* buildConfigureTab();
    QWidget* buildAdvancedTab();
    void buildMenus(QMainWindow* window);
};
