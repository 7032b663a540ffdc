#include "app/tabs/AdvancedTab.h"

#include "app/desktop/NamedWidget.h"
#include "app/tabs/BoxExitCheck.h"
#include "app/tabs/FormParts.h"
#include "graphs/GraphSet.h"
#include "storage/CsvLog.h"
#include "storage/Settings.h"
#include "webserver/WebServerControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

AdvancedTab::AdvancedTab(Links links, QWidget* parent)
    : QWidget(parent), links_(std::move(links)), settings_(links_.settings) {
    setObjectName(QStringLiteral("TabAdvanced"));
    build();
    bindControls();
}

void AdvancedTab::build() {
    using FormParts::group;
    auto* grid = new QGridLayout(this);

    GroupUserGraphs = group("GroupUserGraphs", QStringLiteral("User Defined Graphs"));
    {
        auto* g = new QGridLayout(GroupUserGraphs);
        boxUser1 = named(new QComboBox, "boxUser1");
        boxUser1->addItems({QStringLiteral("Max Data Rate"), QStringLiteral("Line Attenuation"),
                            QStringLiteral("Signal Attenuation")});
        // The second list's odd spelling is the program's own, kept as users know it.
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
        // Not a setting: the desktop's autostart entry is what the box shows (LoginStartBinder).
        cbLoginStart =
            named(new QCheckBox(QStringLiteral("Start Lintrove when I log in")), "cbLoginStart");
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
        g->addWidget(cbLoginStart, 3, 0, 1, 4);
        g->addWidget(cbSaveAxes, 4, 0, 1, 4);
        g->addWidget(cbWeb, 5, 0, 1, 4);
        lblWebAddress = named(new QLabel(QStringLiteral("Address:")), "lblWebAddress");
        lblWebAddress->setBuddy(boxWebAddress);
        lblPort = named(new QLabel(QStringLiteral("Port:")), "lblPort");
        lblPort->setBuddy(edPort);
        g->addWidget(lblWebAddress, 6, 0);
        g->addWidget(boxWebAddress, 6, 1);
        g->addWidget(lblPort, 6, 2);
        g->addWidget(edPort, 6, 3);
        g->addWidget(new QLabel(QStringLiteral("Image width:")), 7, 0);
        g->addWidget(edWidth, 7, 1);
        g->addWidget(new QLabel(QStringLiteral("height:")), 7, 2);
        g->addWidget(edHeight, 7, 3);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(btnAdvanced);
        buttons->addWidget(btnSystemMaintain);
        buttons->addStretch(1);
        g->addLayout(buttons, 8, 0, 1, 4);
        g->setRowStretch(9, 1);
    }

    grid->addWidget(GroupUserGraphs, 0, 0);
    grid->addWidget(GroupSystem, 0, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void AdvancedTab::bindControls() {
    // The names follow every change of choice, from the open list or from the keys while it is
    // closed: the list's popup hides before the selection changes, so refreshing there would
    // name the previous quantity.
    connect(boxUser1, &QComboBox::currentIndexChanged, this, [this](int i) {
        settings_.User1 = i;
        boxUserChange();
    });
    connect(boxUser2, &QComboBox::currentIndexChanged, this, [this](int i) {
        settings_.User2 = i;
        boxUserChange();
    });
    connect(rbTotal1, &QRadioButton::toggled, this, [this](bool on) { settings_.Total1 = on; });
    connect(rbLastHour1, &QRadioButton::toggled, this,
            [this](bool on) { settings_.LastHour1 = on; });
    connect(rbTotal2, &QRadioButton::toggled, this, [this](bool on) { settings_.Total2 = on; });
    connect(rbLastHour2, &QRadioButton::toggled, this,
            [this](bool on) { settings_.LastHour2 = on; });
    connect(cbPrompt, &QCheckBox::toggled, this, [this](bool on) { settings_.Prompt = on; });
    connect(cbMinimize, &QCheckBox::toggled, this, [this](bool on) { settings_.Minimize = on; });
    connect(cbStartMinimized, &QCheckBox::toggled, this,
            [this](bool on) { settings_.StartMinimized = on; });
    connect(cbSaveAxes, &QCheckBox::toggled, this, [this](bool on) { settings_.SaveAxes = on; });
    connect(cbWeb, &QCheckBox::toggled, this, [this](bool on) {
        settings_.Web = on;
        Q_EMIT webServerBoxChanged(on);
    });
    connect(boxWebAddress, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { settings_.WebAddress = t; });
    connect(edPort, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.Port = t; });
    portCheck_ = new BoxExitCheck(edPort, &WebServerControl::checkedPort,
                                  &WebServerControl::portRefusal, links_.messages, this);
    connect(edWidth, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.webWidth = t; });
    connect(edHeight, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.webHeight = t; });
}

void AdvancedTab::applySettings(const Settings& s) {
    boxUser1->setCurrentIndex(qBound(0, s.User1, 2));
    boxUser2->setCurrentIndex(qBound(0, s.User2, 2));
    rbTotal1->setChecked(s.Total1);
    rbLastHour1->setChecked(s.LastHour1);
    rbTotal2->setChecked(s.Total2);
    rbLastHour2->setChecked(s.LastHour2);
    cbPrompt->setChecked(s.Prompt);
    cbMinimize->setChecked(s.Minimize);
    cbStartMinimized->setChecked(s.StartMinimized);
    cbSaveAxes->setChecked(s.SaveAxes);
    links_.graphs.ApplySavedAxes(settings_);
}

void AdvancedTab::applyWebSettings(const Settings& s) {
    boxWebAddress->setCurrentText(s.WebAddress);
    portCheck_->setAccepted(s.Port);
    edWidth->setText(s.webWidth);
    edHeight->setText(s.webHeight);
    cbWeb->setChecked(s.Web);
    // The user indexes are kept as stored when out of range, since the boxes show their nearest
    // item.
    settings_.User1 = s.User1;
    settings_.User2 = s.User2;
}

void AdvancedTab::collectSettings() {
    settings_.User1 = boxUser1->currentIndex();
    settings_.User2 = boxUser2->currentIndex();
}

void AdvancedTab::boxUserChange() {
    links_.log.HeaderPending = true;
    refreshUserGraphNames();
}

void AdvancedTab::refreshUserGraphNames() {
    const QString name1 = boxUser1->currentText();
    const QString name2 = boxUser2->currentText();
    links_.graphs.RefreshUserGraphNames(name1, name2);
    links_.log.Header = LogHeader(name1, name2);
    Q_EMIT userGraphNamesChanged(name1, name2);
}

void AdvancedTab::clearGroupHighlights() {
    FormParts::clearHighlight(GroupUserGraphs);
}
