#include "webserver/ConnectionDeadlines.h"

#include <sys/socket.h>

ConnectionDeadlines::~ConnectionDeadlines() {
    stop();
}

void ConnectionDeadlines::start() {
    stop();
    {
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }
    thread_ = std::thread([this] { run(); });
}

void ConnectionDeadlines::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    std::lock_guard lock(mutex_);
    entries_.clear();
    sleepingUntil_.reset();
}

void ConnectionDeadlines::opened(const void* key, int fd, Clock::time_point deadline) {
    std::lock_guard lock(mutex_);
    entries_[key] = Entry{fd, deadline};
    wakeIfSooner(deadline);
}

void ConnectionDeadlines::requestIn(const void* key) {
    std::lock_guard lock(mutex_);
    if (const auto it = entries_.find(key); it != entries_.end())
        it->second.deadline.reset();
}

void ConnectionDeadlines::due(const void* key, Clock::time_point deadline) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end())
        return;
    if (!it->second.deadline || deadline < *it->second.deadline) {
        it->second.deadline = deadline;
        wakeIfSooner(deadline);
    }
}

void ConnectionDeadlines::closed(const void* key) {
    std::lock_guard lock(mutex_);
    entries_.erase(key);
}

// Called with the mutex held.
void ConnectionDeadlines::wakeIfSooner(Clock::time_point deadline) {
    if (!sleepingUntil_ || deadline < *sleepingUntil_)
        wake_.notify_one();
}

void ConnectionDeadlines::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const Clock::time_point now = Clock::now();
        std::optional<Clock::time_point> next;
        for (auto& [key, entry] : entries_) {
            if (!entry.deadline)
                continue;
            if (*entry.deadline <= now) {
                // The library sees the end at once and closes the connection itself. The socket
                // is still open: closed() waits for this lock before the library closes it.
                ::shutdown(entry.fd, SHUT_RDWR);
                entry.deadline.reset();
            } else if (!next || *entry.deadline < *next) {
                next = entry.deadline;
            }
        }
        sleepingUntil_ = next;
        if (next)
            wake_.wait_until(lock, *next);
        else
            wake_.wait(lock);
        sleepingUntil_.reset();
    }
}
