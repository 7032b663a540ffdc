#include "drops/DropDetector.h"

#include <algorithm>

namespace {

// The time to the second, as the record writes it: the event kept in memory for the summary,
// the window and the report is then the one the file reads back, and every view of it counts the
// same seconds.
DropSide sideOf(const DropDetector::Point& p) {
    return {QDateTime::fromSecsSinceEpoch(p.ms / 1000), p.noiseMarginUp, p.noiseMarginDown,
            p.rateUp, p.rateDown};
}

} // namespace

int DropDetector::uncertaintySeconds(qint64 gapMs) const {
    // Samples late by a moment keep the interval; a gap half as long again means sampling stopped
    // there, and the line may have changed anywhere in it.
    if (gapMs * 2 <= qint64(intervalSeconds_) * 3000)
        return intervalSeconds_;
    return int((gapMs + 999) / 1000);
}

DropDetector::Point DropDetector::pointOf(const QDateTime& time, const LineSample& s) {
    Point p;
    p.ms = time.toMSecsSinceEpoch();
    p.sync = s.hasSync();
    p.noiseMarginUp = s.NoiseMarginUp;
    p.noiseMarginDown = s.NoiseMarginDown;
    p.rateUp = s.DataRateUp;
    p.rateDown = s.DataRateDown;
    p.uptimeSeconds = LineSample::uptimeSeconds(s.UptimeDisplay);
    return p;
}

std::optional<DropEvent> DropDetector::feed(const Point& p) {
    QStringList images;
    images.swap(pending_);
    if (!p.sync) {
        if (state_.inDrop) {
            ++state_.samplesDown;
            state_.lastDownMs = p.ms;
            state_.images += images;
        } else if (state_.lastGood) {
            state_.inDrop = true;
            state_.samplesDown = 1;
            state_.firstDownMs = state_.lastDownMs = p.ms;
            state_.images = std::move(images);
        }
        return std::nullopt;
    }

    std::optional<DropEvent> event;
    if (state_.lastGood) {
        const Point& before = *state_.lastGood;
        const bool restarted = p.uptimeSeconds >= 0 && state_.lastUptimeSeconds >= 0 &&
                               p.uptimeSeconds < state_.lastUptimeSeconds;
        // Rates are fixed for the life of a connection: new ones mean it was made again.
        const bool newRates = p.rateUp != before.rateUp || p.rateDown != before.rateDown;
        std::optional<DropEvent::Kind> kind;
        if (restarted)
            kind = DropEvent::Kind::RouterRestart;
        else if (state_.inDrop)
            kind = DropEvent::Kind::Drop;
        else if (newRates)
            kind = DropEvent::Kind::Retrain;
        if (kind) {
            event.emplace();
            event->kind = *kind;
            event->before = sideOf(before);
            event->after = sideOf(p);
            event->samplesDown = state_.inDrop ? state_.samplesDown : 0;
            // Where the event lay is known to within the gaps between the samples around its
            // edges.
            event->intervalSeconds = uncertaintySeconds(
                state_.inDrop ? std::max(state_.firstDownMs - before.ms, p.ms - state_.lastDownMs)
                              : p.ms - before.ms);
            event->images = std::move(state_.images);
        }
    }
    state_.lastGood = p;
    if (p.uptimeSeconds >= 0)
        state_.lastUptimeSeconds = p.uptimeSeconds;
    state_.inDrop = false;
    state_.samplesDown = 0;
    state_.images.clear();
    return event;
}
