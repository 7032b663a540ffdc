#pragma once
// A hand for end-to-end tests on the running program: one-line commands on a local socket act on
// widgets found by object name, as a user would. main() creates it only when the environment
// names a socket path (LINTROVE_TEST_CONTROL); nothing listens otherwise, and never on TCP.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

class TestControl : public QObject {
    Q_OBJECT
public:
    static constexpr const char* EnvironmentName = "LINTROVE_TEST_CONTROL";

    // One parsed command line: a verb, the object it names and the rest of the line.
    struct Command {
        enum class Verb { Click, Type, Check, Get, Modal, Messages, Answer, Tab };
        Verb verb;
        QString name;     // click, type, check, get: the object; answer: the button's text
        QString argument; // type: the text; check: "0" or "1"; tab: the index
    };
    // Reads a command line; nullopt with the reason in *error when it is not one.
    static std::optional<Command> parse(const QString& line, QString* error);

    // What a command answers, and what it does after the answer has gone out (a click may open
    // a modal dialog whose event loop would otherwise hold the answer back).
    struct Outcome {
        QString answer;
        std::function<void()> action;
    };
    // Runs a command line against the application's top-level widgets.
    static Outcome run(const QString& line);

    // A widget or action by name: "Top/name" looks inside the top-level widget named Top only;
    // a plain name looks in the active modal widget first, then in every top-level widget.
    static QObject* find(const QString& name);

    explicit TestControl(QObject* parent = nullptr);
    ~TestControl() override;
    // Listens on this socket path (only this user may connect). False with the reason in *error.
    bool listen(const QString& path, QString* error);

private:
    void serve(QLocalSocket* socket);
    QLocalServer* server_;
};
