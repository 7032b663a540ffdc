#pragma once
// "Lintrove - Maintenance": the daily log trim and image deletion, with "Trim Now", "Delete Now"
// and the two "View" buttons. Every change takes effect at once; there is no Cancel.
#include <QDialog>
#include <functional>

class DesktopShell;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class UserMessages;
struct Settings;

class MaintenanceDialog : public QDialog {
    Q_OBJECT
public:
    // The group shown on a white background: the one whose "Maintenance" button opened the
    // dialog.
    enum class Highlight { None, Log, Images };

    MaintenanceDialog(Settings& settings, DesktopShell* shell, UserMessages* messages,
                      QWidget* parent = nullptr);

    // Centres the dialog on the main window, highlights a group and shows it modally.
    void Open(Highlight highlight, QRect mainWindow);
    // What Open does before showing: position and highlight (the highlight goes when the dialog
    // closes).
    void prepare(Highlight highlight, QRect mainWindow);
    Highlight highlighted() const { return highlight_; }

    // The warning under the image settings: which files a deletion pass takes from where.
    // startOfShow writes "ALL" for a prefix as the opening does; a change of the day count writes
    // "All".
    static QString deletionText(const Settings& settings, bool startOfShow);

    // Run by "Trim Now" and "Delete Now"; set by the main window.
    std::function<void()> TrimLogNow;
    std::function<void()> DeleteFilesNow;

    QGroupBox* GroupBox25 = nullptr;
    QCheckBox* cbTrimLog = nullptr;
    QSpinBox* spTrimLines = nullptr;
    QTimeEdit* DateTimepicker1 = nullptr;
    QPushButton* btnLogView = nullptr;
    QPushButton* btnTrimNow = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* cbDeleteImages = nullptr;
    QSpinBox* spDays = nullptr;
    QLabel* lblDays = nullptr; // "days", "day" for 1
    QTimeEdit* DeleteTimePicker = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* btnImageView = nullptr;
    QPushButton* btnDeleteNow = nullptr;
    QPushButton* Button2 = nullptr; // Close

Q_SIGNALS:
    // The tick pictures beside the "Maintenance" buttons follow these.
    void trimLogChanged(bool on);
    void deleteImagesChanged(bool on);
    // "View" of the images: the main window opens the image viewer.
    void viewImagesRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormShow();
    void storeControls();
    void btnLogViewClick();
    void setHighlight(Highlight highlight);

    Settings& settings_;
    DesktopShell* shell_;
    UserMessages* messages_;
    Highlight highlight_ = Highlight::None;
    // False while the picker does not show TrimTime (a text that is no time of day): closing
    // then keeps the text instead of storing whatever the picker showed before.
    bool trimTimeShown_ = false;
};
