#include "app/tabs/BrowserContextMenu.h"

#include "monitor/Browser.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QWidget>

BrowserContextMenu::BrowserContextMenu(Browser& browser, std::function<bool()> isStatsPage,
                                       std::function<void()> saveImage, QWidget* menuParent)
    : QObject(menuParent), browser_(browser), isStatsPage_(std::move(isStatsPage)),
      menu_(new QMenu(menuParent)) {
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    // The shortcuts belong to the Edit menu's items; here they are only shown, so that no key
    // is registered twice (Qt would then fire neither).
    mnuWebCopy_ = menu_->addAction(QStringLiteral("Copy\tCtrl+C"));
    mnuWebCopy_->setObjectName(QStringLiteral("mnuWebCopy"));
    menu_->addSeparator();
    mnuWebSelectAll_ = menu_->addAction(QStringLiteral("Select All\tCtrl+A"));
    mnuWebSelectAll_->setObjectName(QStringLiteral("mnuWebSelectAll"));
    menu_->addSeparator();
    mnuSaveImage_ = menu_->addAction(QStringLiteral("Save ADSL Line Stats Image As..."));
    mnuSaveImage_->setObjectName(QStringLiteral("mnuSaveImage"));

    connect(mnuWebCopy_, &QAction::triggered, this, &BrowserContextMenu::mnuWebCopyClick);
    connect(mnuWebSelectAll_, &QAction::triggered, this, &BrowserContextMenu::mnuWebSelectAllClick);
    connect(mnuSaveImage_, &QAction::triggered, this, [saveImage = std::move(saveImage)] {
        if (saveImage)
            saveImage();
    });

    // The view asks for a menu on every right click over the page; the engine's own is never
    // shown (the view's policy is custom).
    if (QWidget* view = browser_.widget()) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& pos) { popupAt(view->mapToGlobal(pos)); });
    }
}

BrowserContextMenu::~BrowserContextMenu() {
    if (!menu_->parent())
        delete menu_;
}

void BrowserContextMenu::PopupMenu1Popup(std::function<void()> ready) {
    mnuSaveImage_->setEnabled(isStatsPage_ && isStatsPage_());
    QPointer<BrowserContextMenu> self(this);
    browser_.readSelectedText([self, ready = std::move(ready)](const QString& selected) {
        if (!self)
            return;
        self->mnuWebCopy_->setEnabled(!selected.isEmpty());
        if (ready)
            ready();
    });
}

void BrowserContextMenu::popupAt(QPoint globalPos) {
    QPointer<QMenu> menu(menu_);
    PopupMenu1Popup([menu, globalPos] {
        if (menu)
            menu->popup(globalPos);
    });
}

void BrowserContextMenu::mnuWebCopyClick() {
    browser_.readSelectedText([](const QString& selected) {
        if (!selected.isEmpty())
            QGuiApplication::clipboard()->setText(selected);
    });
}

void BrowserContextMenu::mnuWebSelectAllClick() {
    browser_.selectAll();
}
