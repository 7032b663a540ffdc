// Figures for the graph data-restore file: reading and parsing a month of samples (30 days at one
// sample every 10 seconds) without plotting and into the graphs, trimming that file to 30 days
// at 30 seconds, and the sample pipeline's own cost with that history behind it.
#include "MonthOfSamples.h"
#include "core/SamplingControl.h"
#include "core/UserMessages.h"
#include "graphs/GraphSet.h"
#include "monitor/SamplePipeline.h"
#include "storage/CsvLog.h"
#include "storage/DataRestoreFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QByteArray& month() {
    static const QByteArray data = bench::monthOfLines();
    return data;
}

void writeMonth(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(month()) != month().size())
        qFatal("cannot write the benchmark file");
}

class NoSampling final : public SamplingControl {
public:
    void suspendSampling() override {}
    void resumeSampling() override {}
};

class NoMessages final : public UserMessages {
public:
    void inform(const QString&) override {}
    void error(const QString&) override {}
};

void BM_RestoreReadParse(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    writeMonth(path);
    qint64 lines = 0;
    for (auto _ : state) {
        QString error;
        const bool whole = DataRestoreFile::Restore(
            path,
            [&](const QString& label, const LineSample& s) {
                benchmark::DoNotOptimize(label);
                benchmark::DoNotOptimize(s.User2Down);
                ++lines;
            },
            &error);
        if (!whole)
            state.SkipWithError(error.toStdString().c_str());
    }
    state.SetItemsProcessed(lines);
    state.SetBytesProcessed(int64_t(state.iterations()) * month().size());
}
BENCHMARK(BM_RestoreReadParse)->Unit(benchmark::kMillisecond);

// The daily trim of that month to 30 days at 30 s (86400 lines kept); each run starts from the
// full file again, outside the timing.
void BM_TrimMonth(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    TrimBusy busy;
    for (auto _ : state) {
        state.PauseTiming();
        writeMonth(path);
        state.ResumeTiming();
        QString error;
        if (!DataRestoreFile::Trim(path, 30, 30, busy, &error))
            state.SkipWithError(error.toStdString().c_str());
    }
}
BENCHMARK(BM_TrimMonth)->Unit(benchmark::kMillisecond);

// Appending one line, as every sample does.
void BM_AppendLine(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    LineSample s;
    s.NoiseMarginUp = 6.3;
    s.DataRateDown = 16000;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DataRestoreFile::Append(path, QStringLiteral(" Tue 08 \r 14:23:05 "), s));
}
BENCHMARK(BM_AppendLine)->Unit(benchmark::kMicrosecond);

// What start-up does: every line through AppendSample, with ranging and paging.
void BM_RestoreIntoGraphs(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    writeMonth(path);
    NoSampling sampling;
    NoMessages messages;
    for (auto _ : state) {
        Settings settings;
        GraphSet graphs(settings, messages, sampling);
        graphs.Reserve(bench::kMonth);
        const QString web = GraphSet::WebLabel(QDateTime::currentDateTime());
        QString error;
        if (!DataRestoreFile::Restore(
                path,
                [&](const QString& label, const LineSample& s) {
                    graphs.AppendSample(label, web, s);
                },
                &error))
            state.SkipWithError(error.toStdString().c_str());
        benchmark::DoNotOptimize(graphs.PointCount());
    }
}
BENCHMARK(BM_RestoreIntoGraphs)->Unit(benchmark::kMillisecond);

// One live sample with a month behind it: label, plot, data line and log row, status texts.
void BM_PipelinePerSample(benchmark::State& state) {
    QTemporaryDir dir;
    NoSampling sampling;
    NoMessages messages;
    Settings settings;
    settings.cbLog = true;
    GraphSet graphs(settings, messages, sampling);
    graphs.Reserve(bench::kMonth + 100000);
    for (int i = 0; i < bench::kMonth; ++i)
        graphs.AppendSample(bench::labelNumber(i), QStringLiteral(" 12:00:00 "),
                            bench::sampleNumber(i));
    const QString dataPath = DataRestoreFile::PathIn(dir.path());
    const QString logPath = dir.filePath(QStringLiteral("log.txt"));
    CsvLog log;
    LineSample current = bench::sampleNumber(7);
    SamplePipeline::Steps steps;
    steps.SetLabelSpacing = [&](bool d) { graphs.SetLabelSpacing(d); };
    steps.PointLabel = GraphSet::PointLabel;
    steps.AppendSample = [&](const QString& L, const QString& W, const LineSample& S) {
        graphs.AppendSample(L, W, S);
    };
    steps.PointCount = [&] { return graphs.PointCount(); };
    // As in the program, a lost line or row is not an error of the sample.
    steps.AppendDataLine = [&](const QString& L, const LineSample& S) {
        (void)DataRestoreFile::Append(dataPath, L, S);
    };
    steps.WriteLogRow = [&](const QDateTime& t, const LineSample& S) {
        (void)log.WriteRow(logPath, LogLine(t, S, settings.LogDateFormat, settings.LogTab));
    };
    steps.UpdateLogStatus = [&] { benchmark::DoNotOptimize(LogStatusText(logPath)); };
    SamplePipeline pipeline(settings, current, steps);
    const QDateTime t = QDateTime::currentDateTime();
    for (auto _ : state)
        pipeline.Run(t, t, true, true);
}
BENCHMARK(BM_PipelinePerSample)->Unit(benchmark::kMicrosecond);

} // namespace
