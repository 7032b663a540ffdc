#pragma once
// What the drop record says in numbers: drops and time lost today, in the last 7 and 30 days,
// the longest drop and the mean time between drops of the last 30 days, and the drops of each of
// those 30 days. Drops, retrains and restarts count; a time the router was not read does not.
// Time lost is a range: at least what readings without sync saw, at most what the watched time
// leaves possible.
#include "drops/DropEvent.h"

#include <QDateTime>
#include <array>
#include <optional>
#include <vector>

struct DropSummary {
    struct Window {
        int count = 0;
        qint64 lostMinSeconds = 0, lostMaxSeconds = 0;
        bool operator==(const Window&) const = default;
    };
    Window today, week, month;        // since local midnight, the last 7 days, the last 30 days
    std::optional<DropEvent> longest; // the drop (kind drop only) of the last 30 days lost longest
    qint64 meanSecondsBetween = -1;   // between starts in the last 30 days; -1: fewer than 2
    std::array<int, 30> perDay{};     // [29] today, [28] yesterday, ... by local start date
    int unreadPeriods = 0;            // times the router was not read, last 30 days
    bool fromHistory = false;         // some event of the last 30 days was filled from history

    static DropSummary of(const std::vector<DropEvent>& events, const QDateTime& now);

    // The summary in a few sentences, for the Line Drops window: each window's drops and time
    // lost on one line, the longest drop, the mean time between drops and the times the router
    // was not read on the next.
    QString text() const;

    // "45 s", "12 min 5 s", "3 h 10 min", "2 d 4 h": a duration for the summary lines.
    static QString durationText(qint64 seconds);
    // A range of time: "about 1 min 0 s" where both ends agree, else "between 40 s and 1 min 20 s".
    static QString rangeText(qint64 minSeconds, qint64 maxSeconds);
    // What the window, the report and the live page say of an event's length: a drop's time
    // lost as a range, "between 10:30:05 and 10:30:15" for a retrain or restart, "not read for
    // about 45 s" for no_reading.
    static QString lengthText(const DropEvent& e);
    // "Drop", ..., "Router not read (router not responding)": the kind, with why the router was
    // not read.
    static QString kindText(const DropEvent& e);
    // Why an event filled from the data file's history or recorded by an earlier version may
    // say more than happened; empty for one seen live.
    static QString sourceNote(DropEvent::Source source);
    // A time as the summary and report show it, "2026-03-29 01:30:00", with its offset
    // ("+01:00") where its day has a repeated or missing hour.
    static QString timeText(const QDateTime& time);
};
