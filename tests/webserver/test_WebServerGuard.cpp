// The web server under clients that hold connections open, stall in the middle of a request or
// send bytes that are not HTTP: everyone else goes on being served, over real HTTP on loopback.
#include "HttpClient.h"
#include "ServerPorts.h"
#include "webserver/RequestLine.h"
#include "webserver/WebServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <vector>

namespace {

const std::string kBody = "the web image";

// A connection to 127.0.0.1 from the given loopback source address; -1 when it cannot be made.
int connectFrom(const char* source, int port, int timeoutSeconds = 10) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval tv{timeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv); // bounds connect() too
    sockaddr_in from{};
    from.sin_family = AF_INET;
    ::inet_pton(AF_INET, source, &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<unsigned short>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads until the server closes the connection; closed is false when the receive timeout
// ended the wait instead.
std::string readUntilClosed(int fd, bool* closed) {
    std::string all;
    char buf[4096];
    ssize_t n;
    while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0)
        all.append(buf, std::size_t(n));
    *closed = n == 0 || (n < 0 && errno == ECONNRESET);
    return all;
}

const std::string kGet = "GET /noise.jpg HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

class WebServerGuardTest : public ::testing::Test {
protected:
    void start(WebServer::Options options) {
        ASSERT_TRUE(tmp.isValid());
        QFile f(tmp.path() + "/noise.jpg");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kBody.data(), qint64(kBody.size()));
        f.close();
        server = std::make_unique<WebServer>(nullptr, options);
        server->setWebFolder(tmp.path());
        port = startOnFreePort(*server);
        ASSERT_NE(port, 0);
    }
    void TearDown() override {
        for (int fd : held)
            ::close(fd);
    }

    QTemporaryDir tmp;
    std::unique_ptr<WebServer> server;
    int port = 0;
    std::vector<int> held;
};

// More half-sent requests from one address than the server could ever hold before, in both
// threading modes: another address is still answered at once, and the flooding address gets
// no more than its share.
TEST_F(WebServerGuardTest, OneAddressHoldingConnectionsOpenDoesNotShutOutAnother) {
    for (WebServer::Threading threading :
         {WebServer::Threading::ThreadPerConnection, WebServer::Threading::ThreadPool}) {
        SCOPED_TRACE(threading == WebServer::Threading::ThreadPool ? "pool" : "per connection");
        WebServer::Options options;
        options.threading = threading;
        start(options);
        for (int i = 0; i < 400; ++i) {
            // A short bound: a server that has stopped accepting leaves connect() hanging.
            const int fd = connectFrom("127.0.0.1", port, 3);
            if (fd < 0)
                break;
            held.push_back(fd);
            sendAll(fd, "GET /noise.jp"); // fails quietly where the server has refused it
        }
        EXPECT_EQ(held.size(), 400u);

        // The bound is 2 s; the wait allowed is wider only so a loaded machine cannot
        // fail the test.
        const int other = connectFrom("127.0.0.2", port, 5);
        ASSERT_GE(other, 0);
        ASSERT_TRUE(sendAll(other, kGet));
        const HttpAnswer a = readOneAnswer(other);
        EXPECT_EQ(a.status, 200);
        EXPECT_EQ(a.body, kBody);
        ::close(other);

        // The flooding address is at its limit: a whole request from it is turned away.
        const int more = connectFrom("127.0.0.1", port, 5);
        ASSERT_GE(more, 0);
        sendAll(more, kGet);
        bool closed = false;
        EXPECT_EQ(parseAnswer(readUntilClosed(more, &closed)).status, 0);
        EXPECT_TRUE(closed);
        ::close(more);

        for (int fd : held)
            ::close(fd);
        held.clear();
        server->stop();
    }
}

// Bytes that are not a request are answered 400 and the connection is closed at once, whether
// they come first on a connection or after a request was answered on it.
TEST_F(WebServerGuardTest, BytesThatAreNotARequestGet400AndAClosedConnection) {
    start({});
    struct Case {
        const char* name;
        std::string bytes;
        bool afterARequest;
    };
    const Case cases[] = {
        {"a word and a line end", "garbage\r\n\r\n", false},
        {"a method alone", "GET\r\n\r\n", false},
        {"a TLS hello", std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11), false},
        {"binary with NULs", std::string("\x00\x01\x02\r\n\r\n", 7), false},
        {"a control character in the method", "G\x01T / HTTP/1.1\r\nHost: x\r\n\r\n", false},
        {"a space in the target", "GET / HTTP/1.1 extra\r\nHost: x\r\n\r\n", false},
        {"a control character in a later method", "G\x01T / HTTP/1.1\r\nHost: x\r\n\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int fd = connectLoopback(port);
        ASSERT_GE(fd, 0);
        if (c.afterARequest) {
            ASSERT_TRUE(sendAll(fd, kGet));
            ASSERT_EQ(readOneAnswer(fd).status, 200);
        }
        ASSERT_TRUE(sendAll(fd, c.bytes));
        bool closed = false;
        const HttpAnswer a = parseAnswer(readUntilClosed(fd, &closed));
        EXPECT_EQ(a.status, 400);
        EXPECT_TRUE(closed);
        ::close(fd);
    }
    EXPECT_EQ(httpRequest(port, "/noise.jpg").body, kBody); // and the server goes on
}

// With a request time of 1 s: a connection stalled in its first request, or in the headers of
// a later one, is closed, while a kept connection idle between requests for as long stays.
TEST_F(WebServerGuardTest, StalledRequestsAreClosedWhileIdleKeptConnectionsStay) {
    WebServer::Options options;
    options.poolThreads = 1; // one event loop sees both deadlines in order
    options.requestTimeoutSeconds = 1;
    start(options);

    const int kept = connectLoopback(port);
    ASSERT_GE(kept, 0);
    ASSERT_TRUE(sendAll(kept, kGet));
    ASSERT_EQ(readOneAnswer(kept).status, 200);

    // Connected after the kept one went idle, so closed after the kept one would have been.
    const int stalled = connectLoopback(port);
    ASSERT_GE(stalled, 0);
    ASSERT_TRUE(sendAll(stalled, "GET /noise.jpg HT"));
    bool closed = false;
    EXPECT_EQ(readUntilClosed(stalled, &closed), "");
    EXPECT_TRUE(closed) << "a request half sent is not cut off";
    ::close(stalled);

    ASSERT_TRUE(sendAll(kept, kGet));
    EXPECT_EQ(readOneAnswer(kept).body, kBody) << "an idle kept connection was cut off";

    ASSERT_TRUE(sendAll(kept, "GET /noise.jpg HTTP/1.1\r\nHost: 127.0.0.1\r\n"));
    EXPECT_EQ(readUntilClosed(kept, &closed), "");
    EXPECT_TRUE(closed) << "a later request stalled in its headers is not cut off";
    ::close(kept);
}

// A request trickled a byte every 2 s never falls silent for the library's timeout; it is closed
// once the request time (10 s) has passed since the connection began, in both threading modes,
// while another address is answered all along. The times are the ones the program promises.
TEST_F(WebServerGuardTest, ARequestTrickledAByteAtATimeIsClosedAtItsDeadline) {
    using Clock = std::chrono::steady_clock;
    start({});
    WebServer::Options perConnection;
    perConnection.threading = WebServer::Threading::ThreadPerConnection;
    WebServer second(nullptr, perConnection);
    second.setWebFolder(tmp.path());
    const int ports[] = {port, startOnFreePort(second)};
    ASSERT_NE(ports[1], 0);

    // Headers that never end: each byte keeps the request going.
    const std::string trickle =
        "GET /noise.jpg HTTP/1.1\r\nHost: 127.0.0.1\r\n" + std::string(200, 'X');
    const Clock::time_point began = Clock::now();
    int fds[2];
    std::optional<Clock::duration> closedAfter[2];
    for (int i = 0; i < 2; ++i) {
        fds[i] = connectLoopback(ports[i]);
        ASSERT_GE(fds[i], 0);
        held.push_back(fds[i]);
    }
    size_t sent = 0;
    Clock::time_point nextByte = began;
    int othersAnswered = 0;
    while ((!closedAfter[0] || !closedAfter[1]) &&
           Clock::now() - began < std::chrono::seconds(20)) {
        if (Clock::now() >= nextByte) {
            for (int i = 0; i < 2; ++i)
                if (!closedAfter[i])
                    (void)::send(fds[i], &trickle[sent], 1, MSG_NOSIGNAL);
            ++sent;
            nextByte += std::chrono::seconds(2);
            for (const int p : ports) {
                const int other = connectFrom("127.0.0.2", p, 5);
                ASSERT_GE(other, 0);
                ASSERT_TRUE(sendAll(other, kGet));
                EXPECT_EQ(readOneAnswer(other).body, kBody) << "another address went unanswered";
                ::close(other);
                ++othersAnswered;
            }
        }
        pollfd waits[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
        ::poll(waits, 2, 100);
        for (int i = 0; i < 2; ++i) {
            char c;
            if (!closedAfter[i] && (waits[i].revents & (POLLIN | POLLHUP | POLLERR)) &&
                ::recv(fds[i], &c, 1, MSG_DONTWAIT) <= 0)
                closedAfter[i] = Clock::now() - began;
        }
    }
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "pool" : "per connection");
        ASSERT_TRUE(closedAfter[i].has_value()) << "still open after 20 s";
        const double seconds = std::chrono::duration<double>(*closedAfter[i]).count();
        EXPECT_GE(seconds, 9.5) << "closed before its deadline";
        EXPECT_LE(seconds, 11.5) << "closed late";
    }
    EXPECT_GE(othersAnswered, 10);
}

// A desktop session's usual soft limit of 1,024 descriptors could not hold 1,024 connections.
TEST(WebServerStart, RaisesTheDescriptorLimitForItsConnections) {
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    if (before.rlim_max != RLIM_INFINITY && before.rlim_max < 4096)
        GTEST_SKIP() << "the hard limit leaves no room to raise";
    rlimit low = before;
    low.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);

    WebServer server;
    ASSERT_NE(startOnFreePort(server), 0);
    rlimit after{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &after), 0);
    EXPECT_GE(after.rlim_cur, rlim_t(2 * 1024));
    ::setrlimit(RLIMIT_NOFILE, &before);
}

TEST(RequestLine, JudgesTheFirstBytesOfARequest) {
    using V = RequestLine::Verdict;
    struct Case {
        std::string bytes;
        V verdict;
    };
    const Case cases[] = {
        {"", V::Plausible},
        {"GE", V::Plausible},
        {"GET ", V::Plausible},
        {"GET /noise.jpg HTTP/1.1\r\n", V::Plausible},
        {"\r\n\r\nGET / HTTP/1.1\r\n", V::Plausible}, // empty lines before a request are allowed
        {"M-SEARCH * HTTP/1.1\r\n", V::Plausible},    // a method we refuse later, but a method
        {"garbage\r\n", V::Malformed},
        {"GET\r\n", V::Malformed},
        {" / HTTP/1.1\r\n", V::Malformed},
        {"\r\n ", V::Malformed},
        {"G\x01T / HTTP/1.1", V::Malformed},
        {std::string("\x16\x03\x01", 3), V::Malformed},
        {std::string("\0GET", 4), V::Malformed},
        {"GET\t/ HTTP/1.1", V::Malformed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RequestLine::judge(c.bytes), c.verdict) << testing::PrintToString(c.bytes);
    EXPECT_TRUE(RequestLine::isToken("GET"));
    EXPECT_FALSE(RequestLine::isToken(""));
    EXPECT_FALSE(RequestLine::isToken("G T"));
}

} // namespace
