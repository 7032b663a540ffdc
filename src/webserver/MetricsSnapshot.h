#pragma once
// The last reading and the monitor's counters for the /metrics page, in the Prometheus text
// exposition format 0.0.4. The pipeline writes it on the user-interface thread; request threads
// render it; a mutex keeps each render to one consistent reading. A reading that did not read
// the line shows no values at all: its zeros are no measurement.
#include "core/LineReading.h"
#include "monitor/MonitorState.h"
#include "monitor/RouterStatus.h"

#include <QString>
#include <mutex>
#include <optional>
#include <string>

class MetricsSnapshot {
public:
    // A plotted reading, read or not. user1Index and user2Index are the quantities chosen for the
    // two user graphs (0 maximum data rate, 1 line attenuation, any other signal attenuation).
    void recordReading(const LineReading& reading, int user1Index, int user2Index);
    void setMonitorState(MonitorState state);
    // The line counts as up or down only while the router is read.
    void setRouterStatus(RouterStatus status);
    // The router's state as the status bar says it ("Not responding since 10:31:05"), for the
    // state line of /status.json.
    void setRouterText(const QString& text);

    std::string render() const;

    // What the snapshot holds, for the other pages that show it.
    struct State {
        std::optional<LineReading> last;     // the last plotted reading
        std::optional<LineReading> lastRead; // the last one that read the line
        int user1Index = 0, user2Index = 1;
        quint64 samples = 0;
        quint64 lostConnections = 0;
        MonitorState monitorState = MonitorState::NotStarted;
        RouterStatus routerStatus = RouterStatus::Connecting;
        QString routerText;
        quint64 version = 0; // counts the changes, so that a page made from one can be kept

        // The last reading's values, when it read the line.
        const LineReading* values() const { return last && last->isRead() ? &*last : nullptr; }
        // Whether the line is up now: known only while the router is read, and from the last
        // reading only when that read it.
        std::optional<bool> lineUp() const;
    };
    State state() const;
    quint64 version() const;

private:
    mutable std::mutex mutex_;
    State state_;
};
