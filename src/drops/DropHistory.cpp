#include "drops/DropHistory.h"

#include "storage/DataRestoreFile.h"

#include <QDate>
#include <QFileInfo>
#include <QTimeZone>
#include <unordered_map>

namespace {

int twoDigits(QStringView s, qsizetype i) {
    if (i + 2 > s.size() || !s[i].isDigit() || !s[i + 1].isDigit())
        return -1;
    return (s[i].unicode() - '0') * 10 + (s[i + 1].unicode() - '0');
}

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

bool DropHistory::labelTime(QStringView label, int& secondOfDay, int& dayOfMonth) {
    dayOfMonth = 0;
    QStringView time = label;
    const qsizetype cr = label.indexOf(QLatin1Char('\r'));
    if (cr >= 0) {
        // " ddd dd ": the day of the month is the last word before the line break.
        QStringView day = label.first(cr).trimmed();
        const qsizetype blank = day.lastIndexOf(QLatin1Char(' '));
        day = day.sliced(blank + 1);
        if (day.size() == 2)
            dayOfMonth = qMax(0, twoDigits(day, 0));
        else if (day.size() == 1 && day[0].isDigit())
            dayOfMonth = day[0].unicode() - '0';
        time = label.sliced(cr + 1);
    }
    time = time.trimmed();
    if (time.size() != 8 || time[2] != QLatin1Char(':') || time[5] != QLatin1Char(':'))
        return false;
    const int h = twoDigits(time, 0), m = twoDigits(time, 3), s = twoDigits(time, 6);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return false;
    secondOfDay = h * 3600 + m * 60 + s;
    return true;
}

void DropHistory::add(const QString& label, const LineSample& s) {
    int second = 0, day = 0;
    if (!labelTime(label, second, day))
        return; // a line without a time cannot be placed; its neighbours still can
    lines_.push_back({second, day, s.hasSync(), s.NoiseMarginUp, s.NoiseMarginDown, s.DataRateUp,
                      s.DataRateDown});
}

DropHistory::Result DropHistory::finish(const QDateTime& lastWrite, int intervalSeconds) const {
    Result result;
    const qsizetype n = qsizetype(lines_.size());
    if (n == 0)
        return result;

    // Dates, newest first: the last line was written at lastWrite (allowing a minute for a clock
    // that the file system rounds); each earlier line lies less than a day before the next one
    // unless its day of the month says otherwise.
    std::vector<qint64> julian(static_cast<size_t>(n));
    const int writeSecond = lastWrite.time().msecsSinceStartOfDay() / 1000;
    qint64 day = lastWrite.date().toJulianDay();
    if (lines_[n - 1].secondOfDay > writeSecond + 60)
        --day;
    for (qsizetype i = n - 1; i >= 0; --i) {
        if (i < n - 1 && lines_[i].secondOfDay > lines_[i + 1].secondOfDay)
            --day;
        const int dom = lines_[i].dayOfMonth;
        for (int back = 0; dom > 0 && back < 62 && QDate::fromJulianDay(day).day() != dom; ++back)
            --day;
        julian[size_t(i)] = day;
    }

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
