// The web server through real HTTP on 127.0.0.1: files of the folder, the error pages, and every
// way of asking for something outside the folder.
#include "FakeClock.h"
#include "HttpClient.h"
#include "ServerPorts.h"
#include "webserver/WebServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

const std::string kSecret = "TOPSECRET-outside-the-folder";
const std::string kJpeg =
    std::string("\xFF\xD8\xFF\xE0", 4) + std::string(5000, '\x5a') + "\xFF\xD9";

void writeFile(const QString& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes.data(), qint64(bytes.size()));
}

// <tmp>/WebServer served, with secrets beside it: in the parent, in a sibling whose name
// starts with the folder's name, and behind links that lead out.
class WebServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path();
        web = root + "/WebServer";
        writeFile(web + "/noise.jpg", kJpeg);
        writeFile(web + "/sub/page.htm", "<html>sub page</html>");
        writeFile(web + "/data.zzqqx", "unknown kind");
        QDir().mkpath(web + "/empty-folder");
        writeFile(root + "/secret.txt", kSecret);
        writeFile(root + "/x.ini", kSecret);
        writeFile(root + "/WebServer2/secret.txt", kSecret);
        writeFile(root + "/WebServer-old/noise.jpg", kSecret);
        ASSERT_TRUE(QFile::link(root + "/secret.txt", web + "/link-out.txt"));
        ASSERT_TRUE(QFile::link(root, web + "/link-up"));
        ASSERT_TRUE(QFile::link(web + "/noise.jpg", web + "/link-in.jpg"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(web + "/pipe.jpg").constData(), 0600), 0);
        server.setWebFolder(web);
        port = startOnFreePort(server);
        ASSERT_NE(port, 0);
    }

    QTemporaryDir tmp;
    QString root, web;
    WebServer server;
    int port = 0;
};

TEST_F(WebServerTest, ServesFilesOfTheFolderWithTheirTypeAndSize) {
    struct Case {
        const char* target;
        std::string body;
        const char* type;
    };
    const Case cases[] = {
        {"/noise.jpg", kJpeg, "image/jpeg"},
        {"/noise.jpg?refresh=12", kJpeg, "image/jpeg"},
        {"/sub/page.htm", "<html>sub page</html>", "text/html"},
        {"/sub/../noise.jpg", kJpeg, "image/jpeg"},
        {"/link-in.jpg", kJpeg, "image/jpeg"},
        {"/data.zzqqx", "unknown kind", "application/octet-stream"},
        {"/%6eoise.jpg", kJpeg, "image/jpeg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const HttpAnswer a = httpRequest(port, c.target);
        EXPECT_EQ(a.status, 200);
        EXPECT_EQ(a.body, c.body);
        EXPECT_EQ(a.header("Content-Type"), c.type);
        EXPECT_EQ(a.header("Content-Length"), std::to_string(c.body.size()));
    }
    const HttpAnswer head = httpRequest(port, "/noise.jpg", "HEAD");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("Content-Length"), std::to_string(kJpeg.size()));
    EXPECT_TRUE(head.body.empty());
    EXPECT_EQ(httpRequest(port, "/noise.jpg", "POST").body, kJpeg);
}

// A viewer refreshing the image, or a scraper, reuses its connection; closing after every answer
// would cost a connection per request.
TEST_F(WebServerTest, OneConnectionCarriesRequestAfterRequest) {
    const int fd = connectLoopback(port);
    ASSERT_GE(fd, 0);
    struct Step {
        std::string request;
        int status;
        std::string body;
    };
    const std::string host = " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    const Step steps[] = {
        {"GET /noise.jpg" + host + "\r\n", 200, kJpeg},
        {"POST /sub/page.htm" + host + "Content-Length: 5\r\n\r\nabcde", 200,
         "<html>sub page</html>"},
        {"GET /missing.jpg" + host + "\r\n", 404, WebServer::notFoundPage()},
        {"GET /../secret.txt" + host + "\r\n", 403, WebServer::accessDeniedPage()},
        {"HEAD /noise.jpg" + host + "\r\n", 200, ""},
        {"GET /noise.jpg" + host + "\r\n", 200, kJpeg},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.request);
        ASSERT_TRUE(sendAll(fd, step.request));
        const HttpAnswer a = readOneAnswer(fd, step.request.rfind("HEAD", 0) == 0);
        ASSERT_EQ(a.status, step.status);
        EXPECT_EQ(a.body, step.body);
        EXPECT_NE(a.header("Connection"), "close");
    }
    ::close(fd);
}

TEST_F(WebServerTest, HostilePathsNeverReachAByteOutsideTheFolder) {
    struct Case {
        std::string target;
        int status;
    };
    const Case cases[] = {
        {"/../secret.txt", 403},
        {"/../x.ini", 403},
        {"/../nothing-here.ini", 403}, // outside: 403 whether or not a file exists there
        {"/../../../../../../../../etc/passwd", 403},
        {"/%2e%2e/secret.txt", 403},
        {"/%2E%2E/secret.txt", 403},
        {"/..%2fsecret.txt", 403},
        {"/sub/%2e%2e%2f%2e%2e%2fsecret.txt", 403},
        {"/%252e%252e/secret.txt", 404}, // decoded once only: a name inside that does not exist
        {"/..%252fsecret.txt", 404},
        {"/..\\secret.txt", 404}, // a backslash is part of a name here
        {"/..%5csecret.txt", 404},
        {"/../WebServer2/secret.txt", 403},
        {"/../WebServer-old/noise.jpg", 403},
        {"/../WebServer/../WebServer2/secret.txt", 403},
        {"/link-out.txt", 403},
        {"/link-up/secret.txt", 403},
        {"/link-up/nothing-here", 403},
        {"/noise.jpg%00.txt", 404},
        {"/%00../secret.txt", 404},
        {"/sub", 404}, // a folder without index.html
        {"/sub/", 404},
        {"/empty-folder", 404},
        {"/pipe.jpg", 404}, // a FIFO would hang the thread that reads it
        {"/NOISE.JPG", 404},
        {"/missing.jpg", 404},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const HttpAnswer a = httpRequest(port, c.target);
        EXPECT_EQ(a.status, c.status);
        EXPECT_EQ(a.body.find(kSecret), std::string::npos);
        EXPECT_EQ(a.body.find("root:"), std::string::npos);
        EXPECT_EQ(a.header("Content-Type"), "text/html");
        EXPECT_EQ(a.body,
                  c.status == 403 ? WebServer::accessDeniedPage() : WebServer::notFoundPage());
    }
    EXPECT_FALSE(server.imageBusy());
}

TEST_F(WebServerTest, OverlongPathIsRefused) {
    const HttpAnswer a = httpRequest(port, "/" + std::string(70000, 'a'));
    EXPECT_NE(a.status, 200);
    EXPECT_EQ(a.body.find(kSecret), std::string::npos);
    const HttpAnswer b = httpRequest(port, "/" + std::string(5000, 'a') + "/../../secret.txt");
    EXPECT_NE(b.status, 200);
    EXPECT_EQ(b.body.find(kSecret), std::string::npos);
    EXPECT_EQ(httpRequest(port, "/noise.jpg").status, 200); // and the server goes on
}

TEST_F(WebServerTest, ErrorPagesAreExactlyTheProgramsOwn) {
    EXPECT_EQ(httpRequest(port, "/missing.jpg").body,
              "<html><head><title>Error</title></head><body><h1>Not Found</h1></body></html>");
    EXPECT_EQ(httpRequest(port, "/../x.ini").body,
              "<html><head><title>Error</title></head><body><h1>Access denied</h1>\r"
              "You do not have sufficient privileges to access this document.</body></html>");
    const HttpAnswer put = httpRequest(port, "/noise.jpg", "DELETE");
    EXPECT_EQ(put.status, 405);
    EXPECT_TRUE(QFile::exists(web + "/noise.jpg"));
}

TEST_F(WebServerTest, FolderThatIsEmptyMissingOrAFileServesNothing) {
    for (const QString& folder : {QString(), root + "/no-such-folder", web + "/noise.jpg"}) {
        SCOPED_TRACE(folder.toStdString());
        server.setWebFolder(folder);
        EXPECT_EQ(server.webFolder(), folder);
        // The root still has the built-in page.
        EXPECT_EQ(httpRequest(port, "/").status, 200);
        for (const char* target : {"/noise.jpg", "/secret.txt", "/WebServer/noise.jpg"}) {
            const HttpAnswer a = httpRequest(port, target);
            EXPECT_EQ(a.status, 404) << target;
            EXPECT_EQ(a.body, WebServer::notFoundPage());
        }
    }
}

TEST_F(WebServerTest, FolderChangeTakesEffectForTheNextRequest) {
    server.setWebFolder(root + "/WebServer2/"); // a trailing separator changes nothing
    EXPECT_EQ(httpRequest(port, "/secret.txt").body, kSecret);
    EXPECT_EQ(httpRequest(port, "/../WebServer/noise.jpg").status, 403);
    server.setWebFolder(web);
    EXPECT_EQ(httpRequest(port, "/secret.txt").status, 404);

    // A folder that appears after it was chosen is served once it exists.
    server.setWebFolder(root + "/later");
    EXPECT_EQ(httpRequest(port, "/noise.jpg").status, 404);
    writeFile(root + "/later/noise.jpg", kJpeg);
    EXPECT_EQ(httpRequest(port, "/noise.jpg").body, kJpeg);
    EXPECT_EQ(httpRequest(port, "/../secret.txt").status, 403);
}

// The settings file and the instance lock are never served, by any name the folder gives them
// (the file itself, a hard link, a link inside), also after the file was replaced under its name.
TEST_F(WebServerTest, PrivateFilesAreNeverServed) {
    const QString settings = web + "/lintrove5a.ini";
    writeFile(settings, kSecret);
    writeFile(web + "/lintrove5a.lock", kSecret);
    ASSERT_EQ(::link(QFile::encodeName(settings).constData(),
                     QFile::encodeName(web + "/copy.txt").constData()),
              0);
    ASSERT_TRUE(QFile::link(settings, web + "/sub/settings.txt"));
    server.setPrivateFiles({settings, web + "/lintrove5a.lock"});
    const auto refused = [this](const char* target) {
        const HttpAnswer a = httpRequest(port, target);
        EXPECT_EQ(a.status, 404) << target;
        EXPECT_EQ(a.body.find(kSecret), std::string::npos) << target;
    };
    for (const char* target : {"/lintrove5a.ini", "/lintrove5a.lock", "/copy.txt",
                               "/sub/settings.txt", "/sub/../lintrove5a.ini"})
        refused(target);
    EXPECT_EQ(httpRequest(port, "/noise.jpg").body, kJpeg); // everything else as before

    // Saved again: a new file under the old name.
    writeFile(web + "/new.ini", kSecret);
    ASSERT_TRUE(QFile::remove(settings));
    ASSERT_TRUE(QFile::rename(web + "/new.ini", settings));
    refused("/lintrove5a.ini");
}

// The folder's real path is found once, when it is set; a link put in its place later leads
// nowhere outside.
TEST_F(WebServerTest, FolderReplacedByALinkOutAfterItWasSetServesNothingOutside) {
    ASSERT_TRUE(QDir().rename(web, root + "/WebServer-moved"));
    ASSERT_TRUE(QFile::link(root + "/WebServer2", web));
    const HttpAnswer a = httpRequest(port, "/secret.txt");
    EXPECT_EQ(a.status, 403);
    EXPECT_EQ(a.body.find(kSecret), std::string::npos);
}

TEST_F(WebServerTest, ConcurrentRequestsWhileTheFolderChangesAllGetWholeAnswers) {
    std::vector<std::thread> clients;
    std::atomic<int> good{0}, bad{0};
    for (int t = 0; t < 4; ++t)
        clients.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                const HttpAnswer a = httpRequest(port, "/noise.jpg");
                (a.status == 200 && a.body == kJpeg) || a.status == 404 ? ++good : ++bad;
            }
        });
    for (int i = 0; i < 200; ++i)
        server.setWebFolder(i % 2 ? web : root + "/elsewhere");
    for (auto& c : clients)
        c.join();
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(good, 200);
    EXPECT_FALSE(server.imageBusy());
}

TEST_F(WebServerTest, StopEndsOpenConnectionsAndFreesThePort) {
    // One client idle in the middle of its request, one that never reads a large answer.
    writeFile(web + "/big.bin", std::string(8 << 20, 'b'));
    const int idle = connectLoopback(port);
    ASSERT_GE(idle, 0);
    ASSERT_TRUE(sendAll(idle, "GET /noise.jpg HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
    const int stalled = connectLoopback(port);
    ASSERT_GE(stalled, 0);
    ASSERT_TRUE(sendAll(stalled, "GET /big.bin HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    char byte;
    ASSERT_EQ(::recv(stalled, &byte, 1, 0), 1); // the answer has begun

    server.stop();
    EXPECT_FALSE(server.isActive());
    EXPECT_LE(::recv(idle, &byte, 1, 0), 0);
    EXPECT_LT(readToEnd(stalled).size(), std::size_t(8 << 20));
    ::close(idle);
    ::close(stalled);
    EXPECT_EQ(connectLoopback(port), -1);

    ASSERT_TRUE(server.start(QStringLiteral("127.0.0.1"), port)); // the same port again at once
    EXPECT_EQ(httpRequest(port, "/noise.jpg").status, 200);
}

// Small files go out from memory, kept per version of the file: <tmp>/web served, with a file
// clock a day ahead so that every version read is old enough to keep.
class WebServerMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        web = tmp.path() + "/web";
        ASSERT_TRUE(QDir().mkpath(web));
        server.setWebFolder(web);
        port = startOnFreePort(server);
        ASSERT_NE(port, 0);
    }
    std::string path(const char* name) const {
        return QFile::encodeName(web + "/" + name).toStdString();
    }

    QTemporaryDir tmp;
    QString web;
    FakeClock dayAhead{QDateTime::currentDateTime().addDays(1)};
    WebServer server{nullptr, [this] {
                         WebServer::Options o;
                         o.fileClock = &dayAhead;
                         return o;
                     }()};
    int port = 0;
};

void replaceByRename(const std::string& path, const std::string& bytes) {
    writeFile(QFile::decodeName(QByteArray::fromStdString(path + ".tmp")), bytes);
    ASSERT_EQ(std::rename((path + ".tmp").c_str(), path.c_str()), 0);
}

void writeInPlace(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    ASSERT_EQ(::ftruncate(fd, off_t(bytes.size())), 0);
    ::close(fd);
}

TEST_F(WebServerMemoryTest, EveryChangeOfTheFileIsServedAtOnce) {
    const std::string a(18000, 'a');
    struct Case {
        const char* change;
        std::function<void(const std::string&)> apply;
        std::string now;
    };
    const Case cases[] = {
        {"replaced by rename, same size",
         [](auto& p) { replaceByRename(p, std::string(18000, 'b')); }, std::string(18000, 'b')},
        {"grown in place", [](auto& p) { writeInPlace(p, std::string(18001, 'c')); },
         std::string(18001, 'c')},
        {"truncated in place", [](auto& p) { writeInPlace(p, std::string(100, 'd')); },
         std::string(100, 'd')},
        {"emptied in place", [](auto& p) { writeInPlace(p, ""); }, ""},
        {"rewritten in place, same size, a second later",
         [](auto& p) {
             writeInPlace(p, std::string(18000, 'e'));
             struct stat st {};
             ASSERT_EQ(::stat(p.c_str(), &st), 0);
             const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec + 1, st.st_mtim.tv_nsec}};
             ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
         },
         std::string(18000, 'e')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        replaceByRename(path("noise.jpg"), a);
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(httpRequest(port, "/noise.jpg").body, a);
        c.apply(path("noise.jpg"));
        for (int i = 0; i < 2; ++i) {
            const HttpAnswer answer = httpRequest(port, "/noise.jpg");
            EXPECT_EQ(answer.status, 200);
            EXPECT_EQ(answer.header("Content-Length"), std::to_string(c.now.size()));
            EXPECT_EQ(answer.body, c.now);
        }
    }
}

// The same file under two names is sent with each name's type.
TEST_F(WebServerMemoryTest, OneFileUnderTwoNamesKeepsEachNamesType) {
    writeFile(web + "/noise.jpg", kJpeg);
    ASSERT_EQ(::link(path("noise.jpg").c_str(), path("noise.txt").c_str()), 0);
    for (const char* target : {"/noise.jpg", "/noise.txt", "/noise.jpg", "/noise.txt"}) {
        const HttpAnswer a = httpRequest(port, target);
        EXPECT_EQ(a.body, kJpeg);
        EXPECT_EQ(a.header("Content-Type"),
                  std::string(target).ends_with(".jpg") ? "image/jpeg" : "text/plain");
    }
}

// With the real clock: a file rewritten in place at the same size straight after it was sent,
// perhaps within the same tick of the file system's clock, is still served new.
TEST(WebServerMemory, SameSizeRewriteStraightAfterASendIsServedNew) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string file = QFile::encodeName(tmp.path() + "/noise.jpg").toStdString();
    writeFile(tmp.path() + "/noise.jpg", std::string(18000, 'a'));
    WebServer server;
    server.setWebFolder(tmp.path());
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);
    for (char c = 'b'; c <= 'z'; ++c) {
        SCOPED_TRACE(c);
        ASSERT_EQ(httpRequest(port, "/noise.jpg").status, 200);
        writeInPlace(file, std::string(18000, c));
        EXPECT_EQ(httpRequest(port, "/noise.jpg").body, std::string(18000, c));
    }
}

// A file that grows and shrinks in place while it is being sent: every answer is one state of
// the file, whole, with its own length. The file is always a prefix of one pattern, so a body
// is right exactly when it is such a prefix and as long as its Content-Length says.
TEST_F(WebServerMemoryTest, FileChangingInPlaceIsNeverSentCutOrWithAWrongLength) {
    std::string pattern(60000, '\0');
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = char('a' + i % 26);
    writeFile(web + "/live.txt", pattern);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const int fd = ::open(path("live.txt").c_str(), O_WRONLY);
        // Every step a new size, shrinking or growing; a size comes back only after 59500
        // steps, so each state has times or a size of its own to be told apart by.
        std::size_t size = pattern.size();
        for (std::size_t k = 1; !stop; ++k) {
            const std::size_t next = 500 + k * 7919 % 59500;
            if (next < size ? ::ftruncate(fd, off_t(next)) != 0
                            : ::pwrite(fd, pattern.data() + size, next - size, off_t(size)) < 0)
                break;
            size = next;
            std::this_thread::yield();
        }
        ::close(fd);
    });
    std::vector<std::thread> clients;
    std::atomic<int> good{0}, bad{0}, unanswered{0};
    for (int t = 0; t < 4; ++t)
        clients.emplace_back([&] {
            for (int i = 0; i < 150; ++i) {
                const HttpAnswer a = httpRequest(port, "/live.txt");
                if (a.status == 0) {
                    ++unanswered;
                    continue;
                }
                const bool whole = a.status == 200 &&
                                   a.header("Content-Length") == std::to_string(a.body.size()) &&
                                   pattern.compare(0, a.body.size(), a.body) == 0;
                whole ? ++good : ++bad;
            }
        });
    for (auto& c : clients)
        c.join();
    stop = true;
    writer.join();
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(good + unanswered, 600);
}

TEST(WebServerStart, RefusesPortsOutsideTheRangeAndBadAddresses) {
    struct Case {
        QString address;
        int port;
        const char* reason;
    };
    const Case cases[] = {
        {"127.0.0.1", 0, "port"},     {"127.0.0.1", 65536, "port"}, {"127.0.0.1", 99999, "port"},
        {"127.0.0.1", -1, "port"},    {"192.168.1", 18450, "IPv4"}, {"300.1.1.1", 18450, "IPv4"},
        {"localhost", 18450, "IPv4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.toStdString() + ":" + std::to_string(c.port));
        WebServer server;
        QString error;
        EXPECT_FALSE(server.start(c.address, c.port, &error));
        EXPECT_FALSE(server.isActive());
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
    }
}

TEST(WebServerStart, PortAlreadyTakenFailsWithTheSystemsReason) {
    WebServer first;
    const int port = startOnFreePort(first);
    ASSERT_NE(port, 0);
    WebServer second;
    QString error;
    EXPECT_FALSE(second.start(QStringLiteral("127.0.0.1"), port, &error));
    EXPECT_FALSE(second.isActive());
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EADDRINUSE)));
    EXPECT_FALSE(second.start(QString(), port, &error)); // every address includes that one
    EXPECT_TRUE(first.isActive());
}

TEST(WebServerStart, StopWithoutStartAndDoubleStartAreHarmless) {
    WebServer server;
    server.stop();
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);
    EXPECT_TRUE(server.start(QStringLiteral("127.0.0.1"), port)); // already on: nothing changes
    server.stop();
    server.stop();
    EXPECT_FALSE(server.isActive());
}

} // namespace
