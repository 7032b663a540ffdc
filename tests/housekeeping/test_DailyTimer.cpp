#include "housekeeping/DailyTimer.h"

#include "FakeClock.h"
#include "FakeTimer.h"
#include "storage/Settings.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

QDateTime at(int day, int h, int m, int s = 0, int ms = 0) {
    return QDateTime(QDate(2026, 3, day), QTime(h, m, s, ms));
}

struct Event {
    enum Kind { Tick, Start } kind;
    QDateTime when;
};

struct Case {
    const char* name;
    std::function<void(Settings&)> setup;
    QDateTime start;
    std::vector<Event> events;
    QStringList expected;
};

void allAt(Settings& s, QTime t, int restartDays) {
    s.TrimLog = s.TrimDataFile = s.DeleteImages = s.Restart = true;
    s.TrimTime = t.toString(QStringLiteral("HH:mm"));
    s.TrimDataFileTime = s.DeleteTime = t;
    s.RestartTime = QDateTime(QDate(2020, 1, 1), t);
    s.RestartDays = restartDays;
}

class DailyTimerTest : public testing::Test {
protected:
    DailyTimerTest() {
        settings.TrimLog = settings.TrimDataFile = settings.DeleteImages = settings.Restart = false;
    }
    std::unique_ptr<DailyTimer> make(const QDateTime& start) {
        clock.set(start);
        return std::make_unique<DailyTimer>(
            settings, clock, timer,
            DailyTimer::Jobs{[this] { ran << "log"; }, [this] { ran << "data"; },
                             [this] { ran << "images"; }, [this] { ran << "restart"; }});
    }
    void run(DailyTimer& daily, const std::vector<Event>& events) {
        for (const Event& e : events) {
            clock.set(e.when);
            if (e.kind == Event::Tick)
                timer.elapse();
            else
                daily.DailyTimerTimer();
        }
    }

    Settings settings;
    FakeClock clock;
    FakeTimer timer;
    QStringList ran;
};

TEST_F(DailyTimerTest, JobsRunInTheirMinute) {
    const Event::Kind T = Event::Tick, S = Event::Start;
    const std::vector<Case> cases = {
        {"log trim in its minute only, once per minute",
         [](Settings& s) {
             s.TrimLog = true;
             s.TrimTime = "03:00";
         },
         at(1, 2, 58, 30),
         {{T, at(1, 2, 59, 0, 50)},
          {T, at(1, 3, 0, 0, 50)},
          {T, at(1, 3, 0, 59, 900)}, // a second tick in the same minute
          {T, at(1, 3, 1, 0, 50)},
          {T, at(2, 3, 0, 0, 50)}},
         {"log", "log"}},
        {"hours and minutes compare as numbers",
         [](Settings& s) {
             s.TrimLog = true;
             s.TrimTime = "3:05";
         },
         at(1, 1, 0),
         {{T, at(1, 3, 5, 0, 50)}, {T, at(1, 15, 5, 0, 50)}},
         {"log"}},
        {"four jobs in one minute: log trim first, restart last",
         [](Settings& s) { allAt(s, QTime(4, 0), 1); },
         at(1, 10, 0),
         {{T, at(2, 4, 0, 0, 50)}},
         {"log", "data", "images", "restart"}},
        {"Start in the trim minute trims again",
         [](Settings& s) {
             s.TrimLog = true;
             s.TrimTime = "03:00";
         },
         at(1, 1, 0),
         {{T, at(1, 3, 0, 0, 50)}, {S, at(1, 3, 0, 30)}, {S, at(1, 3, 1, 0)}},
         {"log", "log"}},
        {"a TrimTime that is no time skips the log trim alone",
         [](Settings& s) {
             allAt(s, QTime(4, 0), 1);
             s.TrimTime = "4 o'clock";
         },
         at(1, 10, 0),
         {{T, at(2, 4, 0, 0, 50)}},
         {"data", "images", "restart"}},
        {"an out-of-range TrimTime never matches",
         [](Settings& s) {
             s.TrimLog = true;
             s.TrimTime = "24:00";
         },
         at(1, 23, 58),
         {{T, at(1, 23, 59, 0, 50)}, {T, at(2, 0, 0, 0, 50)}},
         {}},
        {"RestartDays 3 started at 10:00 restarts at 04:00 on day 4",
         [](Settings& s) {
             s.Restart = true;
             s.RestartDays = 3;
             s.RestartTime = QDateTime(QDate(2020, 1, 1), QTime(4, 0));
         },
         at(1, 10, 0),
         {{T, at(2, 4, 0, 0, 50)},
          {T, at(3, 4, 0, 0, 50)},
          {T, at(4, 3, 59, 0, 50)},
          {T, at(4, 4, 0, 0, 50)}},
         {"restart"}},
        {"no restart passing in the minute the program started",
         [](Settings& s) {
             s.Restart = true;
             s.RestartDays = 1;
             s.RestartTime = QDateTime(QDate(2020, 1, 1), QTime(4, 0));
         },
         at(1, 4, 0, 25),
         {{T, at(1, 4, 0, 30)},
          {S, at(1, 4, 0, 40)},
          {T, at(1, 4, 1, 0, 50)},
          {T, at(2, 4, 0, 0, 50)}},
         {"restart"}},
        {"one restart passing per date, whatever Start does",
         [](Settings& s) {
             s.Restart = true;
             s.RestartDays = 2;
             s.RestartTime = QDateTime(QDate(2020, 1, 1), QTime(4, 0));
         },
         at(1, 10, 0),
         {{T, at(2, 4, 0, 0, 50)},
          {S, at(2, 4, 0, 20)},
          {S, at(2, 4, 0, 40)},
          {T, at(3, 4, 0, 0, 50)}},
         {"restart"}},
        {"jobs that are off never run",
         [](Settings& s) {
             allAt(s, QTime(4, 0), 1);
             s.TrimLog = s.TrimDataFile = s.DeleteImages = s.Restart = false;
         },
         at(1, 10, 0),
         {{T, at(2, 4, 0, 0, 50)}, {S, at(2, 4, 0, 30)}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings = Settings();
        settings.TrimLog = settings.TrimDataFile = settings.DeleteImages = settings.Restart = false;
        c.setup(settings);
        ran.clear();
        auto daily = make(c.start);
        run(*daily, c.events);
        EXPECT_EQ(ran, c.expected);
    }
}

TEST_F(DailyTimerTest, RestartDayCountCountsPassings) {
    allAt(settings, QTime(4, 0), 3);
    settings.TrimLog = settings.TrimDataFile = settings.DeleteImages = false;
    auto daily = make(at(1, 10, 0));
    EXPECT_EQ(daily->RestartDayCount(), 1);
    run(*daily, {{Event::Tick, at(2, 4, 0, 0, 50)}});
    EXPECT_EQ(daily->RestartDayCount(), 2);
    // A day the program slept through the restart minute is not made up for.
    run(*daily, {{Event::Tick, at(4, 4, 1, 0, 50)}});
    EXPECT_EQ(daily->RestartDayCount(), 2);
    EXPECT_TRUE(ran.isEmpty());
}

TEST_F(DailyTimerTest, TimerIsArmedForTheNextMinuteBoundary) {
    auto daily = make(at(1, 10, 0, 17, 250));
    EXPECT_TRUE(timer.isEnabled());
    EXPECT_EQ(timer.interval(), 42750 + 50);

    settings.TrimLog = true;
    settings.TrimTime = "10:01";
    clock.set(at(1, 10, 0, 59, 900));
    timer.elapse();
    // A coarse timer firing early lands in the minute already handled: nothing runs, and the
    // timer is re-armed for the short rest of the minute.
    clock.set(at(1, 10, 0, 59, 950));
    timer.elapse();
    EXPECT_EQ(timer.interval(), 100);
    EXPECT_TRUE(ran.isEmpty());
    clock.set(at(1, 10, 1, 0, 50));
    timer.elapse();
    EXPECT_EQ(ran, QStringList{"log"});
    EXPECT_EQ(timer.interval(), 60000);
}

TEST(DailyTimerText, MinuteOfDay) {
    const struct {
        const char* text;
        int minute;
    } cases[] = {{"00:00", 0},      {"03:00", 180},   {"3:00", 180}, {"23:59", 1439},
                 {"12:30:15", 750}, {" 07:05 ", 425}, {"24:00", -1}, {"12:60", -1},
                 {"12", -1},        {"", -1},         {"ab:cd", -1}, {"1:2:3:4", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(DailyTimer::minuteOfDay(QString::fromLatin1(c.text)), c.minute) << c.text;
}

} // namespace
