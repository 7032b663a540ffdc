#pragma once
// The capture feature: graph images by hand, automatically and at close into the capture folder,
// the web image, the folder box and its Browse button, the capture items of the toolbar, menus
// and chart menu, the browser view's own menu with its page picture, and the image viewer.
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>

class AdvancedTab;
class Browser;
class BrowserContextMenu;
class ConfigureTab;
class GraphCapture;
class HomeHubTab;
class ImageViewer;
class MainMenus;
class QLabel;
class QMenu;
class QTabWidget;
class StatsPagePicture;
class ToolBar;
class WebImageWriter;
struct WindowServices;

class CaptureBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ToolBar& toolBar;
        MainMenus& menus;
        QMenu& chartMenu;
        QTabWidget& pages;
        HomeHubTab& homeHub;
        ConfigureTab& configure;
        AdvancedTab& advanced;
        QLabel& captureStatus; // status bar panel 2
    };

    CaptureBinder(WindowServices& services, Browser& browser, Controls controls);
    ~CaptureBinder() override;

    // True while web clients read the served image: the web image is not rewritten then.
    void setWebImageBusy(std::function<bool()> busy) { webImageBusy_ = std::move(busy); }
    // The capture buttons and menu items act only on an existing folder.
    void edCaptureChange();
    void updateCaptureStatus();
    void captureAtClose();
    // Toolbar "View" and the Maintenance dialog's "View" open the same viewer at their own places;
    // a drop's images open it with the first of them selected.
    void openImageViewer(QPoint topLeft, const QString& picture = {});

private:
    void bindButtonsAndMenus();
    void bindBrowserMenu(Browser& browser);
    void btnBrowseClick();
    void mnuStartCaptureClick();
    void captureMenusForTab(); // File and Edit menu items by the active tab

    WindowServices& services_;
    Controls c_;
    std::unique_ptr<GraphCapture> capture_;
    std::unique_ptr<WebImageWriter> webImageWriter_;
    std::function<bool()> webImageBusy_ = [] { return false; };
    StatsPagePicture* statsPagePicture_ = nullptr;
    BrowserContextMenu* browserMenu_ = nullptr;
    ImageViewer* imageViewer_ = nullptr; // created at the first "View"
};
