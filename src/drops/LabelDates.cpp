#include "drops/LabelDates.h"

#include <QDate>

namespace {

int twoDigits(QStringView s, qsizetype i) {
    if (i + 2 > s.size() || !s[i].isDigit() || !s[i + 1].isDigit())
        return -1;
    return (s[i].unicode() - '0') * 10 + (s[i + 1].unicode() - '0');
}

} // namespace

LabelDates::LabelDates(const QDateTime& newest)
    : day_(newest.date().toJulianDay()),
      newestSecond_(newest.time().msecsSinceStartOfDay() / 1000) {}

qint64 LabelDates::olderDay(int secondOfDay, int dayOfMonth) {
    // Going back, a later time of day means an earlier day, unless the label's day of the month
    // is still this one: then the clock was set back (summer time ending, a correction), and
    // taking it for a gap would date everything older a month early.
    const bool sameDayStamped = dayOfMonth > 0 && QDate::fromJulianDay(day_).day() == dayOfMonth;
    if (previousSecond_ < 0) {
        if (secondOfDay > newestSecond_ + 60 && !sameDayStamped)
            --day_;
    } else if (secondOfDay > previousSecond_ && !sameDayStamped) {
        --day_;
    }
    previousSecond_ = secondOfDay;
    for (int back = 0;
         dayOfMonth > 0 && back < 62 && QDate::fromJulianDay(day_).day() != dayOfMonth; ++back)
        --day_;
    return day_;
}

bool LabelDates::labelTime(QStringView label, int& secondOfDay, int& dayOfMonth) {
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
        // A damaged day that no month has would send the dates back two months in search of it.
        if (dayOfMonth > 31)
            dayOfMonth = 0;
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

std::optional<qsizetype>
LabelDates::pointAtOrBefore(qsizetype count, const std::function<QString(qsizetype)>& labelAt,
                            const QDateTime& newest, const QDateTime& t) {
    // Compared as local day and second of the day, as the labels are written.
    const qint64 wantedDay = t.date().toJulianDay();
    const int wantedSecond = t.time().msecsSinceStartOfDay() / 1000;
    LabelDates dates(newest);
    for (qsizetype i = count - 1; i >= 0; --i) {
        int second = 0, dayOfMonth = 0;
        if (!labelTime(labelAt(i), second, dayOfMonth))
            continue; // a point without a time cannot be placed; its neighbours still can
        const qint64 day = dates.olderDay(second, dayOfMonth);
        if (day < wantedDay || (day == wantedDay && second <= wantedSecond))
            return i;
    }
    return std::nullopt;
}
