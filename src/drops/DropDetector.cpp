#include "drops/DropDetector.h"

#include <algorithm>
#include <cmath>

namespace {

using RS = LineReading::State;

// A wall clock that disagrees with the steady one by more than this across two readings was set.
constexpr qint64 kClockStepMs = 2000;

// The time to the second, as the record writes it: the event kept in memory for the summary,
// the window and the report is then the one the file reads back.
DropSide sideOf(const DropDetector::Point& p) {
    return {localSecond(p.ms), p.noiseMarginUp, p.noiseMarginDown, p.rateUp, p.rateDown};
}

QDateTime timeOf(qint64 ms) {
    return localSecond(ms);
}

qint64 seconds(qint64 ms) {
    return (ms + 500) / 1000;
}

} // namespace

DropDetector::Point DropDetector::pointOf(const LineReading& r) {
    Point p;
    p.ms = r.time.toMSecsSinceEpoch();
    p.steadyMs = r.steadyMs;
    p.state = r.state;
    p.why = r.why;
    // An unread reading's zeros are no values of the line.
    if (r.isRead()) {
        p.noiseMarginUp = r.sample.NoiseMarginUp;
        p.noiseMarginDown = r.sample.NoiseMarginDown;
        p.rateUp = r.sample.DataRateUp;
        p.rateDown = r.sample.DataRateDown;
        p.uptimeSeconds = r.uptimeSeconds;
    }
    return p;
}

void DropDetector::resume(State state) {
    state_ = std::move(state);
    state_.earlierRun = true;
}

// The earlier run's times were wall times: the first live reading puts them on the steady
// clock, the time between the two runs (never negative) as the gap.
void DropDetector::rebase(const Point& first) {
    state_.earlierRun = false;
    if (!state_.last)
        return;
    const qint64 gap = std::max<qint64>(0, first.ms - state_.last->ms);
    const qint64 shift = first.steadyMs - gap - state_.last->steadyMs;
    for (std::optional<Point>* p : {&state_.lastGood, &state_.last})
        if (*p)
            (*p)->steadyMs += shift;
    state_.lastUptimeSteadyMs += shift;
}

// The time between two readings in a row: watched when it is not much longer than the interval
// (a page a little late), otherwise nobody watched it (a pause, the program closed, the computer
// asleep) and it is unknown; watched time between two readings without sync is lost, next to an
// unread one unknown. A wall clock that moved otherwise than the steady one was set.
void DropDetector::step(const Point& from, const Point& to) {
    const qint64 elapsed = std::max<qint64>(0, to.steadyMs - from.steadyMs);
    const qint64 interval = qint64(intervalSeconds_) * 1000;
    if (elapsed * 2 > interval * 3 || from.state == RS::NotRead || to.state == RS::NotRead) {
        state_.unknownMs += elapsed;
    } else if (from.state == RS::NoSync && to.state == RS::NoSync) {
        state_.lostMinMs += elapsed;
        seenDownMs_ += elapsed;
    }
    const qint64 wallStep = (to.ms - from.ms) - elapsed;
    if (std::abs(wallStep) > kClockStepMs)
        state_.clockStepMs += wallStep;
}

// A router restart: an uptime smaller than the last one plus the time that passed, less a slack
// for the page's own delay. An uptime that is not known says nothing.
void DropDetector::checkUptime(const Point& p) {
    if (p.uptimeSeconds < 0)
        return;
    if (state_.lastUptimeSeconds >= 0) {
        const qint64 passed = std::max<qint64>(0, p.steadyMs - state_.lastUptimeSteadyMs) / 1000;
        if (p.uptimeSeconds < state_.lastUptimeSeconds + passed - restartSlackSeconds(passed))
            state_.restarted = true;
    }
    state_.lastUptimeSeconds = p.uptimeSeconds;
    state_.lastUptimeSteadyMs = p.steadyMs;
}

std::vector<DropEvent> DropDetector::feed(const Point& p) {
    QStringList images;
    images.swap(pending_);
    if (state_.earlierRun)
        rebase(p);
    if (state_.last)
        step(*state_.last, p);
    state_.last = p;
    if (!state_.lastGood) {
        // Nothing to measure from before the first reading with sync.
        state_.unknownMs = state_.lostMinMs = state_.clockStepMs = 0;
        if (p.state == RS::Synced) {
            state_.lastGood = p;
            checkUptime(p);
            state_.restarted = false;
        }
        return {};
    }
    checkUptime(p);
    switch (p.state) {
    case RS::NoSync:
        if (state_.noSync++ == 0)
            state_.firstNoSyncMs = p.ms;
        state_.lastNoSyncMs = p.ms;
        state_.lastNoSync = p;
        // The silence before this reading was inside the drop after all.
        if (state_.trailingUnread > 0 && state_.why == LineReading::Why::None)
            state_.why = state_.trailingWhy;
        state_.trailingUnread = 0;
        state_.images += images;
        return {};
    case RS::NotRead:
        if (state_.noSync > 0 && state_.trailingUnread++ == 0) {
            state_.firstTrailingMs = p.ms;
            state_.trailingWhy = p.why;
        }
        if (state_.unread++ == 0)
            state_.firstUnreadMs = p.ms;
        // The reason the stretch's unread time began with; a silence after the drop's last
        // reading without sync keeps its own.
        if (state_.noSync == 0 && state_.why == LineReading::Why::None)
            state_.why = p.why;
        state_.lastUnreadMs = p.ms;
        state_.images += images;
        return {};
    case RS::Synced:
        break;
    }
    state_.images += images;
    return close(p);
}

std::vector<DropEvent> DropDetector::close(const Point& good) {
    const Point before = *state_.lastGood;
    // Rates are fixed for the life of a connection: new ones mean it was made again.
    const bool newRates = good.rateUp != before.rateUp || good.rateDown != before.rateDown;
    // The line stayed up between two readings, as it does nearly always: nothing to tell, and
    // nothing to build.
    if (state_.noSync == 0 && state_.unread == 0 && !state_.restarted && !newRates) {
        state_.lastGood = good;
        state_.unknownMs = state_.clockStepMs = 0;
        state_.fromHistory = false;
        state_.images.clear();
        return {};
    }
    DropEvent base;
    base.before = sideOf(before);
    base.after = sideOf(good);
    base.samplesDown = state_.noSync;
    base.samplesUnread = state_.unread;
    base.durationSeconds = seconds(std::max<qint64>(0, good.steadyMs - before.steadyMs));
    base.unknownSeconds = std::min(base.durationSeconds, seconds(state_.unknownMs));
    base.clockStepSeconds =
        state_.clockStepMs >= 0 ? seconds(state_.clockStepMs) : -seconds(-state_.clockStepMs);
    base.why = state_.unread > 0 ? state_.why : LineReading::Why::None;
    base.source =
        fromHistory_ || state_.fromHistory ? DropEvent::Source::History : DropEvent::Source::Live;
    // No reading saw it: it lies anywhere between the two readings with sync.
    base.startLatest = base.after.time;
    base.endEarliest = base.before.time;

    std::vector<DropEvent> events;
    if (state_.noSync > 0) {
        DropEvent e = base;
        e.kind = state_.restarted ? DropEvent::Kind::RouterRestart : DropEvent::Kind::Drop;
        e.startLatest = timeOf(state_.firstNoSyncMs);
        e.endEarliest = timeOf(state_.lastNoSyncMs);
        e.lostMinSeconds = std::min(seconds(state_.lostMinMs), e.durationSeconds);
        e.lostMaxSeconds = std::max(e.lostMinSeconds, e.durationSeconds - e.unknownSeconds);
        e.samplesUnread = state_.unread - state_.trailingUnread;
        e.why = e.samplesUnread > 0 ? state_.why : LineReading::Why::None;
        events.push_back(std::move(e));
        // The router fell silent after the drop's last reading without sync: when the line came
        // back in that silence nobody can say, and the silence is told for what it was.
        if (state_.trailingUnread > 0 && state_.lastNoSync) {
            DropEvent silence = base;
            silence.kind = DropEvent::Kind::NoReading;
            silence.before = sideOf(*state_.lastNoSync);
            silence.samplesDown = 0;
            silence.samplesUnread = state_.trailingUnread;
            silence.durationSeconds =
                seconds(std::max<qint64>(0, good.steadyMs - state_.lastNoSync->steadyMs));
            silence.unknownSeconds = silence.durationSeconds;
            silence.startLatest = timeOf(state_.firstTrailingMs);
            silence.endEarliest = timeOf(state_.lastUnreadMs);
            silence.why = state_.trailingWhy;
            silence.clockStepSeconds = 0;
            events.push_back(std::move(silence));
        }
    } else {
        if (state_.unread > 0) {
            DropEvent e = base;
            e.kind = DropEvent::Kind::NoReading;
            e.startLatest = timeOf(state_.firstUnreadMs);
            e.endEarliest = timeOf(state_.lastUnreadMs);
            e.why = state_.why;
            events.push_back(std::move(e));
        }
        std::optional<DropEvent::Kind> kind;
        if (state_.restarted)
            kind = DropEvent::Kind::RouterRestart;
        else if (newRates)
            kind = DropEvent::Kind::Retrain;
        if (kind) {
            DropEvent e = base;
            e.kind = *kind;
            events.push_back(std::move(e));
        }
    }
    // The images belong to the first event: the drop, or the silence the line came back from.
    if (!events.empty())
        events.front().images = std::move(state_.images);

    state_.lastGood = good;
    state_.noSync = state_.unread = 0;
    state_.firstNoSyncMs = state_.lastNoSyncMs = state_.firstUnreadMs = state_.lastUnreadMs = 0;
    state_.lostMinMs = state_.unknownMs = state_.clockStepMs = 0;
    state_.restarted = false;
    state_.why = LineReading::Why::None;
    state_.lastNoSync.reset();
    state_.trailingUnread = 0;
    state_.firstTrailingMs = 0;
    state_.trailingWhy = LineReading::Why::None;
    state_.fromHistory = false;
    state_.images.clear();
    return events;
}
