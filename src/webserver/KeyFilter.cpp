#include "webserver/KeyFilter.h"

#include <QKeyEvent>

KeyFilter::KeyFilter(QString accepted, QObject* parent)
    : QObject(parent), accepted_(std::move(accepted)) {}

KeyFilter* KeyFilter::digits(QObject* parent) {
    return new KeyFilter(QStringLiteral("0123456789"), parent);
}

KeyFilter* KeyFilter::address(QObject* parent) {
    return new KeyFilter(QStringLiteral("0123456789."), parent);
}

bool KeyFilter::accepts(const QString& typed) const {
    for (const QChar c : typed)
        if (c != u'\b' && !accepted_.contains(c))
            return false;
    return true;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Backspace && !accepts(key->text()))
            return true; // dropped, as if never typed
    }
    return QObject::eventFilter(watched, event);
}
