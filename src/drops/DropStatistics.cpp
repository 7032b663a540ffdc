#include "drops/DropStatistics.h"

#include <algorithm>

namespace {

// The part of an event's lost time that falls at or after from.
qint64 lostSince(const DropEvent& e, const QDateTime& from) {
    if (e.lostMaxSeconds == 0 || e.after.time <= from)
        return 0;
    const QDateTime start = std::max(e.before.time, from);
    return std::min(e.lostMaxSeconds, start.secsTo(e.after.time));
}

} // namespace

DropSummary DropSummary::of(const std::vector<DropEvent>& events, const QDateTime& now) {
    DropSummary s;
    const QDate today = now.date();
    const QDateTime midnight = today.startOfDay();
    const QDateTime weekAgo = now.addDays(-7);
    const QDateTime monthAgo = now.addDays(-30);
    std::vector<QDateTime> starts;
    for (const DropEvent& e : events) {
        // An event counts in a window when any of it lies there.
        const auto count = [&e](Window& w, const QDateTime& from) {
            if (e.after.time < from)
                return;
            ++w.count;
            w.lostMaxSeconds += lostSince(e, from);
        };
        count(s.today, midnight);
        count(s.week, weekAgo);
        count(s.month, monthAgo);
        if (e.after.time < monthAgo)
            continue;
        starts.push_back(e.before.time);
        if (!s.longest || e.lostMaxSeconds > s.longest->lostMaxSeconds)
            s.longest = e;
        const qint64 daysAgo = e.before.time.date().daysTo(today);
        if (daysAgo >= 0 && daysAgo < 30)
            ++s.perDay[size_t(29 - daysAgo)];
    }
    if (starts.size() >= 2) {
        std::sort(starts.begin(), starts.end());
        s.meanSecondsBetween = starts.front().secsTo(starts.back()) / qint64(starts.size() - 1);
    }
    return s;
}

QString DropSummary::durationText(qint64 seconds) {
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    if (seconds < 86400)
        return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
    return QStringLiteral("%1 d %2 h").arg(seconds / 86400).arg(seconds % 86400 / 3600);
}

namespace {

QString windowText(const char* label, const DropSummary::Window& w) {
    return QStringLiteral("%1: %2 %3, %4 lost.")
        .arg(QLatin1String(label))
        .arg(w.count)
        .arg(w.count == 1 ? QStringLiteral("drop") : QStringLiteral("drops"),
             DropSummary::durationText(w.lostMaxSeconds));
}

} // namespace

QString DropSummary::text() const {
    const QStringList counts = {windowText("Today", today), windowText("Last 7 days", week),
                                windowText("Last 30 days", month)};
    QStringList parts;
    if (longest)
        parts << QStringLiteral("Longest: %1 on %2.")
                     .arg(durationText(longest->durationSeconds),
                          longest->before.time.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (meanSecondsBetween >= 0)
        parts
            << QStringLiteral("Mean time between drops: %1.").arg(durationText(meanSecondsBetween));
    if (parts.isEmpty())
        return counts.join(QStringLiteral("  "));
    return counts.join(QStringLiteral("  ")) + QLatin1Char('\n') + parts.join(QStringLiteral("  "));
}
