#include "app/dialogs/AdvancedSettingsDialog.h"

#include "app/desktop/NamedWidget.h"
#include "app/dialogs/DataFileDialog.h"
#include "app/dialogs/WindowMessages.h"
#include "core/Clock.h"
#include "core/DesktopShell.h"
#include "core/FormatDateTime.h"
#include "storage/Settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

// The largest pause delay whose milliseconds still fit the resume timer's int.
constexpr int kMaxPauseDelay = 2147483;

QString withoutTrailingSeparator(QString folder) {
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace

const QString AdvancedSettingsDialog::kPrefixWarning = QStringLiteral(
    "Un-checking this checkbox will prevent Lintrove from distinuishing JPG images\n"
    "captured by Lintrove from any other JPG images in the Capture folder.\n\n"
    "This will result in ALL 'outdated' JPG images in the Capture folder being deleted \n"
    "during maintenance.\n\nContinue?");

const QString AdvancedSettingsDialog::kRecycleWarning =
    QStringLiteral("If this checkbox is unchecked, Lintrove will delete the scheduled\n"
                   "JPG images permanently and irretrievably during maintenance.\n\nContinue?");

QString AdvancedSettingsDialog::restartQuestion(bool restoreGraphs) {
    return restoreGraphs ? QStringLiteral("  Confirm: restart Lintrove?  ")
                         : QStringLiteral("      Confirm: Restart Lintrove?      \n\n"
                                          "       All the graphs will be cleared!");
}

AdvancedSettingsDialog::AdvancedSettingsDialog(Settings& settings, const Clock& clock,
                                               DesktopShell* shell, WindowMessages* messages,
                                               QWidget* parent)
    : QDialog(parent), settings_(settings), clock_(clock), shell_(shell), messages_(messages) {
    setObjectName(QStringLiteral("AdvancedSettingsDialog"));
    setWindowTitle(QStringLiteral("Lintrove - More Advanced Settings"));
    setModal(true);

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    auto addPage = [this](const QString& title) {
        auto* page = new QWidget;
        PageControl1->addTab(page, title);
        auto* layout = new QGridLayout(page);
        layout->setContentsMargins(14, 14, 14, 14);
        layout->setVerticalSpacing(10);
        return layout;
    };
    auto label = [this](const QString& text, QWidget* buddy = nullptr) {
        auto* l = new QLabel(text, this);
        if (buddy)
            l->setBuddy(buddy);
        return l;
    };

    // Home Hub Access.
    {
        QGridLayout* g = addPage(QStringLiteral("Home Hub Access"));
        edTypeAUrl = named(new QLineEdit(this), "edTypeAUrl");
        Label3 = named(new QLabel(QStringLiteral("If the url to the Stats page changes, the new "
                                                 "url can be entered in this box.  Enter the new "
                                                 "url then close Lintrove5A and re-start."),
                                  this),
                       "Label3");
        Label3->setWordWrap(true);
        g->addWidget(label(QStringLiteral("Stats URL:"), edTypeAUrl), 0, 0);
        g->addWidget(edTypeAUrl, 0, 1);
        g->addWidget(Label3, 1, 0, 1, 2);
        g->setRowStretch(2, 1);
    }
    // Graphs.
    {
        QGridLayout* g = addPage(QStringLiteral("Graphs"));
        cbDateStamp =
            named(new QCheckBox(QStringLiteral("Include Day on bottom axis labels"), this),
                  "cbDateStamp");
        g->addWidget(cbDateStamp, 0, 0);
        g->setRowStretch(1, 1);
    }
    // Captured Images.
    {
        QGridLayout* g = addPage(QStringLiteral("Captured Images"));
        edImageDateTime = named(new QLineEdit(this), "edImageDateTime");
        Label11 = named(new QLabel(this), "Label11");
        cbPrefix =
            named(new QCheckBox(QStringLiteral("Prefix captured image filenames with"), this),
                  "cbPrefix");
        edImagePrefix = named(new QLineEdit(this), "edImagePrefix");
        cbRecycle = named(
            new QCheckBox(QStringLiteral("Send images deleted during maintenance to Recycle Bin"),
                          this),
            "cbRecycle");
        g->addWidget(label(QStringLiteral("Date/time  format:"), edImageDateTime), 0, 0);
        g->addWidget(edImageDateTime, 0, 1);
        g->addWidget(Label11, 1, 1);
        g->addWidget(cbPrefix, 2, 0);
        g->addWidget(edImagePrefix, 2, 1);
        g->addWidget(cbRecycle, 3, 0, 1, 2);
        g->setRowStretch(4, 1);
    }
    // Logging.
    {
        QGridLayout* g = addPage(QStringLiteral("Logging"));
        edLogDateTime = named(new QLineEdit(this), "edLogDateTime");
        Label10 = named(new QLabel(this), "Label10");
        sptabSize = named(new QSpinBox(this), "sptabSize");
        sptabSize->setRange(0, 20);
        rbLogDays = named(new QRadioButton(QStringLiteral("days:hr:min:sec"), this), "rbLogDays");
        rbLogSeconds = named(new QRadioButton(QStringLiteral("seconds"), this), "rbLogSeconds");
        g->addWidget(label(QStringLiteral("Date/time  format:"), edLogDateTime), 0, 0);
        g->addWidget(edLogDateTime, 0, 1, 1, 2);
        g->addWidget(Label10, 1, 1, 1, 2);
        g->addWidget(label(QStringLiteral("Set tab size:"), sptabSize), 2, 0);
        g->addWidget(sptabSize, 2, 1, Qt::AlignLeft);
        g->addWidget(label(QStringLiteral("Uptime format:")), 3, 0);
        g->addWidget(rbLogDays, 3, 1);
        g->addWidget(rbLogSeconds, 3, 2);
        g->setColumnStretch(2, 1);
        g->setRowStretch(4, 1);
    }
    // Web Server.
    {
        QGridLayout* g = addPage(QStringLiteral("Web Server"));
        edWebFolder = named(new QLineEdit(this), "edWebFolder");
        Button3 = named(new QPushButton(QStringLiteral("Browse..."), this), "Button3");
        g->addWidget(
            label(QStringLiteral("Save web image and html files in this folder: "), edWebFolder), 0,
            0, 1, 2);
        g->addWidget(edWebFolder, 1, 0);
        g->addWidget(Button3, 1, 1);
        g->setRowStretch(2, 1);
    }
    // System.
    {
        QGridLayout* g = addPage(QStringLiteral("System"));
        spDelay = named(new QSpinBox(this), "spDelay");
        spDelay->setRange(1, kMaxPauseDelay);
        cbMon1 =
            named(new QCheckBox(QStringLiteral("Always open Lintrove on Monitor 1 (Dual Monitors)"),
                                this),
                  "cbMon1");
        cbRestore =
            named(new QCheckBox(QStringLiteral("Save graph data and restore at restart"), this),
                  "cbRestore");
        Button4 = named(new QPushButton(QStringLiteral("Manage Data File"), this), "Button4");
        cbRestart = named(new QCheckBox(QStringLiteral("Restart every"), this), "cbRestart");
        spRestartDays = named(new QSpinBox(this), "spRestartDays");
        spRestartDays->setRange(1, 500);
        Label12 = named(new QLabel(QStringLiteral("day   at"), this), "Label12");
        dtRestartTime = named(new QTimeEdit(this), "dtRestartTime");
        dtRestartTime->setDisplayFormat(QStringLiteral("HH:mm"));
        btnRestart = named(new QPushButton(QStringLiteral("Restart Now"), this), "btnRestart");

        // Rows inside the page's grid get no spacing of their own from the style (the grid's
        // two spacings differ), so a label would touch its box.
        constexpr int rowSpacing = 6;
        auto* delayRow = new QHBoxLayout;
        delayRow->setSpacing(rowSpacing);
        delayRow->addWidget(
            label(QStringLiteral("Delay between pause button and automatic resume"), spDelay));
        delayRow->addWidget(spDelay);
        delayRow->addWidget(label(QStringLiteral("seconds")));
        delayRow->addStretch();
        auto* restoreRow = new QHBoxLayout;
        restoreRow->setSpacing(rowSpacing);
        restoreRow->addWidget(cbRestore);
        restoreRow->addStretch();
        restoreRow->addWidget(Button4);
        auto* restartRow = new QHBoxLayout;
        restartRow->setSpacing(rowSpacing);
        restartRow->addWidget(cbRestart);
        restartRow->addWidget(spRestartDays);
        restartRow->addWidget(Label12);
        restartRow->addWidget(dtRestartTime);
        restartRow->addStretch();
        restartRow->addWidget(btnRestart);
        g->addLayout(delayRow, 0, 0);
        g->addWidget(cbMon1, 1, 0);
        g->addLayout(restoreRow, 2, 0);
        g->addLayout(restartRow, 3, 0);
        g->setRowStretch(4, 1);
    }

    // Tabs of equal width, wide enough for the longest title.
    int tabWidth = 0;
    for (int i = 0; i < PageControl1->count(); ++i)
        tabWidth =
            qMax(tabWidth,
                 PageControl1->tabBar()->fontMetrics().horizontalAdvance(PageControl1->tabText(i)));
    PageControl1->setStyleSheet(
        QStringLiteral("QTabBar::tab { width: %1px; padding: 5px 4px; }").arg(tabWidth + 12));
    // All six tabs in view: the dialog is as wide as they need.
    PageControl1->setUsesScrollButtons(false);

    Button2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");
    Button1 = named(new QPushButton(QStringLiteral("Close"), this), "Button1");
    for (QPushButton* b : {Button1, Button2, Button3, Button4, btnRestart})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button2);
    buttons->addStretch();
    buttons->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &AdvancedSettingsDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(edLogDateTime, &QLineEdit::textChanged, this,
            [this](const QString& t) { updateSample(Label10, t); });
    connect(edImageDateTime, &QLineEdit::textChanged, this,
            [this](const QString& t) { updateSample(Label11, t); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { Button2->setFocus(); });
    // Clicks only: filling the boxes at an opening asks nothing and stores nothing.
    connect(cbPrefix, &QCheckBox::clicked, this, &AdvancedSettingsDialog::cbPrefixClick);
    connect(cbRecycle, &QCheckBox::clicked, this, &AdvancedSettingsDialog::cbRecycleClick);
    connect(cbRestore, &QCheckBox::clicked, this, &AdvancedSettingsDialog::cbRestoreClick);
    connect(edWebFolder, &QLineEdit::editingFinished, this,
            &AdvancedSettingsDialog::edWebFolderExit);
    connect(Button3, &QPushButton::clicked, this, &AdvancedSettingsDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &AdvancedSettingsDialog::Button4Click);
    connect(btnRestart, &QPushButton::clicked, this, &AdvancedSettingsDialog::btnRestartClick);
    connect(spRestartDays, &QSpinBox::valueChanged, this,
            &AdvancedSettingsDialog::spRestartDaysChange);

    FormShow();
    PageControl1->setCurrentIndex(0);
}

void AdvancedSettingsDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

// Every control shows its setting at each opening, so that no box can show a state its setting
// does not have and a later Close store it unasked.
void AdvancedSettingsDialog::FormShow() {
    edTypeAUrl->setText(settings_.FirstUrl);
    cbDateStamp->setChecked(settings_.DateStamp);
    edImageDateTime->setText(settings_.ImageDateFormat);
    edImagePrefix->setText(settings_.ImagePrefix);
    cbPrefix->setChecked(settings_.AddPrefix);
    cbRecycle->setChecked(settings_.Recycle);
    edLogDateTime->setText(settings_.LogDateFormat);
    sptabSize->setValue(settings_.LogTab);
    rbLogDays->setChecked(settings_.LogDays);
    rbLogSeconds->setChecked(!settings_.LogDays);
    edWebFolder->setText(settings_.WebFolder);
    spDelay->setValue(settings_.PauseDelay);
    cbMon1->setChecked(settings_.Monitor1);
    cbRestore->setChecked(settings_.Restore);
    cbRestart->setChecked(settings_.Restart);
    spRestartDays->setValue(settings_.RestartDays);
    dtRestartTime->setTime(settings_.RestartTime.time());
    spRestartDaysChange(spRestartDays->value());
    // The samples show the time of this opening even when the patterns did not change.
    updateSample(Label10, edLogDateTime->text());
    updateSample(Label11, edImageDateTime->text());
}

void AdvancedSettingsDialog::updateSample(QLabel* label, const QString& pattern) {
    label->setTextFormat(Qt::PlainText); // a pattern's quoted text comes through as typed
    label->setText(FormatDateTime(pattern, clock_.now()));
}

void AdvancedSettingsDialog::storeControls() {
    edWebFolderExit();
    settings_.LogDateFormat = edLogDateTime->text();
    settings_.LogTab = sptabSize->value();
    settings_.FirstUrl = edTypeAUrl->text();
    settings_.LogDays = rbLogDays->isChecked();
    settings_.LogSeconds = rbLogSeconds->isChecked();
    settings_.ImageDateFormat = edImageDateTime->text();
    settings_.ImagePrefix = edImagePrefix->text();
    settings_.AddPrefix = cbPrefix->isChecked();
    settings_.Recycle = cbRecycle->isChecked();
    settings_.WebFolder = edWebFolder->text();
    settings_.DateStamp = cbDateStamp->isChecked();
    settings_.PauseDelay = spDelay->value();
    settings_.Monitor1 = cbMon1->isChecked();
    settings_.Restart = cbRestart->isChecked();
    settings_.RestartDays = spRestartDays->value();
    const QDate day =
        settings_.RestartTime.isValid() ? settings_.RestartTime.date() : clock_.now().date();
    settings_.RestartTime = QDateTime(day, dtRestartTime->time());
    settings_.Restore = cbRestore->isChecked();
}

void AdvancedSettingsDialog::Button1Click() {
    storeControls();
    accept();
}

QPoint AdvancedSettingsDialog::besideCorner(int dx, int dy) const {
    return frameGeometry().topLeft() + QPoint(dx, dy);
}

void AdvancedSettingsDialog::cbPrefixClick(bool checked) {
    if (!checked && isVisible() && messages_ &&
        !messages_->confirm(kPrefixWarning, besideCorner(100, 50)))
        cbPrefix->setChecked(true);
}

void AdvancedSettingsDialog::cbRecycleClick(bool checked) {
    if (!checked && isVisible() && messages_ &&
        !messages_->confirm(kRecycleWarning, besideCorner(100, 50)))
        cbRecycle->setChecked(true);
}

void AdvancedSettingsDialog::cbRestoreClick(bool checked) {
    settings_.Restore = checked;
}

void AdvancedSettingsDialog::edWebFolderExit() {
    const QString trimmed = withoutTrailingSeparator(edWebFolder->text());
    if (trimmed != edWebFolder->text())
        edWebFolder->setText(trimmed);
}

void AdvancedSettingsDialog::Button3Click() {
    if (!shell_)
        return;
    const QString folder =
        shell_->chooseFolder(this, QStringLiteral("Select a folder"), edWebFolder->text(), false);
    if (!folder.isEmpty())
        edWebFolder->setText(withoutTrailingSeparator(folder));
}

void AdvancedSettingsDialog::setDataFileDialog(DataFileDialog* dialog) {
    dataFileDialog_ = dialog;
}

void AdvancedSettingsDialog::Button4Click() {
    if (!dataFileDialog_)
        return;
    dataFileDialog_->move(besideCorner(100, 70));
    dataFileDialog_->exec();
}

void AdvancedSettingsDialog::btnRestartClick() {
    if (messages_ &&
        !messages_->confirm(restartQuestion(cbRestore->isChecked()), besideCorner(100, 50)))
        return;
    storeControls();
    accept();
    Q_EMIT restartNowRequested();
}

void AdvancedSettingsDialog::spRestartDaysChange(int days) {
    Label12->setText(days == 1 ? QStringLiteral("day   at") : QStringLiteral("days at"));
}
