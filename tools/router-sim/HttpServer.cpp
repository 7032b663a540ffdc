#include "HttpServer.h"

#include <QUrl>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t kMaxBody = 64 * 1024;

// Collects the body of one request across the handler's calls.
struct PendingRequest {
    QByteArray body;
    bool tooLarge = false;
};

MHD_Result collectArgument(void* cls, MHD_ValueKind, const char* key, const char* value) {
    auto* args = static_cast<QList<QPair<QString, QString>>*>(cls);
    args->append({QString::fromUtf8(key), QString::fromUtf8(value ? value : "")});
    return MHD_YES;
}

MHD_Result send(MHD_Connection* connection, const SimResponse& r) {
    MHD_Response* response = MHD_create_response_from_buffer(static_cast<size_t>(r.body.size()),
                                                             const_cast<char*>(r.body.constData()),
                                                             MHD_RESPMEM_MUST_COPY);
    if (!response)
        return MHD_NO;
    MHD_add_response_header(response, "Content-Type", r.contentType.constData());
    // The router's pages are never to be cached: every sample must be fresh.
    MHD_add_response_header(response, "Cache-Control", "no-store, no-cache, must-revalidate");
    for (const auto& [name, value] : r.headers)
        MHD_add_response_header(response, name.constData(), value.constData());
    const MHD_Result result =
        MHD_queue_response(connection, static_cast<unsigned>(r.status), response);
    MHD_destroy_response(response);
    return result;
}

MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url, const char* method,
                     const char*, const char* uploadData, size_t* uploadDataSize,
                     void** connectionState) {
    auto* pending = static_cast<PendingRequest*>(*connectionState);
    if (!pending) {
        *connectionState = new PendingRequest;
        return MHD_YES;
    }
    if (*uploadDataSize > 0) {
        if (pending->body.size() + *uploadDataSize > kMaxBody)
            pending->tooLarge = true;
        else
            pending->body.append(uploadData, static_cast<qsizetype>(*uploadDataSize));
        *uploadDataSize = 0;
        return MHD_YES;
    }
    if (pending->tooLarge) {
        SimResponse r;
        r.status = 413;
        r.contentType = "text/plain";
        r.body = "request body too large\n";
        return send(connection, r);
    }

    SimRequest request;
    request.method = method;
    request.path = QUrl::fromPercentEncoding(url);
    MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, collectArgument, &request.query);
    if (const char* cookie = MHD_lookup_connection_value(connection, MHD_COOKIE_KIND,
                                                         RouterSimulator::kSessionCookie))
        request.sessionCookie = QString::fromLatin1(cookie);
    request.body = pending->body;
    const auto* handler = static_cast<const HttpServer::Handler*>(cls);
    const SimResponse response = (*handler)(request);
    if (response.drop)
        return MHD_NO; // the connection closes with no answer at all
    // Each connection has its own thread, so a slow answer holds up only its own request.
    if (response.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(response.delayMs));
    return send(connection, response);
}

void onCompleted(void*, MHD_Connection*, void** connectionState, MHD_RequestTerminationCode) {
    delete static_cast<PendingRequest*>(*connectionState);
    *connectionState = nullptr;
}

} // namespace

HttpServer::HttpServer(Handler handler) : handler_(std::move(handler)) {}

HttpServer::~HttpServer() {
    stop();
}

int HttpServer::start(int port, QString& error) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return 0;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK); // the loopback address only, always
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return 0;
    }

    // A thread per connection: a slow answer must not hold up the others or the control
    // endpoints.
    daemon_ = MHD_start_daemon(MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD |
                                   MHD_USE_ERROR_LOG,
                               0, nullptr, nullptr, onRequest, &handler_, MHD_OPTION_LISTEN_SOCKET,
                               fd, MHD_OPTION_NOTIFY_COMPLETED, onCompleted, nullptr,
                               MHD_OPTION_CONNECTION_TIMEOUT, 30u, MHD_OPTION_END);
    if (!daemon_) {
        error = QStringLiteral("the HTTP daemon did not start");
        ::close(fd);
        return 0;
    }
    return ntohs(address.sin_port);
}

void HttpServer::stop() {
    if (daemon_) {
        MHD_stop_daemon(daemon_); // also closes the listening socket
        daemon_ = nullptr;
    }
}
