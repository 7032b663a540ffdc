// Fast time for end-to-end runs: what the variable accepts, the clock's time line shared by
// instances started one after another, and timers that run fast while reporting what was asked.
#include "core/ScaledTimer.h"
#include "core/TimeScale.h"

#include "FakeTimer.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeScale, ParsesScaleAndOriginOrRefuses) {
    struct Case {
        const char* text;
        bool valid;
        double scale;
        qint64 origin;
    };
    const Case cases[] = {
        {"20", true, 20, 5000}, {"2.5", true, 2.5, 5000}, {"60@1000", true, 60, 1000},
        {"1", true, 1, 5000},   {"0", false, 0, 0},       {"0.5", false, 0, 0},
        {"10001", false, 0, 0}, {"fast", false, 0, 0},    {"nan", false, 0, 0},
        {"20@", false, 0, 0},   {"20@-5", false, 0, 0},   {"20@soon", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        const auto scale = TimeScale::parse(QString::fromLatin1(c.text), 5000, &error);
        ASSERT_EQ(scale.has_value(), c.valid);
        if (c.valid) {
            EXPECT_TRUE(error.isEmpty());
            EXPECT_EQ(scale->scale(), c.scale);
            EXPECT_EQ(scale->originMs(), c.origin);
        } else {
            EXPECT_TRUE(error.contains(QStringLiteral("LINTROVE_TIME_SCALE")))
                << error.toStdString();
        }
    }
    QString error;
    EXPECT_FALSE(TimeScale::parse(QString(), 5000, &error).has_value());
    EXPECT_TRUE(error.isEmpty()); // unset: real time, not a mistake
}

TEST(TimeScale, ClockRunsFastFromTheOriginSoInstancesShareOneTimeLine) {
    const auto scale = TimeScale::parse(QStringLiteral("60@1000000"), 0, nullptr);
    ASSERT_TRUE(scale);
    const auto at = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms); };
    EXPECT_EQ(scale->programTime(at(1000000)), at(1000000));
    EXPECT_EQ(scale->programTime(at(1001000)), at(1000000 + 60000)); // one real second, a minute
    // A second instance started later reads the same line, so its samples follow the first's.
    EXPECT_GT(scale->programTime(at(1002000)), scale->programTime(at(1001999)));
}

TEST(TimeScale, TimersRunFastButReportTheIntervalAskedFor) {
    const auto scale = TimeScale::parse(QStringLiteral("20"), 0, nullptr);
    ASSERT_TRUE(scale);
    auto real = std::make_unique<FakeTimer>(5000);
    FakeTimer* inner = real.get();
    ScaledTimer timer(std::move(real), *scale);
    EXPECT_EQ(timer.interval(), 5000);
    EXPECT_EQ(inner->interval(), 250);
    timer.setInterval(10);
    EXPECT_EQ(timer.interval(), 10);
    EXPECT_EQ(inner->interval(), 1); // never 0: a zero timer would spin
    int fired = 0;
    timer.setHandler([&] { ++fired; });
    timer.setEnabled(true);
    EXPECT_TRUE(inner->isEnabled());
    inner->elapse();
    EXPECT_EQ(fired, 1);
}

} // namespace
