#pragma once
// One instance per program folder: the instance holding the folder's lock listens on a local
// socket private to the user; a second launch hands its arguments over that socket and ends, and
// the running instance brings its window forward.
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // runtimeFolder: where the socket lives ($XDG_RUNTIME_DIR); empty means the temporary folder.
    SingleInstance(const QString& programFolder, const QString& runtimeFolder);
    ~SingleInstance() override;

    // The socket's path for a program folder: one per user and folder.
    static QString socketPath(const QString& programFolder, const QString& runtimeFolder);
    // The same for this process ($XDG_RUNTIME_DIR when it is an absolute folder).
    static QString runtimeFolderFromEnvironment();

    // Hands arguments to the instance listening for this folder and waits for its answer. Returns
    // false when none answers within timeoutMs (none runs, or one that is ending or hung).
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

Q_SIGNALS:
    // A later launch asked to be brought forward, with its arguments (without the program name).
    void activationRequested(const QStringList& arguments);

private:
    void acceptConnection();
    void readMessage(QLocalSocket* socket);

    QString path_;
    QLocalServer* server_ = nullptr;
};
