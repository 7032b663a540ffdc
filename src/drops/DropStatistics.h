#pragma once
// What the drop record says in numbers: drops and time lost today, in the last 7 and 30 days,
// the longest drop and the mean time between drops of the last 30 days, and the drops of each of
// those 30 days. Every event counts as a drop; time lost is the time the line was seen without
// sync.
#include "drops/DropEvent.h"

#include <QDateTime>
#include <array>
#include <optional>
#include <vector>

struct DropSummary {
    struct Window {
        int count = 0;
        qint64 secondsLost = 0;
        bool operator==(const Window&) const = default;
    };
    Window today, week, month;        // since local midnight, the last 7 days, the last 30 days
    std::optional<DropEvent> longest; // of the last 30 days, by time lost
    qint64 meanSecondsBetween = -1;   // between starts in the last 30 days; -1: fewer than 2
    std::array<int, 30> perDay{};     // [29] today, [28] yesterday, ... by local start date

    static DropSummary of(const std::vector<DropEvent>& events, const QDateTime& now);

    // The summary in a few sentences, for the Line Drops window: each window's drops and time
    // lost on one line, the longest drop and the mean time between drops on the next.
    QString text() const;

    // "45 s", "12 min 5 s", "3 h 10 min", "2 d 4 h": a duration for the summary lines.
    static QString durationText(qint64 seconds);
};
