#include "app/tabs/ToolBar.h"

#include "app/desktop/NamedWidget.h"
#include "app/tabs/FormParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QToolButton* toolButton(const char* name, const QString& caption, const QString& hint,
                        const QString& icon = {}) {
    auto* b = named(new QToolButton, name);
    b->setText(caption);
    b->setToolTip(hint);
    if (!icon.isEmpty()) {
        b->setIcon(QIcon(QStringLiteral(":/") + icon));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    b->setAutoRaise(true);
    b->setMinimumSize(56, 44);
    return b;
}

// The values are the router's text as its page showed it: never markup to render.
QLabel* valueLabel(const char* name, const QColor& colour, bool bold) {
    auto* l = named(new QLabel, name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(90);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    QFont f = l->font();
    f.setBold(bold);
    l->setFont(f);
    return l;
}

QLabel* caption(const QString& text) {
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

} // namespace

ToolBar::ToolBar(QWidget* parent) : QFrame(parent) {
    using FormParts::picture;
    setObjectName(QStringLiteral("ToolBar1"));
    setAutoFillBackground(true);
    QPalette p = palette();
    QLinearGradient g(0, 0, 0, 60);
    g.setColorAt(0, QColor(250, 250, 252));
    g.setColorAt(1, QColor(214, 222, 236));
    p.setBrush(QPalette::Window, QBrush(g));
    setPalette(p);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);

    btnRun = toolButton("btnRun", QStringLiteral("Start"), QStringLiteral("Start / pause plotting"),
                        QStringLiteral("startbitmap"));
    btnRun->setEnabled(false);
    btnStop =
        toolButton("btnStop", QStringLiteral("Pause"), QString(), QStringLiteral("pausebitmap"));
    btnCapture =
        toolButton("btnCapture", QStringLiteral("Capture"),
                   QStringLiteral("Capture all graph images now"), QStringLiteral("camerabitmap"));
    btnViewCap = toolButton("btnViewCap", QStringLiteral("View"),
                            QStringLiteral("View graph images"), QStringLiteral("webbitmap"));
    btnLog = toolButton("btnLog", QStringLiteral("ViewLog"), QStringLiteral("View Lintrove Log"),
                        QStringLiteral("logbitmap"));
    btnDrops = toolButton("btnDrops", QStringLiteral("Drops"),
                          QStringLiteral("Line drops: table, summary, report"),
                          QStringLiteral("dropsbitmap"));
    for (auto* b : {btnRun, btnStop, btnCapture, btnViewCap, btnLog, btnDrops})
        row->addWidget(b);
    row->addSpacing(8);

    // Image1 and Image2 share one place.
    auto* indicatorPlace = new QWidget;
    auto* stack = new QGridLayout(indicatorPlace);
    stack->setContentsMargins(0, 0, 0, 0);
    Image1 = picture("Image1", QStringLiteral("camerabitmap"),
                     QStringLiteral("Graph images are captured"));
    Image2 = picture("Image2", QStringLiteral("armedbitmap"),
                     QStringLiteral("Graph images are captured if the connection is lost"));
    stack->addWidget(Image1, 0, 0);
    stack->addWidget(Image2, 0, 0);
    row->addWidget(indicatorPlace);
    Image7 = picture("Image7", QStringLiteral("logbitmap"), QStringLiteral("Logging is on"));
    Image3 = picture("Image3", QStringLiteral("webbitmap"), QStringLiteral("Web server is on"));
    row->addWidget(Image7);
    row->addWidget(Image3);
    for (auto* i : {Image1, Image2, Image7, Image3})
        i->hide();
    row->addStretch(1);

    auto* values = new QGridLayout;
    values->setHorizontalSpacing(10);
    values->setVerticalSpacing(1);
    const QColor navy(0, 0, 128), maroon(128, 0, 0);
    Label25 = valueLabel("Label25", Qt::black, true);
    Label20 = valueLabel("Label20", navy, false);
    Label15 = valueLabel("Label15", navy, false);
    Label22 = valueLabel("Label22", maroon, true);
    Label23 = valueLabel("Label23", maroon, true);
    values->addWidget(caption(QStringLiteral("Router Uptime:")), 0, 0);
    values->addWidget(Label25, 0, 1, 1, 2);
    values->addWidget(caption(QStringLiteral("Upstream:")), 1, 0);
    values->addWidget(Label20, 1, 1);
    values->addWidget(Label15, 1, 2);
    values->addWidget(caption(QStringLiteral("Downstream:")), 2, 0);
    values->addWidget(Label22, 2, 1);
    values->addWidget(Label23, 2, 2);
    row->addLayout(values);
}

void ToolBar::setTexts(const QString& uptime, const QString& nmUp, const QString& nmDown,
                       const QString& rateUp, const QString& rateDown) {
    Label25->setText(uptime);
    Label20->setText(nmUp);
    Label22->setText(nmDown);
    Label15->setText(rateUp);
    Label23->setText(rateDown);
}
