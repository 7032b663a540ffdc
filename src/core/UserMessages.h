#pragma once
// Where logic classes send the messages a user must see; windows show them in message boxes,
// tests record them.
#include <QString>

class UserMessages {
public:
    virtual ~UserMessages() = default;
    // A plain message box with an OK button.
    virtual void inform(const QString& text) = 0;
    // The application's standard error box, for an error that ended a handler.
    virtual void error(const QString& text) = 0;
};
