#include "app/dialogs/MaintenanceDialog.h"

#include "app/desktop/NamedWidget.h"
#include "app/desktop/WindowPlacement.h"
#include "core/DayCount.h"
#include "core/DesktopShell.h"
#include "core/UserMessages.h"
#include "housekeeping/DailyTimer.h"
#include "storage/Settings.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <limits>

namespace {

QTime timeOf(const QString& hhmm) {
    const int m = DailyTimer::minuteOfDay(hhmm);
    return m < 0 ? QTime() : QTime(m / 60, m % 60);
}

} // namespace

MaintenanceDialog::MaintenanceDialog(Settings& settings, DesktopShell* shell,
                                     UserMessages* messages, QWidget* parent)
    : QDialog(parent), settings_(settings), shell_(shell), messages_(messages) {
    setObjectName(QStringLiteral("MaintenanceDialog"));
    setWindowTitle(QStringLiteral("Lintrove - Maintenance"));
    setModal(true);

    GroupBox25 = named(new QGroupBox(QStringLiteral("Log Maintenance"), this), "GroupBox25");
    cbTrimLog = named(new QCheckBox(QStringLiteral("Trim log file to"), this), "cbTrimLog");
    spTrimLines = named(new QSpinBox(this), "spTrimLines");
    // A negative count would erase every row.
    spTrimLines->setRange(0, std::numeric_limits<int>::max());
    DateTimepicker1 = named(new QTimeEdit(this), "DateTimepicker1");
    btnLogView = named(new QPushButton(QStringLiteral("View"), this), "btnLogView");
    btnTrimNow = named(new QPushButton(this), "btnTrimNow");

    GroupBox1 = named(new QGroupBox(QStringLiteral(" Captured Images "), this), "GroupBox1");
    cbDeleteImages =
        named(new QCheckBox(QStringLiteral("Delete files older than "), this), "cbDeleteImages");
    spDays = named(new QSpinBox(this), "spDays");
    spDays->setRange(0, 99999999);
    lblDays = named(new QLabel(QStringLiteral("days"), this), "lblDays");
    DeleteTimePicker = named(new QTimeEdit(this), "DeleteTimePicker");
    Label3 = named(new QLabel(this), "Label3");
    Label3->setTextFormat(Qt::PlainText);
    btnImageView = named(new QPushButton(QStringLiteral("View"), this), "btnImageView");
    btnDeleteNow = named(new QPushButton(this), "btnDeleteNow");
    Button2 = named(new QPushButton(QStringLiteral("Close"), this), "Button2");

    for (QTimeEdit* t : {DateTimepicker1, DeleteTimePicker})
        t->setDisplayFormat(QStringLiteral("HH:mm"));
    for (QPushButton* b : {btnLogView, btnTrimNow, btnImageView, btnDeleteNow, Button2})
        b->setAutoDefault(false);
    // Room for the two-line captions.
    for (QPushButton* b : {btnTrimNow, btnDeleteNow})
        b->setMinimumSize(64, 2 * b->fontMetrics().lineSpacing() + 14);

    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setAutoFillBackground(true);
    Label3->setMargin(4);
    QPalette warning = Label3->palette();
    warning.setColor(QPalette::Window, warning.color(QPalette::ToolTipBase));
    warning.setColor(QPalette::WindowText, Qt::red);
    Label3->setPalette(warning);
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);

    {
        auto* g = new QGridLayout(GroupBox25);
        g->addWidget(cbTrimLog, 0, 0);
        g->addWidget(spTrimLines, 0, 1);
        g->addWidget(new QLabel(QStringLiteral("lines"), this), 0, 2);
        g->addWidget(new QLabel(QStringLiteral("Daily at"), this), 1, 0, Qt::AlignRight);
        g->addWidget(DateTimepicker1, 1, 1);
        g->setColumnStretch(3, 1);
        g->addWidget(btnLogView, 0, 4, 2, 1);
        g->addWidget(btnTrimNow, 0, 5, 2, 1);
    }
    {
        auto* g = new QGridLayout(GroupBox1);
        g->addWidget(cbDeleteImages, 0, 0);
        g->addWidget(spDays, 0, 1);
        g->addWidget(lblDays, 0, 2);
        g->addWidget(new QLabel(QStringLiteral("Daily at"), this), 1, 0, Qt::AlignRight);
        g->addWidget(DeleteTimePicker, 1, 1);
        g->setColumnStretch(3, 1);
        g->addWidget(btnImageView, 0, 4, 2, 1);
        g->addWidget(btnDeleteNow, 0, 5, 2, 1);
        g->addWidget(Label3, 2, 0, 1, 6);
    }
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox25);
    layout->addWidget(GroupBox1);
    layout->addLayout(closeRow);
    // A fixed-size dialog; the warning wraps within this width.
    setFixedWidth(500);
    Label3->setText(deletionText(settings_, true) + QStringLiteral("\n"));
    setFixedHeight(sizeHint().height());

    connect(cbTrimLog, &QCheckBox::toggled, this, [this](bool on) {
        settings_.TrimLog = on;
        Q_EMIT trimLogChanged(on);
    });
    connect(spTrimLines, &QSpinBox::valueChanged, this, [this](int v) { settings_.TrimLines = v; });
    connect(DateTimepicker1, &QTimeEdit::timeChanged, this,
            [this](QTime t) { settings_.TrimTime = t.toString(QStringLiteral("HH:mm")); });
    connect(cbDeleteImages, &QCheckBox::toggled, this, [this](bool on) {
        settings_.DeleteImages = on;
        Label3->setVisible(on);
        Q_EMIT deleteImagesChanged(on);
    });
    connect(spDays, &QSpinBox::valueChanged, this, [this](int v) {
        settings_.DeleteDays = v;
        lblDays->setText(DayCount::unit(v));
        Label3->setText(deletionText(settings_, false));
    });
    connect(DeleteTimePicker, &QTimeEdit::timeChanged, this,
            [this](QTime t) { settings_.DeleteTime = t; });
    connect(btnLogView, &QPushButton::clicked, this, &MaintenanceDialog::btnLogViewClick);
    connect(btnTrimNow, &QPushButton::clicked, this, [this] {
        if (TrimLogNow)
            TrimLogNow();
    });
    connect(btnDeleteNow, &QPushButton::clicked, this, [this] {
        if (DeleteFilesNow)
            DeleteFilesNow();
    });
    connect(btnImageView, &QPushButton::clicked, this, [this] { Q_EMIT viewImagesRequested(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);

    FormShow();
}

QString MaintenanceDialog::deletionText(const Settings& s, bool startOfShow) {
    QString text = s.AddPrefix && startOfShow ? QStringLiteral("ALL .jpg files")
                                              : QStringLiteral("All .jpg files");
    if (s.AddPrefix)
        text += QStringLiteral(" with the prefix: '") + s.ImagePrefix + QLatin1Char('\'');
    return text + QStringLiteral(" older than ") + DayCount::text(s.DeleteDays) +
           QStringLiteral(" will be deleted from folder: ") + s.Capture;
}

void MaintenanceDialog::Open(Highlight highlight, QRect mainWindow) {
    prepare(highlight, mainWindow);
    exec();
}

void MaintenanceDialog::prepare(Highlight highlight, QRect mainWindow) {
    // Before its first showing the dialog has not taken its size yet.
    if (!testAttribute(Qt::WA_Resized))
        adjustSize();
    move(WindowPlacement::centredOn(mainWindow, frameGeometry().size()));
    setHighlight(highlight);
}

void MaintenanceDialog::setHighlight(Highlight highlight) {
    highlight_ = highlight;
    for (QGroupBox* box : {GroupBox25, GroupBox1}) {
        const bool on = (box == GroupBox25 && highlight == Highlight::Log) ||
                        (box == GroupBox1 && highlight == Highlight::Images);
        QPalette p = palette();
        if (on)
            p.setColor(QPalette::Window, Qt::white);
        box->setPalette(p);
        box->setAutoFillBackground(on);
    }
}

void MaintenanceDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void MaintenanceDialog::FormShow() {
    btnTrimNow->setText(QStringLiteral("Trim\nNow"));
    btnDeleteNow->setText(QStringLiteral("Delete\n Now"));
    cbTrimLog->setChecked(settings_.TrimLog);
    spTrimLines->setValue(settings_.TrimLines);
    // A TrimTime that is no time of day leaves the picker where it was.
    const QTime trimTime = timeOf(settings_.TrimTime);
    if (trimTime.isValid())
        DateTimepicker1->setTime(trimTime);
    trimTimeShown_ = trimTime.isValid();
    cbDeleteImages->setChecked(settings_.DeleteImages);
    spDays->setValue(settings_.DeleteDays);
    lblDays->setText(DayCount::unit(spDays->value()));
    DeleteTimePicker->setTime(settings_.DeleteTime);
    Label3->setVisible(cbDeleteImages->isChecked());
    Label3->setText(deletionText(settings_, true));
}

// Every way out stores the six values once more and gives the groups their colour back.
void MaintenanceDialog::hideEvent(QHideEvent* event) {
    storeControls();
    setHighlight(Highlight::None);
    QDialog::hideEvent(event);
}

void MaintenanceDialog::storeControls() {
    settings_.TrimLog = cbTrimLog->isChecked();
    settings_.TrimLines = spTrimLines->value();
    if (trimTimeShown_)
        settings_.TrimTime = DateTimepicker1->time().toString(QStringLiteral("HH:mm"));
    settings_.DeleteImages = cbDeleteImages->isChecked();
    settings_.DeleteDays = spDays->value();
    settings_.DeleteTime = DeleteTimePicker->time();
}

void MaintenanceDialog::btnLogViewClick() {
    if (QFileInfo(settings_.LogFile).isFile()) {
        if (shell_ && !shell_->open(settings_.LogFile) && messages_)
            messages_->inform(DesktopShell::openFailedText(settings_.LogFile));
    } else if (messages_) {
        messages_->inform(QStringLiteral("No log file found."));
    }
}
