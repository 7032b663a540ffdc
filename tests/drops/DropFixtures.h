#pragma once
// Samples and events for the drop tests.
#include "core/LineSample.h"
#include "drops/DropEvent.h"

#include <QDateTime>

inline LineSample syncSample(double rateUp = 1100, double rateDown = 17000, double nmDown = 6.1,
                             const QString& uptime = QString()) {
    LineSample s;
    s.NoiseMarginUp = 6.3;
    s.NoiseMarginDown = nmDown;
    s.DataRateUp = rateUp;
    s.DataRateDown = rateDown;
    s.UptimeDisplay = uptime;
    s.HasNoiseMargin = s.HasDataRate = true;
    return s;
}

inline LineSample zeroSample(const QString& uptime = QString()) {
    LineSample s;
    s.setZeroSample();
    s.UptimeDisplay = uptime;
    return s;
}

inline QDateTime at(int day, int h, int m, int s = 0) {
    return QDateTime(QDate(2026, 12, day), QTime(h, m, s));
}

inline DropEvent dropBetween(const QDateTime& from, const QDateTime& to,
                             DropEvent::Kind kind = DropEvent::Kind::Drop, int samplesDown = 1) {
    return DropEvent::evenlySampled(kind, {from, 6.3, 6.1, 1100, 17000},
                                    {to, 6.2, 5.9, 1000, 16000}, samplesDown, 30);
}
