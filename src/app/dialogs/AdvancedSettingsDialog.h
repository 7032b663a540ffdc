#pragma once
// "More Advanced Settings": the rarely changed settings on six pages. Every opening shows the
// settings in force; "Close" stores the edits, "Cancel" and the close box drop them (the restore
// box stores at every click), and "Restart Now" stores them and asks for a restart.
#include <QDialog>
#include <QPointer>

class Clock;
class DataFileDialog;
class DesktopShell;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTimeEdit;
class WindowMessages;
struct Settings;

class AdvancedSettingsDialog : public QDialog {
    Q_OBJECT
public:
    AdvancedSettingsDialog(Settings& settings, const Clock& clock, DesktopShell* shell,
                           WindowMessages* messages, QWidget* parent = nullptr);

    // Opened by "Manage Data File", 100 pixels right of and 70 below this dialog's corner.
    void setDataFileDialog(DataFileDialog* dialog);

    // The two texts of the "Restart Now" question (with and without the graph data restored).
    static QString restartQuestion(bool restoreGraphs);
    static const QString kPrefixWarning;
    static const QString kRecycleWarning;

    QTabWidget* PageControl1 = nullptr;
    QLineEdit* edTypeAUrl = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* cbDateStamp = nullptr;
    QLineEdit* edImageDateTime = nullptr;
    QLabel* Label11 = nullptr;
    QCheckBox* cbPrefix = nullptr;
    QLineEdit* edImagePrefix = nullptr;
    QCheckBox* cbRecycle = nullptr;
    QLineEdit* edLogDateTime = nullptr;
    QLabel* Label10 = nullptr;
    QSpinBox* sptabSize = nullptr;
    QRadioButton* rbLogDays = nullptr;
    QRadioButton* rbLogSeconds = nullptr;
    QLineEdit* edWebFolder = nullptr;
    QPushButton* Button3 = nullptr;
    QSpinBox* spDelay = nullptr;
    QCheckBox* cbMon1 = nullptr;
    QCheckBox* cbRestore = nullptr;
    QPushButton* Button4 = nullptr;
    QCheckBox* cbRestart = nullptr;
    QSpinBox* spRestartDays = nullptr;
    QLabel* Label12 = nullptr;
    QTimeEdit* dtRestartTime = nullptr;
    QPushButton* btnRestart = nullptr;
    QPushButton* Button1 = nullptr; // Close
    QPushButton* Button2 = nullptr; // Cancel

Q_SIGNALS:
    // "Restart Now" was confirmed; the edits are stored and the dialog is closed. Connect it
    // queued, so that the restart runs once this dialog's modal loop has ended.
    void restartNowRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void storeControls();
    void Button1Click();
    void cbPrefixClick(bool checked);
    void cbRecycleClick(bool checked);
    void cbRestoreClick(bool checked);
    void edWebFolderExit();
    void Button3Click();
    void Button4Click();
    void btnRestartClick();
    void spRestartDaysChange(int days);
    void updateSample(QLabel* label, const QString& pattern);
    QPoint besideCorner(int dx, int dy) const;

    Settings& settings_;
    const Clock& clock_;
    DesktopShell* shell_;
    WindowMessages* messages_;
    QPointer<DataFileDialog> dataFileDialog_;
};
