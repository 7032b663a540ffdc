#include "app/tabs/FormParts.h"

#include "app/desktop/NamedWidget.h"

#include <QGroupBox>
#include <QLabel>
#include <QTextDocument>

namespace FormParts {

QLabel* picture(const char* name, const QString& resource, const QString& hint) {
    auto* l = named(new QLabel, name);
    l->setPixmap(QPixmap(QStringLiteral(":/") + resource));
    l->setToolTip(hint);
    l->setFixedSize(22, 22);
    return l;
}

QGroupBox* group(const char* name, const QString& title) {
    auto* g = named(new QGroupBox(title), name);
    g->setAutoFillBackground(true);
    return g;
}

QString plainToolTip(const QString& text) {
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

void highlight(QGroupBox* group) {
    QPalette p = group->palette();
    p.setColor(QPalette::Window, Qt::white);
    group->setPalette(p);
}

void clearHighlight(QGroupBox* group) {
    group->setPalette(QPalette());
}

} // namespace FormParts
