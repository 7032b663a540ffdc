#pragma once
// The drop record as the web server's request threads read it: the counters since start, the
// summary and the last drops as JSON, and the record file's text. The record publishes a new
// board when it changes; a request takes the current one without waiting for anything else.
#include <QtGlobal>
#include <array>
#include <memory>
#include <mutex>
#include <string>

class DropsBoard {
public:
    struct Content {
        std::array<quint64, 4> eventsSinceStart{}; // by DropEvent::Kind, no_reading last
        double downSecondsSinceStart = 0;          // seen without sync since start: never goes down
        int sampleSeconds = 30;
        bool lineDown = false;            // the last reading of this run was without sync
        qint64 downSinceMs = 0;           // its last sample with sync, ms since the epoch
        std::string summaryJson = "null"; // a JSON object
        std::string lastDropsJson = "[]"; // a JSON array, newest first
        std::string csv;                  // the record file
    };

    std::shared_ptr<const Content> content() const {
        std::lock_guard lock(mutex_);
        return content_;
    }
    void publish(std::shared_ptr<const Content> content) {
        std::lock_guard lock(mutex_);
        content_ = std::move(content);
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const Content> content_ = std::make_shared<Content>();
};
