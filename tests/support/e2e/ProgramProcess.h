#pragma once
// The real program as a child process for end-to-end tests: a program folder of its own, fast
// time on a line shared by the instances of one test, and the test-control socket through which
// the test acts as the user. Whatever is left running when it goes is killed.
#include <QDateTime>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QString>
#include <functional>

class ProgramProcess {
public:
    // home: the program folder (LINTROVE_HOME); the control socket lives in it too.
    explicit ProgramProcess(QString home);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Fast time: `scale` times as fast, counted from the real moment originMs (ms since 1970).
    // Give every instance of one test the same origin so that their times follow on.
    void setTimeScale(double scale, qint64 originMs);
    // An origin that makes the program's clock read `programStart` now at this scale, so that a
    // test's fast hours never cross midnight.
    static qint64 originFor(double scale, const QDateTime& programStart);

    // Starts the program and waits until its control socket answers. False, with error(), when
    // it does not come up.
    bool start();
    // SIGTERM, then waits for the end. True when the program ended by itself with exit code 0.
    bool terminate(int timeoutMs = 30000);
    // Waits for the program to end by itself (File > Exit). True when it ended with exit code 0.
    bool waitForExit(int timeoutMs = 30000);
    bool running() const { return process_.state() != QProcess::NotRunning; }
    const QString& error() const { return error_; }

    // One command line on the control socket; the answer line, empty when none came.
    QString command(const QString& line);
    // A command answered "ok": the call is a test failure otherwise.
    void act(const QString& line);
    // `get <name>` as an object; empty when the answer was not "ok {...}".
    QJsonObject get(const QString& name);

    const QString& home() const { return home_; }
    QString file(const QString& name) const; // a path in the program folder

    // Keeps the event loop turning until `done` holds or the deadline passes.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs);

private:
    void kill();
    QString home_;
    QString socketPath_;
    QString timeScale_;
    QProcess process_;
    QLocalSocket socket_;
    QString error_;
};
