#include "drops/DropDetector.h"

#include <gtest/gtest.h>

#include "DropFixtures.h"

namespace {

using K = DropEvent::Kind;
using S = LineReading::State;
using W = LineReading::Why;

// One reading of a sequence: its steady second from the first, what it showed, and how far the
// wall clock then stood from the steady one (a clock set back or forward).
struct R {
    int second;
    S state = S::Synced;
    double rateDown = 17000;
    qint64 uptime = -1;
    int wallShift = 0;
    W why = W::NotResponding;
    QStringList images = {};
};

R good(int second, double rateDown = 17000, qint64 uptime = -1) {
    return {second, S::Synced, rateDown, uptime};
}
R down(int second, qint64 uptime = -1) {
    return {second, S::NoSync, 17000, uptime};
}
R unread(int second, W why = W::NotResponding) {
    return {second, S::NotRead, 0, -1, 0, why};
}

const QDateTime kStart = at(8, 10, 0);
constexpr qint64 kSteadyStart = 5'000'000;

DropDetector::Point pointOf(const R& r) {
    DropDetector::Point p;
    p.steadyMs = kSteadyStart + qint64(r.second) * 1000;
    p.ms = kStart.toMSecsSinceEpoch() + (qint64(r.second) + r.wallShift) * 1000;
    p.state = r.state;
    p.why = r.state == S::NotRead ? r.why : W::None;
    if (r.state != S::NotRead) {
        p.noiseMarginUp = 6.3;
        p.noiseMarginDown = r.state == S::Synced ? 6.1 : 0;
        p.rateUp = r.state == S::Synced ? 1100 : 0;
        p.rateDown = r.state == S::Synced ? r.rateDown : 0;
        p.uptimeSeconds = r.uptime;
    }
    return p;
}

// Feeds the readings, 30-second interval, and collects the events they end.
std::vector<DropEvent> run(const std::vector<R>& readings, DropDetector* out = nullptr) {
    DropDetector local(30);
    DropDetector& d = out ? *out : local;
    std::vector<DropEvent> events;
    for (const R& r : readings) {
        d.addImages(r.images);
        for (DropEvent& e : d.feed(pointOf(r)))
            events.push_back(std::move(e));
    }
    return events;
}

struct Expected {
    K kind;
    int beforeSecond, afterSecond;
    qint64 lostMin, lostMax, unknown;
    int samplesDown = 0, samplesUnread = 0;
};

// What each sequence of readings must put on the record, and what it must not.
TEST(DropDetector, ReadingSequencesGiveTheEventsTheyShow) {
    struct Case {
        const char* name;
        std::vector<R> readings;
        std::vector<Expected> events;
    };
    const qint64 dayUptime = 86400;
    const Case cases[] = {
        {"a router not answering is no drop and loses no time",
         {good(0), unread(30), unread(60), unread(90), good(120)},
         {{K::NoReading, 0, 120, 0, 0, 120, 0, 3}}},
        {"every reason of an unread page alike",
         {good(0), unread(30, W::PasswordRejected), unread(60, W::OtherPage),
          unread(90, W::GroupMissing), unread(120, W::NotReachable), good(150)},
         {{K::NoReading, 0, 150, 0, 0, 150, 0, 4}}},
        {"three readings without sync: at least their span, at most the time between the "
         "good ones",
         {good(0), down(30), down(60), down(90), good(120, 16000)},
         {{K::Drop, 0, 120, 60, 120, 0, 3}}},
        {"one reading without sync: anything from a moment to two intervals",
         {good(0), down(30), good(60)},
         {{K::Drop, 0, 60, 0, 60, 0, 1}}},
        {"a two-hour gap inside a drop is unknown, not lost",
         {good(0), down(30), down(60), down(7260), down(7290), good(7320)},
         {{K::Drop, 0, 7320, 60, 120, 7200, 4}}},
        {"a page a little late is still watched",
         {good(0), down(30), down(74), good(104)},
         {{K::Drop, 0, 104, 44, 104, 0, 2}}},
        {"unread readings inside a drop are unknown time",
         {good(0), down(30), unread(60), unread(90), down(120), good(150)},
         {{K::Drop, 0, 150, 0, 60, 90, 2, 2}}},
        {"a silence after a drop: the drop, and the silence told apart",
         {good(0), down(30), down(60), unread(90), unread(120), good(150)},
         {{K::Drop, 0, 150, 30, 60, 90, 2, 0}, {K::NoReading, 60, 150, 0, 0, 90, 0, 2}}},
        {"new rates across a silence: the silence and a retrain",
         {good(0), unread(30), unread(60), good(90, 16000)},
         {{K::NoReading, 0, 90, 0, 0, 90, 0, 2}, {K::Retrain, 0, 90, 0, 0, 90, 0, 2}}},
        {"new rates between two good readings",
         {good(0), good(30), good(60, 16500)},
         {{K::Retrain, 30, 60, 0, 0, 0}}},
        {"a retrain across a pause keeps the pause as unknown",
         {good(0), good(943, 16500)},
         {{K::Retrain, 0, 943, 0, 0, 943}}},
        {"an unreadable uptime is no restart",
         {good(0, 17000, dayUptime), good(30), good(60, 17000, dayUptime + 60)},
         {}},
        {"an uptime that went back is a restart",
         {good(0, 17000, dayUptime), good(30, 17000, 20)},
         {{K::RouterRestart, 0, 30, 0, 0, 0}}},
        {"an uptime that grew less than the time passed: a restart hidden in a gap",
         {good(0, 17000, dayUptime), good(30, 17000, dayUptime + 30), good(28830, 17000, 3600)},
         {{K::RouterRestart, 30, 28830, 0, 0, 28800}}},
        {"an uptime that grew with the time across a gap is no restart",
         {good(0, 17000, dayUptime), good(28800, 17000, dayUptime + 28790)},
         {}},
        {"a restart across a silence: the silence and the restart",
         {good(0, 17000, dayUptime), unread(30), unread(60), good(90, 17000, 40)},
         {{K::NoReading, 0, 90, 0, 0, 90, 0, 2}, {K::RouterRestart, 0, 90, 0, 0, 90, 0, 2}}},
        {"no event before the first good reading", {down(0), down(30), good(60), good(90)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<DropEvent> events = run(c.readings);
        ASSERT_EQ(events.size(), c.events.size());
        for (size_t i = 0; i < events.size(); ++i) {
            const DropEvent& e = events[i];
            const Expected& x = c.events[i];
            EXPECT_EQ(e.kind, x.kind) << i;
            EXPECT_EQ(e.before.time, kStart.addSecs(x.beforeSecond)) << i;
            EXPECT_EQ(e.after.time, kStart.addSecs(x.afterSecond)) << i;
            EXPECT_EQ(e.durationSeconds, x.afterSecond - x.beforeSecond) << i;
            EXPECT_EQ(e.why == W::None, e.samplesUnread == 0) << i;
            EXPECT_EQ(e.lostMinSeconds, x.lostMin) << i;
            EXPECT_EQ(e.lostMaxSeconds, x.lostMax) << i;
            EXPECT_EQ(e.unknownSeconds, x.unknown) << i;
            EXPECT_EQ(e.samplesDown, x.samplesDown) << i;
            EXPECT_EQ(e.samplesUnread, x.samplesUnread) << i;
            EXPECT_EQ(e.source, DropEvent::Source::Live) << i;
            EXPECT_LE(e.lostMinSeconds, e.lostMaxSeconds) << i;
            EXPECT_LE(e.lostMaxSeconds + e.unknownSeconds, e.durationSeconds) << i;
        }
    }
}

TEST(DropDetector, BoundsAreTheReadingsEitherSideOfEachEdge) {
    const std::vector<DropEvent> events = run({good(0), down(30), down(60), down(90), good(120)});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].before.time, kStart);             // earliest start
    EXPECT_EQ(events[0].startLatest, kStart.addSecs(30)); // latest start
    EXPECT_EQ(events[0].endEarliest, kStart.addSecs(90)); // earliest end
    EXPECT_EQ(events[0].after.time, kStart.addSecs(120)); // latest end
    const std::vector<DropEvent> silence =
        run({good(0), unread(30, W::PasswordRejected), unread(60, W::NotResponding), good(90)});
    ASSERT_EQ(silence.size(), 1u);
    EXPECT_EQ(silence[0].why, W::PasswordRejected); // the reason it began with
    EXPECT_EQ(silence[0].startLatest, kStart.addSecs(30));
    EXPECT_EQ(silence[0].endEarliest, kStart.addSecs(60));
}

// A clock set back an hour in the middle of a drop: the wall times only label, the duration
// comes from the steady clock, the step is noted, and the time seen down only grows.
TEST(DropDetector, AClockSetBackGivesNoNegativeDurationAndNoCounterGoesDown) {
    DropDetector d(30);
    std::vector<qint64> seen;
    std::vector<DropEvent> events;
    const std::vector<R> readings = {good(0),
                                     down(30),
                                     {60, S::NoSync, 0, -1, -3600},
                                     {90, S::NoSync, 0, -1, -3600},
                                     {120, S::Synced, 17000, -1, -3600}};
    for (const R& r : readings) {
        for (DropEvent& e : d.feed(pointOf(r)))
            events.push_back(e);
        seen.push_back(d.seenDownMs());
    }
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].durationSeconds, 120);
    EXPECT_EQ(events[0].lostMinSeconds, 60);
    EXPECT_EQ(events[0].clockStepSeconds, -3600);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 60'000);
}

TEST(DropDetector, ImagesCapturedUpToTheEndingReadingBelongToTheEvent) {
    std::vector<R> readings = {good(0), down(30), down(60), good(90)};
    readings[0].images = {"page-before.jpg"};
    readings[1].images = {"a.jpg", "b.jpg"};
    readings[2].images = {"c.jpg"};
    readings[3].images = {"ending.jpg"};
    const std::vector<DropEvent> events = run(readings);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].images, (QStringList{"a.jpg", "b.jpg", "c.jpg", "ending.jpg"}));
    EXPECT_EQ(events[0].before, (DropSide{kStart, 6.3, 6.1, 1100, 17000}));
}

// The program closed during a drop and started again an hour later: the drop goes on, and the
// hour nobody watched is unknown, not lost.
TEST(DropDetector, ADropResumedFromAnEarlierRunKeepsTheClosedTimeUnknown) {
    DropDetector first(30);
    run({good(0), down(30), down(60)}, &first);
    DropDetector second(30);
    second.resume(first.state());
    DropDetector::Point p = pointOf(good(3660));
    p.steadyMs = 42; // another run's steady clock
    const std::vector<DropEvent> events = second.feed(p);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, K::Drop);
    EXPECT_EQ(events[0].before.time, kStart);
    EXPECT_EQ(events[0].durationSeconds, 3660);
    EXPECT_EQ(events[0].lostMinSeconds, 30);
    EXPECT_EQ(events[0].unknownSeconds, 3600);
    EXPECT_EQ(events[0].lostMaxSeconds, 60);
    EXPECT_EQ(second.seenDownMs(), 0); // nothing seen down in this run
}

} // namespace
