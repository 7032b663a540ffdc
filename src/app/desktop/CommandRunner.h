#pragma once
// Runs a command as a child process without blocking the user interface and hands over its whole
// standard output once it has ended. A command that cannot start, or that outlives the time
// limit, is handed over with what it wrote so far (nothing for one that never started).
#include "core/Timer.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QProcess;

class CommandRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int TimeLimitMs = 5000;

    // The time limit runs on the given single-shot timer; a real one when none is given.
    explicit CommandRunner(std::unique_ptr<Timer> timeLimit = nullptr, QObject* parent = nullptr);
    ~CommandRunner() override;

    // Starts the command; done is called exactly once, later, from the event loop. Refused (false,
    // done never called) while another command runs.
    bool run(const QString& program, const QStringList& arguments,
             std::function<void(const QString& output)> done);
    bool busy() const { return process_ != nullptr; }

private:
    void finish();

    std::unique_ptr<Timer> timeLimit_;
    QProcess* process_ = nullptr;
    QByteArray output_;
    std::function<void(const QString&)> done_;
};
