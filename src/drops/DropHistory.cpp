#include "drops/DropHistory.h"

#include "drops/LabelDates.h"
#include "storage/DataRestoreFile.h"

#include <QDate>
#include <QFileInfo>
#include <QTimeZone>
#include <unordered_map>

namespace {

// Milliseconds since the epoch of a local date and time of day. One Qt conversion per day: a
// day whose offset does not change keeps it, the rare day with a clock change converts exactly.
class LocalToEpoch {
public:
    qint64 ms(qint64 julianDay, int secondOfDay) {
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
        return QDateTime(QDate::fromJulianDay(julianDay), QTime(0, 0).addSecs(secondOfDay))
            .toMSecsSinceEpoch();
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
    LocalToEpoch epoch;
    for (qsizetype i = 0; i < n; ++i) {
        const Line& l = lines_[size_t(i)];
        DropDetector::Point p;
        p.ms = epoch.ms(julian[size_t(i)], l.secondOfDay);
        p.sync = l.sync;
        p.noiseMarginUp = l.noiseMarginUp;
        p.noiseMarginDown = l.noiseMarginDown;
        p.rateUp = l.rateUp;
        p.rateDown = l.rateDown;
        if (std::optional<DropEvent> e = detector.feed(p))
            result.events.push_back(std::move(*e));
    }
    result.state = detector.state();
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
