#pragma once
// A message timer of the user-interface thread, behind an interface so that tests fire it by hand.
#include <functional>
#include <memory>

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0; // restarts a running timer, as a message timer does
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0; // enabling an enabled timer changes nothing
    virtual bool isEnabled() const = 0;
    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void fire() {
        if (handler_)
            handler_();
    }

private:
    std::function<void()> handler_;
};

// The real timer, on QTimer. A precise timer keeps to the millisecond where a coarse one may drift
// by 5 % of its interval.
std::unique_ptr<Timer> makeQtTimer(int intervalMs, bool singleShot = false, bool precise = false);
