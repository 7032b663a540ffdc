#include "app/tabs/ConfigureTab.h"

#include "app/desktop/NamedWidget.h"
#include "app/tabs/BoundedSpinBox.h"
#include "app/tabs/BoxExitCheck.h"
#include "app/tabs/FormParts.h"
#include "core/RouterAddress.h"
#include "core/Timer.h"
#include "graphs/GraphSet.h"
#include "monitor/PageDriver.h"
#include "storage/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

ConfigureTab::ConfigureTab(Links links, QWidget* parent)
    : QWidget(parent), links_(std::move(links)), settings_(links_.settings) {
    setObjectName(QStringLiteral("TabConfigure"));
    build();
    bindControls();
}

void ConfigureTab::build() {
    using FormParts::group;
    using FormParts::picture;
    auto* grid = new QGridLayout(this);

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
        Panel5->setTextFormat(Qt::PlainText);
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
}

// Settings held in controls follow every change, so saving and the logic read them.
void ConfigureTab::bindControls() {
    // The page driver reads Address at every tick: it only ever takes a checked address, never
    // the keystrokes on the way to one.
    const auto refusedAddress = [](const QString& text) {
        return text + QStringLiteral(" is not a valid IP address.");
    };
    addressCheck_ = new BoxExitCheck(edAddress, &RouterAddress::normalised, refusedAddress,
                                     links_.messages, this);
    connect(edPassword1, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.Password = t; });
    // A corrected address or password is tried at once unless the monitor is running.
    connect(addressCheck_, &BoxExitCheck::textAccepted, this, [this](const QString& address) {
        settings_.Address = address;
        links_.driver.RouterAccessEdited();
    });
    connect(edPassword1, &QLineEdit::editingFinished, this,
            [this] { links_.driver.RouterAccessEdited(); });
    // The mask itself is the router access lock's: it asks for the password before showing it.
    connect(cbShowPlain, &QCheckBox::toggled, this, [this](bool on) { settings_.ShowPlain = on; });
    connect(spSample, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.Sample = v;
        spSampleChange();
    });
    connect(spPointsPerPage, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.PointsperPage = v;
        spPointsPerPageChange();
    });
    connect(spSample, &QSpinBox::editingFinished, this,
            [this] { spSample->setValue(qBound(10, spSample->value(), 300)); });
    connect(spPointsPerPage, &QSpinBox::editingFinished, this, [this] {
        if (spPointsPerPage->value() < 10)
            spPointsPerPage->setValue(10);
    });
    connect(edCapture, &QLineEdit::textChanged, this, [this](const QString& t) {
        settings_.Capture = t;
        edCapture->setToolTip(FormParts::plainToolTip(t));
    });
    connect(cbCapture, &QCheckBox::toggled, this, [this](bool on) {
        settings_.cbCapture = on;
        cbCaptureClick();
    });
    connect(cbOnlyIfLost, &QCheckBox::toggled, this, [this](bool on) {
        settings_.LostSync = on;
        cbOnlyIfLostClick();
    });
    connect(cbCaptureOnClose, &QCheckBox::toggled, this,
            [this](bool on) { settings_.OnClose = on; });
    connect(cbLog, &QCheckBox::toggled, this, [this](bool on) {
        settings_.cbLog = on;
        Q_EMIT loggingChanged(on);
    });
    connect(edLog, &QLineEdit::textChanged, this, [this](const QString& t) {
        settings_.LogFile = t;
        edLog->setToolTip(FormParts::plainToolTip(t));
        Q_EMIT logFileChanged(t);
    });
    connect(btnBrowseLog, &QPushButton::clicked, this, [this] { btnBrowseLogClick(); });
}

void ConfigureTab::applySettings(const Settings& s) {
    setRouterAddress(s.Address);
    edPassword1->setText(s.Password);
    cbShowPlain->setChecked(s.ShowPlain);
    spSample->setValue(s.Sample);
    settings_.Sample = spSample->value();
    spSampleChange(); // also when the stored value equals the field's own
    spPointsPerPage->setValue(s.PointsperPage);
    settings_.PointsperPage = spPointsPerPage->value(); // a stored negative count reads as 0
    edCapture->setText(s.Capture);
    cbCapture->setChecked(s.cbCapture);
    cbCaptureOnClose->setChecked(s.OnClose);
}

void ConfigureTab::applyLateSettings(const Settings& s) {
    cbOnlyIfLost->setChecked(s.LostSync);
    cbLog->setChecked(s.cbLog);
    edLog->setText(s.LogFile);
}

void ConfigureTab::collectSettings() {
    settings_.Type = boxType1->currentIndex();
}

bool ConfigureTab::edAddressExit() {
    return addressCheck_->check();
}

void ConfigureTab::setRouterAddress(const QString& address) {
    settings_.Address = address;
    addressCheck_->setAccepted(address);
}

void ConfigureTab::spSampleChange() {
    links_.sampleTimer.setInterval(settings_.Sample * 1000);
    Panel5->setText(links_.graphs.TimePerPageText());
}

void ConfigureTab::spPointsPerPageChange() {
    // A refused width keeps the previous time text.
    if (const auto text = links_.graphs.ApplyPageSize())
        Panel5->setText(*text);
}

void ConfigureTab::cbCaptureClick() {
    if (cbCapture->isChecked())
        cbOnlyIfLost->setChecked(false);
    Q_EMIT captureIndicatorsChanged(cbCapture->isChecked(), cbOnlyIfLost->isChecked());
}

void ConfigureTab::cbOnlyIfLostClick() {
    if (cbOnlyIfLost->isChecked())
        cbCapture->setChecked(false);
    Q_EMIT captureIndicatorsChanged(cbCapture->isChecked(), cbOnlyIfLost->isChecked());
}

void ConfigureTab::clearGroupHighlights() {
    for (QGroupBox* g : {GroupRouterAccess, GroupGraphs, GroupLog})
        FormParts::clearHighlight(g);
}

// The log file dialog: text files or all files, ".txt" appended, a question before an existing
// file is overwritten; it opens in the program's folder.
QString ConfigureTab::chooseLogFile() {
    const QString current = edLog->text();
    const QString name =
        current.isEmpty() ? QStringLiteral("Log.txt") : QFileInfo(current).fileName();
    QFileDialog dialog(window());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(links_.programFolder);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void ConfigureTab::btnBrowseLogClick() {
    const QString path = chooseLogFile();
    if (!path.isEmpty())
        edLog->setText(path);
}

void ConfigureTab::mnuStartLogClick() {
    if (QFileInfo(QFileInfo(edLog->text()).absolutePath()).isDir() && !edLog->text().isEmpty()) {
        cbLog->setChecked(true);
        return;
    }
    const QString path = chooseLogFile();
    if (path.isEmpty())
        return;
    edLog->setText(path);
    cbLog->setChecked(true);
}

void ConfigureTab::mnuStopLogClick() {
    cbLog->setChecked(false);
}
