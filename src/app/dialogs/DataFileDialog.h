#pragma once
// "Manage Data File": the trim schedule and the folder of the graph data-restore file. Every
// opening shows the settings in force; only "Close" applies the edits.
#include <QDialog>
#include <functional>

class DesktopShell;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class UserMessages;
struct Settings;

class DataFileDialog : public QDialog {
    Q_OBJECT
public:
    DataFileDialog(Settings& settings, DesktopShell* shell, UserMessages* messages,
                   QWidget* parent = nullptr);

    // Trims the data-restore file with the settings in force; set by the main window.
    std::function<void()> TrimDataFileNow;

    QCheckBox* cbTrimDataFile = nullptr;
    QSpinBox* spDataFileDays = nullptr;
    QLabel* lblDataFileDays = nullptr; // "days of data", "day of data" for 1
    QTimeEdit* DateTimePicker1 = nullptr;
    QLineEdit* edDataFileFolder = nullptr;
    QPushButton* btnDataFileFolder = nullptr;
    QPushButton* btnViewDataFile = nullptr;
    QPushButton* btnTrimDataFileNow = nullptr;
    QPushButton* btnClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadControls();
    void btnDataFileFolderClick();
    void btnViewDataFileClick();
    void btnTrimDataFileNowClick();
    void btnCloseClick();

    Settings& settings_;
    DesktopShell* shell_;
    UserMessages* messages_;
};
