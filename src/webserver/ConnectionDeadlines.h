#pragma once
// The web server's deadlines for requests: each open connection has a time by which its request
// must be in, and a thread of its own closes the connections that pass theirs. The library's own
// timeout only counts silence and starts again with every byte, so a client sending a byte now
// and then would otherwise hold a connection for as long as it liked.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

class ConnectionDeadlines {
public:
    using Clock = std::chrono::steady_clock;

    ConnectionDeadlines() = default;
    ~ConnectionDeadlines();
    ConnectionDeadlines(const ConnectionDeadlines&) = delete;
    ConnectionDeadlines& operator=(const ConnectionDeadlines&) = delete;

    // Starts and stops the closing thread; stop forgets every connection.
    void start();
    void stop();

    // A connection (key) on socket fd opened; its request is due by deadline.
    void opened(const void* key, int fd, Clock::time_point deadline);
    // Its request is in: nothing is due until the next one begins.
    void requestIn(const void* key);
    // A request may begin; it is due by deadline, or by the earlier time already set.
    void due(const void* key, Clock::time_point deadline);
    // The library is closing the connection: its socket is not touched from here on. Called
    // before the socket is closed, so a socket number is never shut down after its reuse.
    void closed(const void* key);

private:
    struct Entry {
        int fd = -1;
        std::optional<Clock::time_point> deadline;
    };
    void run();
    void wakeIfSooner(Clock::time_point deadline);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::unordered_map<const void*, Entry> entries_;
    std::optional<Clock::time_point> sleepingUntil_; // what the thread waits for; none: a change
    bool stopping_ = false;
    std::thread thread_;
};
