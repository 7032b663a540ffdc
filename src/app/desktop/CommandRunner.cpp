#include "app/desktop/CommandRunner.h"

#include <QProcess>

CommandRunner::CommandRunner(std::unique_ptr<Timer> timeLimit, QObject* parent)
    : QObject(parent),
      timeLimit_(timeLimit ? std::move(timeLimit) : makeQtTimer(TimeLimitMs, true)) {
    timeLimit_->setHandler([this] {
        timeLimit_->setEnabled(false);
        if (process_)
            process_->kill(); // finished or errorOccurred follows and hands over the output
    });
}

CommandRunner::~CommandRunner() {
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(1000);
    }
}

bool CommandRunner::run(const QString& program, const QStringList& arguments,
                        std::function<void(const QString&)> done) {
    if (process_)
        return false;
    output_.clear();
    done_ = std::move(done);
    process_ = new QProcess(this);
    // Only standard output is wanted; what the command writes to its error stream is dropped.
    process_->setStandardErrorFile(QProcess::nullDevice());
    process_->setStandardInputFile(QProcess::nullDevice());
    // Read as it arrives, so a command writing more than a pipe holds never stalls.
    connect(process_, &QProcess::readyReadStandardOutput, this,
            [this] { output_ += process_->readAllStandardOutput(); });
    connect(process_, &QProcess::finished, this, [this] { finish(); });
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // A crash or a kill is followed by finished; a failed start is not. It can be reported
        // inside start(), so the hand-over waits for the event loop as every other one does.
        if (error == QProcess::FailedToStart)
            QMetaObject::invokeMethod(this, &CommandRunner::finish, Qt::QueuedConnection);
    });
    timeLimit_->setEnabled(true);
    process_->start(program, arguments, QIODevice::ReadOnly);
    return true;
}

void CommandRunner::finish() {
    if (!process_)
        return;
    timeLimit_->setEnabled(false);
    output_ += process_->readAllStandardOutput();
    QProcess* ended = process_;
    process_ = nullptr;
    ended->disconnect(this);
    ended->deleteLater();
    const QString text = QString::fromUtf8(output_);
    output_.clear();
    auto done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(text);
}
