#pragma once
// A clock that tests set.
#include "core/Clock.h"

class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime t = QDateTime(QDate(2026, 12, 8), QTime(14, 23, 5)))
        : now_(std::move(t)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& t) { now_ = t; }
    void advanceSecs(int s) { now_ = now_.addSecs(s); }

private:
    QDateTime now_;
};
