#include "housekeeping/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace {
// One line of JSON each way: the arguments, then the answer.
constexpr char kAnswer[] = "ok\n";
} // namespace

SingleInstance::SingleInstance(const QString& programFolder, const QString& runtimeFolder)
    : path_(socketPath(programFolder, runtimeFolder)) {}

SingleInstance::~SingleInstance() {
    close();
}

QString SingleInstance::socketPath(const QString& programFolder, const QString& runtimeFolder) {
    // A hash keeps the name short (a socket path has about 100 bytes) whatever the folder's name.
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray key =
        (canonical.isEmpty() ? QDir::cleanPath(programFolder) : canonical).toUtf8();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
    // The runtime folder is the user's own (mode 0700); the shared temporary folder gets the
    // user's id in the name and a socket only its owner may open.
    if (!runtimeFolder.isEmpty())
        return QDir(runtimeFolder).filePath(QStringLiteral("lintrove5a-%1.sock").arg(hash));
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("lintrove5a-%1-%2.sock").arg(::getuid()).arg(hash));
}

QString SingleInstance::runtimeFolderFromEnvironment() {
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || QDir::isRelativePath(folder) || !QFileInfo(folder).isDir())
        return {};
    return folder;
}

bool SingleInstance::handOver(const QStringList& arguments, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message =
        QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    message.append('\n');
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // Only an answer says the running instance took it; a hung one must not swallow the launch.
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
        answer += socket.readAll();
    }
    return answer == kAnswer;
}

bool SingleInstance::listen(QString* why) {
    close();
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // The caller holds the instance lock, so a socket file here belongs to an instance that ended
    // without removing it.
    QLocalServer::removeServer(path_);
    if (!server_->listen(path_)) {
        if (why)
            *why = server_->errorString();
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::close() {
    if (!server_)
        return;
    server_->close();
    delete server_;
    server_ = nullptr;
}

bool SingleInstance::isListening() const {
    return server_ && server_->isListening();
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        // A sender that never ends its line is cut off rather than kept.
        if (socket->bytesAvailable() > kMaxMessageBytes)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(kMaxMessageBytes + 1).trimmed();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        socket->abort();
        return;
    }
    QStringList arguments;
    for (const QJsonValue& value : document.array())
        arguments.append(value.toString());
    // Answered once the window has come forward, so that the launch ends after it.
    Q_EMIT activationRequested(arguments);
    socket->write(kAnswer);
    socket->flush();
    socket->disconnectFromServer();
}
