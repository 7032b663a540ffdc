#include "app/desktop/WindowPlacement.h"

#include <QSize>
#include <algorithm>

namespace WindowPlacement {

QRect startGeometry(QRect stored, const QList<QRect>& screens, QRect primaryScreen, bool monitor1,
                    QSize minimum) {
    const QSize size = stored.size().expandedTo(minimum);
    int desktopWidth = 0;
    bool cornerOnAScreen = false;
    for (const QRect& screen : screens) {
        desktopWidth = std::max(desktopWidth, screen.right() + 1);
        cornerOnAScreen = cornerOnAScreen || screen.contains(stored.topLeft());
    }
    const bool pastRightEdge = stored.left() + stored.width() > desktopWidth;
    if (!monitor1 && !pastRightEdge && cornerOnAScreen)
        return QRect(stored.topLeft(), size);
    return QRect(QPoint(primaryScreen.left() + (primaryScreen.width() - size.width()) / 2,
                        primaryScreen.top() + (primaryScreen.height() - size.height()) / 2),
                 size);
}

QPoint closeQuestionPosition(bool inTray, QRect screen, QRect window) {
    if (inTray) {
        if (!screen.isValid())
            return QPoint(200, 200);
        return QPoint(screen.right() + 1 - 350, screen.bottom() + 1 - 200);
    }
    if (!window.isValid())
        return QPoint(200, 200);
    return QPoint(window.left() + window.width() / 2 - 130,
                  window.top() + window.height() / 2 - 60);
}

QPoint centredOn(QRect mainWindow, QSize dialog) {
    return QPoint(mainWindow.left() + mainWindow.width() / 2 - dialog.width() / 2,
                  mainWindow.top() + mainWindow.height() / 2 - dialog.height() / 2);
}

} // namespace WindowPlacement
