#include "app/tabs/BoxExitCheck.h"

#include "core/UserMessages.h"

#include <QLineEdit>

BoxExitCheck::BoxExitCheck(QLineEdit* box, Check test, Refusal refusal, UserMessages& messages,
                           QObject* parent)
    : QObject(parent), box_(box), check_(std::move(test)), refusal_(std::move(refusal)),
      messages_(messages), accepted_(box->text()) {
    connect(box_, &QLineEdit::editingFinished, this, [this] { check(); });
}

void BoxExitCheck::setAccepted(const QString& text) {
    accepted_ = text;
    box_->setText(text);
}

bool BoxExitCheck::check() {
    // The message box takes the focus from the box, which finishes its editing once more.
    if (checking_)
        return box_->text() == accepted_;
    checking_ = true;
    const QString text = box_->text();
    const std::optional<QString> normal = check_(text);
    if (normal)
        accepted_ = *normal;
    if (text != accepted_)
        box_->setText(accepted_); // the normal form, or the last accepted text back
    if (!normal)
        messages_.inform(refusal_(text));
    checking_ = false;
    if (normal)
        Q_EMIT textAccepted(accepted_);
    return normal.has_value();
}
