#include "housekeeping/SingleInstance.h"

#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The instance already running, answering on a thread of its own so that a launch in this
// thread can wait for it the way a second process would.
class RunningInstance {
public:
    RunningInstance(const QString& folder, const QString& runtime,
                    SingleInstance::PeerUid peerUid = {})
        : instance_(new SingleInstance(folder, runtime, std::move(peerUid))) {
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

// Whatever holds the socket, a launch hands its arguments only to a process of its own user, and
// the running instance takes them only from one.
TEST(SingleInstance, OnlyAProcessOfTheSameUserIsTalkedTo) {
    QTemporaryDir folder, runtime;
    const auto someoneElse = [](qintptr) { return std::optional<uid_t>(::geteuid() + 1); };
    {
        RunningInstance squatter(folder.path(), runtime.path());
        ASSERT_TRUE(squatter.listening());
        EXPECT_FALSE(SingleInstance(folder.path(), runtime.path(), someoneElse).handOver({"x"}));
        EXPECT_TRUE(squatter.received().empty()) << "the arguments went to another user";
    }
    {
        RunningInstance running(folder.path(), runtime.path(), someoneElse);
        ASSERT_TRUE(running.listening());
        EXPECT_FALSE(SingleInstance(folder.path(), runtime.path()).handOver({"x"}));
        EXPECT_TRUE(running.received().empty()) << "another user brought the window forward";
    }
    const auto unknown = [](qintptr) { return std::optional<uid_t>(); };
    RunningInstance running(folder.path(), runtime.path());
    EXPECT_FALSE(SingleInstance(folder.path(), runtime.path(), unknown).handOver({"x"}));
    EXPECT_TRUE(SingleInstance(folder.path(), runtime.path()).handOver({"x"}));
    EXPECT_EQ(running.received().size(), 1u);
}

// Without a runtime folder the socket lives in a folder of the user's own in the temporary
// folder, made closed to everyone else; a folder of that name that is not such a folder is
// never used, so nobody else can make the socket first.
class PrivateFolderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toUtf8());
        ASSERT_EQ(QDir::tempPath(), QDir(temp.path()).canonicalPath());
        expected = QDir(QDir::tempPath()).filePath(QStringLiteral("lintrove5a-%1").arg(::getuid()));
    }
    void TearDown() override {
        if (hadTmp)
            qputenv("TMPDIR", savedTmp);
        else
            qunsetenv("TMPDIR");
    }
    QTemporaryDir temp, folder;
    bool hadTmp = false;
    QByteArray savedTmp;
    QString expected;
};

TEST_F(PrivateFolderTest, TheSocketLivesInAFolderOnlyTheUserMayEnter) {
    EXPECT_EQ(SingleInstance::privateFolder(), expected);
    EXPECT_EQ(QFileInfo(SingleInstance::socketPath(folder.path(), {})).path(), expected);
    RunningInstance running(folder.path(), {});
    ASSERT_TRUE(running.listening()) << running.why().toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(expected).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_TRUE(SingleInstance(folder.path(), {}).handOver({"--tab", "2"}));
    EXPECT_EQ(running.received().size(), 1u);
}

TEST_F(PrivateFolderTest, AFolderThatIsNotPrivateIsNeverUsed) {
    QTemporaryDir elsewhere;
    const QByteArray path = QFile::encodeName(expected);
    const struct {
        const char* name;
        std::function<void()> prepare;
    } cases[] = {
        {"open to others",
         [&] {
             ASSERT_EQ(::mkdir(path.constData(), 0700), 0);
             ASSERT_EQ(::chmod(path.constData(), 0777), 0);
         }},
        {"a link to a private folder",
         [&] {
             ASSERT_EQ(::chmod(QFile::encodeName(elsewhere.path()).constData(), 0700), 0);
             ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path()).constData(), path.constData()),
                       0);
         }},
        {"a file", [&] { writeFile(expected, "x"); }},
        {"another user's",
         [&] {
             ASSERT_EQ(::mkdir(path.constData(), 0700), 0);
             if (::chown(path.constData(), ::geteuid() + 1, uid_t(-1)) != 0)
                 GTEST_SKIP() << "only root can give a folder away";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (QFileInfo(expected).isSymLink() || QFileInfo(expected).isFile())
            QFile::remove(expected);
        else
            QDir(expected).removeRecursively();
        c.prepare();
        if (testing::Test::IsSkipped())
            return;
        RunningInstance running(folder.path(), {});
        EXPECT_FALSE(running.listening());
        EXPECT_FALSE(running.why().isEmpty());
        // Nothing listens in it: a socket someone else put there takes no launch either.
        EXPECT_FALSE(SingleInstance(folder.path(), {}).handOver({}, 500));
        EXPECT_TRUE(QFileInfo(expected).isSymLink() || !QFileInfo(expected).isDir() ||
                    QDir(expected).isEmpty(QDir::AllEntries | QDir::System | QDir::Hidden |
                                           QDir::NoDotAndDotDot));
    }
}

} // namespace
