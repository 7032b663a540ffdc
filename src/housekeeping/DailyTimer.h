#pragma once
// The daily maintenance check: at every minute boundary, and once at each Start or Resume, it runs
// the jobs whose time of day has come, in the order log trim, data-file trim, image deletion,
// scheduled restart.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <functional>

class Clock;
class Timer;
struct Settings;

class DailyTimer {
public:
    // What the check runs; an empty job is skipped.
    struct Jobs {
        std::function<void()> TrimLog;
        std::function<void()> TrimDataFileProc;
        std::function<void()> DeleteFiles;
        std::function<void()> Restart;
    };

    // The clock's minute now is the program's start minute. The timer is armed for the next
    // minute boundary and re-armed after every tick; it should be a precise timer.
    DailyTimer(const Settings& settings, const Clock& clock, Timer& timer, Jobs jobs);

    // The check, run directly at every Start and Resume. Unlike the minute tick it is not limited
    // to once a minute: a Start in a job's minute runs the job again.
    void DailyTimerTimer();

    // Passings of the restart time counted since start, beginning at 1.
    int RestartDayCount() const { return restartDayCount_; }

    // "HH:mm" (one-digit hours and a seconds part allowed) as minutes since midnight; -1 when the
    // text is not a time of day.
    static int minuteOfDay(const QString& text);
    // Milliseconds from t to the next minute boundary, a little past it so that the tick falls
    // inside the new minute.
    static int msToNextMinute(const QTime& t);

private:
    void tick();
    void arm();
    bool restartPassing(const QDateTime& now);

    const Settings& settings_;
    const Clock& clock_;
    Timer& timer_;
    Jobs jobs_;
    QDateTime startMinute_;
    QDateTime lastTickMinute_; // the minute the timer last handled
    QDate lastRestartDate_;    // the date whose restart passing was last counted
    int restartDayCount_ = 1;
};
