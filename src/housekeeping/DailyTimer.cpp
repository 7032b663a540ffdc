#include "housekeeping/DailyTimer.h"

#include "core/Clock.h"
#include "core/Timer.h"
#include "storage/Settings.h"

namespace {

// Past the boundary by this much, so that a timer firing a little early still lands in the new
// minute.
constexpr int kBoundaryMarginMs = 50;

QDateTime minuteOf(const QDateTime& t) {
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute()));
}

int minuteOfDay(const QTime& t) {
    return t.isValid() ? t.hour() * 60 + t.minute() : -1;
}

} // namespace

DailyTimer::DailyTimer(const Settings& settings, const Clock& clock, Timer& timer, Jobs jobs)
    : settings_(settings), clock_(clock), timer_(timer), jobs_(std::move(jobs)),
      startMinute_(minuteOf(clock.now())) {
    timer_.setHandler([this] { tick(); });
    arm();
    timer_.setEnabled(true);
}

int DailyTimer::minuteOfDay(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return -1;
    bool hourOk = false, minuteOk = false;
    const int hour = parts[0].toInt(&hourOk);
    const int minute = parts[1].toInt(&minuteOk);
    if (!hourOk || !minuteOk || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return -1;
    if (parts.size() == 3) {
        bool secondOk = false;
        const int second = parts[2].toInt(&secondOk);
        if (!secondOk || second < 0 || second > 59)
            return -1;
    }
    return hour * 60 + minute;
}

int DailyTimer::msToNextMinute(const QTime& t) {
    const int intoMinute = t.second() * 1000 + t.msec();
    return 60000 - intoMinute + kBoundaryMarginMs;
}

void DailyTimer::arm() {
    timer_.setInterval(msToNextMinute(clock_.now().time()));
}

void DailyTimer::tick() {
    const QDateTime minute = minuteOf(clock_.now());
    // A tick that comes early (still in the minute already handled) or twice in one minute only
    // re-arms the timer.
    if (minute != lastTickMinute_) {
        lastTickMinute_ = minute;
        DailyTimerTimer();
    }
    arm();
}

void DailyTimer::DailyTimerTimer() {
    const QDateTime now = clock_.now();
    const int nowMinute = ::minuteOfDay(now.time());
    // A TrimTime that is no time of day skips the log trim alone.
    if (settings_.TrimLog && minuteOfDay(settings_.TrimTime) == nowMinute && jobs_.TrimLog)
        jobs_.TrimLog();
    if (settings_.TrimDataFile && ::minuteOfDay(settings_.TrimDataFileTime) == nowMinute &&
        jobs_.TrimDataFileProc)
        jobs_.TrimDataFileProc();
    if (settings_.DeleteImages && ::minuteOfDay(settings_.DeleteTime) == nowMinute &&
        jobs_.DeleteFiles)
        jobs_.DeleteFiles();
    if (settings_.Restart && ::minuteOfDay(settings_.RestartTime.time()) == nowMinute &&
        restartPassing(now) && settings_.RestartDays < restartDayCount_ && jobs_.Restart)
        jobs_.Restart();
}

// One passing of the restart time per calendar date, and none in the minute the program started
// (a new instance coming up in the restart minute must not restart again).
bool DailyTimer::restartPassing(const QDateTime& now) {
    if (minuteOf(now) == startMinute_ || now.date() == lastRestartDate_)
        return false;
    lastRestartDate_ = now.date();
    ++restartDayCount_;
    return true;
}
