#include "webserver/WebServer.h"

#include "drops/DropsBoard.h"
#include "webserver/DropMetrics.h"
#include "webserver/GeneratedPage.h"
#include "webserver/LivePage.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/RequestLine.h"
#include "webserver/RequestPath.h"
#include "webserver/StatusJson.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kNotFound[] =
    "<html><head><title>Error</title></head><body><h1>Not Found</h1></body></html>";
const char kAccessDenied[] =
    "<html><head><title>Error</title></head><body><h1>Access denied</h1>\r"
    "You do not have sufficient privileges to access this document.</body></html>";
const char kMethodNotAllowed[] =
    "<html><head><title>Error</title></head><body><h1>Method Not Allowed</h1></body></html>";
const char kBadRequest[] =
    "<html><head><title>Error</title></head><body><h1>Bad Request</h1></body></html>";
// The same page as a whole answer, for bytes that never become a request the library hands on.
const std::string kBadRequestAnswer = "HTTP/1.1 400 Bad Request\r\nConnection: close\r\n"
                                      "Content-Type: text/html\r\nContent-Length: " +
                                      std::to_string(sizeof kBadRequest - 1) + "\r\n\r\n" +
                                      kBadRequest;

// Markers handed to each request as its state: what the raw request line said, then the same once
// the headers have been seen, then whether the handler has answered. The answer waits for the
// end of the request: queued with the headers alone, the library closes the connection after it
// instead of keeping it alive for the next request.
char kPlainRequest, kNulInPath, kPlainHeadersSeen, kNulHeadersSeen, kAnswered;

MHD_Result queueStatic(MHD_Connection* c, unsigned status, const char* body) {
    MHD_Response* r = MHD_create_response_from_buffer(std::strlen(body), const_cast<char*>(body),
                                                      MHD_RESPMEM_PERSISTENT);
    if (!r)
        return MHD_NO;
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, "text/html");
    const MHD_Result result = MHD_queue_response(c, status, r);
    MHD_destroy_response(r);
    return result;
}

MHD_Result queueBadRequest(MHD_Connection* c) {
    MHD_Response* r = MHD_create_response_from_buffer(
        sizeof kBadRequest - 1, const_cast<char*>(kBadRequest), MHD_RESPMEM_PERSISTENT);
    if (!r)
        return MHD_NO;
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, "text/html");
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONNECTION, "close");
    const MHD_Result result = MHD_queue_response(c, MHD_HTTP_BAD_REQUEST, r);
    MHD_destroy_response(r);
    return result;
}

// A new connection whose first bytes cannot begin a request gets 400 and is closed here: the
// library would close a line without a target silently, and wait for the end of a line that
// binary noise never sends. Bytes not yet arrived are left to the library and the timeout.
void refuseIfNotARequest(int fd) {
    char first[64];
    const ssize_t n = ::recv(fd, first, sizeof first, MSG_PEEK | MSG_DONTWAIT);
    if (n <= 0 || RequestLine::judge(std::string_view(first, std::size_t(n))) !=
                      RequestLine::Verdict::Malformed)
        return;
    // Read what has come, or closing with it unread would reset the connection and could take
    // the answer with it.
    char sink[4096];
    for (int i = 0; i < 16 && ::recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0; ++i) {
    }
    // Fits an empty send buffer; a client that cannot take it loses only its own answer.
    (void)::send(fd, kBadRequestAnswer.data(), kBadRequestAnswer.size(),
                 MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(fd, SHUT_RDWR); // the library reads the end and closes the connection
}

// Every connection holds a socket and, while a large file goes out, that file: the soft limit
// on descriptors (often 1,024 on desktops) is raised toward the hard one so that the connection
// limit can be reached. Where the hard limit is lower, the library stops accepting at the
// ceiling until a connection ends, and the per-address limit still keeps room for others.
void makeRoomForDescriptors(unsigned connections) {
    const rlim_t wanted = rlim_t(connections) * 2 + 256;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= wanted)
        return;
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
    ::setrlimit(RLIMIT_NOFILE, &limit); // a refusal leaves the old limit, see above
}

// The built-in page, one response for every request: the library counts its users.
MHD_Response* livePage() {
    static MHD_Response* const response = [] {
        const char* page = LivePage::html();
        MHD_Response* r = MHD_create_response_from_buffer(
            std::strlen(page), const_cast<char*>(page), MHD_RESPMEM_PERSISTENT);
        if (r)
            MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, "text/html; charset=utf-8");
        return r;
    }();
    return response;
}

// Whether the open file is one of the private ones. By device and inode, looked up now: a name
// inside the folder, a hard link or a link within it all lead to the same file.
bool isPrivateFile(const struct stat& file, const std::vector<std::string>& privateFiles) {
    for (const std::string& path : privateFiles) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && st.st_dev == file.st_dev && st.st_ino == file.st_ino)
            return true;
    }
    return false;
}

std::chrono::steady_clock::time_point secondsFromNow(unsigned seconds) {
    return std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
}

void ignoreSigpipe() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

} // namespace

struct WebServerCallbacks {
    static MHD_Result access(void* cls, MHD_Connection* connection, const char* url,
                             const char* method, const char*, const char*, size_t* uploadDataSize,
                             void** state) {
        if (*state == &kPlainRequest || *state == &kNulInPath) {
            *state = *state == &kNulInPath ? &kNulHeadersSeen : &kPlainHeadersSeen;
            return MHD_YES; // called again for each piece of a body, then once more at its end
        }
        if (*uploadDataSize != 0 || *state == &kAnswered) {
            *uploadDataSize = 0; // a request body: read and dropped
            return MHD_YES;
        }
        auto* server = static_cast<WebServer*>(cls);
        // The request is in: the answer and the wait for the next request get the idle timeout.
        MHD_set_connection_option(connection, MHD_CONNECTION_OPTION_TIMEOUT,
                                  server->options_.connectionTimeoutSeconds);
        server->deadlines_.requestIn(connection);
        const int r = server->handle(connection, url, method, state);
        *state = &kAnswered;
        return r == MHD_YES ? MHD_YES : MHD_NO;
    }

    // Sees the request target before decoding, where an encoded NUL is still visible: the decoded
    // path would end at it and serve another file than the one asked for.
    static void* uri(void* cls, const char* uri, MHD_Connection* connection) {
        // A new request line on a kept connection: the rest of the request must follow soon.
        auto* server = static_cast<WebServer*>(cls);
        const unsigned requestSeconds = server->options_.requestTimeoutSeconds;
        MHD_set_connection_option(connection, MHD_CONNECTION_OPTION_TIMEOUT, requestSeconds);
        server->deadlines_.due(connection, secondsFromNow(requestSeconds));
        for (const char* p = uri; *p && *p != '?'; ++p)
            if (p[0] == '%' && p[1] == '0' && p[2] == '0')
                return &kNulInPath;
        return &kPlainRequest;
    }

    static void connected(void* cls, MHD_Connection* connection, void**,
                          MHD_ConnectionNotificationCode code) {
        auto* server = static_cast<WebServer*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
            server->deadlines_.closed(connection);
            return;
        }
        if (code != MHD_CONNECTION_NOTIFY_STARTED)
            return;
        // Until its first request is in, a connection is held only as long as a request takes.
        const unsigned requestSeconds = server->options_.requestTimeoutSeconds;
        MHD_set_connection_option(connection, MHD_CONNECTION_OPTION_TIMEOUT, requestSeconds);
        if (const MHD_ConnectionInfo* info =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD)) {
            server->deadlines_.opened(connection, info->connect_fd, secondsFromNow(requestSeconds));
            refuseIfNotARequest(info->connect_fd);
        }
    }

    // An answer went out (or the request ended otherwise). A kept connection may wait the idle
    // time for its next request, which then has the request time to come in.
    static void completed(void* cls, MHD_Connection* connection, void**,
                          MHD_RequestTerminationCode) {
        auto* server = static_cast<WebServer*>(cls);
        server->deadlines_.due(connection,
                               secondsFromNow(server->options_.connectionTimeoutSeconds +
                                              server->options_.requestTimeoutSeconds));
    }
};

WebServer::WebServer(const MetricsSnapshot* metrics) : WebServer(metrics, Options{}) {}

WebServer::WebServer(const MetricsSnapshot* metrics, Options options)
    : metrics_(metrics), options_(options), smallFiles_(options.fileClock),
      folder_(std::make_shared<Folder>()) {}

WebServer::~WebServer() {
    stop(); // handlers finished before the table and the folder copy go
}

const char* WebServer::notFoundPage() {
    return kNotFound;
}

const char* WebServer::accessDeniedPage() {
    return kAccessDenied;
}

bool WebServer::start(const QString& address, int port, QString* error) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (daemon_)
        return true;
    if (port < 1 || port > 65535)
        return fail(QStringLiteral("the port must be a number from 1 to 65535"));

    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(quint16(port));
    sa.sin_addr.s_addr = htonl(INADDR_ANY);
    const QString trimmed = address.trimmed();
    if (!trimmed.isEmpty() && inet_pton(AF_INET, trimmed.toLatin1().constData(), &sa.sin_addr) != 1)
        return fail(QStringLiteral("not an IPv4 address"));

    ignoreSigpipe();
    makeRoomForDescriptors(options_.connectionLimit);
    deadlines_.start();
    // The listening socket is ours, so that a failure comes with the system's reason.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        const int e = errno;
        deadlines_.stop();
        return fail(QString::fromLocal8Bit(std::strerror(e)));
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // A connection is handed over once its first bytes are in, so that they can be judged at
    // once; one that sends nothing waits in the kernel, not in a slot of the server. Refused, it
    // costs only that: bytes not yet in are left to the library and the request timeout.
    const int deferSeconds = int(options_.requestTimeoutSeconds);
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_DEFER_ACCEPT, &deferSeconds, sizeof deferSeconds);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 128) != 0) {
        const int e = errno;
        ::close(fd);
        deadlines_.stop();
        return fail(QString::fromLocal8Bit(std::strerror(e)));
    }

    // Turbo: read and write before asking the event loop whether the socket is ready.
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_ITC | MHD_USE_TURBO;
    const bool pool = options_.threading == Threading::ThreadPool;
    flags |= pool ? MHD_USE_EPOLL : (MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL);
    MHD_OptionItem extra[] = {
        {pool ? MHD_OPTION_THREAD_POOL_SIZE : MHD_OPTION_END,
         pool ? intptr_t(std::max(1u, options_.poolThreads)) : 0, nullptr},
        {MHD_OPTION_END, 0, nullptr},
    };
    daemon_ = MHD_start_daemon(
        flags, 0, nullptr, nullptr,
        reinterpret_cast<MHD_AccessHandlerCallback>(&WebServerCallbacks::access), this,
        MHD_OPTION_LISTEN_SOCKET, fd, MHD_OPTION_CONNECTION_TIMEOUT,
        options_.connectionTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT, options_.connectionLimit,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, options_.perAddressLimit, MHD_OPTION_NOTIFY_CONNECTION,
        &WebServerCallbacks::connected, this, MHD_OPTION_URI_LOG_CALLBACK, &WebServerCallbacks::uri,
        this, MHD_OPTION_NOTIFY_COMPLETED, &WebServerCallbacks::completed, this, MHD_OPTION_ARRAY,
        extra, MHD_OPTION_END);
    if (!daemon_) {
        ::close(fd);
        deadlines_.stop();
        return fail(QStringLiteral("the HTTP server could not be started"));
    }
    return true;
}

void WebServer::stop() {
    if (!daemon_)
        return;
    MHD_stop_daemon(daemon_); // closes the listening socket and joins every thread
    daemon_ = nullptr;
    deadlines_.stop();
}

void WebServer::setWebFolder(const QString& folder) {
    std::string encoded;
    if (!folder.isEmpty())
        encoded =
            QFile::encodeName(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())).toStdString();
    auto copy = std::make_shared<Folder>();
    copy->real = encoded.empty() ? std::string() : RequestPath::realPath(encoded);
    copy->path = std::move(encoded);
    std::lock_guard lock(folderMutex_);
    folder_ = std::move(copy);
    folderText_ = folder;
}

void WebServer::setPrivateFiles(const QStringList& paths) {
    auto files = std::make_shared<std::vector<std::string>>();
    for (const QString& path : paths)
        files->push_back(QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
    std::lock_guard lock(folderMutex_);
    privateFiles_ = std::move(files);
}

QString WebServer::webFolder() const {
    std::lock_guard lock(folderMutex_);
    return folderText_;
}

int WebServer::handle(MHD_Connection* connection, const char* url, const char* method,
                      void** state) {
    const bool get = std::strcmp(method, MHD_HTTP_METHOD_GET) == 0;
    const bool head = std::strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
    const bool post = std::strcmp(method, MHD_HTTP_METHOD_POST) == 0;
    if (!RequestLine::isToken(method))
        return queueBadRequest(connection);
    if (!get && !head && !post) {
        MHD_Response* r = MHD_create_response_from_buffer(sizeof kMethodNotAllowed - 1,
                                                          const_cast<char*>(kMethodNotAllowed),
                                                          MHD_RESPMEM_PERSISTENT);
        if (!r)
            return MHD_NO;
        MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, "text/html");
        MHD_add_response_header(r, MHD_HTTP_HEADER_ALLOW, "GET, HEAD, POST");
        const MHD_Result result = MHD_queue_response(connection, MHD_HTTP_METHOD_NOT_ALLOWED, r);
        MHD_destroy_response(r);
        return result;
    }
    if (*state == &kNulHeadersSeen)
        return queueStatic(connection, MHD_HTTP_NOT_FOUND, kNotFound);
    const DropsBoard* drops = drops_.load(std::memory_order_acquire);
    // The generated pages are read-only: a POST goes to the files like any other.
    if (!post) {
        if (metrics_ && std::strcmp(url, "/metrics") == 0) {
            std::string text = metrics_->render();
            if (drops)
                DropMetrics::render(text, *drops->content());
            return serveGenerated(connection, std::move(text),
                                  "text/plain; version=0.0.4; charset=utf-8");
        }
        if ((metrics_ || drops) && std::strcmp(url, "/status.json") == 0)
            return serveKept(connection, statusPage(drops));
        if (drops && std::strcmp(url, "/drops.csv") == 0)
            return serveKept(connection, csvPage(*drops));
    }
    // The folder's own index.html when there is one, else the built-in page.
    if (std::strcmp(url, "/") == 0)
        return serveFile(connection, "/index.html", !post, false);
    return serveFile(connection, url);
}

int WebServer::serveGenerated(MHD_Connection* connection, std::string body, const char* type) {
    MHD_Response* r =
        MHD_create_response_from_buffer(body.size(), body.data(), MHD_RESPMEM_MUST_COPY);
    if (!r)
        return MHD_NO;
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, type);
    MHD_add_response_header(r, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    const MHD_Result result = MHD_queue_response(connection, MHD_HTTP_OK, r);
    MHD_destroy_response(r);
    return result;
}

int WebServer::serveKept(MHD_Connection* connection,
                         const std::shared_ptr<const GeneratedPage>& page) {
    if (!page)
        return MHD_NO;
    return MHD_queue_response(connection, MHD_HTTP_OK, page->response());
}

std::shared_ptr<const GeneratedPage> WebServer::statusPage(const DropsBoard* drops) {
    const quint64 version = metrics_ ? metrics_->version() : 0;
    const std::shared_ptr<const DropsBoard::Content> content = drops ? drops->content() : nullptr;
    {
        std::lock_guard lock(keptMutex_);
        if (status_.page && status_.metricsVersion == version && status_.dropsContent == content)
            return status_.page;
    }
    // Made outside the lock; two requests after a change may both make it, the same page.
    const std::optional<MetricsSnapshot::State> state =
        metrics_ ? std::optional(metrics_->state()) : std::nullopt;
    std::shared_ptr<const GeneratedPage> page =
        GeneratedPage::make(StatusJson::render(state ? &*state : nullptr, content.get()),
                            "application/json; charset=utf-8");
    std::lock_guard lock(keptMutex_);
    // The state read may be newer than version: keep it under the version it has.
    status_ = {state ? state->version : 0, content, page};
    return page;
}

std::shared_ptr<const GeneratedPage> WebServer::csvPage(const DropsBoard& drops) {
    const std::shared_ptr<const DropsBoard::Content> content = drops.content();
    {
        std::lock_guard lock(keptMutex_);
        if (csv_.page && csv_.dropsContent == content)
            return csv_.page;
    }
    std::shared_ptr<const GeneratedPage> page =
        GeneratedPage::make(content->csv, "text/csv; charset=utf-8");
    std::lock_guard lock(keptMutex_);
    csv_ = {0, content, page};
    return page;
}

int WebServer::serveFile(MHD_Connection* connection, const char* url, bool livePageIfMissing,
                         bool folderIndex) {
    const auto notFound = [&] {
        if (livePageIfMissing && livePage())
            return MHD_queue_response(connection, MHD_HTTP_OK, livePage());
        return queueStatic(connection, MHD_HTTP_NOT_FOUND, kNotFound);
    };
    std::shared_ptr<const Folder> folderCopy;
    std::shared_ptr<const std::vector<std::string>> privateCopy;
    {
        std::lock_guard lock(folderMutex_);
        folderCopy = folder_;
        privateCopy = privateFiles_;
    }
    const std::string* folder = &folderCopy->path;
    // Resolved once when set; a folder that did not exist then is looked up on every request.
    std::string resolvedNow;
    const std::string* realFolderP = &folderCopy->real;
    if (realFolderP->empty() && !folder->empty()) {
        resolvedNow = RequestPath::realPath(*folder);
        realFolderP = &resolvedNow;
    }
    const std::string& realFolder = *realFolderP;

    // The way the web image is asked for: a plain path without links opens in one call.
    std::string lexical = RequestPath::normalised(*folder + '/' + url);
    int fd = -1;
    bool folderAsked = false;
    struct stat fs {};
    // Only the open and the measuring keep the web image from being replaced: an open
    // descriptor goes on reading the old file after the rename.
    const auto openAndMeasure = [&](auto&& open) {
        busy_.fetch_add(1, std::memory_order_acq_rel);
        fd = open();
        if (fd >= 0 && (::fstat(fd, &fs) != 0 || !S_ISREG(fs.st_mode))) {
            folderAsked = S_ISDIR(fs.st_mode);
            ::close(fd); // a folder, FIFO or device is not a file to send
            fd = -1;
        }
        busy_.fetch_sub(1, std::memory_order_acq_rel);
    };
    bool opened = false;
    openAndMeasure([&] {
        const int f = RequestPath::openWithoutLinks(*folder, realFolder, lexical);
        opened = f >= 0;
        return f;
    });
    if (!opened) {
        struct stat st {};
        if (realFolder.empty() || ::stat(realFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return notFound(); // nothing to serve

        // The library hands over the decoded path.
        RequestPath::Answer answer = RequestPath::resolve(*folder, realFolder, url);
        switch (answer.where) {
        case RequestPath::Where::Outside:
            return queueStatic(connection, MHD_HTTP_FORBIDDEN, kAccessDenied);
        case RequestPath::Where::Missing:
            return notFound();
        case RequestPath::Where::Inside:
            break;
        }
        lexical = std::move(answer.lexical);
        openAndMeasure([&] {
            return ::open(answer.real.c_str(),
                          O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        });
    }
    if (fd < 0 && folderAsked && folderIndex) {
        std::string index = url;
        while (!index.empty() && index.back() == '/')
            index.pop_back();
        index += "/index.html";
        return serveFile(connection, index.c_str(), false, false);
    }
    if (fd < 0)
        return notFound();
    if (isPrivateFile(fs, *privateCopy)) {
        ::close(fd);
        return queueStatic(connection, MHD_HTTP_NOT_FOUND, kNotFound);
    }
    const off_t size = fs.st_size;

    const std::string& type = mimeTypes_.typeForPath(lexical);
    if (size <= SmallFileCache::MaxFileBytes) {
        // A small file (the web image) goes out with its headers in one write, from memory.
        const std::shared_ptr<const SmallFileCache::Body> body = smallFiles_.body(fd, fs, type);
        ::close(fd);
        if (!body)
            return MHD_NO;
        return MHD_queue_response(connection, MHD_HTTP_OK, body->response());
    }
    MHD_Response* r = MHD_create_response_from_fd64(uint64_t(size), fd); // owns fd from here
    if (!r) {
        ::close(fd);
        return MHD_NO;
    }
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, type.c_str());
    const MHD_Result result = MHD_queue_response(connection, MHD_HTTP_OK, r);
    MHD_destroy_response(r);
    return result;
}
