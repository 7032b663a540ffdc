#include "core/Timer.h"

#include <QTimer>

namespace {

class QtTimer final : public Timer {
public:
    QtTimer(int intervalMs, bool singleShot, bool precise) {
        timer_.setInterval(intervalMs);
        timer_.setSingleShot(singleShot);
        if (precise)
            timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
    }
    void setInterval(int ms) override { timer_.setInterval(ms); }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool on) override {
        if (on == timer_.isActive())
            return;
        if (on)
            timer_.start();
        else
            timer_.stop();
    }
    bool isEnabled() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<Timer> makeQtTimer(int intervalMs, bool singleShot, bool precise) {
    return std::make_unique<QtTimer>(intervalMs, singleShot, precise);
}
