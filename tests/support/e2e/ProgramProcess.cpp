#include "e2e/ProgramProcess.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

constexpr int kStartLimitMs = 60000;
constexpr int kAnswerLimitMs = 15000;

} // namespace

ProgramProcess::ProgramProcess(QString home)
    : home_(std::move(home)), socketPath_(QDir(home_).filePath(QStringLiteral("control.sock"))) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

ProgramProcess::~ProgramProcess() {
    kill();
}

void ProgramProcess::setTimeScale(double scale, qint64 originMs) {
    timeScale_ = QString::number(scale) + QLatin1Char('@') + QString::number(originMs);
}

qint64 ProgramProcess::originFor(double scale, const QDateTime& programStart) {
    // origin + (now - origin) x scale = programStart
    const double now = double(QDateTime::currentMSecsSinceEpoch());
    return qint64((scale * now - double(programStart.toMSecsSinceEpoch())) / (scale - 1.0));
}

bool ProgramProcess::start() {
    error_.clear();
    kill();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LINTROVE_HOME"), home_);
    env.insert(QStringLiteral("LINTROVE_TEST_CONTROL"), socketPath_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!timeScale_.isEmpty())
        env.insert(QStringLiteral("LINTROVE_TIME_SCALE"), timeScale_);
    process_.setProcessEnvironment(env);
    process_.start(QStringLiteral(LINTROVE_APP_PATH), {});
    if (!process_.waitForStarted(kStartLimitMs)) {
        error_ = process_.errorString();
        return false;
    }
    // The socket answers once the window is up.
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(kStartLimitMs)) {
        if (process_.state() == QProcess::NotRunning) {
            error_ = QStringLiteral("the program ended during start-up, exit code %1")
                         .arg(process_.exitCode());
            return false;
        }
        socket_.connectToServer(socketPath_);
        if (socket_.waitForConnected(1000))
            return true;
        socket_.abort();
        QTest::qWait(100);
    }
    error_ = QStringLiteral("the control socket never answered");
    return false;
}

bool ProgramProcess::terminate(int timeoutMs) {
    if (!running())
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    socket_.abort();
    ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
    return waitForExit(timeoutMs);
}

bool ProgramProcess::waitForExit(int timeoutMs) {
    waitFor([this] { return !running(); }, timeoutMs);
    if (running()) {
        error_ = QStringLiteral("still running %1 ms later").arg(timeoutMs);
        kill();
        return false;
    }
    socket_.abort();
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

void ProgramProcess::kill() {
    socket_.abort();
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(10000);
    }
}

QString ProgramProcess::command(const QString& line) {
    if (socket_.state() != QLocalSocket::ConnectedState)
        return QString();
    socket_.write(line.toUtf8() + '\n');
    if (!socket_.waitForBytesWritten(kAnswerLimitMs))
        return QString();
    QElapsedTimer waited;
    waited.start();
    while (!socket_.canReadLine()) {
        if (waited.hasExpired(kAnswerLimitMs) || !socket_.waitForReadyRead(1000)) {
            if (waited.hasExpired(kAnswerLimitMs) ||
                socket_.state() != QLocalSocket::ConnectedState)
                return QString();
        }
    }
    return QString::fromUtf8(socket_.readLine()).trimmed();
}

void ProgramProcess::act(const QString& line) {
    const QString answer = command(line);
    EXPECT_EQ(answer, QStringLiteral("ok")) << line.toStdString();
}

QJsonObject ProgramProcess::get(const QString& name) {
    const QString answer = command(QStringLiteral("get ") + name);
    if (!answer.startsWith(QStringLiteral("ok ")))
        return {};
    return QJsonDocument::fromJson(answer.mid(3).toUtf8()).object();
}

QString ProgramProcess::file(const QString& name) const {
    return QDir(home_).filePath(name);
}

bool ProgramProcess::waitFor(const std::function<bool()>& done, int timeoutMs) {
    return QTest::qWaitFor(done, timeoutMs);
}
