#include "drops/DropHistory.h"

#include "drops/LabelDates.h"
#include "storage/DataRestoreFile.h"

#include <QDate>
#include <QFileInfo>
#include <QTimeZone>
#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace {

// Milliseconds since the epoch of a local date and time of day. One Qt conversion per day: a
// day whose offset does not change keeps it, the rare day with a clock change converts exactly.
// In the hour that summer time's end repeats, `second` picks its second occurrence.
class LocalToEpoch {
public:
    qint64 ms(qint64 julianDay, int secondOfDay, bool second = false) {
        auto it = days_.find(julianDay);
        if (it == days_.end()) {
            const QDate date = QDate::fromJulianDay(julianDay);
            const QDateTime start = date.startOfDay();
            const QDateTime end = QDateTime(date, QTime(23, 59, 59));
            const bool steady =
                start.offsetFromUtc() == end.offsetFromUtc() && start.time() == QTime(0, 0);
            it = days_.emplace(julianDay, Day{steady, start.toMSecsSinceEpoch()}).first;
        }
        if (it->second.steady)
            return it->second.midnightMs + qint64(secondOfDay) * 1000;
        const QDate date = QDate::fromJulianDay(julianDay);
        const QTime time = QTime(0, 0).addSecs(secondOfDay);
        const qint64 given = QDateTime(date, time).toMSecsSinceEpoch();
        // The day's change of offset: a time of day in the hour it repeats stands for two
        // moments, one change apart; the conversion may give either.
        const qint64 change = qint64(std::abs(date.startOfDay().offsetFromUtc() -
                                              QDateTime(date, QTime(23, 59, 59)).offsetFromUtc())) *
                              1000;
        qint64 first = given, last = given;
        for (const qint64 candidate : {given - change, given + change}) {
            const QDateTime t = QDateTime::fromMSecsSinceEpoch(candidate);
            if (change > 0 && t.date() == date && t.time() == time) {
                first = std::min(first, candidate);
                last = std::max(last, candidate);
            }
        }
        return second ? last : first;
    }

private:
    struct Day {
        bool steady;
        qint64 midnightMs;
    };
    std::unordered_map<qint64, Day> days_;
};

} // namespace

void DropHistory::add(const QString& label, const LineSample& s) {
    int second = 0, day = 0;
    if (!LabelDates::labelTime(label, second, day))
        return; // a line without a time cannot be placed; its neighbours still can
    lines_.push_back({second, day, s.hasSync(), s.NoiseMarginUp, s.NoiseMarginDown, s.DataRateUp,
                      s.DataRateDown});
}

DropHistory::Result DropHistory::finish(const QDateTime& lastWrite, int intervalSeconds) const {
    Result result;
    const qsizetype n = qsizetype(lines_.size());
    if (n == 0)
        return result;

    // Dates, newest first: the last line was written at lastWrite.
    std::vector<qint64> julian(static_cast<size_t>(n));
    LabelDates dates(lastWrite);
    for (qsizetype i = n - 1; i >= 0; --i)
        julian[size_t(i)] = dates.olderDay(lines_[i].secondOfDay, lines_[i].dayOfMonth);

    DropDetector detector(intervalSeconds);
    detector.setFromHistory(true);
    LocalToEpoch epoch;
    // Labels that go back within one stamped day: the clock was set back there (summer time
    // ending), and the times of the repeated hour after it are its second occurrence.
    bool wentBack = false;
    for (qsizetype i = 0; i < n; ++i) {
        const Line& l = lines_[size_t(i)];
        if (i > 0 && julian[size_t(i)] != julian[size_t(i - 1)])
            wentBack = false;
        else if (i > 0 && l.dayOfMonth > 0 && l.secondOfDay < lines_[size_t(i - 1)].secondOfDay)
            wentBack = true;
        DropDetector::Point p;
        p.ms = epoch.ms(julian[size_t(i)], l.secondOfDay, wentBack);
        // The history has no steady clock; a clock set back gives no negative duration anyway.
        p.steadyMs = p.ms;
        // Its zeros cannot tell a line without sync from a router that was not read.
        p.state = l.sync ? LineReading::State::Synced : LineReading::State::NoSync;
        p.noiseMarginUp = l.noiseMarginUp;
        p.noiseMarginDown = l.noiseMarginDown;
        p.rateUp = l.rateUp;
        p.rateDown = l.rateDown;
        for (DropEvent& e : detector.feed(p))
            result.events.push_back(std::move(e));
    }
    result.state = detector.state();
    result.state.fromHistory = true;
    if (!lines_.empty())
        result.lastLineMs = result.state.last ? result.state.last->ms : 0;
    return result;
}

bool DropHistory::read(const QString& path, int intervalSeconds, Result& result, QString* error) {
    DropHistory history;
    const bool whole = DataRestoreFile::Restore(
        path, [&history](const QString& label, const LineSample& s) { history.add(label, s); },
        error);
    result = history.finish(QFileInfo(path).lastModified(), intervalSeconds);
    return whole;
}
