#include "app/dialogs/DataFileDialog.h"

#include "app/desktop/NamedWidget.h"
#include "core/DayCount.h"
#include "core/DesktopShell.h"
#include "core/UserMessages.h"
#include "storage/DataRestoreFile.h"
#include "storage/Settings.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <limits>

namespace {

QString daysOfData(int days) {
    return DayCount::unit(days) + QStringLiteral(" of data");
}

} // namespace

DataFileDialog::DataFileDialog(Settings& settings, DesktopShell* shell, UserMessages* messages,
                               QWidget* parent)
    : QDialog(parent), settings_(settings), shell_(shell), messages_(messages) {
    setObjectName(QStringLiteral("DataFileDialog"));
    setWindowTitle(QStringLiteral("Manage Data File"));
    setModal(true);

    cbTrimDataFile =
        named(new QCheckBox(QStringLiteral("Trim file to approximately"), this), "cbTrimDataFile");
    spDataFileDays = named(new QSpinBox(this), "spDataFileDays");
    // The day count has no upper bound of its own.
    spDataFileDays->setRange(0, std::numeric_limits<int>::max());
    DateTimePicker1 = named(new QTimeEdit(this), "DateTimePicker1");
    DateTimePicker1->setDisplayFormat(QStringLiteral("HH:mm"));
    edDataFileFolder = named(new QLineEdit(this), "edDataFileFolder");
    btnDataFileFolder =
        named(new QPushButton(QStringLiteral("Change Folder"), this), "btnDataFileFolder");
    btnViewDataFile = named(new QPushButton(QStringLiteral("View File"), this), "btnViewDataFile");
    btnTrimDataFileNow =
        named(new QPushButton(QStringLiteral("Trim Now"), this), "btnTrimDataFileNow");
    btnClose = named(new QPushButton(QStringLiteral("Close"), this), "btnClose");
    for (QPushButton* b : {btnDataFileFolder, btnViewDataFile, btnTrimDataFileNow, btnClose})
        b->setAutoDefault(false);

    auto* trimRow = new QHBoxLayout;
    trimRow->addWidget(cbTrimDataFile);
    trimRow->addWidget(spDataFileDays);
    lblDataFileDays = named(new QLabel(QStringLiteral("days of data"), this), "lblDataFileDays");
    trimRow->addWidget(lblDataFileDays);
    trimRow->addStretch();

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(new QLabel(QStringLiteral("at"), this));
    timeRow->addWidget(DateTimePicker1);
    timeRow->addWidget(new QLabel(QStringLiteral("each day"), this));
    timeRow->addStretch();

    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel(QStringLiteral("Folder:"), this);
    folderLabel->setBuddy(edDataFileFolder);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(edDataFileFolder, 1);
    folderRow->addWidget(btnDataFileFolder);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnViewDataFile);
    buttonRow->addWidget(btnTrimDataFileNow);
    buttonRow->addStretch();
    buttonRow->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(trimRow);
    layout->addLayout(timeRow);
    layout->addLayout(folderRow);
    layout->addSpacing(8);
    layout->addLayout(buttonRow);
    resize(460, sizeHint().height());

    connect(spDataFileDays, &QSpinBox::valueChanged, this,
            [this](int days) { lblDataFileDays->setText(daysOfData(days)); });
    connect(btnDataFileFolder, &QPushButton::clicked, this,
            &DataFileDialog::btnDataFileFolderClick);
    connect(btnViewDataFile, &QPushButton::clicked, this, &DataFileDialog::btnViewDataFileClick);
    connect(btnTrimDataFileNow, &QPushButton::clicked, this,
            &DataFileDialog::btnTrimDataFileNowClick);
    connect(btnClose, &QPushButton::clicked, this, &DataFileDialog::btnCloseClick);

    LoadControls();
}

void DataFileDialog::showEvent(QShowEvent* event) {
    // Each opening starts from the values in force; edits left by a title-bar close are gone.
    if (!event->spontaneous())
        LoadControls();
    QDialog::showEvent(event);
}

void DataFileDialog::LoadControls() {
    cbTrimDataFile->setChecked(settings_.TrimDataFile);
    spDataFileDays->setValue(settings_.TrimDataFileDays);
    lblDataFileDays->setText(daysOfData(spDataFileDays->value()));
    DateTimePicker1->setTime(settings_.TrimDataFileTime);
    edDataFileFolder->setText(settings_.DataFileFolder);
}

void DataFileDialog::btnDataFileFolderClick() {
    if (!shell_)
        return;
    const QString folder = shell_->chooseFolder(this, QStringLiteral("Select a folder"),
                                                edDataFileFolder->text(), false);
    if (!folder.isEmpty())
        edDataFileFolder->setText(folder);
}

void DataFileDialog::btnViewDataFileClick() {
    const QString path = DataRestoreFile::PathIn(edDataFileFolder->text());
    if (QFileInfo(path).isFile()) {
        if (shell_ && !shell_->open(path) && messages_)
            messages_->inform(DesktopShell::openFailedText(path));
    } else if (messages_) {
        messages_->inform(QStringLiteral("No log file found."));
    }
}

void DataFileDialog::btnTrimDataFileNowClick() {
    if (TrimDataFileNow)
        TrimDataFileNow();
}

void DataFileDialog::btnCloseClick() {
    settings_.TrimDataFile = cbTrimDataFile->isChecked();
    settings_.TrimDataFileDays = spDataFileDays->value();
    settings_.TrimDataFileTime = DateTimePicker1->time();
    settings_.DataFileFolder = edDataFileFolder->text();
    accept();
}
