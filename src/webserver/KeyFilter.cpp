#include "webserver/KeyFilter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

KeyFilter::KeyFilter(QString accepted, QObject* parent)
    : QObject(parent), accepted_(std::move(accepted)) {}

KeyFilter* KeyFilter::digits(QObject* parent) {
    return new KeyFilter(QStringLiteral("0123456789"), parent);
}

KeyFilter* KeyFilter::address(QObject* parent) {
    return new KeyFilter(QStringLiteral("0123456789."), parent);
}

void KeyFilter::guard(QLineEdit* box) {
    box->installEventFilter(this);
    // The same set as the key filter, so pasting cannot put in what typing cannot.
    const QRegularExpression only(QLatin1Char('[') + QRegularExpression::escape(accepted_) +
                                  QStringLiteral("]*"));
    box->setValidator(new QRegularExpressionValidator(only, box));
}

void KeyFilter::guard(QComboBox* box) {
    box->installEventFilter(this);
    guard(box->lineEdit());
}

bool KeyFilter::accepts(const QString& typed, Qt::KeyboardModifiers modifiers) const {
    // Shortcuts carry control characters or letters ("\x16" for Ctrl+V, "a" for Alt+A); they
    // select, copy, paste and move, and never type their text.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return true;
    for (const QChar c : typed)
        if (c.isPrint() && !accepted_.contains(c))
            return false;
    return true;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!accepts(key->text(), key->modifiers()))
            return true; // dropped, as if never typed
    }
    return QObject::eventFilter(watched, event);
}
