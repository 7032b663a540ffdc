#include "app/binders/HelpBinder.h"

#include "app/binders/WindowServices.h"
#include "app/desktop/HelpDocument.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/HelpWindow.h"
#include "app/tabs/MainMenus.h"

#include <QAction>
#include <QWidget>

HelpBinder::HelpBinder(WindowServices& services, Controls controls, const HelpDocument& help)
    : services_(services), c_(controls), help_(help) {
    connect(c_.menus.mnuHelp, &QAction::triggered, this, [this] { openHelp(); });
    connect(c_.menus.mnuAbout, &QAction::triggered, this, [this] { mnuAboutClick(); });
}

void HelpBinder::openHelp() {
    help_.open(services_.shell, this, [this](const QString& file) { showOwnWindow(file); });
}

void HelpBinder::showOwnWindow(const QString& file) {
    // The About box is modal: the help window would sit behind it, out of reach.
    if (aboutBox_ && aboutBox_->isVisible())
        aboutBox_->accept();
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(services_.shell, &services_.window);
    helpWindow_->showDocument(file);
}

void HelpBinder::mnuAboutClick() {
    if (!aboutBox_)
        aboutBox_ = new AboutBox([this] { openHelp(); }, &services_.window);
    aboutBox_->move(AboutBox::centredOn(services_.window.frameGeometry(), aboutBox_->size()));
    aboutBox_->exec();
}
