#include "housekeeping/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One line of JSON each way: the arguments, then the answer.
constexpr char kAnswer[] = "ok\n";

int remainingMs(const QDeadlineTimer& deadline) {
    return int(qMin<qint64>(deadline.remainingTime(), 3600 * 1000));
}

bool fail(QString* why, const QString& text) {
    if (why)
        *why = text;
    return false;
}

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, const QString& runtimeFolder,
                               PeerUid peerUid)
    : path_(socketPath(programFolder, runtimeFolder)), privateFolder_(runtimeFolder.isEmpty()),
      peerUid_(std::move(peerUid)) {}

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
    const QString folder = runtimeFolder.isEmpty() ? privateFolder() : runtimeFolder;
    return QDir(folder).filePath(QStringLiteral("lintrove5a-%1.sock").arg(hash));
}

QString SingleInstance::runtimeFolderFromEnvironment() {
    const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || QDir::isRelativePath(folder) || !QFileInfo(folder).isDir())
        return {};
    return folder;
}

// In the shared temporary folder any user could make the socket first and take the launches
// meant for us; a folder only we may enter leaves nobody that chance.
QString SingleInstance::privateFolder() {
    return QDir(QDir::tempPath()).filePath(QStringLiteral("lintrove5a-%1").arg(::getuid()));
}

bool SingleInstance::checkPrivateFolder(const QString& folder, bool create, QString* why) {
    const QByteArray path = QFile::encodeName(folder);
    const QString shown = QDir::toNativeSeparators(folder);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        const int e = errno;
        if (e != ENOENT || !create)
            return fail(why, shown + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(e)));
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            return fail(why,
                        shown + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno)));
        if (::lstat(path.constData(), &st) != 0)
            return fail(why,
                        shown + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno)));
    }
    // Checked on what the name itself is: a link could lead anywhere.
    if (!S_ISDIR(st.st_mode))
        return fail(why, shown + QStringLiteral(" is not a folder"));
    if (st.st_uid != ::geteuid())
        return fail(why, shown + QStringLiteral(" belongs to another user"));
    if ((st.st_mode & 07777) != 0700)
        return fail(why, shown + QStringLiteral(" is open to other users"));
    return true;
}

std::optional<uid_t> SingleInstance::peerUidOf(qintptr socketDescriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (socketDescriptor < 0 ||
        ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials.uid;
}

bool SingleInstance::sameUser(qintptr socketDescriptor) const {
    const std::optional<uid_t> uid =
        peerUid_ ? peerUid_(socketDescriptor) : peerUidOf(socketDescriptor);
    return uid && *uid == ::geteuid();
}

QByteArray SingleInstance::message(const QStringList& arguments) {
    return QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact) +
           '\n';
}

std::optional<QStringList> SingleInstance::argumentsOf(QByteArrayView line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QStringList arguments;
    for (const QJsonValue& value : document.array()) {
        if (!value.isString())
            return std::nullopt;
        arguments.append(value.toString());
    }
    return arguments;
}

bool SingleInstance::handOver(const QStringList& arguments, int timeoutMs) const {
    if (privateFolder_ && !checkPrivateFolder(QFileInfo(path_).path(), false, nullptr))
        return false;
    // One deadline for the whole hand-over: an answer trickled a byte at a time cannot hold
    // the launch by restarting the wait with every byte.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(remainingMs(deadline)))
        return false;
    // Only our own instance hears the arguments, and only its answer ends this launch.
    if (!sameUser(socket.socketDescriptor()))
        return false;
    socket.write(message(arguments));
    if (!socket.waitForBytesWritten(remainingMs(deadline)))
        return false;
    // Only an answer says the running instance took it; a hung one must not swallow the launch.
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (answer.size() > kMaxAnswerBytes)
            return false;
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(remainingMs(deadline)))
            return false;
        answer += socket.read(kMaxAnswerBytes + 1 - answer.size());
    }
    return answer == kAnswer;
}

bool SingleInstance::listen(QString* why) {
    close();
    if (privateFolder_ && !checkPrivateFolder(QFileInfo(path_).path(), true, why))
        return false;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // The caller holds the instance lock, so a socket file here belongs to an instance that ended
    // without removing it.
    QLocalServer::removeServer(path_);
    if (!server_->listen(path_)) {
        fail(why, server_->errorString());
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
        // Another user's process gets no say over this window.
        if (!sameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
    const std::optional<QStringList> arguments =
        argumentsOf(socket->readLine(kMaxMessageBytes + 1).trimmed());
    if (!arguments) {
        socket->abort();
        return;
    }
    // Answered once the window has come forward, so that the launch ends after it.
    Q_EMIT activationRequested(*arguments);
    socket->write(kAnswer);
    socket->flush();
    socket->disconnectFromServer();
}
