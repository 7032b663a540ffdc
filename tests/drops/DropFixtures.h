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

// An event between two readings with sync. A drop (or a restart with readings without sync)
// lost all of it, as if its readings without sync stood at its two ends; lostBetween gives it a
// range instead. A retrain or restart no reading saw lost nothing.
inline DropEvent dropBetween(const QDateTime& from, const QDateTime& to,
                             DropEvent::Kind kind = DropEvent::Kind::Drop, int samplesDown = 1) {
    DropEvent e;
    e.kind = kind;
    e.before = {from, 6.3, 6.1, 1100, 17000};
    e.after = {to, 6.2, 5.9, 1000, 16000};
    e.samplesDown = samplesDown;
    e.durationSeconds = from.secsTo(to);
    if (samplesDown > 0) {
        e.startLatest = from;
        e.endEarliest = to;
        e.lostMinSeconds = e.lostMaxSeconds = e.durationSeconds;
    } else {
        e.startLatest = to;
        e.endEarliest = from;
    }
    return e;
}

inline DropEvent lostBetween(DropEvent e, qint64 minSeconds, qint64 maxSeconds,
                             qint64 unknownSeconds = 0) {
    e.lostMinSeconds = minSeconds;
    e.lostMaxSeconds = maxSeconds;
    e.unknownSeconds = unknownSeconds;
    return e;
}

// A time the router was not read, between two readings with sync: nothing lost, all unknown.
inline DropEvent notRead(const QDateTime& from, const QDateTime& to,
                         LineReading::Why why = LineReading::Why::NotResponding) {
    DropEvent e = dropBetween(from, to, DropEvent::Kind::NoReading, 0);
    e.samplesUnread = 1;
    e.unknownSeconds = e.durationSeconds;
    e.why = why;
    return e;
}
