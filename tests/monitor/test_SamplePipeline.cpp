#include "monitor/SamplePipeline.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Records the pipeline's calls in order; the plot keeps its own point count.
class PipelineFixture : public testing::Test {
protected:
    PipelineFixture() {
        steps.SetLabelSpacing = [this](bool) { calls << "spacing"; };
        steps.PointLabel = [](const QDateTime& t, bool) { return t.toString("hh:mm:ss"); };
        steps.AppendSample = [this](const QString& L, const QString& W, const LineSample&) {
            calls << "append";
            lastLabel = L;
            lastWebLabel = W;
            ++points;
        };
        steps.PointCount = [this] { return points; };
        steps.CaptureAllGraphs = [this] {
            calls << "capture";
            ++captures;
        };
        steps.ShowLostSyncIndicator = [this] { calls << "indicator"; };
        steps.IconNoise = [this](const QString& s) { calls << "icon " + s; };
        steps.WebImageBusy = [this] { return webBusy; };
        steps.WriteWebImage = [this] { calls << "web"; };
        steps.TrimBusy = [this] { return trimBusy; };
        steps.AppendDataLine = [this](const QString&, const LineSample&) { calls << "data"; };
        steps.WriteLogRow = [this](const QDateTime&, const LineSample&) { calls << "log"; };
        steps.UpdateLogStatus = [this] { calls << "logstatus"; };
        steps.UpdateCaptureStatus = [this] { calls << "capturestatus"; };
        sample.DataRateDown = 15000;
        sample.NoiseMarginDown = 6;
    }

    SamplePipeline make() { return SamplePipeline(settings, sample, steps); }
    void run(SamplePipeline& p, int times = 1) {
        for (int i = 0; i < times; ++i)
            p.Run(t, t.addSecs(1), true, true);
    }

    Settings settings;
    LineSample sample;
    SamplePipeline::Steps steps;
    QStringList calls;
    QString lastLabel, lastWebLabel;
    int points = 0;
    int captures = 0;
    bool webBusy = false;
    bool trimBusy = false;
    QDateTime t{QDate(2026, 12, 8), QTime(14, 23, 5)};
};

TEST_F(PipelineFixture, RunsEveryStepInOrderWhileRunning) {
    settings.Web = true;
    settings.cbLog = true;
    auto p = make();
    run(p);
    EXPECT_EQ(calls, QStringList({"spacing", "append", "icon Run", "web", "data", "log",
                                  "logstatus", "capturestatus"}));
    EXPECT_EQ(lastLabel, "14:23:05");
    EXPECT_EQ(lastWebLabel, " 14:23:06 ");
}

TEST_F(PipelineFixture, OnlyRunningWithAStatisticsPageReadPlots) {
    const struct { bool running, parsed; } gates[] = {{false, true}, {true, false}, {false, false}};
    for (const auto& g : gates) {
        calls.clear();
        auto p = make();
        p.Run(t, t, g.running, g.parsed);
        EXPECT_EQ(calls, QStringList({"spacing"})) << g.running << g.parsed;
        EXPECT_EQ(p.CapturePointCount, 0);
    }
}

TEST_F(PipelineFixture, TrimAndWebServerBusySkipTheirWritesOnly) {
    settings.Web = true;
    settings.cbLog = true;
    trimBusy = true;
    webBusy = true;
    auto p = make();
    run(p);
    EXPECT_EQ(calls, QStringList({"spacing", "append", "icon Run", "logstatus", "capturestatus"}));

    calls.clear();
    trimBusy = webBusy = false;
    settings.Restore = false;
    settings.cbLog = false;
    settings.Web = false;
    run(p);
    EXPECT_EQ(calls, QStringList({"spacing", "append", "icon Run", "logstatus", "capturestatus"}));
}

TEST_F(PipelineFixture, PageCaptureEveryPageAndPauseDoesNotRestartTheCount) {
    settings.cbCapture = true;
    settings.PointsperPage = 480;
    auto p = make();
    run(p, 479);
    EXPECT_EQ(captures, 0);
    run(p);
    EXPECT_EQ(captures, 1);
    run(p, 300);
    p.LostSyncPending = false; // what Start and Pause do; the count stays
    run(p, 180);
    EXPECT_EQ(captures, 2);
}

TEST_F(PipelineFixture, LostConnectionThresholds) {
    const struct {
        double rateDown, marginDown;
        bool triggers;
    } cases[] = {
        {100.0, 6, false}, {99.9, 6, true}, {15000, 0.0, true}, {15000, 0.1, false}, {0, 0, true}};
    for (const auto& c : cases) {
        captures = 0;
        points = 2; // the third plotted sample is the first that can trigger
        calls.clear();
        settings.LostSync = true;
        sample.DataRateDown = c.rateDown;
        sample.NoiseMarginDown = c.marginDown;
        auto p = make();
        run(p);
        EXPECT_EQ(captures, c.triggers ? 1 : 0) << c.rateDown << " " << c.marginDown;
        EXPECT_EQ(p.LostSyncPending, c.triggers);
        EXPECT_EQ(calls.contains("indicator"), c.triggers);
    }
}

TEST_F(PipelineFixture, LostConnectionNeedsMoreThanTwoPointsThenFollowsUpOnePageLater) {
    settings.LostSync = true;
    settings.PointsperPage = 10;
    sample.DataRateDown = 0;
    auto p = make();
    run(p, 2);
    EXPECT_EQ(captures, 0);
    run(p); // third point: the lost-connection capture
    EXPECT_EQ(captures, 1);
    EXPECT_TRUE(p.LostSyncPending);
    EXPECT_EQ(p.CapturePointCount, 0);
    run(p, 9);
    EXPECT_EQ(captures, 1);
    // One page later the follow-up; the line is still down, so a new lost-connection capture
    // follows at once: two sets for that sample.
    run(p);
    EXPECT_EQ(captures, 3);
    EXPECT_TRUE(p.LostSyncPending);
}

// Sequences of plotted samples: 'u' a sample with sync, 'd' one without (DataRateDown 0), 'p' a
// Pause and Start between samples. The expected text marks each sample with the number of
// captures it took.
TEST_F(PipelineFixture, CaptureSequences) {
    const struct {
        const char* name;
        bool everyPage, onlyIfLost;
        int pointsPerPage;
        const char* samples;
        const char* captures;
    } cases[] = {
        {"every page", true, false, 4, "uuuuuuuu", "00010001"},
        {"pause keeps the count", true, false, 4, "uupuuuu", "000100"},
        {"lost at the first sample waits for the third", false, true, 4, "ddd", "001"},
        {"follow-up one page later", false, true, 3, "uuduuuu", "0010010"},
        {"still down at the follow-up: two sets", false, true, 3, "uudddd", "001002"},
        {"pause drops the pending follow-up", false, true, 3, "uudpuuuu", "0010000"},
        {"neither box", false, false, 2, "uudddd", "000000"},
    };
    for (const auto& c : cases) {
        settings.cbCapture = c.everyPage;
        settings.LostSync = c.onlyIfLost;
        settings.PointsperPage = c.pointsPerPage;
        points = 0;
        auto p = make();
        QString got;
        for (const char* s = c.samples; *s; ++s) {
            if (*s == 'p') {
                p.LostSyncPending = false; // what Pause and Start do
                continue;
            }
            sample.DataRateDown = *s == 'd' ? 0 : 15000;
            captures = 0;
            run(p);
            got += QString::number(captures);
        }
        EXPECT_EQ(got, QString::fromLatin1(c.captures)) << c.name;
    }
}

} // namespace
