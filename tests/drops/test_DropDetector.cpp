#include "drops/DropDetector.h"

#include <gtest/gtest.h>

#include "DropFixtures.h"

namespace {

struct Step {
    int second;
    LineSample sample;
    QStringList images = {};
};

// Feeds samples 30 s apart from 10:00:00 and collects the events.
std::vector<DropEvent> run(const std::vector<Step>& steps, DropDetector* out = nullptr) {
    DropDetector local(30);
    DropDetector& d = out ? *out : local;
    std::vector<DropEvent> events;
    for (const Step& s : steps) {
        d.addImages(s.images);
        if (auto e = d.feed(at(8, 10, 0).addSecs(s.second), s.sample))
            events.push_back(*e);
    }
    return events;
}

TEST(DropDetector, FindsEachKindBetweenItsSamplesWithSync) {
    using K = DropEvent::Kind;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        K kind;
        int beforeSecond, afterSecond, samplesDown;
    };
    const Case cases[] = {
        {"long drop",
         {{0, syncSample()},
          {30, zeroSample()},
          {60, zeroSample()},
          {90, zeroSample()},
          {120, syncSample(1000, 16000)}},
         K::Drop,
         0,
         120,
         3},
        // A margin of exactly 0 counts as without sync, a rate of 99.9 too.
        {"margin zero",
         {{0, syncSample()}, {30, syncSample(1100, 17000, 0.0)}, {60, syncSample()}},
         K::Drop,
         0,
         60,
         1},
        {"rate 99.9",
         {{0, syncSample()}, {30, syncSample(1100, 99.9)}, {60, syncSample()}},
         K::Drop,
         0,
         60,
         1},
        {"retrain",
         {{0, syncSample()}, {30, syncSample()}, {60, syncSample(1000, 16500)}},
         K::Retrain,
         30,
         60,
         0},
        {"restart between samples",
         {{0, syncSample(1100, 17000, 6.1, "2 days, 01:00:00")},
          {30, syncSample(1100, 17000, 6.1, "0 days, 00:00:20")}},
         K::RouterRestart,
         0,
         30,
         0},
        // A router that stops answering while it restarts: zero samples keep the old uptime.
        {"restart with samples down",
         {{0, syncSample(1100, 17000, 6.1, "2 days, 01:00:00")},
          {30, zeroSample("2 days, 01:00:00")},
          {60, zeroSample("2 days, 01:00:00")},
          {90, syncSample(1000, 16000, 6.1, "0 days, 00:00:40")}},
         K::RouterRestart,
         0,
         90,
         2},
    };
    for (const Case& c : cases) {
        const std::vector<DropEvent> events = run(c.steps);
        ASSERT_EQ(events.size(), 1u) << c.name;
        const DropEvent& e = events[0];
        EXPECT_EQ(e.kind, c.kind) << c.name;
        EXPECT_EQ(e.before.time, at(8, 10, 0).addSecs(c.beforeSecond)) << c.name;
        EXPECT_EQ(e.after.time, at(8, 10, 0).addSecs(c.afterSecond)) << c.name;
        EXPECT_EQ(e.samplesDown, c.samplesDown) << c.name;
        EXPECT_EQ(e.intervalSeconds, 30) << c.name;
    }
}

// The uncertainty is the sample interval, unless sampling stopped beside the event (a pause, the
// program closed): the line may have changed anywhere in that gap, and the record must not claim
// to know better.
TEST(DropDetector, AGapInTheSamplesBesideAnEventIsItsUncertainty) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int uncertainty;
    };
    const Case cases[] = {
        {"samples a little late", {{0, syncSample()}, {32, zeroSample()}, {64, syncSample()}}, 30},
        {"retrain across a closed program",
         {{0, syncSample()}, {943, syncSample(1000, 16500)}},
         943},
        {"drop that began in a pause",
         {{0, syncSample()}, {600, zeroSample()}, {630, syncSample()}},
         600},
        {"drop that ended while the program was closed",
         {{0, syncSample()}, {30, zeroSample()}, {60, zeroSample()}, {3660, syncSample()}},
         3600},
    };
    for (const Case& c : cases) {
        const std::vector<DropEvent> events = run(c.steps);
        ASSERT_EQ(events.size(), 1u) << c.name;
        EXPECT_EQ(events[0].intervalSeconds, c.uncertainty) << c.name;
    }
}

TEST(DropDetector, NoEventWithoutASampleWithSyncOnBothSides) {
    // Started without sync: no drop can begin; a drop still in progress has not ended.
    EXPECT_TRUE(run({{0, zeroSample()}, {30, zeroSample()}, {60, syncSample()}}).empty());
    DropDetector d(30);
    EXPECT_TRUE(run({{0, syncSample()}, {30, zeroSample()}}, &d).empty());
    EXPECT_TRUE(d.inDrop());
    // Steady samples with the same rates and a growing uptime are no event.
    EXPECT_TRUE(run({{0, syncSample(1100, 17000, 6.1, "0 days, 01:00:00")},
                     {30, syncSample(1100, 17000, 5.0, "0 days, 01:00:30")}})
                    .empty());
}

TEST(DropDetector, KeepsTheSidesValuesAndTheImagesCapturedDuringTheDrop) {
    const std::vector<DropEvent> events =
        run({{0, syncSample(), {"page-before.jpg"}},
             {30, zeroSample(), {"a.jpg", "b.jpg"}},
             {60, zeroSample(), {"c.jpg"}},
             {90, syncSample(1000, 16000, 3.5), {"page-after.jpg"}}});
    ASSERT_EQ(events.size(), 1u);
    const DropEvent& e = events[0];
    EXPECT_EQ(e.before, (DropSide{at(8, 10, 0), 6.3, 6.1, 1100, 17000}));
    EXPECT_EQ(e.after, (DropSide{at(8, 10, 1, 30), 6.3, 3.5, 1000, 16000}));
    EXPECT_EQ(e.images, (QStringList{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(e.durationSeconds(), 90);
    EXPECT_EQ(e.secondsLost(), 90);
}

TEST(DropDetector, ADropInProgressGoesOnFromAnEarlierState) {
    DropDetector first(30);
    run({{0, syncSample()}, {30, zeroSample()}}, &first);
    DropDetector second(30);
    second.resume(first.state());
    const auto e = second.feed(at(8, 11, 0), syncSample());
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind, DropEvent::Kind::Drop);
    EXPECT_EQ(e->before.time, at(8, 10, 0));
    EXPECT_EQ(e->after.time, at(8, 11, 0));
}

} // namespace
