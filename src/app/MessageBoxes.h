#pragma once
// The real message boxes. Plain messages that could pile up with every sample are shown one at a
// time without blocking.
#include "app/WindowMessages.h"

class MessageBoxes final : public WindowMessages {
public:
    explicit MessageBoxes(QWidget* parent) : parent_(parent) {}
    // The window the boxes belong to, once it exists.
    void setParent(QWidget* parent) { parent_ = parent; }
    void inform(const QString& text) override;
    void error(const QString& text) override;
    bool confirm(const QString& text, QPoint topLeft) override;

private:
    QWidget* parent_;
};
