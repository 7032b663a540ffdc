#pragma once
// The message boxes of the windows: plain messages, the standard error box and Yes/Cancel
// questions. Windows take it as a pointer so tests can answer the questions.
#include "core/UserMessages.h"

#include <QPoint>

class QWidget;

class WindowMessages : public UserMessages {
public:
    // A confirmation with Yes and Cancel, its top-left corner at the given screen position.
    // Returns true for Yes; Cancel or closing the box gives false.
    virtual bool confirm(const QString& text, QPoint topLeft) = 0;
};
