#pragma once
// Where the main window opens and where the close question appears: pure geometry, so the rules
// can be tested without screens.
#include <QList>
#include <QPoint>
#include <QRect>

namespace WindowPlacement {

// The stored bounds (the frame's top-left corner and the window's size) are used unless the
// window would reach past the right edge of the whole desktop (all screens together), its
// top-left corner lies on no screen (a monitor since unplugged, a hand-edited position), or
// Monitor1 asks for the primary screen; then the stored size is centred on the primary screen.
// The minimum size applies either way.
QRect startGeometry(QRect stored, const QList<QRect>& screens, QRect primaryScreen, bool monitor1,
                    QSize minimum = QSize(842, 643));

// Top-left corner of the close question: near the screen's bottom-right corner while the program
// sits in the tray, otherwise near the middle of the window.
QPoint closeQuestionPosition(bool inTray, QRect screen, QRect window);

// Top-left corner of a dialog centred on the main window, halves rounded toward zero.
QPoint centredOn(QRect mainWindow, QSize dialog);

} // namespace WindowPlacement
