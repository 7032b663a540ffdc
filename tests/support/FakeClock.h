#pragma once
// A clock that tests set. Moving the time forward moves the steady clock with it, as time
// passing does; stepWall moves the wall clock alone, as a user or summer time setting it does.
#include "core/Clock.h"

class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime t = QDateTime(QDate(2026, 12, 8), QTime(14, 23, 5)))
        : now_(std::move(t)) {}
    QDateTime now() const override { return now_; }
    qint64 steadyMs() const override { return steadyMs_; }
    // Time passes up to t; a t earlier than now sets the wall clock back with no time passing.
    void set(const QDateTime& t) {
        steadyMs_ += qMax<qint64>(0, now_.msecsTo(t));
        now_ = t;
    }
    void advanceSecs(int s) { set(now_.addSecs(s)); }
    void advanceMs(qint64 ms) { set(now_.addMSecs(ms)); }
    // The wall clock is set by secs (back when negative) while no time passes.
    void stepWall(qint64 secs) { now_ = now_.addSecs(secs); }

private:
    QDateTime now_;
    qint64 steadyMs_ = 1'000'000;
};
