// The dates the history fill gives the data file's labels, which carry a time of day and perhaps a
// day of the month but no date: whatever the labels hold, each one read has a time of day and a
// day of the month that exist, the dates never go forward going back through the labels nor back
// further than the day of the month allows, and the point found for a time never comes after the
// point found for a later time.
#include "FuzzFiles.h"
#include "drops/LabelDates.h"

#include <cstring>

namespace {

constexpr qsizetype kMaxLabels = 500;

QString labelOf(int secondOfDay, int dayOfMonth) {
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(secondOfDay / 3600, 2, 10, QLatin1Char('0'))
                             .arg(secondOfDay / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(secondOfDay % 60, 2, 10, QLatin1Char('0'));
    if (dayOfMonth == 0)
        return QLatin1Char(' ') + time + QLatin1Char(' ');
    return QStringLiteral("Tue %1 \r").arg(dayOfMonth, 2, 10, QLatin1Char('0')) + time +
           QLatin1Char(' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8)
        return 0;
    quint32 newestOffset = 0, asked = 0;
    std::memcpy(&newestOffset, data, 4);
    std::memcpy(&asked, data + 4, 4);
    const QDateTime base(QDate(2026, 1, 1), QTime(0, 0));
    const QDateTime newest = base.addSecs(newestOffset % (400 * 86400));
    QStringList labels =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 8), qsizetype(size - 8))
            .split(QLatin1Char('\n'));
    if (labels.size() > kMaxLabels)
        labels.resize(kMaxLabels);

    LabelDates dates(newest);
    qint64 previousDay = newest.date().toJulianDay();
    for (qsizetype i = labels.size() - 1; i >= 0; --i) {
        int second = -1, day = -1;
        if (!LabelDates::labelTime(labels[i], second, day))
            continue;
        FUZZ_CHECK(second >= 0 && second < 86400);
        FUZZ_CHECK(day >= 0 && day <= 31);
        int second2 = -1, day2 = -1;
        FUZZ_CHECK(LabelDates::labelTime(labelOf(second, day), second2, day2));
        FUZZ_CHECK(second2 == second && day2 == day);

        const qint64 julian = dates.olderDay(second, day);
        FUZZ_CHECK(julian <= previousDay);
        // A day back for the time of day, and at most two months more to reach a day of the
        // month.
        FUZZ_CHECK(previousDay - julian <= 63);
        previousDay = julian;
    }

    const auto labelAt = [&labels](qsizetype i) { return labels[i]; };
    const qsizetype count = labels.size();
    const QDateTime t1 = newest.addSecs(-qint64(asked % (90 * 86400)));
    const QDateTime t2 = t1.addSecs(qint64(asked % 7200));
    const std::optional<qsizetype> p1 = LabelDates::pointAtOrBefore(count, labelAt, newest, t1);
    const std::optional<qsizetype> p2 = LabelDates::pointAtOrBefore(count, labelAt, newest, t2);
    for (const std::optional<qsizetype>& p : {p1, p2}) {
        if (!p)
            continue;
        FUZZ_CHECK(*p >= 0 && *p < count);
        int second = 0, day = 0;
        FUZZ_CHECK(LabelDates::labelTime(labels[*p], second, day));
    }
    FUZZ_CHECK(p1.value_or(-1) <= p2.value_or(-1));
    return 0;
}
