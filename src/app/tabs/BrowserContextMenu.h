#pragma once
// The browser view's own context menu, shown instead of the engine's on every page: "Copy"
// (enabled only with a selection), "Select All" and "Save ADSL Line Stats Image As..." (enabled
// only on the recognised statistics page). The Edit menu's page items call the same actions.
#include <QObject>
#include <QPoint>
#include <functional>

class Browser;
class QAction;
class QMenu;
class QWidget;

class BrowserContextMenu : public QObject {
    Q_OBJECT
public:
    // isStatsPage: the browser shows the recognised statistics page (Label2 is "!" +
    // StatsPageUrl); saveImage: "Save ADSL Line Stats Image As...".
    BrowserContextMenu(Browser& browser, std::function<bool()> isStatsPage,
                       std::function<void()> saveImage, QWidget* menuParent = nullptr);
    ~BrowserContextMenu() override;

    QMenu* menu() const { return menu_; }
    QAction* copyAction() const { return mnuWebCopy_; }
    QAction* selectAllAction() const { return mnuWebSelectAll_; }
    QAction* saveImageAction() const { return mnuSaveImage_; }

    // Sets the items' enabling (the selection is read from the page), then calls ready.
    void PopupMenu1Popup(std::function<void()> ready);
    // Prepares the items and shows the menu at the pointer's screen position.
    void popupAt(QPoint globalPos);

    // The page's selected text onto the clipboard; with nothing selected the clipboard stays.
    void mnuWebCopyClick();
    void mnuWebSelectAllClick();

private:
    Browser& browser_;
    std::function<bool()> isStatsPage_;
    QMenu* menu_;
    QAction* mnuWebCopy_;
    QAction* mnuWebSelectAll_;
    QAction* mnuSaveImage_;
};
