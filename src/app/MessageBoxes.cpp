#include "app/MessageBoxes.h"

#include <QMessageBox>
#include <QPointer>
#include <QSet>

namespace {

// One open box per text: a message repeated by every sample does not stack up boxes.
void showOnce(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    static QSet<QString> open;
    if (open.contains(text))
        return;
    open.insert(text);
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    QObject::connect(box, &QObject::destroyed, [text] { open.remove(text); });
    box->show();
}

} // namespace

void MessageBoxes::inform(const QString& text) {
    showOnce(parent_, QMessageBox::Information, QStringLiteral("Lintrove 5A"), text);
}

void MessageBoxes::error(const QString& text) {
    showOnce(parent_, QMessageBox::Critical, QStringLiteral("Lintrove 5A"), text);
}

bool MessageBoxes::confirm(const QString& text, QPoint topLeft) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.move(topLeft);
    return box.exec() == QMessageBox::Yes;
}
