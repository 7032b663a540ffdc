#pragma once
// Loopback ports for server tests. The kernel hands out a fresh one to each asker, so tests
// running side by side do not pick the same port (probing a fixed range did).
#include "webserver/WebServer.h"

#include <QHostAddress>
#include <QTcpServer>

// A loopback port that nothing listens on now.
inline int freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// Starts the server on a free port; 0 when none could be had.
inline int startOnFreePort(WebServer& server,
                           const QString& address = QStringLiteral("127.0.0.1")) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int port = freePort();
        if (port != 0 && server.start(address, port))
            return port;
    }
    return 0;
}
