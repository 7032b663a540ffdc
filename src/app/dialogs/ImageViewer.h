#pragma once
// The image viewer: a folder drop-down and the ".jpg" files of one folder on the left, the
// selected picture at its natural size on the right, its path in the status bar. Each opening
// returns to the capture folder, or to its nearest existing ancestor when the folder is gone
// (a removed USB stick). The list's keys act as a Linux file manager's do.
#include "app/dialogs/ViewerFileActions.h"

#include <QDialog>
#include <QPoint>

class DesktopShell;
class QComboBox;
class QFileSystemModel;
class QIdentityProxyModel;
class QLabel;
class QListView;
class QScrollArea;
class QStatusBar;
class WindowMessages;
struct Settings;

class ImageViewer : public QDialog {
    Q_OBJECT
public:
    ImageViewer(const Settings& settings, QString programFolder, DesktopShell& shell,
                WindowMessages& messages, QWidget* parent = nullptr);

    // The folder the list shows, and switching to another: a missing folder shows its nearest
    // existing ancestor and says so in the status bar.
    QString directory() const { return directory_; }
    void setDirectory(const QString& folder);
    // The folder itself when it exists, else its nearest existing ancestor ("/" at the latest).
    static QString nearestExistingFolder(const QString& folder);
    // The selected entry's full path, empty without one.
    QString selectedPath() const;
    void selectPath(const QString& path);
    // The picture selected and shown when the viewer opens next (once); empty: none.
    void selectOnOpen(const QString& path) { selectOnOpen_ = path; }
    // The picture shown (null when the area is empty).
    QImage picture() const { return picture_; }
    QString statusText() const;

    // Placement from the main window: left edges aligned, top offset below the main top.
    static QPoint placement(QPoint mainTopLeft, int topOffset) {
        return mainTopLeft + QPoint(0, topOffset);
    }

    // Handlers.
    void imageListBoxItemChange(const QString& path);
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPicture(const QString& path);
    void clearPicture();
    void fillFolderList();
    void openEntry(const QString& path);
    QStringList selectedPaths() const;
    bool handleKey(QKeyEvent* key);

    const Settings& settings_;
    QString programFolder_;
    DesktopShell& shell_;
    WindowMessages& messages_;
    ViewerFileActions actions_;
    QString directory_;
    QString selectOnOpen_;
    QImage picture_;

    QComboBox* Combo = nullptr;
    QListView* imageListBox = nullptr;
    QFileSystemModel* model_ = nullptr;
    QIdentityProxyModel* names_ = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
};
