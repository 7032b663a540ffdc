#include "app/SettingsTabs.h"

#include "app/MainWindowUi.h"
#include "app/tabs/BoxExitCheck.h"
#include "core/RouterAddress.h"
#include "core/Timer.h"
#include "graphs/GraphSet.h"
#include "monitor/PageDriver.h"
#include "storage/CsvLog.h"
#include "storage/Settings.h"
#include "webserver/WebServerControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

SettingsTabs::SettingsTabs(MainWindowUi& form, Links links, QObject* parent)
    : QObject(parent), ui(form), links_(std::move(links)), settings_(*links_.settings) {
    bindControls();
}

// Settings held in controls follow every change, so saving and the logic read them.
void SettingsTabs::bindControls() {
    // The page driver reads Address at every tick: it only ever takes a checked address, never
    // the keystrokes on the way to one.
    const auto refusedAddress = [](const QString& text) {
        return text + QStringLiteral(" is not a valid IP address.");
    };
    addressCheck_ = new BoxExitCheck(ui.edAddress, &RouterAddress::normalised, refusedAddress,
                                     *links_.messages, this);
    connect(ui.edPassword1, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.Password = t; });
    // A corrected address or password is tried at once unless the monitor is running.
    connect(addressCheck_, &BoxExitCheck::textAccepted, this, [this](const QString& address) {
        settings_.Address = address;
        links_.driver->RouterAccessEdited();
    });
    connect(ui.edPassword1, &QLineEdit::editingFinished, this,
            [this] { links_.driver->RouterAccessEdited(); });
    // The mask itself is the router access lock's: it asks for the password before showing it.
    connect(ui.cbShowPlain, &QCheckBox::toggled, this,
            [this](bool on) { settings_.ShowPlain = on; });
    connect(ui.spSample, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.Sample = v;
        spSampleChange();
    });
    connect(ui.spPointsPerPage, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.PointsperPage = v;
        spPointsPerPageChange();
    });
    connect(ui.spSample, &QSpinBox::editingFinished, this, [this] { spSampleExit(); });
    connect(ui.spPointsPerPage, &QSpinBox::editingFinished, this,
            [this] { spPointsPerPageExit(); });
    connect(ui.edCapture, &QLineEdit::textChanged, this, [this](const QString& t) {
        settings_.Capture = t;
        ui.edCapture->setToolTip(t);
    });
    connect(ui.cbCapture, &QCheckBox::toggled, this, [this](bool on) {
        settings_.cbCapture = on;
        cbCaptureClick();
    });
    connect(ui.cbOnlyIfLost, &QCheckBox::toggled, this, [this](bool on) {
        settings_.LostSync = on;
        cbOnlyIfLostClick();
    });
    connect(ui.cbCaptureOnClose, &QCheckBox::toggled, this,
            [this](bool on) { settings_.OnClose = on; });
    // The names follow every change of choice, from the open list or from the keys while it is
    // closed: the list's popup hides before the selection changes, so refreshing there would
    // name the previous quantity.
    connect(ui.boxUser1, &QComboBox::currentIndexChanged, this, [this](int i) {
        settings_.User1 = i;
        boxUserChange();
    });
    connect(ui.boxUser2, &QComboBox::currentIndexChanged, this, [this](int i) {
        settings_.User2 = i;
        boxUserChange();
    });
    connect(ui.rbTotal1, &QRadioButton::toggled, this, [this](bool on) { settings_.Total1 = on; });
    connect(ui.rbLastHour1, &QRadioButton::toggled, this,
            [this](bool on) { settings_.LastHour1 = on; });
    connect(ui.rbTotal2, &QRadioButton::toggled, this, [this](bool on) { settings_.Total2 = on; });
    connect(ui.rbLastHour2, &QRadioButton::toggled, this,
            [this](bool on) { settings_.LastHour2 = on; });
    connect(ui.cbPrompt, &QCheckBox::toggled, this, [this](bool on) { settings_.Prompt = on; });
    connect(ui.cbMinimize, &QCheckBox::toggled, this, [this](bool on) { settings_.Minimize = on; });
    connect(ui.cbStartMinimized, &QCheckBox::toggled, this,
            [this](bool on) { settings_.StartMinimized = on; });
    connect(ui.cbSaveAxes, &QCheckBox::toggled, this, [this](bool on) { settings_.SaveAxes = on; });
    connect(ui.cbLog, &QCheckBox::toggled, this, [this](bool on) {
        settings_.cbLog = on;
        Q_EMIT loggingChanged(on);
    });
    connect(ui.edLog, &QLineEdit::textChanged, this, [this](const QString& t) {
        settings_.LogFile = t;
        ui.edLog->setToolTip(t);
        Q_EMIT logFileChanged(t);
    });
    connect(ui.btnBrowseLog, &QPushButton::clicked, this, [this] { btnBrowseLogClick(); });
    connect(ui.cbWeb, &QCheckBox::toggled, this, [this](bool on) {
        settings_.Web = on;
        Q_EMIT webServerBoxChanged(on);
    });
    connect(ui.boxWebAddress, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { settings_.WebAddress = t; });
    connect(ui.edPort, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.Port = t; });
    portCheck_ = new BoxExitCheck(ui.edPort, &WebServerControl::checkedPort,
                                  &WebServerControl::portRefusal, *links_.messages, this);
    connect(ui.edWidth, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.webWidth = t; });
    connect(ui.edHeight, &QLineEdit::textChanged, this,
            [this](const QString& t) { settings_.webHeight = t; });
}

void SettingsTabs::applySettingsToControls() {
    const Settings s = settings_; // handlers write back into settings_ as controls change
    setRouterAddress(s.Address);
    ui.edPassword1->setText(s.Password);
    ui.cbShowPlain->setChecked(s.ShowPlain);
    ui.spSample->setValue(s.Sample);
    settings_.Sample = ui.spSample->value();
    spSampleChange(); // also when the stored value equals the field's own
    ui.spPointsPerPage->setValue(s.PointsperPage);
    settings_.PointsperPage = ui.spPointsPerPage->value(); // a stored negative count reads as 0
    ui.edCapture->setText(s.Capture);
    ui.cbCapture->setChecked(s.cbCapture);
    ui.cbCaptureOnClose->setChecked(s.OnClose);
    ui.boxUser1->setCurrentIndex(qBound(0, s.User1, 2));
    ui.boxUser2->setCurrentIndex(qBound(0, s.User2, 2));
    ui.rbTotal1->setChecked(s.Total1);
    ui.rbLastHour1->setChecked(s.LastHour1);
    ui.rbTotal2->setChecked(s.Total2);
    ui.rbLastHour2->setChecked(s.LastHour2);
    ui.cbPrompt->setChecked(s.Prompt);
    ui.cbMinimize->setChecked(s.Minimize);
    ui.cbStartMinimized->setChecked(s.StartMinimized);
    ui.cbSaveAxes->setChecked(s.SaveAxes);
    links_.graphs->ApplySavedAxes(settings_);
    ui.cbOnlyIfLost->setChecked(s.LostSync);
    ui.cbLog->setChecked(s.cbLog);
    ui.edLog->setText(s.LogFile);
    ui.boxWebAddress->setCurrentText(s.WebAddress);
    portCheck_->setAccepted(s.Port);
    ui.edWidth->setText(s.webWidth);
    ui.edHeight->setText(s.webHeight);
    ui.cbWeb->setChecked(s.Web);
    // The user indexes are kept as stored when out of range, since the boxes show their nearest
    // item.
    settings_.User1 = s.User1;
    settings_.User2 = s.User2;
}

void SettingsTabs::collectSettings() {
    settings_.Type = ui.boxType1->currentIndex();
    settings_.User1 = ui.boxUser1->currentIndex();
    settings_.User2 = ui.boxUser2->currentIndex();
}

bool SettingsTabs::edAddressExit() {
    return addressCheck_->check();
}

void SettingsTabs::setRouterAddress(const QString& address) {
    settings_.Address = address;
    addressCheck_->setAccepted(address);
}

void SettingsTabs::spSampleChange() {
    links_.sampleTimer->setInterval(settings_.Sample * 1000);
    ui.Panel5->setText(links_.graphs->TimePerPageText());
}

void SettingsTabs::spPointsPerPageChange() {
    // A refused width keeps the previous time text.
    if (const auto text = links_.graphs->ApplyPageSize())
        ui.Panel5->setText(*text);
}

void SettingsTabs::spPointsPerPageExit() {
    if (ui.spPointsPerPage->value() < 10)
        ui.spPointsPerPage->setValue(10);
}

void SettingsTabs::spSampleExit() {
    ui.spSample->setValue(qBound(10, ui.spSample->value(), 300));
}

void SettingsTabs::cbCaptureClick() {
    if (ui.cbCapture->isChecked())
        ui.cbOnlyIfLost->setChecked(false);
    Q_EMIT captureIndicatorsChanged(ui.cbCapture->isChecked(), ui.cbOnlyIfLost->isChecked());
}

void SettingsTabs::cbOnlyIfLostClick() {
    if (ui.cbOnlyIfLost->isChecked())
        ui.cbCapture->setChecked(false);
    Q_EMIT captureIndicatorsChanged(ui.cbCapture->isChecked(), ui.cbOnlyIfLost->isChecked());
}

void SettingsTabs::boxUserChange() {
    links_.log->HeaderPending = true;
    refreshUserGraphNames();
}

void SettingsTabs::refreshUserGraphNames() {
    const QString name1 = ui.boxUser1->currentText();
    const QString name2 = ui.boxUser2->currentText();
    links_.graphs->RefreshUserGraphNames(name1, name2);
    links_.log->Header = LogHeader(name1, name2);
    Q_EMIT userGraphNamesChanged(name1, name2);
}

void SettingsTabs::highlightGroup(QGroupBox* group) {
    QPalette p = group->palette();
    p.setColor(QPalette::Window, Qt::white);
    group->setPalette(p);
}

void SettingsTabs::clearGroupHighlights() {
    for (QGroupBox* g : {ui.GroupRouterAccess, ui.GroupGraphs, ui.GroupLog, ui.GroupUserGraphs})
        g->setPalette(QPalette());
}

// The log file dialog: text files or all files, ".txt" appended, a question before an existing
// file is overwritten; it opens in the program's folder.
QString SettingsTabs::chooseLogFile() {
    const QString current = ui.edLog->text();
    const QString name =
        current.isEmpty() ? QStringLiteral("Log.txt") : QFileInfo(current).fileName();
    QFileDialog dialog(links_.dialogParent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(links_.programFolder);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void SettingsTabs::btnBrowseLogClick() {
    const QString path = chooseLogFile();
    if (!path.isEmpty())
        ui.edLog->setText(path);
}

void SettingsTabs::mnuStartLogClick() {
    if (QFileInfo(QFileInfo(ui.edLog->text()).absolutePath()).isDir() &&
        !ui.edLog->text().isEmpty()) {
        ui.cbLog->setChecked(true);
        return;
    }
    const QString path = chooseLogFile();
    if (path.isEmpty())
        return;
    ui.edLog->setText(path);
    ui.cbLog->setChecked(true);
}

void SettingsTabs::mnuStopLogClick() {
    ui.cbLog->setChecked(false);
}
