// Figures for the graph set: a month of samples at 10 s (259,200) appended through AppendSample,
// with automatic ranging and paging, and the memory that history takes per sample.
#include "core/SamplingControl.h"
#include "core/UserMessages.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

constexpr int kMonth = 259200; // 30 days at one sample every 10 seconds
constexpr int kDay = 8640;

class CountingMessages final : public UserMessages {
public:
    void inform(const QString&) override { ++count; }
    void error(const QString&) override { ++count; }
    int count = 0;
};

class NoSampling final : public SamplingControl {
public:
    void suspendSampling() override {}
    void resumeSampling() override {}
};

const QDateTime kStart(QDate(2026, 11, 1), QTime(0, 0, 0));

// A day of point and web labels, built once: a restore reads its labels from the file, and a
// live sample builds one label every 10 seconds at most.
struct DayLabels {
    std::vector<QString> point, web;
    DayLabels() {
        for (int i = 0; i < kDay; ++i) {
            const QDateTime t = kStart.addSecs(qint64(i) * 10);
            point.push_back(GraphSet::PointLabel(t, true));
            web.push_back(GraphSet::WebLabel(t));
        }
    }
};
const DayLabels& dayLabels() {
    static const DayLabels labels;
    return labels;
}

// A month of drifting line values, with a lost connection (all zeros) now and then.
std::vector<LineSample> monthOfSamples() {
    std::vector<LineSample> out(kMonth);
    for (int i = 0; i < kMonth; ++i) {
        LineSample& s = out[size_t(i)];
        if (i % 5000 == 4999)
            continue;
        const double wave = std::sin(double(i) / 700);
        s.NoiseMarginUp = 6 + 1.5 * wave;
        s.NoiseMarginDown = 9 + 2 * std::cos(double(i) / 900);
        s.DataRateUp = 1000 + 50 * wave;
        s.DataRateDown = 20000 + 800 * wave;
        s.User1Up = 1200 + 60 * wave;
        s.User1Down = 24000 + 900 * wave;
        s.User2Up = 15 + wave;
        s.User2Down = 31 - wave;
    }
    return out;
}

// range(0) = 1: room for the month reserved up front; 0: the storage grows as it goes.
void BM_AppendMonth(benchmark::State& state) {
    const bool reserve = state.range(0) != 0;
    const DayLabels& labels = dayLabels();
    const std::vector<LineSample> samples = monthOfSamples();
    qsizetype bytes = 0;
    for (auto _ : state) {
        Settings settings;
        CountingMessages messages;
        NoSampling sampling;
        GraphSet graphs(settings, messages, sampling);
        if (reserve)
            graphs.Reserve(kMonth);
        for (int i = 0; i < kMonth; ++i)
            graphs.AppendSample(labels.point[size_t(i % kDay)], labels.web[size_t(i % kDay)],
                                samples[size_t(i)]);
        state.PauseTiming();
        if (messages.count != 0 || graphs.PointCount() != kMonth)
            state.SkipWithError("the month did not append cleanly");
        bytes = graphs.memoryBytes();
        state.ResumeTiming();
    }
    state.counters["bytes_per_sample"] = double(bytes) / double(kMonth);
}
BENCHMARK(BM_AppendMonth)->Arg(1)->Arg(0)->ArgName("reserved")->Unit(benchmark::kMillisecond);

} // namespace
