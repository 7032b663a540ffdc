#pragma once
// Where the main window opens and where the close question appears: pure geometry, so the rules
// can be tested without screens.
#include <QPoint>
#include <QRect>

namespace WindowPlacement {

// The stored bounds are used unless the window would reach past the right edge of the whole
// desktop or Monitor1 asks for the primary screen; then the stored size is centred on the primary
// screen. The minimum size applies either way.
QRect startGeometry(QRect stored, int desktopWidth, QRect primaryScreen, bool monitor1,
                    QSize minimum = QSize(842, 643));

// Top-left corner of the close question: near the screen's bottom-right corner while the program
// sits in the tray, otherwise near the middle of the window.
QPoint closeQuestionPosition(bool inTray, QRect screen, QRect window);

// Top-left corner of a dialog centred on the main window, halves rounded toward zero.
QPoint centredOn(QRect mainWindow, QSize dialog);

} // namespace WindowPlacement
