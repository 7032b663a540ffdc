#pragma once
// The drops feature: the View menu's "Line Drops..." item and the toolbar's Drops button open the
// Line Drops window; its exports, a double-clicked drop shown in the graphs and the image viewer,
// and the window kept up to date while it is open.
#include <QObject>
#include <functional>
#include <memory>

class AdvancedTab;
class DropExport;
class LineDropsWindow;
class MainMenus;
class QTabWidget;
class ToolBar;
struct DropEvent;
struct WindowServices;

class DropsBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ToolBar& toolBar;
        MainMenus& menus;
        QTabWidget& pages;
        AdvancedTab& advanced; // the user graphs' names, for the report
    };
    struct Hooks {
        // The image viewer opened with this picture selected.
        std::function<void(const QString& picture)> openImageViewer;
    };

    DropsBinder(WindowServices& services, Controls controls, Hooks hooks);
    ~DropsBinder() override;

    // Shows the window (made at the first opening) and brings it forward.
    void openWindow();
    // Null until the first opening.
    LineDropsWindow* window() const { return window_; }

private:
    void exportFile(bool report);
    void showDrop(const DropEvent& e);

    WindowServices& services_;
    Controls c_;
    Hooks hooks_;
    std::unique_ptr<DropExport> export_;
    LineDropsWindow* window_ = nullptr;
};
