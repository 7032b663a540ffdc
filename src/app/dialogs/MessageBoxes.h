#pragma once
// The real message boxes. Every box belongs to the window the user is in (the open dialog, else
// the active window, else the main window), is modal over that window only and opens in front,
// so it can be answered while a dialog is open. Plain messages that could pile up with every
// sample are shown one at a time without blocking.
#include "app/dialogs/WindowMessages.h"

class MessageBoxes final : public WindowMessages {
public:
    explicit MessageBoxes(QWidget* parent) : parent_(parent) {}
    // The main window, for boxes raised while no window of the program is active.
    void setParent(QWidget* parent) { parent_ = parent; }
    void inform(const QString& text) override;
    void error(const QString& text) override;
    bool confirm(const QString& text, QPoint topLeft) override;

    // The window a box raised now belongs to.
    QWidget* owner() const;

private:
    QWidget* parent_;
};
