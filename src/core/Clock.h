#pragma once
// The local wall clock and a steady clock, behind an interface so that tests can set both. The
// wall clock labels things; the steady clock, which neither the user nor summer time can set
// back, measures durations and gaps. It keeps counting while the computer sleeps, so a night
// asleep shows as time nobody watched.
#include <QDateTime>
#include <ctime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds of a clock that never goes back, sleep included; only differences mean
    // anything, and only within one run of the program.
    virtual qint64 steadyMs() const = 0;

    static qint64 bootTimeMs() {
        timespec ts{};
        clock_gettime(CLOCK_BOOTTIME, &ts);
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 steadyMs() const override { return bootTimeMs(); }
};
