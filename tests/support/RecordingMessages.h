#pragma once
// Records the messages a logic class would show, for tests.
#include "core/UserMessages.h"

#include <QStringList>

class RecordingMessages final : public UserMessages {
public:
    void inform(const QString& text) override { informed << text; }
    void error(const QString& text) override { errors << text; }
    QStringList informed;
    QStringList errors;
};
