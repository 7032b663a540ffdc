#include "core/DateTime.h"

#include <cmath>

namespace {
const qint64 kEpochJulianDay = QDate(1899, 12, 30).toJulianDay();
constexpr double kMsPerDay = 86400000.0;
} // namespace

DateTime DateTime::fromQDateTime(const QDateTime& t) {
    const QDateTime local = t.toLocalTime();
    const double day = double(local.date().toJulianDay() - kEpochJulianDay);
    return DateTime(day + local.time().msecsSinceStartOfDay() / kMsPerDay);
}

QDateTime DateTime::toQDateTime() const {
    const double whole = std::floor(days_);
    const int ms = int(std::llround((days_ - whole) * kMsPerDay));
    QDateTime t(QDate::fromJulianDay(kEpochJulianDay + qint64(whole)), QTime(0, 0));
    return t.addMSecs(ms);
}
