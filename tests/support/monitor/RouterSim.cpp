#include "RouterSim.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr int kStartLimitMs = 20000;
constexpr int kRequestLimitMs = 10000;

} // namespace

RouterSim::~RouterSim() {
    stop();
}

bool RouterSim::start(const QString& password, const QStringList& extraArgs, int port) {
    stop();
    error_.clear();
    const QString program = qEnvironmentVariable("LINTROVE_ROUTER_SIM");
    if (program.isEmpty()) {
        error_ = QStringLiteral("LINTROVE_ROUTER_SIM is not set");
        return false;
    }
    process_.setProgram(program);
    process_.setArguments(QStringList{QStringLiteral("--port"), QString::number(port),
                                      QStringLiteral("--password"), password} +
                          extraArgs);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForStarted(kStartLimitMs)) {
        error_ = program + QStringLiteral(": ") + process_.errorString();
        return false;
    }
    static const QRegularExpression ready(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QByteArray output;
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(kStartLimitMs)) {
        if (!process_.canReadLine() && !process_.waitForReadyRead(1000)) {
            if (process_.state() != QProcess::Running)
                break;
            continue;
        }
        output += process_.readLine();
        const QRegularExpressionMatch m = ready.match(QString::fromUtf8(output));
        if (m.hasMatch()) {
            port_ = m.captured(1).toInt();
            return true;
        }
    }
    error_ = QStringLiteral("router-sim did not report its port; it wrote: ") +
             QString::fromUtf8(output);
    stop();
    return false;
}

void RouterSim::stop() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(kStartLimitMs))
            process_.kill();
        process_.waitForFinished(kStartLimitMs);
    }
    port_ = 0;
}

QString RouterSim::url(const QString& pathAndQuery) const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port_) + pathAndQuery;
}

QByteArray RouterSim::get(const QString& pathAndQuery, int* status) const {
    if (status)
        *status = 0;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port_));
    if (!socket.waitForConnected(kRequestLimitMs))
        return QByteArray();
    socket.write("GET " + pathAndQuery.toUtf8() +
                 " HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray reply;
    // HTTP/1.0: the server closes the connection after the body.
    while (socket.state() == QAbstractSocket::ConnectedState &&
           socket.waitForReadyRead(kRequestLimitMs))
        reply += socket.readAll();
    reply += socket.readAll();

    const qsizetype headerEnd = reply.indexOf("\r\n\r\n");
    if (!reply.startsWith("HTTP/") || headerEnd < 0)
        return QByteArray();
    if (status)
        *status = reply.mid(reply.indexOf(' ') + 1, 3).toInt();
    return reply.mid(headerEnd + 4);
}

QJsonObject RouterSim::state() const {
    int status = 0;
    const QByteArray body = get(QStringLiteral("/sim/state"), &status);
    return status == 200 ? QJsonDocument::fromJson(body).object() : QJsonObject();
}

QJsonObject RouterSim::set(const QString& query) const {
    int status = 0;
    const QByteArray body = get(QStringLiteral("/sim/set?") + query, &status);
    return status == 200 ? QJsonDocument::fromJson(body).object() : QJsonObject();
}

int RouterSim::unusedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}
