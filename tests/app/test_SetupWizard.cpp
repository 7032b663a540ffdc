#include "app/dialogs/SetupWizard.h"

#include "RecordingMessages.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SetupWizardTest : public testing::Test {
protected:
    SetupWizardTest() : wizard(nullptr, &messages) {
        wizard.setFinishHandler(
            [this](const QString& address, const QString& password, QString* error) {
                finished << address + '|' + password;
                if (!acceptFinish)
                    *error = QStringLiteral("Unable to write the settings file.");
                return acceptFinish;
            });
        // Find reads this file as the network-configuration command's output.
        wizard.setGatewayCommand(QStringLiteral("/bin/cat"), {outputFile()});
    }

    QString outputFile() const { return dir.filePath("ipconfig.txt"); }

    // Opened as the main window opens it, without the modal loop.
    void open(const QString& mainAddress = QStringLiteral("192.168.1.254")) {
        wizard.FormShow(mainAddress);
        wizard.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    }
    void typeAddress(const QString& text) {
        wizard.edAddress->clear();
        QTest::keyClicks(wizard.edAddress, text);
    }
    void click(QWidget* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void find() {
        QSignalSpy done(&wizard, &SetupWizard::findFinished);
        click(wizard.Button14);
        EXPECT_FALSE(wizard.Button14->isEnabled()); // while the command runs
        ASSERT_TRUE(done.wait(10000));
        EXPECT_TRUE(wizard.Button14->isEnabled());
    }

    QTemporaryDir dir;
    RecordingMessages messages;
    SetupWizard wizard;
    QStringList finished;
    bool acceptFinish = true;
};

TEST_F(SetupWizardTest, ShowsItsTextsOnTwoPagesWithoutCloseButton) {
    EXPECT_EQ(wizard.windowTitle(), "Lintrove Setup Wizard");
    EXPECT_FALSE(wizard.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(wizard.windowFlags() & Qt::WindowSystemMenuHint);
    const QList<std::pair<QString, QString>> texts{
        {"Label5", "In the box below, please type the Home Hub's network address. The default "
                   "value is already in the box and shouldn't normally need changing."},
        {"Label7", "Router network address: "},
        {"Label8", "http://"},
        {"Label10", "Attempt to find router network address"},
        {"Label9", "Lintrove can attempt to log into the Home Hub automatically.  Enter your "
                   "Home Hub password in the box below."},
        {"Label6", "Home Hub Password"},
    };
    for (const auto& [name, text] : texts) {
        const auto* label = wizard.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        EXPECT_EQ(label->text(), text) << name.toStdString();
    }
    const QList<std::pair<QString, QString>> buttons{
        {"Button15", "Default"}, {"Button14", "Find"}, {"Button1", "Cancel"},
        {"Button12", "Next"},    {"Button10", "Back"}, {"Button16", "Finish"},
    };
    for (const auto& [name, text] : buttons) {
        const auto* b = wizard.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name.toStdString();
        EXPECT_EQ(b->text(), text) << name.toStdString();
    }
    EXPECT_EQ(wizard.cbShowplain->text(), "Show password in plain text");
    EXPECT_EQ(wizard.edAddress->text(), "192.168.1.254");
    EXPECT_EQ(wizard.Memo1->toPlainText(), "Memo1");

    open();
    EXPECT_FALSE(wizard.Memo1->isVisible());
    EXPECT_FALSE(wizard.onPasswordPage());
    EXPECT_TRUE(wizard.Button12->isVisible());
    EXPECT_FALSE(wizard.Button16->isVisible());
    EXPECT_EQ(wizard.edPassword->echoMode(), QLineEdit::Password);
}

TEST_F(SetupWizardTest, NextOnlyWithAnAddressThatPassesAndFinishHandsOverThePlainForm) {
    struct Case {
        const char* typed;
        const char* handedOver; // nullptr: Next stays on page 1
    };
    for (const Case c :
         {Case{"192.168.1", nullptr}, Case{"256.1.1.1", nullptr}, Case{"", nullptr},
          Case{" 192.168.1.254 ", "192.168.1.254"}, Case{"010.0.0.1", "10.0.0.1"},
          Case{"10.0.0.138.5x", "10.0.0.138"}, Case{"127.0.0.1:8106", "127.0.0.1:8106"}}) {
        SCOPED_TRACE(c.typed);
        finished.clear();
        open();
        typeAddress(QString::fromUtf8(c.typed));
        click(wizard.Button12);
        ASSERT_EQ(wizard.onPasswordPage(), c.handedOver != nullptr);
        if (!c.handedOver) {
            // Says why, naming the text as typed.
            EXPECT_EQ(messages.informed,
                      QStringList{QString::fromUtf8(c.typed) + " is not a valid IP address."});
            messages.informed.clear();
            continue;
        }
        EXPECT_TRUE(messages.informed.isEmpty());
        QTest::keyClicks(wizard.edPassword, QStringLiteral("pw"));
        click(wizard.Button16);
        EXPECT_EQ(finished, QStringList{QString::fromUtf8(c.handedOver) + "|pw"});
        EXPECT_FALSE(wizard.isVisible());
        EXPECT_EQ(wizard.result(), QDialog::Accepted);
    }
}

TEST_F(SetupWizardTest, BackAndDefault) {
    open(QStringLiteral("10.0.0.1"));
    EXPECT_EQ(wizard.edAddress->text(), "10.0.0.1");
    click(wizard.Button15);
    EXPECT_EQ(wizard.edAddress->text(), "192.168.1.254");
    click(wizard.Button12);
    ASSERT_TRUE(wizard.onPasswordPage());
    click(wizard.Button10);
    EXPECT_FALSE(wizard.onPasswordPage());
    EXPECT_EQ(wizard.edAddress->text(), "192.168.1.254");
}

TEST_F(SetupWizardTest, FinishEnabledExactlyWhileThereIsAPassword) {
    open();
    click(wizard.Button12);
    EXPECT_FALSE(wizard.Button16->isEnabled());
    QTest::keyClick(wizard.edPassword, Qt::Key_X);
    EXPECT_TRUE(wizard.Button16->isEnabled());
    QTest::keyClick(wizard.edPassword, Qt::Key_Backspace);
    EXPECT_FALSE(wizard.Button16->isEnabled());
    click(wizard.Button16);
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_TRUE(wizard.isVisible());
}

TEST_F(SetupWizardTest, ShowPlainUnmasksAndKeepsTheFocusOnThePassword) {
    open();
    click(wizard.Button12);
    QTest::keyClicks(wizard.edPassword, QStringLiteral("pw"));
    click(wizard.cbShowplain);
    EXPECT_EQ(wizard.edPassword->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(wizard.edPassword->hasFocus());
    click(wizard.cbShowplain);
    EXPECT_EQ(wizard.edPassword->echoMode(), QLineEdit::Password);
}

TEST_F(SetupWizardTest, EachOpeningStartsOnPageOneWithAnEmptyPasswordBox) {
    open();
    click(wizard.Button12);
    QTest::keyClicks(wizard.edPassword, QStringLiteral("old"));
    wizard.reject();
    open(QStringLiteral("10.0.0.138"));
    EXPECT_FALSE(wizard.onPasswordPage());
    EXPECT_EQ(wizard.edAddress->text(), "10.0.0.138");
    EXPECT_TRUE(wizard.edPassword->text().isEmpty());
    click(wizard.Button12);
    EXPECT_FALSE(wizard.Button16->isEnabled());
}

TEST_F(SetupWizardTest, AFailedSaveKeepsTheWizardOpenWithItsEntries) {
    acceptFinish = false;
    open();
    click(wizard.Button12);
    QTest::keyClicks(wizard.edPassword, QStringLiteral("pw"));
    click(wizard.Button16);
    EXPECT_EQ(finished, QStringList{"192.168.1.254|pw"});
    EXPECT_EQ(messages.informed, QStringList{"Unable to write the settings file."});
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(wizard.edPassword->text(), "pw");
    // A second try that works closes it.
    acceptFinish = true;
    click(wizard.Button16);
    EXPECT_FALSE(wizard.isVisible());
}

TEST_F(SetupWizardTest, CancelEscapeAndCloseLeaveWithoutHandingOver) {
    const QList<std::pair<const char*, std::function<void()>>> ways{
        {"Cancel", [&] { click(wizard.Button1); }},
        {"Escape", [&] { QTest::keyClick(&wizard, Qt::Key_Escape); }},
        {"Escape on page 2",
         [&] {
             click(wizard.Button12);
             QTest::keyClick(wizard.edPassword, Qt::Key_Escape);
         }},
        {"window closed", [&] { wizard.close(); }},
    };
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        QSignalSpy cancelled(&wizard, &SetupWizard::cancelled);
        open();
        typeAddress(QStringLiteral("10.0.0.1"));
        leave();
        EXPECT_FALSE(wizard.isVisible());
        EXPECT_EQ(cancelled.count(), 1);
        EXPECT_TRUE(finished.isEmpty());
    }
}

TEST_F(SetupWizardTest, OpeningWhileShowingDoesNothing) {
    open();
    wizard.edAddress->setText(QStringLiteral("10.9.9.9"));
    // Were it to open again it would block here; the timer ends such a loop.
    QTimer guard;
    guard.setSingleShot(true);
    bool blocked = false;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        blocked = true;
        wizard.done(QDialog::Rejected);
    });
    guard.start(3000);
    wizard.openCentredOn(nullptr, QStringLiteral("10.0.0.1"));
    EXPECT_FALSE(blocked);
    EXPECT_EQ(wizard.edAddress->text(), "10.9.9.9");
}

TEST(SetupWizardPlacement, CentredOnTheMainWindow) {
    EXPECT_EQ(SetupWizard::centredPosition(QRect(100, 50, 851, 601), QSize(481, 251)),
              QPoint(100 + 425 - 240, 50 + 300 - 125));
    EXPECT_EQ(SetupWizard::centredPosition(QRect(-1000, -20, 400, 300), QSize(480, 250)),
              QPoint(-1000 + 200 - 240, -20 + 150 - 125));
}

TEST_F(SetupWizardTest, FindFillsInTheGatewayOfTheCommandJustRun) {
    open();
    writeFile(outputFile(), "Default Gateway . . . . . . . . . : 10.0.0.138\n");
    find();
    EXPECT_EQ(wizard.edAddress->text(), "10.0.0.138");
    // The network changed: the second Find gives the new gateway, and the hidden box keeps both.
    writeFile(outputFile(), "Default Gateway . . . . . . . . . : 192.168.1.254\n");
    find();
    EXPECT_EQ(wizard.edAddress->text(), "192.168.1.254");
    EXPECT_EQ(wizard.Memo1->toPlainText(), "Memo1Default Gateway . . . . . . . . . : 10.0.0.138\n"
                                           "Default Gateway . . . . . . . . . : 192.168.1.254\n");
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(SetupWizardTest, FindWithoutAUsableGateway) {
    const QString noGateway =
        QStringLiteral("No default gateway found: type the Home Hub's address.");
    struct Case {
        const char* name;
        QByteArray output; // empty: the command cannot start
        QStringList messages;
    };
    const QList<Case> cases{
        {"no label", "Windows IP Configuration\n", {noGateway}},
        {"IPv6 first",
         "Default Gateway . . . . . . . . . : fe80::1%12\n  192.168.1.254\n",
         {"Unable to retrieve router address."}},
        {"cannot start", {}, {noGateway}},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.informed.clear();
        typeAddress(QStringLiteral("10.1.1.1"));
        const QString memo = wizard.Memo1->toPlainText();
        if (c.output.isEmpty())
            wizard.setGatewayCommand(dir.filePath("no-such-program"), {});
        else
            writeFile(outputFile(), c.output);
        find();
        EXPECT_EQ(wizard.edAddress->text(), "10.1.1.1");
        EXPECT_EQ(messages.informed, c.messages);
        EXPECT_EQ(wizard.Memo1->toPlainText(), memo + QString::fromUtf8(c.output));
    }
}

} // namespace
