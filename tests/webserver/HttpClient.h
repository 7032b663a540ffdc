#pragma once
// A raw HTTP/1.1 client for tests: sends the request bytes exactly as given (hostile paths are
// not cleaned up on the way) to 127.0.0.1 and reads the answer until the server closes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

struct HttpAnswer {
    int status = 0; // 0: no status line came back
    std::string headers;
    std::string body;
    std::string header(const std::string& name) const {
        std::string lower = headers;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        std::string key = "\r\n";
        for (char c : name)
            key += char(std::tolower(static_cast<unsigned char>(c)));
        key += ':';
        const std::size_t p = lower.find(key);
        if (p == std::string::npos)
            return {};
        std::size_t b = p + key.size();
        while (b < headers.size() && headers[b] == ' ')
            ++b;
        return headers.substr(b, headers.find("\r\n", b) - b);
    }
};

inline int connectLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval tv{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<unsigned short>(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline bool sendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += std::size_t(n);
    }
    return true;
}

inline std::string readToEnd(int fd) {
    std::string all;
    char buf[65536];
    ssize_t n;
    while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0)
        all.append(buf, std::size_t(n));
    return all;
}

inline HttpAnswer parseAnswer(const std::string& all) {
    HttpAnswer a;
    const std::size_t end = all.find("\r\n\r\n");
    if (all.rfind("HTTP/1.", 0) != 0 || end == std::string::npos)
        return a;
    a.status = std::atoi(all.c_str() + 9);
    a.headers = all.substr(0, end + 2);
    a.body = all.substr(end + 4);
    return a;
}

// One answer from a connection that stays open: the headers, then Content-Length bytes of body
// (none for HEAD). A status of 0 when the connection closes or stalls first.
inline HttpAnswer readOneAnswer(int fd, bool head = false) {
    std::string all;
    char c;
    while (all.find("\r\n\r\n") == std::string::npos) {
        if (::recv(fd, &c, 1, 0) != 1)
            return {};
        all += c;
    }
    HttpAnswer a = parseAnswer(all);
    const std::size_t length =
        head ? 0 : std::size_t(std::atol(a.header("Content-Length").c_str()));
    std::string body(length, '\0');
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::recv(fd, body.data() + got, length - got, 0);
        if (n <= 0)
            return {};
        got += std::size_t(n);
    }
    a.body = std::move(body);
    return a;
}

// One request on its own connection ("Connection: close").
inline HttpAnswer httpRequest(int port, const std::string& target,
                              const std::string& method = "GET") {
    const int fd = connectLoopback(port);
    if (fd < 0)
        return {};
    sendAll(fd,
            method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    const std::string all = readToEnd(fd);
    ::close(fd);
    return parseAnswer(all);
}
