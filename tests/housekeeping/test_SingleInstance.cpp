#include "housekeeping/SingleInstance.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The instance already running, answering on a thread of its own so that a launch in this
// thread can wait for it the way a second process would.
class RunningInstance {
public:
    RunningInstance(const QString& folder, const QString& runtime)
        : instance_(new SingleInstance(folder, runtime)) {
        instance_->moveToThread(&thread_);
        QObject::connect(
            instance_, &SingleInstance::activationRequested, instance_,
            [this](const QStringList& arguments) {
                const std::lock_guard lock(mutex_);
                received_.push_back(arguments);
            },
            Qt::DirectConnection);
        thread_.start();
        QMetaObject::invokeMethod(
            instance_, [this] { listening_ = instance_->listen(&why_); },
            Qt::BlockingQueuedConnection);
    }
    ~RunningInstance() {
        QMetaObject::invokeMethod(
            instance_, [this] { delete instance_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    bool listening() const { return listening_; }
    QString why() const { return why_; }
    std::vector<QStringList> received() {
        const std::lock_guard lock(mutex_);
        return received_;
    }

private:
    QThread thread_;
    SingleInstance* instance_;
    bool listening_ = false;
    QString why_;
    std::mutex mutex_;
    std::vector<QStringList> received_;
};

// A socket file with nobody behind it (listening == false: an instance that crashed), or one
// whose owner never answers (listening == true: a hung instance).
int bindRawSocket(const QString& path, bool listening) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return -1;
    if (listening)
        ::listen(fd, 4);
    return fd;
}

TEST(SingleInstance, ASecondLaunchHandsItsArgumentsToTheRunningInstance) {
    QTemporaryDir folder, runtime;
    RunningInstance running(folder.path(), runtime.path());
    ASSERT_TRUE(running.listening()) << running.why().toStdString();

    SingleInstance second(folder.path(), runtime.path());
    EXPECT_TRUE(second.handOver({QStringLiteral("--tab"), QStringLiteral("3")}));
    EXPECT_TRUE(second.handOver({}));
    const auto received = running.received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], (QStringList{QStringLiteral("--tab"), QStringLiteral("3")}));
    EXPECT_TRUE(received[1].isEmpty());

    // Only its owner may open the socket.
    const QFileInfo socket(SingleInstance::socketPath(folder.path(), runtime.path()));
    ASSERT_TRUE(socket.exists());
    EXPECT_FALSE(socket.permissions() &
                 (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
}

TEST(SingleInstance, ALaunchStartsWhenNoInstanceRunsForItsFolder) {
    QTemporaryDir folder, other, runtime;
    EXPECT_FALSE(SingleInstance(folder.path(), runtime.path()).handOver({}, 500));
    RunningInstance running(other.path(), runtime.path());
    ASSERT_TRUE(running.listening());
    EXPECT_NE(SingleInstance::socketPath(folder.path(), runtime.path()),
              SingleInstance::socketPath(other.path(), runtime.path()));
    EXPECT_FALSE(SingleInstance(folder.path(), runtime.path()).handOver({}, 500));
    EXPECT_TRUE(running.received().empty());
}

TEST(SingleInstance, ASocketLeftByACrashNeitherTakesTheLaunchNorStopsTheNextInstance) {
    QTemporaryDir folder, runtime;
    const QString path = SingleInstance::socketPath(folder.path(), runtime.path());
    const int stale = bindRawSocket(path, false);
    ASSERT_GE(stale, 0);
    ::close(stale); // the file stays, as after a crash
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_FALSE(SingleInstance(folder.path(), runtime.path()).handOver({}, 500));

    RunningInstance running(folder.path(), runtime.path());
    ASSERT_TRUE(running.listening()) << running.why().toStdString();
    EXPECT_TRUE(SingleInstance(folder.path(), runtime.path()).handOver({}));
}

TEST(SingleInstance, AHungInstanceDoesNotSwallowTheLaunch) {
    QTemporaryDir folder, runtime;
    const int hung = bindRawSocket(SingleInstance::socketPath(folder.path(), runtime.path()), true);
    ASSERT_GE(hung, 0);
    EXPECT_FALSE(SingleInstance(folder.path(), runtime.path()).handOver({}, 300));
    ::close(hung);
}

TEST(SingleInstance, BytesThatAreNotArgumentsAreCutOffAndTheNextLaunchIsServed) {
    QTemporaryDir folder, runtime;
    RunningInstance running(folder.path(), runtime.path());
    ASSERT_TRUE(running.listening());
    for (const QByteArray& garbage : {QByteArray("not json\n"), QByteArray("{\"a\":1}\n"),
                                      QByteArray(SingleInstance::kMaxMessageBytes + 10, 'x')}) {
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::socketPath(folder.path(), runtime.path()));
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(garbage);
        socket.waitForBytesWritten(2000);
        // Cut off: the connection ends without the answer a launch waits for.
        if (socket.state() == QLocalSocket::ConnectedState) {
            EXPECT_TRUE(socket.waitForDisconnected(5000)) << garbage.left(20).toStdString();
        }
        EXPECT_FALSE(socket.readAll().contains("ok")) << garbage.left(20).toStdString();
    }
    EXPECT_TRUE(running.received().empty());
    EXPECT_TRUE(SingleInstance(folder.path(), runtime.path()).handOver({QStringLiteral("x")}));
    EXPECT_EQ(running.received().size(), 1u);
}

} // namespace
