#pragma once
// One instance per program folder: the instance holding the folder's lock listens on a local
// socket private to the user; a second launch hands its arguments over that socket and ends, and
// the running instance brings its window forward. Both ends talk only to a process of the same
// user, so another user cannot take a launch or bring a window forward.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <sys/types.h>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The user id of the process at the other end of a connected local socket; nothing when it
    // cannot be told.
    using PeerUid = std::function<std::optional<uid_t>(qintptr socketDescriptor)>;

    // runtimeFolder: where the socket lives ($XDG_RUNTIME_DIR); empty means a folder of the
    // user's own in the temporary folder (privateFolder()). peerUid: how the other end is told
    // (tests give their own); empty means the system's word (peerUidOf).
    SingleInstance(const QString& programFolder, const QString& runtimeFolder,
                   PeerUid peerUid = {});
    ~SingleInstance() override;

    // The socket's path for a program folder: one per user and folder.
    static QString socketPath(const QString& programFolder, const QString& runtimeFolder);
    // The same for this process ($XDG_RUNTIME_DIR when it is an absolute folder).
    static QString runtimeFolderFromEnvironment();
    // The socket's folder without a runtime folder: <temporary folder>/lintrove5a-<uid>.
    static QString privateFolder();
    // Whether folder is the user's own, not a link and closed to everyone else (mode 0700);
    // with create, a missing one is made so. False with why set otherwise.
    static bool checkPrivateFolder(const QString& folder, bool create, QString* why);
    // The user id the kernel gives for the process at the other end of a Unix socket.
    static std::optional<uid_t> peerUidOf(qintptr socketDescriptor);

    // Hands arguments to the instance listening for this folder and waits for its answer, all
    // within timeoutMs. Returns false when no instance of this user answers in time (none runs,
    // one that is ending or hung, a socket someone else holds).
    bool handOver(const QStringList& arguments, int timeoutMs = 3000) const;

    // Listens for later launches. Only the holder of the folder's instance lock may call it: a
    // socket file left by a crashed instance is removed first. Returns false with why set when
    // the socket cannot be made; the program then runs without it.
    bool listen(QString* why);
    // Stops answering: before a restart, so that the new instance takes the lock instead of
    // handing over to this one.
    void close();
    bool isListening() const;

    // The largest message taken: a command line, not a file.
    static constexpr qint64 kMaxMessageBytes = 64 * 1024;
    // The largest answer a launch reads: the running instance says only "ok".
    static constexpr qint64 kMaxAnswerBytes = 16;

    // The message a launch sends: its arguments as one line of JSON.
    static QByteArray message(const QStringList& arguments);
    // The arguments of a message line (without its line end); nothing when the line is not a
    // JSON array of strings.
    static std::optional<QStringList> argumentsOf(QByteArrayView line);

Q_SIGNALS:
    // A later launch asked to be brought forward, with its arguments (without the program name).
    void activationRequested(const QStringList& arguments);

private:
    void acceptConnection();
    void readMessage(QLocalSocket* socket);
    bool sameUser(qintptr socketDescriptor) const;

    QString path_;
    bool privateFolder_ = false; // the socket's folder is privateFolder(), checked before use
    PeerUid peerUid_;
    QLocalServer* server_ = nullptr;
};
