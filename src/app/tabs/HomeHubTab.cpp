#include "app/tabs/HomeHubTab.h"

#include "app/desktop/NamedWidget.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

HomeHubTab::HomeHubTab(QWidget* browserView, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabHomeHub"));
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(2, 2, 2, 2);
    auto* stack = new QWidget;
    auto* grid = new QGridLayout(stack);
    grid->setContentsMargins(0, 0, 0, 0);
    if (browserView)
        grid->addWidget(browserView, 0, 0);
    Panel4 =
        named(new QLabel(QStringLiteral("Please wait. Connecting to the Home Hub....")), "Panel4");
    Panel4->setAlignment(Qt::AlignCenter);
    Panel4->setAutoFillBackground(true);
    QFont f = Panel4->font();
    f.setPointSize(12);
    Panel4->setFont(f);
    grid->addWidget(Panel4, 0, 0);
    l->addWidget(stack, 1);
    Label2 = named(new QLabel, "Label2");
    Label2->setTextFormat(Qt::PlainText); // may name what the router showed instead
    l->addWidget(Label2);
}
