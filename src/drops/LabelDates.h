#pragma once
// Dates for the graphs' point labels and the data-restore file's lines, which carry the time of
// day (and, with the date stamp, the day of the month) but no date. They are dated going back
// from the newest one's time: a day back each time the clock goes backwards in reading order
// (none where the day of the month says it is still the same day: the clock was set back), more
// days where a day of the month says so.
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class LabelDates {
public:
    // newest: when the newest label was written (a minute's leeway is allowed for a clock that
    // the file system rounds).
    explicit LabelDates(const QDateTime& newest);
    // The Julian day of the next label, the labels given newest first.
    qint64 olderDay(int secondOfDay, int dayOfMonth);

    // Seconds since midnight of a label's time of day ("Tue 08 \r14:23:05 " or " 14:23:05 "),
    // and its day of the month (0 when the label has none, or none from 1 to 31); false when it
    // holds no time.
    static bool labelTime(QStringView label, int& secondOfDay, int& dayOfMonth);

    // The newest of count points whose time is at or before t, their labels read newest first
    // through labelAt; nullopt when every point is later than t or none has a time.
    static std::optional<qsizetype>
    pointAtOrBefore(qsizetype count, const std::function<QString(qsizetype)>& labelAt,
                    const QDateTime& newest, const QDateTime& t);

private:
    qint64 day_;
    int newestSecond_;
    int previousSecond_ = -1;
};
