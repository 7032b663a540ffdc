#pragma once
// Finds the events of the drop record in the stream of readings. Everything between two readings
// with sync is one stretch: readings without sync in it make a drop, readings that were not read
// (and none without sync) a time the router was not read (as do those after a drop's last reading
// without sync, besides the drop), new sync rates a retrain, an uptime
// that grew less than the time that passed a router restart (also one hidden in a gap). Durations
// and gaps come from the steady clock; the wall clock only labels. Time nobody watched (a gap
// longer than half an interval again) and time the router was not read are unknown, never lost.
#include "core/LineReading.h"
#include "drops/DropEvent.h"

#include <QStringList>
#include <optional>
#include <vector>

class DropDetector {
public:
    // What the detector needs of a reading.
    struct Point {
        qint64 ms = 0;       // wall time, ms since the epoch (a label)
        qint64 steadyMs = 0; // steady time (history: the wall time, the best there is)
        LineReading::State state = LineReading::State::NotRead;
        LineReading::Why why = LineReading::Why::None;
        double noiseMarginUp = 0, noiseMarginDown = 0, rateUp = 0, rateDown = 0;
        qint64 uptimeSeconds = -1; // -1: not known
    };
    static Point pointOf(const LineReading& reading);

    // Where the detector stands: the last reading with sync and what came after it.
    struct State {
        std::optional<Point> lastGood; // the last reading with sync
        std::optional<Point> last;     // the last reading of any state
        // The last reading that showed an uptime, and its uptime.
        qint64 lastUptimeSeconds = -1;
        qint64 lastUptimeSteadyMs = 0;
        // The stretch since lastGood.
        int noSync = 0, unread = 0;
        qint64 firstNoSyncMs = 0, lastNoSyncMs = 0; // wall times
        qint64 firstUnreadMs = 0, lastUnreadMs = 0;
        qint64 lostMinMs = 0, unknownMs = 0, clockStepMs = 0;
        bool restarted = false;
        LineReading::Why why = LineReading::Why::None;
        // Unread readings since the last one without sync: a silence after a drop is told as its
        // own event, the router not read.
        std::optional<Point> lastNoSync;
        int trailingUnread = 0;
        qint64 firstTrailingMs = 0;
        LineReading::Why trailingWhy = LineReading::Why::None;
        bool fromHistory = false; // some of the stretch was read from the data file's history
        // Read back from an earlier run: steady times are its wall times until the first live
        // reading puts them on this run's steady clock.
        bool earlierRun = false;
        QStringList images;

        bool inDrop() const { return lastGood && noSync > 0; }
    };

    explicit DropDetector(int intervalSeconds = 30) : intervalSeconds_(intervalSeconds) {}
    // The sample interval now in force: a gap longer than half as much again is unwatched time.
    void setIntervalSeconds(int seconds) { intervalSeconds_ = seconds; }
    // The readings come from the data file's history: the events are marked so.
    void setFromHistory(bool fromHistory) { fromHistory_ = fromHistory; }

    // A plotted reading; returns the events it ends, oldest first (at most two: a time the
    // router was not read, and a retrain or restart across it).
    std::vector<DropEvent> feed(const Point& point);
    std::vector<DropEvent> feed(const LineReading& reading) { return feed(pointOf(reading)); }
    // Images captured while the next reading is handled: they belong to the event it is part of
    // or ends.
    void addImages(const QStringList& names) { pending_ += names; }

    const State& state() const { return state_; }
    // Goes on from an earlier run's state (read from the history).
    void resume(State state);
    bool inDrop() const { return state_.inDrop(); }
    // Milliseconds seen without sync in this detector's life: between two readings without sync
    // in a row, watched. Never goes down.
    qint64 seenDownMs() const { return seenDownMs_; }

    // The slack of the router-restart test: an uptime may lag the time passed by this much.
    static qint64 restartSlackSeconds(qint64 elapsedSeconds) { return 60 + elapsedSeconds / 50; }

private:
    void step(const Point& from, const Point& to);
    void checkUptime(const Point& p);
    std::vector<DropEvent> close(const Point& good);
    void rebase(const Point& first);

    State state_;
    int intervalSeconds_;
    bool fromHistory_ = false;
    QStringList pending_;
    qint64 seenDownMs_ = 0;
};
