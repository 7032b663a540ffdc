#pragma once
// The Help menu: "Help..." and its key, F1, and the About box with its link. The help document
// opens in the desktop's viewer, or in the program's own help window where the desktop cannot
// show it.
#include <QObject>

class AboutBox;
class HelpDocument;
class HelpWindow;
class MainMenus;
struct WindowServices;

class HelpBinder : public QObject {
    Q_OBJECT
public:
    struct Controls {
        MainMenus& menus;
    };

    HelpBinder(WindowServices& services, Controls controls, const HelpDocument& help);

    // Help..., F1 and the About box's link.
    void openHelp();

private:
    void showOwnWindow(const QString& file);
    void mnuAboutClick();

    WindowServices& services_;
    Controls c_;
    const HelpDocument& help_;
    AboutBox* aboutBox_ = nullptr;     // created at the first "About..."
    HelpWindow* helpWindow_ = nullptr; // created the first time the desktop cannot show the help
};
