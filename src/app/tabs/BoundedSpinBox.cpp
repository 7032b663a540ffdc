#include "app/tabs/BoundedSpinBox.h"

#include <QRegularExpression>
#include <algorithm>

namespace {
// A sign and digits only: what may stand in the box while the user types.
bool isWholeNumberText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[+-]?[0-9]*$"));
    return pattern.match(text).hasMatch();
}
} // namespace

QValidator::State BoundedSpinBox::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    // Out of range is not wrong while typing: fixup brings it to the nearest bound.
    if (state == QValidator::Invalid && isWholeNumberText(input.trimmed()))
        return QValidator::Intermediate;
    return state;
}

void BoundedSpinBox::fixup(QString& input) const {
    const QString text = input.trimmed();
    if (!isWholeNumberText(text))
        return;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    qlonglong bounded = minimum();
    if (ok)
        bounded = std::clamp<qlonglong>(value, minimum(), maximum());
    else if (text.count(QRegularExpression(QStringLiteral("[0-9]"))) > 0 && !text.startsWith('-'))
        bounded = maximum(); // more digits than any integer holds
    input = QString::number(bounded);
}
