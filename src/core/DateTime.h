#pragma once
// A date-time value as the files and formats use it: local time as days since 30 December 1899,
// the time of day as the fraction.
#include <QDateTime>

class DateTime {
public:
    DateTime() = default;
    explicit DateTime(double days) : days_(days) {}
    static DateTime fromQDateTime(const QDateTime& t);
    QDateTime toQDateTime() const;
    double days() const { return days_; }
    QDate date() const { return toQDateTime().date(); }
    QTime time() const { return toQDateTime().time(); }

private:
    double days_ = 0.0;
};
