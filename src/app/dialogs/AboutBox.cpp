#include "app/dialogs/AboutBox.h"

#include "core/BuildInfo.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* label(const char* name, const QString& text, int pixels, bool bold, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    l->setFont(font);
    l->setAlignment(Qt::AlignHCenter);
    return l;
}

} // namespace

AboutBox::AboutBox(std::function<void()> openHelp, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      openHelp_(std::move(openHelp)) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Lintrove - About"));
    setFixedSize(405, 213);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, QColor(236, 242, 250));
    panel->setPalette(palette);

    auto* label1 = label("Label1", QStringLiteral("Lintrove5A"), 29, true, panel);
    label1->setStyleSheet(QStringLiteral("color: blue"));
    auto* label2 = label("Label2", versionText(), 12, false, panel);
    auto* label4 = label("Label4", QStringLiteral("Line monitoring tool for the BT HomeHub 5A"), 13,
                         true, panel);
    Label3 = label("Label3", QStringLiteral("Lintrove5A help and home page"), 12, false, panel);
    Label3->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline"));
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->installEventFilter(this);

    auto* Button1 = new QPushButton(QStringLiteral("Close"), panel);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto* inner = new QVBoxLayout(panel);
    inner->addWidget(label1);
    inner->addWidget(label2);
    inner->addWidget(label4);
    inner->addWidget(Label3);
    inner->addStretch(1);
    inner->addWidget(Button1, 0, Qt::AlignHCenter);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(panel);
}

QString AboutBox::versionText() {
    return BuildInfo::versionLine();
}

QPoint AboutBox::centredOn(const QRect& mainFrame, QSize boxSize) {
    return {mainFrame.left() + mainFrame.width() / 2 - boxSize.width() / 2,
            mainFrame.top() + mainFrame.height() / 2 - boxSize.height() / 2};
}

void AboutBox::Label3Click() {
    if (openHelp_)
        openHelp_();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label3Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
