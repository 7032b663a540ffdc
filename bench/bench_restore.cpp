// Figures for rebuilding the graphs from a month of samples at start, against a bare read and
// parse of the same file, and for the sample pipeline's own cost with that history behind it.
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

struct MonthFile {
    MonthFile() {
        QFile f(dir.filePath(QStringLiteral("Lintrove5A.txt")));
        if (f.open(QIODevice::WriteOnly))
            f.write(bench::monthOfLines());
    }
    QString path() const { return dir.filePath(QStringLiteral("Lintrove5A.txt")); }
    QTemporaryDir dir;
};

MonthFile& monthFile() {
    static MonthFile file;
    return file;
}

void BM_ReadAndParseOnly(benchmark::State& state) {
    const QString path = monthFile().path();
    for (auto _ : state) {
        int lines = 0;
        DataRestoreFile::Restore(path, [&](const QString&, const LineSample&) { ++lines; });
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReadAndParseOnly)->Unit(benchmark::kMillisecond);

// What start-up does: every line through AppendSample, with ranging and paging.
void BM_RestoreIntoGraphs(benchmark::State& state) {
    const QString path = monthFile().path();
    NoSampling sampling;
    NoMessages messages;
    for (auto _ : state) {
        Settings settings;
        GraphSet graphs(settings, messages, sampling);
        graphs.Reserve(bench::kMonth);
        const QString web = GraphSet::WebLabel(QDateTime::currentDateTime());
        DataRestoreFile::Restore(path, [&](const QString& label, const LineSample& s) {
            graphs.AppendSample(label, web, s);
        });
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
    steps.AppendDataLine = [&](const QString& L, const LineSample& S) {
        DataRestoreFile::Append(dataPath, L, S);
    };
    steps.WriteLogRow = [&](const QDateTime& t, const LineSample& S) {
        log.WriteRow(logPath, LogLine(t, S, settings.LogDateFormat, settings.LogTab));
    };
    steps.UpdateLogStatus = [&] { benchmark::DoNotOptimize(LogStatusText(logPath)); };
    SamplePipeline pipeline(settings, current, steps);
    const QDateTime t = QDateTime::currentDateTime();
    for (auto _ : state)
        pipeline.Run(t, t, true, true);
}
BENCHMARK(BM_PipelinePerSample)->Unit(benchmark::kMicrosecond);

} // namespace
