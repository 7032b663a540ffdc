#include "app/tabs/RouterAccessLock.h"

#include "core/UserMessages.h"

#include <QCheckBox>
#include <QEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

RouterAccessLock::RouterAccessLock(const Controls& controls, UserMessages& messages,
                                   Question question, QObject* parent)
    : QObject(parent), c_(controls), messages_(messages), question_(std::move(question)) {
    if (!question_) {
        QWidget* over = c_.window;
        question_ = [over](const QString& caption,
                           const QString& prompt) -> std::optional<QString> {
            bool ok = false;
            const QString answer =
                QInputDialog::getText(over, caption, prompt, QLineEdit::Password, {}, &ok);
            if (!ok)
                return std::nullopt;
            return answer;
        };
    }
    c_.Image11->installEventFilter(this);
    c_.Image26->installEventFilter(this);
    c_.Image11->setCursor(Qt::PointingHandCursor);
    c_.Image26->setCursor(Qt::PointingHandCursor);
    connect(c_.cbShowPlain, &QCheckBox::toggled, this, &RouterAccessLock::cbShowPlainClick);
    // The lock is not saved: every start begins locked.
    setLocked(true);
    setMasked(!c_.cbShowPlain->isChecked());
}

bool RouterAccessLock::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == c_.Image11 && c_.Image11->isVisible()) {
            Image11Click();
            return true;
        }
        if (watched == c_.Image26 && c_.Image26->isVisible()) {
            Image26Click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void RouterAccessLock::Image11Click() {
    setLocked(false);
}

void RouterAccessLock::Image26Click() {
    Q_EMIT aboutToLock();
    setLocked(true);
}

bool RouterAccessLock::locked() const {
    return !c_.edAddress->isEnabled();
}

void RouterAccessLock::setLocked(bool locked) {
    c_.Image11->setVisible(locked);
    c_.Image26->setVisible(!locked);
    c_.edAddress->setEnabled(!locked);
}

void RouterAccessLock::setMasked(bool masked) {
    c_.edPassword1->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

void RouterAccessLock::cbShowPlainClick() {
    if (!c_.cbShowPlain->isChecked()) {
        setMasked(true);
        return;
    }
    const QString password = c_.edPassword1->text();
    const bool loading = c_.window && !c_.window->isVisible();
    if (password.isEmpty() || loading) {
        setMasked(false);
        return;
    }
    // The password stays masked while the question is open.
    setMasked(true);
    const std::optional<QString> answer =
        question_(QStringLiteral("Password..."), QStringLiteral("Type Password"));
    if (answer && *answer == password) {
        setMasked(false);
        return;
    }
    c_.cbShowPlain->setChecked(false);
    if (answer && !answer->isEmpty())
        messages_.inform(QStringLiteral("Incorrect Password."));
}
