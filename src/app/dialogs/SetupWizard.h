#pragma once
// "Lintrove Setup Wizard": two pages that collect the router's address (typed, the default, or
// found as the machine's default gateway) and its admin password, handed over on Finish.
#include "app/desktop/CommandRunner.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class UserMessages;

class SetupWizard : public QDialog {
    Q_OBJECT
public:
    // Takes the tested address (plain decimal, port kept) and the password; true when they were
    // applied and saved, which closes the wizard. On false the wizard stays open with its entries
    // and shows the error text, if one is given, in a message box over itself (one over the main
    // window could not be answered while the wizard is modal).
    using FinishHandler =
        std::function<bool(const QString& address, const QString& password, QString* error)>;

    // Messages go to a message box over the wizard unless messages are given; the gateway
    // command runs on the given runner or on one of its own.
    explicit SetupWizard(QWidget* parent = nullptr, UserMessages* messages = nullptr,
                         std::unique_ptr<CommandRunner> runner = nullptr);
    ~SetupWizard() override;

    void setFinishHandler(FinishHandler handler) { finish_ = std::move(handler); }
    // The command Find runs; by default this program with "--ipconfig".
    void setGatewayCommand(const QString& program, const QStringList& arguments);

    // Placed centred on the main window and shown modally; returns when the wizard closes. Does
    // nothing while the wizard is already showing.
    void openCentredOn(QWidget* mainWindow, const QString& routerAddress);
    // The top-left corner that centres a wizard of this size on the main window's frame.
    static QPoint centredPosition(const QRect& mainFrame, QSize wizardSize);
    // Each opening: page 1, the main window's address, an empty password box.
    void FormShow(const QString& routerAddress);

    bool onPasswordPage() const;

    QStackedWidget* PageControl = nullptr;
    // Page 1.
    QLabel *Label5 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label10 = nullptr;
    QLineEdit* edAddress = nullptr;
    QPushButton *Button15 = nullptr, *Button14 = nullptr, *Button1 = nullptr, *Button12 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    // Page 2.
    QLabel *Label9 = nullptr, *Label6 = nullptr;
    QLineEdit* edPassword = nullptr;
    QCheckBox* cbShowplain = nullptr;
    QPushButton *Button10 = nullptr, *Button16 = nullptr;

Q_SIGNALS:
    void cancelled();
    void findFinished(); // after Find has handled its command's output

public Q_SLOTS:
    // Escape and the window manager's close act as Cancel.
    void reject() override;

private:
    void Button12Click(); // Next
    void Button10Click(); // Back
    void Button15Click(); // Default
    void Button14Click(); // Find
    void Button1Click();  // Cancel
    void Button16Click(); // Finish
    void edPasswordChange();
    void TabSheet6Show();
    void cbShowplainClick();
    void findOutput(const QString& output);

    UserMessages* messages_;
    std::unique_ptr<UserMessages> ownMessages_;
    std::unique_ptr<CommandRunner> runner_;
    QString gatewayProgram_;
    QStringList gatewayArguments_;
    FinishHandler finish_;
    QWidget* page1_ = nullptr;
    QWidget* page2_ = nullptr;
};
