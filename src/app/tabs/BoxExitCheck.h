#pragma once
// A box whose text is checked when the user leaves it (Tab, Return, a click elsewhere) or when the
// window asks (the padlock locking it): an accepted text is shown in its normal form and reported;
// a refused one is named in a message and the last accepted text comes back, so the setting
// behind the box never holds a text that failed.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;
class UserMessages;

class BoxExitCheck : public QObject {
    Q_OBJECT
public:
    // The normal form of an accepted text, nothing for a refused one.
    using Check = std::function<std::optional<QString>(const QString& text)>;
    // The message for a refused text.
    using Refusal = std::function<QString(const QString& text)>;

    BoxExitCheck(QLineEdit* box, Check test, Refusal refusal, UserMessages& messages,
                 QObject* parent = nullptr);

    // Puts a text that needs no check (the loaded setting, the wizard's address) into the box
    // and makes it the one a refusal brings back.
    void setAccepted(const QString& text);
    QString accepted() const { return accepted_; }

    // Checks the box's text now; whether it was accepted.
    bool check();

Q_SIGNALS:
    // After every accepted check, also when the text did not change.
    void textAccepted(const QString& text);

private:
    QLineEdit* box_;
    Check check_;
    Refusal refusal_;
    UserMessages& messages_;
    QString accepted_;
    bool checking_ = false;
};
