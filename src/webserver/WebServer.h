#pragma once
// The built-in HTTP server on libmicrohttpd: serves the files of the web folder (regular files
// only, never anything outside the folder), the two error pages and, when given a snapshot,
// /metrics. Requests run on the library's threads; start, stop and the folder change run on the
// user-interface thread.
#include "drops/DropsBoard.h"
#include "webserver/ConnectionDeadlines.h"
#include "webserver/MimeTypeTable.h"
#include "webserver/SmallFileCache.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct MHD_Daemon;
struct MHD_Connection;
class Clock;
class MetricsSnapshot;
class GeneratedPage;

class WebServer {
public:
    enum class Threading {
        ThreadPerConnection, // one thread per connection, as the library's classic mode
        ThreadPool,          // internal epoll with a small pool of threads
    };
    struct Options {
        Threading threading = Threading::ThreadPool;
        unsigned poolThreads = 2;
        // Several clients at their per-address limit still fit; the epoll mode has no
        // descriptor ceiling, and start() raises the process's descriptor limit to match.
        unsigned connectionLimit = 1024;
        // One address (a stuck or hostile client) cannot take the whole server.
        unsigned perAddressLimit = 32;
        unsigned connectionTimeoutSeconds = 30; // idle keep-alive and slow readers of an answer
        // A request (line, headers and any body) must keep arriving: a connection that falls
        // silent this long in the middle of one is closed. Nor may it take longer in all, from
        // the connection's start (on a kept connection, from the end of the idle wait after the
        // last answer): a connection whose request is not in by then is closed however steadily
        // its bytes trickle in.
        unsigned requestTimeoutSeconds = 10;
        const Clock* fileClock = nullptr; // the real time file times are compared with
    };

    explicit WebServer(const MetricsSnapshot* metrics = nullptr);
    WebServer(const MetricsSnapshot* metrics, Options options);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Listens on address (empty: every IPv4 address) and port (1 to 65535). On failure the
    // server stays off and error gets the reason ("Address already in use", ...).
    [[nodiscard]] bool start(const QString& address, int port, QString* error = nullptr);
    // Stops listening, ends open connections and waits for running handlers.
    void stop();
    bool isActive() const { return daemon_ != nullptr; }

    // The folder served. Empty, or not an existing folder: every request gets 404.
    void setWebFolder(const QString& folder);
    QString webFolder() const;
    // Files never served whatever the folder holds (the settings, the instance lock): a request
    // that leads to one of them, by any name or link, gets 404. Compared by the file itself when
    // asked for, so a file replaced under its name since stays private.
    void setPrivateFiles(const QStringList& paths);

    // True while a request has the file open and is measuring it; the pipeline skips the web
    // image then. A count, so overlapping requests cannot clear each other's mark.
    bool imageBusy() const { return busy_.load(std::memory_order_acquire) > 0; }

    const MimeTypeTable& mimeTypes() const { return mimeTypes_; }

    // The drop record, for /status.json, /drops.csv and the drop counters on /metrics; none: the
    // pages show no drops and /drops.csv is looked up in the folder. Set it before start.
    void setDropsBoard(const DropsBoard* board) { drops_.store(board, std::memory_order_release); }

    static const char* notFoundPage();
    static const char* accessDeniedPage();

private:
    friend struct WebServerCallbacks;
    int handle(MHD_Connection* connection, const char* url, const char* method, void** state);
    // A folder request serves the folder's index.html; with livePageIfMissing, a missing file
    // gets the built-in live page instead of 404.
    int serveFile(MHD_Connection* connection, const char* url, bool livePageIfMissing = false,
                  bool folderIndex = true);
    int serveGenerated(MHD_Connection* connection, std::string body, const char* type);
    int serveKept(MHD_Connection* connection, const std::shared_ptr<const GeneratedPage>& page);
    // /status.json and /drops.csv are made once per change of what they show, then kept.
    std::shared_ptr<const GeneratedPage> statusPage(const DropsBoard* drops);
    std::shared_ptr<const GeneratedPage> csvPage(const DropsBoard& drops);

    const MetricsSnapshot* metrics_;
    std::atomic<const DropsBoard*> drops_{nullptr};
    struct KeptPage {
        quint64 metricsVersion = 0;
        // Held, so that its address cannot come back for another content.
        std::shared_ptr<const DropsBoard::Content> dropsContent;
        std::shared_ptr<const GeneratedPage> page;
    };
    std::mutex keptMutex_;
    KeptPage status_, csv_;
    Options options_;
    const MimeTypeTable mimeTypes_;
    SmallFileCache smallFiles_;
    MHD_Daemon* daemon_ = nullptr;
    std::atomic<int> busy_{0};
    mutable std::mutex folderMutex_;
    struct Folder {
        std::string path; // encoded, absolute and clean; empty: none
        std::string real; // links resolved when set; empty when it did not exist then
    };
    std::shared_ptr<const Folder> folder_;
    QString folderText_;
    // Encoded paths; read under folderMutex_ like the folder.
    std::shared_ptr<const std::vector<std::string>> privateFiles_ =
        std::make_shared<std::vector<std::string>>();
    ConnectionDeadlines deadlines_;
};
