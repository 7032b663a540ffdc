#pragma once
// The last sample and the monitor's counters for the /metrics page, in the Prometheus text
// exposition format 0.0.4. The pipeline writes it on the user-interface thread; request threads
// render it; a mutex keeps each render to one consistent sample.
#include "core/LineSample.h"
#include "monitor/MonitorState.h"
#include "monitor/RouterStatus.h"

#include <QDateTime>
#include <mutex>
#include <string>

class MetricsSnapshot {
public:
    // A plotted sample. user1Index and user2Index are the quantities chosen for the two user
    // graphs (0 maximum data rate, 1 line attenuation, any other signal attenuation).
    void recordSample(const LineSample& sample, int user1Index, int user2Index,
                      const QDateTime& sampleTime);
    void setMonitorState(MonitorState state);
    // The line counts as up only while the router is read.
    void setRouterStatus(RouterStatus status);

    std::string render() const;

    // What the snapshot holds, for the other pages that show it.
    struct State {
        bool hasSample = false;
        LineSample sample;
        int user1Index = 0, user2Index = 1;
        qint64 timestampMs = 0;
        bool lineUp = false;
        quint64 samples = 0;
        quint64 lostConnections = 0;
        MonitorState monitorState = MonitorState::NotStarted;
        RouterStatus routerStatus = RouterStatus::Connecting;
        quint64 version = 0; // counts the changes, so that a page made from one can be kept
    };
    State state() const;
    quint64 version() const;

private:
    mutable std::mutex mutex_;
    State state_;
};
