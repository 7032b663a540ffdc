#pragma once
// Starts a server on the first free port of the range kept for these tests.
#include "webserver/WebServer.h"

inline int startOnFreePort(WebServer& server,
                           const QString& address = QStringLiteral("127.0.0.1")) {
    for (int port = 18400; port < 18500; ++port)
        if (server.start(address, port))
            return port;
    return 0;
}
