// The test-control hand: its command lines, widgets found by name as a user meets the windows,
// acts that run after their answer, and the local socket it answers on.
#include "testcontrol/TestControl.h"

#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

using Verb = TestControl::Command::Verb;

struct ParseCase {
    const char* line;
    bool valid;
    Verb verb;
    const char* name;
    const char* argument;
};

TEST(TestControlParse, ReadsEachCommandAndRefusesMalformedLines) {
    const ParseCase cases[] = {
        {"click btnRun", true, Verb::Click, "btnRun", ""},
        {"click SetupWizard/Button16\r\n", true, Verb::Click, "SetupWizard/Button16", ""},
        {"type edPassword1 two  blanks ", true, Verb::Type, "edPassword1", "two  blanks "},
        {"type edPassword1", true, Verb::Type, "edPassword1", ""},
        {"check cbWeb 1", true, Verb::Check, "cbWeb", "1"},
        {"check cbWeb 0", true, Verb::Check, "cbWeb", "0"},
        {"get Form1", true, Verb::Get, "Form1", ""},
        {"modal", true, Verb::Modal, "", ""},
        {"messages", true, Verb::Messages, "", ""},
        {"answer Cancel", true, Verb::Answer, "Cancel", ""},
        {"answer Don't Save", true, Verb::Answer, "Don't Save", ""},
        {"tab 5", true, Verb::Tab, "", "5"},
        {"", false, Verb::Click, "", ""},
        {"press btnRun", false, Verb::Click, "", ""},
        {"CLICK btnRun", false, Verb::Click, "", ""},
        {"click", false, Verb::Click, "", ""},
        {"click btnRun now", false, Verb::Click, "", ""},
        {"get", false, Verb::Click, "", ""},
        {"check cbWeb", false, Verb::Click, "", ""},
        {"check cbWeb yes", false, Verb::Click, "", ""},
        {"modal now", false, Verb::Click, "", ""},
        {"answer", false, Verb::Click, "", ""},
        {"tab", false, Verb::Click, "", ""},
        {"tab -1", false, Verb::Click, "", ""},
        {"tab two", false, Verb::Click, "", ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line);
        QString why;
        const auto command = TestControl::parse(QString::fromUtf8(c.line), &why);
        ASSERT_EQ(command.has_value(), c.valid) << why.toStdString();
        if (!c.valid) {
            EXPECT_FALSE(why.isEmpty());
            EXPECT_TRUE(TestControl::run(QString::fromUtf8(c.line)).answer.startsWith("error "));
            continue;
        }
        EXPECT_EQ(command->verb, c.verb);
        EXPECT_EQ(command->name, QString::fromUtf8(c.name));
        EXPECT_EQ(command->argument, QString::fromUtf8(c.argument));
    }
}

// Counts mouse presses on a button, as the window's Pause button does to turn Pause into Stop.
class PressCounter : public QObject {
public:
    int presses = 0;
    int pressesAtClick = -1;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress)
            ++presses;
        return false;
    }
};

// A main window and a dialog that both hold a box named edAddress, as the program's do.
class TestControlWindows : public testing::Test {
protected:
    void SetUp() override {
        window.setObjectName("Form1");
        auto* central = new QWidget;
        auto* column = new QVBoxLayout(central);
        address = new QLineEdit("192.168.1.254");
        address->setObjectName("edAddress");
        button = new QToolButton;
        button->setObjectName("btnStop");
        button->setText("Pause");
        button->installEventFilter(&counter);
        check = new QCheckBox("Web server");
        check->setObjectName("cbWeb");
        tabs = new QTabWidget;
        tabs->setObjectName("PageControl1");
        tabs->addTab(new QWidget, "Home Hub");
        tabs->addTab(new QWidget, "Configure");
        for (QWidget* w : {static_cast<QWidget*>(address), static_cast<QWidget*>(button),
                           static_cast<QWidget*>(check), static_cast<QWidget*>(tabs)})
            column->addWidget(w);
        window.setCentralWidget(central);
        exitItem = window.menuBar()->addMenu("File")->addAction("Exit");
        exitItem->setObjectName("mnuExit");
        exitItem->setParent(&window);
        QObject::connect(button, &QToolButton::clicked,
                         [this] { counter.pressesAtClick = counter.presses; });
        QObject::connect(address, &QLineEdit::editingFinished, [this] { ++edits; });
        QObject::connect(exitItem, &QAction::triggered, [this] { ++exits; });

        wizard = new QDialog(&window);
        wizard->setObjectName("SetupWizard");
        wizardAddress = new QLineEdit("wizard", wizard);
        wizardAddress->setObjectName("edAddress");
        window.show();
    }

    // Runs a command and then what it does after answering.
    QString run(const QString& line) {
        TestControl::Outcome outcome = TestControl::run(line);
        if (outcome.action)
            outcome.action();
        return outcome.answer;
    }

    QJsonObject get(const QString& name) {
        const QString answer = run("get " + name);
        EXPECT_TRUE(answer.startsWith("ok ")) << answer.toStdString();
        return QJsonDocument::fromJson(answer.mid(3).toUtf8()).object();
    }

    QMainWindow window;
    QLineEdit *address = nullptr, *wizardAddress = nullptr;
    QToolButton* button = nullptr;
    QCheckBox* check = nullptr;
    QTabWidget* tabs = nullptr;
    QAction* exitItem = nullptr;
    QDialog* wizard = nullptr;
    PressCounter counter;
    int edits = 0, exits = 0;
};

TEST_F(TestControlWindows, PlainNamesFindTheModalDialogFirstAndQualifiedNamesTheirWindow) {
    EXPECT_EQ(TestControl::find("edAddress"), address) << "no modal dialog: the main window's";
    wizard->open();
    ASSERT_EQ(QApplication::activeModalWidget(), wizard);
    EXPECT_EQ(TestControl::find("edAddress"), wizardAddress);
    EXPECT_EQ(TestControl::find("Form1/edAddress"), address);
    EXPECT_EQ(TestControl::find("SetupWizard/edAddress"), wizardAddress);
    EXPECT_EQ(TestControl::find("SetupWizard"), wizard);
    EXPECT_EQ(TestControl::find("mnuExit"), exitItem);
    EXPECT_EQ(TestControl::find("nothing"), nullptr);
    EXPECT_EQ(TestControl::find("Nowhere/edAddress"), nullptr);
    EXPECT_EQ(run("modal"), R"(ok {"class":"QDialog","enabled":true,"name":"SetupWizard",)"
                            R"("text":"","title":"","visible":true})");
    wizard->reject();
    EXPECT_EQ(run("modal"), "none");
}

TEST_F(TestControlWindows, ClickPressesTheButtonBeforeItClicksAndRefusesDisabledOnes) {
    const TestControl::Outcome outcome = TestControl::run("click btnStop");
    EXPECT_EQ(outcome.answer, "ok");
    EXPECT_EQ(counter.presses, 0) << "nothing happens before the answer has gone out";
    outcome.action();
    EXPECT_EQ(counter.presses, 1);
    EXPECT_EQ(counter.pressesAtClick, 1) << "the press came before the click";

    EXPECT_EQ(run("click mnuExit"), "ok");
    EXPECT_EQ(exits, 1);

    button->setEnabled(false);
    EXPECT_EQ(run("click btnStop"), "error btnStop is disabled");
    EXPECT_EQ(counter.presses, 1);
    EXPECT_TRUE(run("click edAddress").startsWith("error "));
    EXPECT_EQ(run("click nothing"), "error nothing named nothing");
}

TEST_F(TestControlWindows, TypeCheckAndTabActAsAUserAndGetReportsTheControl) {
    EXPECT_EQ(run("type edAddress 127.0.0.1:8080"), "ok");
    EXPECT_EQ(address->text(), "127.0.0.1:8080");
    EXPECT_EQ(edits, 1) << "leaving the box finishes the edit once";

    EXPECT_EQ(run("check cbWeb 1"), "ok");
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(run("check cbWeb 1"), "ok");
    EXPECT_TRUE(check->isChecked()) << "a box already checked stays checked";
    EXPECT_EQ(run("check cbWeb 0"), "ok");
    EXPECT_FALSE(check->isChecked());
    EXPECT_TRUE(run("check btnStop 1").startsWith("error ")) << "not a check box";

    EXPECT_EQ(run("tab 1"), "ok");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(run("tab 2"), "error no tab 2");

    const QJsonObject box = get("cbWeb");
    EXPECT_EQ(box["text"].toString(), "Web server");
    EXPECT_FALSE(box["checked"].toBool());
    EXPECT_TRUE(box["enabled"].toBool());
    EXPECT_TRUE(box["visible"].toBool());
    EXPECT_EQ(get("PageControl1")["index"].toInt(), 1);
    window.setWindowTitle("Lintrove 5A  [Running]");
    EXPECT_EQ(get("Form1")["title"].toString(), "Lintrove 5A  [Running]");

    address->setEnabled(false);
    EXPECT_EQ(run("type edAddress x"), "error edAddress is disabled");
    EXPECT_EQ(address->text(), "127.0.0.1:8080");
}

QJsonArray texts(const QStringList& list) {
    return QJsonArray::fromStringList(list);
}

// A table answers its header texts and its cells' texts as the user sees them: columns moved
// or hidden by the header count as shown, rows in the view's order; a list answers its rows.
TEST_F(TestControlWindows, GetReadsTheRowsOfAListOrTableInViewOrder) {
    QDialog drops(&window);
    drops.setObjectName("LineDropsWindow");
    QStandardItemModel model(3, 3);
    model.setHorizontalHeaderLabels({"Start", "Kind", "Images"});
    const char* cells[3][3] = {
        {"10:00", "Drop", "2"}, {"11:00", "Retrain", "0"}, {"12:00", "Router restart", "1"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            model.setItem(r, c, new QStandardItem(cells[r][c]));
    auto* table = new QTableView(&drops);
    table->setObjectName("DropsTable");
    table->setModel(&model);
    table->horizontalHeader()->moveSection(2, 0); // Images first
    table->verticalHeader()->moveSection(2, 0);   // the 12:00 row on top
    table->setColumnHidden(1, true);
    auto* list = new QListWidget(&drops);
    list->setObjectName("imageListBox");
    list->addItems({"a.jpg", "b.jpg"});

    const QJsonObject t = get("LineDropsWindow/DropsTable");
    EXPECT_EQ(t["headers"].toArray(), texts({"Images", "Start"}));
    EXPECT_EQ(t["rows"].toArray(),
              QJsonArray({texts({"1", "12:00"}), texts({"2", "10:00"}), texts({"0", "11:00"})}));
    EXPECT_EQ(t["rowCount"].toInt(), 3);
    EXPECT_EQ(get("imageListBox")["rows"].toArray(),
              QJsonArray({texts({"a.jpg"}), texts({"b.jpg"})}));

    model.removeRows(0, 3);
    EXPECT_EQ(get("DropsTable")["rows"].toArray(), QJsonArray());
    EXPECT_EQ(get("DropsTable")["headers"].toArray(), texts({"Images", "Start"}));
}

TEST_F(TestControlWindows, AnswerClicksTheButtonOfTheBoxOnShow) {
    EXPECT_EQ(run("answer Yes"), "error no box to answer");
    QMessageBox box(QMessageBox::Question, "Confirm", "Close Lintrove?",
                    QMessageBox::Yes | QMessageBox::Cancel, &window);
    box.open();
    EXPECT_TRUE(run("modal").contains(R"("text":"Close Lintrove?")"));
    EXPECT_EQ(run("messages"), R"(ok [{"modal":true,"text":"Close Lintrove?","title":"Confirm"}])");
    EXPECT_TRUE(run("answer Maybe").startsWith("error no button"));
    EXPECT_EQ(run("answer Yes"), "ok");
    EXPECT_EQ(box.result(), QMessageBox::Yes);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(TestControlWindows, AnswersOneLinePerCommandOnItsSocket) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("control.sock");
    TestControl control;
    QString why;
    ASSERT_TRUE(control.listen(path, &why)) << why.toStdString();

    QLocalSocket socket;
    socket.connectToServer(path);
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write("type edAddress 10.0.0.1\nget edAddress\nfly away\n");
    QStringList answers;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            while (socket.canReadLine())
                answers << QString::fromUtf8(socket.readLine()).trimmed();
            return answers.size() == 3;
        },
        5000));
    EXPECT_EQ(answers[0], "ok");
    // The typing runs after its answer, before the next command is read.
    EXPECT_TRUE(answers[1].contains(R"("text":"10.0.0.1")")) << answers[1].toStdString();
    EXPECT_EQ(answers[2], "error unknown command: fly");

    // A file at the path is left alone: only a socket left behind is taken over.
    const QString file = dir.filePath("notes.txt");
    QFile notes(file);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("keep me");
    notes.close();
    TestControl other;
    EXPECT_FALSE(other.listen(file, &why));
    EXPECT_EQ(notes.size(), 7);
}

} // namespace
