#include "app/dialogs/SetupWizard.h"

#include "app/desktop/CommandRunner.h"
#include "app/desktop/NamedWidget.h"
#include "app/dialogs/MessageBoxes.h"
#include "core/GatewayOutput.h"
#include "core/RouterAddress.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(const char* name, const QString& text) {
    auto* b = named(new QPushButton(text), name);
    b->setAutoDefault(false);
    b->setMinimumWidth(80);
    return b;
}

QLabel* wrapped(const char* name, const QString& text) {
    auto* l = named(new QLabel(text), name);
    l->setWordWrap(true);
    return l;
}

// The line between a page and its buttons.
QFrame* rule() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

SetupWizard::SetupWizard(QWidget* parent, UserMessages* messages,
                         std::unique_ptr<CommandRunner> runner)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      messages_(messages), runner_(runner ? std::move(runner) : std::make_unique<CommandRunner>()),
      gatewayProgram_(QCoreApplication::applicationFilePath()), gatewayArguments_{
                                                                    QStringLiteral("--ipconfig")} {
    if (!messages_) {
        ownMessages_ = std::make_unique<MessageBoxes>(this);
        messages_ = ownMessages_.get();
    }
    setObjectName(QStringLiteral("SetupWizard"));
    setWindowTitle(QStringLiteral("Lintrove Setup Wizard"));
    setModal(true);

    // Page 1: the router address.
    Label5 = wrapped("Label5",
                     QStringLiteral("In the box below, please type the Home Hub's network address. "
                                    "The default value is already in the box and shouldn't "
                                    "normally need changing."));
    Label7 = named(new QLabel(QStringLiteral("Router network address: ")), "Label7");
    Label8 = named(new QLabel(QStringLiteral("http://")), "Label8");
    edAddress = named(new QLineEdit(RouterAddress::defaultAddress()), "edAddress");
    edAddress->setMinimumWidth(140);
    Button15 = button("Button15", QStringLiteral("Default"));
    Label10 =
        named(new QLabel(QStringLiteral("Attempt to find router network address")), "Label10");
    Button14 = button("Button14", QStringLiteral("Find"));
    Memo1 = named(new QPlainTextEdit(QStringLiteral("Memo1")), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->hide();
    Button1 = button("Button1", QStringLiteral("Cancel"));
    Button12 = button("Button12", QStringLiteral("Next"));

    page1_ = named(new QWidget, "TabSheet5");
    {
        auto* address = new QHBoxLayout;
        address->setSpacing(2);
        address->addWidget(Label7);
        address->addWidget(Label8);
        address->addWidget(edAddress, 1);
        address->addSpacing(8);
        address->addWidget(Button15);
        auto* find = new QHBoxLayout;
        find->addWidget(Label10, 1);
        find->addWidget(Button14);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(Button1);
        buttons->addWidget(Button12);
        auto* v = new QVBoxLayout(page1_);
        v->setContentsMargins(0, 0, 0, 0);
        v->addWidget(Label5);
        v->addSpacing(12);
        v->addLayout(address);
        v->addSpacing(8);
        v->addLayout(find);
        v->addWidget(Memo1);
        v->addStretch();
        v->addSpacing(16);
        v->addWidget(rule());
        v->addLayout(buttons);
    }

    // Page 2: the password.
    Label9 = wrapped("Label9", QStringLiteral("Lintrove can attempt to log into the Home Hub "
                                              "automatically.  Enter your Home Hub password in "
                                              "the box below."));
    Label6 = named(new QLabel(QStringLiteral("Home Hub Password")), "Label6");
    edPassword = named(new QLineEdit, "edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    // Masked characters show as "+".
    edPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 43; }"));
    cbShowplain =
        named(new QCheckBox(QStringLiteral("Show password in plain text")), "cbShowplain");
    Button10 = button("Button10", QStringLiteral("Back"));
    Button16 = button("Button16", QStringLiteral("Finish"));

    page2_ = named(new QWidget, "TabSheet6");
    {
        auto* password = new QGridLayout;
        password->addWidget(Label6, 0, 0);
        password->addWidget(edPassword, 0, 1);
        password->addWidget(cbShowplain, 1, 1);
        password->setColumnStretch(1, 1);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(Button10);
        buttons->addWidget(Button16);
        auto* v = new QVBoxLayout(page2_);
        v->setContentsMargins(0, 0, 0, 0);
        v->addWidget(Label9);
        v->addSpacing(12);
        v->addLayout(password);
        v->addStretch();
        v->addSpacing(16);
        v->addWidget(rule());
        v->addLayout(buttons);
    }

    // No tabs: the pages change only through the buttons.
    PageControl = named(new QStackedWidget, "PageControl1");
    PageControl->addWidget(page1_);
    PageControl->addWidget(page2_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(480);
    page1_->setMinimumWidth(460);

    connect(Button12, &QPushButton::clicked, this, &SetupWizard::Button12Click);
    connect(Button10, &QPushButton::clicked, this, &SetupWizard::Button10Click);
    connect(Button15, &QPushButton::clicked, this, &SetupWizard::Button15Click);
    connect(Button14, &QPushButton::clicked, this, &SetupWizard::Button14Click);
    connect(Button1, &QPushButton::clicked, this, &SetupWizard::Button1Click);
    connect(Button16, &QPushButton::clicked, this, &SetupWizard::Button16Click);
    connect(edPassword, &QLineEdit::textChanged, this, &SetupWizard::edPasswordChange);
    connect(cbShowplain, &QCheckBox::toggled, this, &SetupWizard::cbShowplainClick);

    FormShow(RouterAddress::defaultAddress());
}

SetupWizard::~SetupWizard() = default;

void SetupWizard::setGatewayCommand(const QString& program, const QStringList& arguments) {
    gatewayProgram_ = program;
    gatewayArguments_ = arguments;
}

QPoint SetupWizard::centredPosition(const QRect& mainFrame, QSize wizardSize) {
    // Halves rounded toward zero, as integer division does.
    return {mainFrame.left() + mainFrame.width() / 2 - wizardSize.width() / 2,
            mainFrame.top() + mainFrame.height() / 2 - wizardSize.height() / 2};
}

void SetupWizard::openCentredOn(QWidget* mainWindow, const QString& routerAddress) {
    if (isVisible())
        return;
    FormShow(routerAddress);
    adjustSize();
    if (mainWindow)
        move(centredPosition(mainWindow->frameGeometry(), frameGeometry().size()));
    exec();
}

void SetupWizard::FormShow(const QString& routerAddress) {
    PageControl->setCurrentWidget(page1_);
    edAddress->setText(routerAddress);
    // A run just to change the address must not save an old entry over a newer password.
    edPassword->clear();
    edPasswordChange();
    Button12->setDefault(true);
    Button16->setDefault(false);
    edAddress->setFocus();
}

bool SetupWizard::onPasswordPage() const {
    return PageControl->currentWidget() == page2_;
}

void SetupWizard::Button12Click() {
    if (!RouterAddress::passes(edAddress->text())) {
        // Worded as the web server's address check words it.
        messages_->inform(edAddress->text() + QStringLiteral(" is not a valid IP address."));
        return;
    }
    PageControl->setCurrentWidget(page2_);
    TabSheet6Show();
}

void SetupWizard::Button10Click() {
    PageControl->setCurrentWidget(page1_);
    Button16->setDefault(false);
    Button12->setDefault(true);
    edAddress->setFocus();
}

void SetupWizard::Button15Click() {
    edAddress->setText(RouterAddress::defaultAddress());
}

void SetupWizard::Button14Click() {
    Button14->setEnabled(false);
    const bool started = runner_->run(gatewayProgram_, gatewayArguments_,
                                      [this](const QString& output) { findOutput(output); });
    if (!started)
        Button14->setEnabled(true);
}

void SetupWizard::findOutput(const QString& output) {
    // The hidden box keeps every output of this run; the address comes from this one only, so a
    // second Find after the network has changed gives the new gateway.
    if (!output.isEmpty()) {
        QTextCursor end(Memo1->document());
        end.movePosition(QTextCursor::End);
        end.insertText(output);
    }
    Button14->setEnabled(true);
    if (isVisible()) {
        const GatewayOutput::Result result = GatewayOutput::parse(output);
        // The address box keeps what it had unless an address was found.
        switch (result.outcome) {
        case GatewayOutput::Outcome::Found:
            edAddress->setText(result.address);
            break;
        case GatewayOutput::Outcome::NoLabel:
            messages_->inform(
                QStringLiteral("No default gateway found: type the Home Hub's address."));
            break;
        case GatewayOutput::Outcome::Unusable:
            messages_->inform(QStringLiteral("Unable to retrieve router address."));
            break;
        }
    }
    Q_EMIT findFinished();
}

void SetupWizard::Button1Click() {
    Q_EMIT cancelled();
    QDialog::reject();
}

void SetupWizard::reject() {
    Button1Click();
}

void SetupWizard::Button16Click() {
    const auto address = RouterAddress::normalised(edAddress->text());
    if (!address) {
        Button10Click();
        return;
    }
    if (edPassword->text().isEmpty())
        return;
    QString error;
    if (finish_ && !finish_(*address, edPassword->text(), &error)) {
        if (!error.isEmpty())
            messages_->inform(error);
        return;
    }
    accept();
}

void SetupWizard::edPasswordChange() {
    Button16->setEnabled(!edPassword->text().isEmpty());
}

void SetupWizard::TabSheet6Show() {
    edPasswordChange();
    Button12->setDefault(false);
    Button16->setDefault(true);
    edPassword->setFocus();
}

void SetupWizard::cbShowplainClick() {
    edPassword->setEchoMode(cbShowplain->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
    edPassword->setFocus();
}
