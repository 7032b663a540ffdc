#include "app/dialogs/MessageBoxes.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSet>

namespace {

// A short message makes a box narrower than its title, which window managers then cut
// ("Lint... e 5A"): the box is kept wide enough for the title and the title bar's buttons.
void roomForTitle(QMessageBox* box) {
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (!grid)
        return;
    QFont bold = box->font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// One open box per text: a message repeated by every sample does not stack up boxes.
void showOnce(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text) {
    static QSet<QString> open;
    if (open.contains(text))
        return;
    open.insert(text);
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, owner);
    // Messages name files and quote what the router or a file held: shown as written.
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    roomForTitle(box);
    QObject::connect(box, &QObject::destroyed, [text] { open.remove(text); });
    box->show();
    box->raise();
    box->activateWindow();
}

// Questions and other messages close before the box would: a box of theirs would go with them.
bool shortLived(const QWidget* w) {
    return qobject_cast<const QMessageBox*>(w) || qobject_cast<const QInputDialog*>(w);
}

} // namespace

QWidget* MessageBoxes::owner() const {
    QWidget* w = QApplication::activeModalWidget();
    if (!w)
        w = QApplication::activeWindow();
    while (w && shortLived(w))
        w = w->parentWidget() ? w->parentWidget()->window() : nullptr;
    return w ? w : parent_;
}

void MessageBoxes::inform(const QString& text) {
    showOnce(owner(), QMessageBox::Information, QStringLiteral("Lintrove 5A"), text);
}

void MessageBoxes::error(const QString& text) {
    showOnce(owner(), QMessageBox::Critical, QStringLiteral("Lintrove 5A"), text);
}

bool MessageBoxes::confirm(const QString& text, QPoint topLeft) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::Cancel, owner());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowModality(Qt::WindowModal);
    roomForTitle(&box);
    box.move(topLeft);
    return box.exec() == QMessageBox::Yes;
}
