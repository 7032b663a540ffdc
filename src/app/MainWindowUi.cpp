#include "app/MainWindowUi.h"

#include "app/tabs/BoundedSpinBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {

template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

QToolButton* toolButton(const char* name, const QString& caption, const QString& hint,
                        const QString& icon = {}) {
    auto* b = named(new QToolButton, name);
    b->setText(caption);
    b->setToolTip(hint);
    if (!icon.isEmpty()) {
        b->setIcon(QIcon(QStringLiteral(":/") + icon));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    b->setAutoRaise(true);
    b->setMinimumSize(56, 44);
    return b;
}

QLabel* picture(const char* name, const QString& resource, const QString& hint) {
    auto* l = named(new QLabel, name);
    l->setPixmap(QPixmap(QStringLiteral(":/") + resource));
    l->setToolTip(hint);
    l->setFixedSize(22, 22);
    return l;
}

QLabel* valueLabel(const char* name, const QColor& colour, bool bold) {
    auto* l = named(new QLabel, name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(90);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(bold);
    l->setFont(f);
    return l;
}

QLabel* caption(const QString& text) {
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QGroupBox* group(const char* name, const QString& title) {
    auto* g = named(new QGroupBox(title), name);
    g->setAutoFillBackground(true); // so a highlight colour shows
    return g;
}

} // namespace

void MainWindowUi::setupUi(QMainWindow* window, QWidget* browserView,
                           const std::array<QWidget*, 4>& graphPages, QWidget* webChart) {
    window->setObjectName(QStringLiteral("Form1"));
    window->setWindowTitle(QStringLiteral("Lintrove 5A"));
    window->setMinimumSize(842, 643);
    window->setFont(QFont(QStringLiteral("Arial"), 8));

    auto* central = new QWidget(window);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildToolbar(central));

    PageControl1 = named(new QTabWidget, "PageControl1");
    PageControl1->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { height: 25px; width: 105px; padding: 0px; }"));
    column->addWidget(PageControl1, 1);

    // 0: the router's page.
    TabHomeHub = named(new QWidget, "TabHomeHub");
    {
        auto* l = new QVBoxLayout(TabHomeHub);
        l->setContentsMargins(2, 2, 2, 2);
        auto* stack = new QWidget;
        auto* grid = new QGridLayout(stack);
        grid->setContentsMargins(0, 0, 0, 0);
        if (browserView)
            grid->addWidget(browserView, 0, 0);
        Panel4 = named(new QLabel(QStringLiteral("Please wait. Connecting to the Home Hub....")),
                       "Panel4");
        Panel4->setAlignment(Qt::AlignCenter);
        Panel4->setAutoFillBackground(true);
        QFont f = Panel4->font();
        f.setPointSize(12);
        Panel4->setFont(f);
        grid->addWidget(Panel4, 0, 0);
        l->addWidget(stack, 1);
        Label2 = named(new QLabel, "Label2");
        l->addWidget(Label2);
    }
    PageControl1->addTab(TabHomeHub, QStringLiteral("Home Hub"));

    // 1..4: the visible graphs, each page with its chart and page-button panel.
    const char* sheetCaptions[] = {"Noise Margin", "Connection Speed", "Max Rate",
                                   "Line Attenuation"};
    for (int i = 0; i < 4; ++i) {
        graphSheets[size_t(i)] = graphPages[size_t(i)];
        PageControl1->addTab(graphPages[size_t(i)], QLatin1String(sheetCaptions[i]));
    }

    TabConfigure = buildConfigureTab();
    PageControl1->addTab(TabConfigure, QStringLiteral("Configure"));
    TabAdvanced = buildAdvancedTab();
    PageControl1->addTab(TabAdvanced, QStringLiteral("Advanced"));

    // 7: never shown; the web-image graph and the last page text live here.
    TabSheet3 = named(new QWidget, "TabSheet3");
    {
        auto* l = new QVBoxLayout(TabSheet3);
        if (webChart)
            l->addWidget(webChart, 1);
        Memo1 = named(new QPlainTextEdit, "Memo1");
        Memo1->setReadOnly(true);
        l->addWidget(Memo1);
    }
    PageControl1->addTab(TabSheet3, QString());
    PageControl1->setTabVisible(7, false);

    window->setCentralWidget(central);

    auto* status = named(new QStatusBar, "StatusBar1");
    status->setFont(QFont(QStringLiteral("Arial"), 8));
    // The fourth panel tells the router's state.
    const int widths[] = {250, 300, 50, 160};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        if (i < 2)
            panel->setFixedWidth(widths[i]);
        statusPanels[size_t(i)] = panel;
        status->addWidget(panel, i == 2 ? 1 : 0);
    }
    window->setStatusBar(status);

    buildMenus(window);
}

QWidget* MainWindowUi::buildToolbar(QWidget* parent) {
    ToolBar = named(new QFrame(parent), "ToolBar1");
    ToolBar->setAutoFillBackground(true);
    QPalette p = ToolBar->palette();
    QLinearGradient g(0, 0, 0, 60);
    g.setColorAt(0, QColor(250, 250, 252));
    g.setColorAt(1, QColor(214, 222, 236));
    p.setBrush(QPalette::Window, QBrush(g));
    ToolBar->setPalette(p);
    auto* row = new QHBoxLayout(ToolBar);
    row->setContentsMargins(6, 2, 6, 2);

    btnRun = toolButton("btnRun", QStringLiteral("Start"), QStringLiteral("Start / pause plotting"),
                        QStringLiteral("startbitmap"));
    btnRun->setEnabled(false);
    btnStop =
        toolButton("btnStop", QStringLiteral("Pause"), QString(), QStringLiteral("pausebitmap"));
    btnCapture =
        toolButton("btnCapture", QStringLiteral("Capture"),
                   QStringLiteral("Capture all graph images now"), QStringLiteral("camerabitmap"));
    btnViewCap = toolButton("btnViewCap", QStringLiteral("View"),
                            QStringLiteral("View graph images"), QStringLiteral("webbitmap"));
    btnLog = toolButton("btnLog", QStringLiteral("ViewLog"), QStringLiteral("View Lintrove Log"),
                        QStringLiteral("logbitmap"));
    for (auto* b : {btnRun, btnStop, btnCapture, btnViewCap, btnLog})
        row->addWidget(b);
    row->addSpacing(8);

    // Image1 and Image2 share one place.
    auto* indicatorPlace = new QWidget;
    auto* stack = new QGridLayout(indicatorPlace);
    stack->setContentsMargins(0, 0, 0, 0);
    Image1 = picture("Image1", QStringLiteral("camerabitmap"),
                     QStringLiteral("Graph images are captured"));
    Image2 = picture("Image2", QStringLiteral("armedbitmap"),
                     QStringLiteral("Graph images are captured if the connection is lost"));
    stack->addWidget(Image1, 0, 0);
    stack->addWidget(Image2, 0, 0);
    row->addWidget(indicatorPlace);
    Image7 = picture("Image7", QStringLiteral("logbitmap"), QStringLiteral("Logging is on"));
    Image3 = picture("Image3", QStringLiteral("webbitmap"), QStringLiteral("Web server is on"));
    row->addWidget(Image7);
    row->addWidget(Image3);
    for (auto* i : {Image1, Image2, Image7, Image3})
        i->hide();
    row->addStretch(1);

    auto* values = new QGridLayout;
    values->setHorizontalSpacing(10);
    values->setVerticalSpacing(1);
    const QColor navy(0, 0, 128), maroon(128, 0, 0);
    Label25 = valueLabel("Label25", Qt::black, true);
    Label20 = valueLabel("Label20", navy, false);
    Label15 = valueLabel("Label15", navy, false);
    Label22 = valueLabel("Label22", maroon, true);
    Label23 = valueLabel("Label23", maroon, true);
    values->addWidget(caption(QStringLiteral("Router Uptime:")), 0, 0);
    values->addWidget(Label25, 0, 1, 1, 2);
    values->addWidget(caption(QStringLiteral("Upstream:")), 1, 0);
    values->addWidget(Label20, 1, 1);
    values->addWidget(Label15, 1, 2);
    values->addWidget(caption(QStringLiteral("Downstream:")), 2, 0);
    values->addWidget(Label22, 2, 1);
    values->addWidget(Label23, 2, 2);
    row->addLayout(values);
    return ToolBar;
}

QWidget* MainWindowUi::buildConfigureTab() {
    auto* tab = named(new QWidget, "TabConfigure");
    auto* grid = new QGridLayout(tab);

    GroupRouterAccess = group("GroupRouterAccess", QStringLiteral("Router Access"));
    {
        auto* g = new QGridLayout(GroupRouterAccess);
        edAddress = named(new QLineEdit(QStringLiteral("192.168.1.254")), "edAddress");
        edAddress->setEnabled(false);
        Image11 = picture("Image11", QStringLiteral("padlockclosed"),
                          QStringLiteral("Click to unlock this setting"));
        Image26 = picture("Image26", QStringLiteral("padlockopen"),
                          QStringLiteral("Click to lock this setting"));
        Image26->hide();
        boxType1 = named(new QComboBox, "boxType1");
        boxType1->addItem(QStringLiteral("HomeHub 5A"));
        boxType1->setEnabled(false);
        edPassword1 = named(new QLineEdit, "edPassword1");
        // Masked characters show as "+".
        edPassword1->setStyleSheet(
            QStringLiteral("QLineEdit { lineedit-password-character: 43; }"));
        cbShowPlain =
            named(new QCheckBox(QStringLiteral("Show password in plain text")), "cbShowPlain");
        g->addWidget(new QLabel(QStringLiteral("Home Hub address:")), 0, 0);
        g->addWidget(edAddress, 0, 1);
        g->addWidget(Image11, 0, 2);
        g->addWidget(Image26, 0, 2);
        g->addWidget(new QLabel(QStringLiteral("Router type:")), 1, 0);
        g->addWidget(boxType1, 1, 1);
        g->addWidget(new QLabel(QStringLiteral("Password:")), 2, 0);
        g->addWidget(edPassword1, 2, 1);
        g->addWidget(cbShowPlain, 3, 1);
        g->setRowStretch(4, 1);
    }

    GroupGraphs = group("GroupGraphs", QStringLiteral("Graphs"));
    {
        auto* g = new QGridLayout(GroupGraphs);
        spSample = named(new BoundedSpinBox, "spSample");
        spSample->setRange(10, 300);
        spSample->setValue(15);
        spPointsPerPage = named(new BoundedSpinBox, "spPointsPerPage");
        spPointsPerPage->setRange(0, std::numeric_limits<int>::max());
        spPointsPerPage->setValue(250);
        Panel5 = named(new QLabel(QStringLiteral("Time per page")), "Panel5");
        Panel5->setFrameShape(QFrame::Panel);
        Panel5->setFrameShadow(QFrame::Sunken);
        Panel5->setAlignment(Qt::AlignCenter);
        g->addWidget(new QLabel(QStringLiteral("Sample every:")), 0, 0);
        g->addWidget(spSample, 0, 1);
        g->addWidget(new QLabel(QStringLiteral("seconds")), 0, 2);
        g->addWidget(new QLabel(QStringLiteral("Plotted points per page:")), 1, 0);
        g->addWidget(spPointsPerPage, 1, 1);
        g->addWidget(Panel5, 2, 0, 1, 3);
        edCapture = named(new QLineEdit, "edCapture");
        btnBrowse = named(new QPushButton(QStringLiteral("Browse...")), "btnBrowse");
        cbCapture =
            named(new QCheckBox(QStringLiteral("Capture each page of graph images automatically")),
                  "cbCapture");
        cbOnlyIfLost =
            named(new QCheckBox(QStringLiteral("Capture graph images only if connection is lost")),
                  "cbOnlyIfLost");
        cbCaptureOnClose =
            named(new QCheckBox(QStringLiteral("Capture graph images when Lintrove closes")),
                  "cbCaptureOnClose");
        btnImagesMaintain =
            named(new QPushButton(QStringLiteral("Maintenance")), "btnImagesMaintain");
        Image23 = picture("Image23", QStringLiteral("tickbitmap"), QString());
        Image23->hide();
        g->addWidget(new QLabel(QStringLiteral("Save images in this folder:")), 3, 0, 1, 3);
        g->addWidget(edCapture, 4, 0, 1, 2);
        g->addWidget(btnBrowse, 4, 2);
        g->addWidget(cbCapture, 5, 0, 1, 3);
        g->addWidget(cbOnlyIfLost, 6, 0, 1, 3);
        g->addWidget(cbCaptureOnClose, 7, 0, 1, 3);
        auto* m = new QHBoxLayout;
        m->addWidget(btnImagesMaintain);
        m->addWidget(Image23);
        m->addStretch(1);
        g->addLayout(m, 8, 0, 1, 3);
        g->setRowStretch(9, 1);
    }

    GroupLog = group("GroupLog", QStringLiteral("Log"));
    {
        auto* g = new QGridLayout(GroupLog);
        cbLog = named(new QCheckBox(QStringLiteral("Enable logging")), "cbLog");
        edLog = named(new QLineEdit, "edLog");
        btnBrowseLog = named(new QPushButton(QStringLiteral("Browse...")), "btnBrowseLog");
        btnLogMaintain = named(new QPushButton(QStringLiteral("Maintenance")), "btnLogMaintain");
        Image16 = picture("Image16", QStringLiteral("tickbitmap"), QString());
        Image16->hide();
        g->addWidget(cbLog, 0, 0, 1, 2);
        g->addWidget(new QLabel(QStringLiteral("Log filename:")), 1, 0, 1, 2);
        g->addWidget(edLog, 2, 0);
        g->addWidget(btnBrowseLog, 2, 1);
        auto* m = new QHBoxLayout;
        m->addWidget(btnLogMaintain);
        m->addWidget(Image16);
        m->addStretch(1);
        g->addLayout(m, 3, 0, 1, 2);
        g->setRowStretch(4, 1);
    }

    grid->addWidget(GroupRouterAccess, 0, 0);
    grid->addWidget(GroupLog, 1, 0);
    grid->addWidget(GroupGraphs, 0, 1, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return tab;
}

QWidget* MainWindowUi::buildAdvancedTab() {
    auto* tab = named(new QWidget, "TabAdvanced");
    auto* grid = new QGridLayout(tab);

    GroupUserGraphs = group("GroupUserGraphs", QStringLiteral("User Defined Graphs"));
    {
        auto* g = new QGridLayout(GroupUserGraphs);
        boxUser1 = named(new QComboBox, "boxUser1");
        boxUser1->addItems({QStringLiteral("Max Data Rate"), QStringLiteral("Line Attenuation"),
                            QStringLiteral("Signal Attenuation")});
        boxUser2 = named(new QComboBox, "boxUser2");
        boxUser2->addItems({QStringLiteral("Max Data Rate"), QStringLiteral("Line Attenuation"),
                            QStringLiteral("Signal Sttenuation")});
        g->addWidget(new QLabel(QStringLiteral("User defined 1")), 0, 0);
        g->addWidget(boxUser1, 0, 1);
        g->addWidget(new QLabel(QStringLiteral("User defined 2")), 1, 0);
        g->addWidget(boxUser2, 1, 1);
        // Carried through the settings file; they have no function of their own.
        auto* r1 = new QWidget(GroupUserGraphs);
        auto* rl1 = new QHBoxLayout(r1);
        rbTotal1 = named(new QRadioButton(QStringLiteral("Total")), "rbTotal1");
        rbLastHour1 = named(new QRadioButton(QStringLiteral("Last hour")), "rbLastHour1");
        rl1->addWidget(rbTotal1);
        rl1->addWidget(rbLastHour1);
        r1->hide();
        auto* r2 = new QWidget(GroupUserGraphs);
        auto* rl2 = new QHBoxLayout(r2);
        rbTotal2 = named(new QRadioButton(QStringLiteral("Total")), "rbTotal2");
        rbLastHour2 = named(new QRadioButton(QStringLiteral("Last hour")), "rbLastHour2");
        rl2->addWidget(rbTotal2);
        rl2->addWidget(rbLastHour2);
        r2->hide();
        g->setRowStretch(2, 1);
    }

    GroupSystem = group("GroupSystem", QStringLiteral("System Options"));
    {
        auto* g = new QGridLayout(GroupSystem);
        cbPrompt = named(new QCheckBox(QStringLiteral("Ask before closing Lintrove")), "cbPrompt");
        cbMinimize = named(new QCheckBox(QStringLiteral("Minimize to System Tray")), "cbMinimize");
        cbStartMinimized =
            named(new QCheckBox(QStringLiteral("Start Lintrove minimized")), "cbStartMinimized");
        cbSaveAxes = named(new QCheckBox(QStringLiteral("Save vertical graph axes before closing")),
                           "cbSaveAxes");
        cbWeb = named(new QCheckBox(QStringLiteral("Web server")), "cbWeb");
        boxWebAddress = named(new QComboBox, "boxWebAddress");
        boxWebAddress->setEditable(true);
        edPort = named(new QLineEdit(QStringLiteral("8081")), "edPort");
        edWidth = named(new QLineEdit(QStringLiteral("500")), "edWidth");
        edHeight = named(new QLineEdit(QStringLiteral("300")), "edHeight");
        btnAdvanced = named(new QPushButton(QStringLiteral("Advanced+")), "btnAdvanced");
        btnSystemMaintain =
            named(new QPushButton(QStringLiteral("Maintenance")), "btnSystemMaintain");
        g->addWidget(cbPrompt, 0, 0, 1, 4);
        g->addWidget(cbMinimize, 1, 0, 1, 4);
        g->addWidget(cbStartMinimized, 2, 0, 1, 4);
        g->addWidget(cbSaveAxes, 3, 0, 1, 4);
        g->addWidget(cbWeb, 4, 0, 1, 4);
        lblWebAddress = named(new QLabel(QStringLiteral("Address:")), "lblWebAddress");
        lblWebAddress->setBuddy(boxWebAddress);
        lblPort = named(new QLabel(QStringLiteral("Port:")), "lblPort");
        lblPort->setBuddy(edPort);
        g->addWidget(lblWebAddress, 5, 0);
        g->addWidget(boxWebAddress, 5, 1);
        g->addWidget(lblPort, 5, 2);
        g->addWidget(edPort, 5, 3);
        g->addWidget(new QLabel(QStringLiteral("Image width:")), 6, 0);
        g->addWidget(edWidth, 6, 1);
        g->addWidget(new QLabel(QStringLiteral("height:")), 6, 2);
        g->addWidget(edHeight, 6, 3);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(btnAdvanced);
        buttons->addWidget(btnSystemMaintain);
        buttons->addStretch(1);
        g->addLayout(buttons, 7, 0, 1, 4);
        g->setRowStretch(8, 1);
    }

    grid->addWidget(GroupUserGraphs, 0, 0);
    grid->addWidget(GroupSystem, 0, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return tab;
}

void MainWindowUi::buildMenus(QMainWindow* window) {
    auto* bar = window->menuBar();
    auto action = [window](QMenu* menu, const char* name, const QString& text) {
        auto* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setParent(window);
        return a;
    };
    File1 = named(bar->addMenu(QStringLiteral("File")), "File1");
    mnuCaptureVisible = action(File1, "mnuCaptureVisible", QStringLiteral("Capture Visible Graph"));
    mnuCaptureAll = action(File1, "mnuCaptureAll", QStringLiteral("Capture All Graphs Images"));
    File1->addSeparator();
    mnuSaveAs = action(File1, "mnuSaveAs", QStringLiteral("Save Visible Graph As..."));
    File1->addSeparator();
    mnuMaintain =
        action(File1, "mnuMaintain", QStringLiteral("Manage Log and Images File Sizes..."));
    File1->addSeparator();
    mnuRestoreData =
        action(File1, "mnuRestoreData", QStringLiteral("Save Graph Data and Restore on Restart"));
    mnuRestoreData->setCheckable(true);
    mnuDataRestore =
        action(File1, "mnuDataRestore", QStringLiteral("Manage Data-Restore File Size..."));
    File1->addSeparator();
    mnuWizard = action(File1, "mnuWizard", QStringLiteral("Setup Wizard..."));
    File1->addSeparator();
    mnuExit = action(File1, "mnuExit", QStringLiteral("Exit"));

    Edit1 = named(bar->addMenu(QStringLiteral("Edit")), "Edit1");
    mnuCopy = action(Edit1, "mnuCopy", QStringLiteral("Copy to Clipboard"));
    mnuCopyWeb1 = action(Edit1, "mnuCopyWeb1", QStringLiteral("Copy"));
    mnuCopyWeb1->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    mnuSelectAllWeb1 = action(Edit1, "mnuSelectAllWeb1", QStringLiteral("Select All"));
    mnuSelectAllWeb1->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));

    Configure1 = named(bar->addMenu(QStringLiteral("Configure")), "Configure1");
    mnuStartCapture = action(Configure1, "mnuStartCapture", QStringLiteral("Start Image Capture"));
    mnuStopCapture = action(Configure1, "mnuStopCapture", QStringLiteral("Stop Image Capture"));
    mnuStartLog = action(Configure1, "mnuStartLog", QStringLiteral("Start Logging"));
    mnuStopLog = action(Configure1, "mnuStopLog", QStringLiteral("Stop Logging"));
    Configure1->addSeparator();
    mnuConfigCap = action(Configure1, "mnuConfigCap", QStringLiteral("Configure Image Capture..."));
    mnuConfigLog = action(Configure1, "mnuConfigLog", QStringLiteral("Configure Logging..."));
    Configure1->addSeparator();
    mnuuserDefined =
        action(Configure1, "mnuuserDefined", QStringLiteral("Configure User Defined Graphs..."));

    Help1 = named(bar->addMenu(QStringLiteral("Help")), "Help1");
    mnuHelp = action(Help1, "mnuHelp", QStringLiteral("Help..."));
    Help1->addSeparator();
    mnuAbout = action(Help1, "mnuAbout", QStringLiteral("About..."));
}
