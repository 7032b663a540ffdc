#pragma once
// A count of days as the program's texts write it: "1 day", "0 days", "3 days".
#include <QString>

class DayCount {
public:
    static QString unit(qint64 days) {
        return days == 1 ? QStringLiteral("day") : QStringLiteral("days");
    }
    static QString text(qint64 days) { return QString::number(days) + u' ' + unit(days); }
};
