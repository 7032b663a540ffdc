#pragma once
// The simulated router's HTTP side: a libmicrohttpd daemon on a listening socket of our own,
// handing every complete request to one handler.
#include "RouterSimulator.h"

#include <functional>

struct MHD_Daemon;

class HttpServer {
public:
    using Handler = std::function<SimResponse(const SimRequest&)>;

    explicit HttpServer(Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds 127.0.0.1:port (0 = any free port) and starts serving. Returns the port bound, or 0
    // with `error` set.
    int start(int port, QString& error);
    void stop();

private:
    Handler handler_;
    MHD_Daemon* daemon_ = nullptr;
};
