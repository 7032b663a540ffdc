#pragma once
// Finds the drops, retrains and router restarts in the stream of plotted samples. A drop begins
// with the first sample without sync after one with sync and ends with the next sample with sync;
// two samples with sync in a row whose sync rates differ make a retrain, a router uptime that went
// back a router restart (also when samples without sync came between).
#include "core/LineSample.h"
#include "drops/DropEvent.h"

#include <QDateTime>
#include <QStringList>
#include <optional>

class DropDetector {
public:
    // What the detector needs of a sample; the time in milliseconds since the epoch, so that a
    // month of history is read without a local-time conversion per line.
    struct Point {
        qint64 ms = 0;
        bool sync = false;
        double noiseMarginUp = 0, noiseMarginDown = 0, rateUp = 0, rateDown = 0;
        qint64 uptimeSeconds = -1; // -1: not known
    };
    static Point pointOf(const QDateTime& time, const LineSample& sample);

    // Where the detector stands: the last sample with sync and whether a drop is in progress.
    struct State {
        std::optional<Point> lastGood;
        qint64 lastUptimeSeconds = -1;
        bool inDrop = false;
        int samplesDown = 0;
        qint64 firstDownMs = 0, lastDownMs = 0; // the drop's first and last samples without sync
        QStringList images;
    };

    explicit DropDetector(int intervalSeconds = 30) : intervalSeconds_(intervalSeconds) {}
    // The sample interval now in force; each event keeps the one at its end as its uncertainty,
    // or the longer gap beside it when sampling stopped there (a pause, the program closed).
    void setIntervalSeconds(int seconds) { intervalSeconds_ = seconds; }

    // A plotted sample; returns the event it ends, if any.
    std::optional<DropEvent> feed(const Point& point);
    std::optional<DropEvent> feed(const QDateTime& time, const LineSample& sample) {
        return feed(pointOf(time, sample));
    }
    // Images captured while the next sample is handled (its captures come before it is fed).
    void addImages(const QStringList& names) { pending_ += names; }

    const State& state() const { return state_; }
    // Goes on from an earlier state (a drop in progress when the program last ended).
    void resume(State state) { state_ = std::move(state); }
    bool inDrop() const { return state_.inDrop; }

private:
    int uncertaintySeconds(qint64 gapMs) const;

    State state_;
    int intervalSeconds_;
    QStringList pending_;
};
