#pragma once
// The window message boxes for tests: every message and question is recorded, and questions are
// answered as the test says.
#include "app/dialogs/WindowMessages.h"

#include <QStringList>

class ScriptedMessages final : public WindowMessages {
public:
    void inform(const QString& text) override { informed << text; }
    void error(const QString& text) override { errors << text; }
    bool confirm(const QString& text, QPoint) override {
        questions << text;
        return answerYes;
    }
    bool answerYes = true;
    QStringList informed, errors, questions;
};
