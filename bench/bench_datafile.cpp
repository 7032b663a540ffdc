// Figures for the graph data-restore file: reading and parsing a month of samples (30 days at one
// sample every 10 seconds) without plotting, and trimming that file to 30 days at 30 seconds.
#include "storage/DataRestoreFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kMonth = 259200;

// A month of lines as the program writes them.
QByteArray monthOfLines() {
    QByteArray out;
    out.reserve(qsizetype(kMonth) * 72);
    LineSample s;
    for (int i = 0; i < kMonth; ++i) {
        s.NoiseMarginUp = 6.0 + (i % 17) * 0.1;
        s.NoiseMarginDown = 5.5 + (i % 23) * 0.1;
        s.DataRateUp = 1024 + i % 7;
        s.DataRateDown = 16000 + i % 113;
        s.User1Up = 1100.5;
        s.User1Down = 17000 + i % 5;
        s.User2Up = 12.5;
        s.User2Down = 23 + (i % 9) * 0.01;
        const QString label = QStringLiteral(" Mon %1 \r %2:%3:%4 ")
                                  .arg(1 + i / 8640, 2, 10, QLatin1Char('0'))
                                  .arg(i / 360 % 24, 2, 10, QLatin1Char('0'))
                                  .arg(i / 6 % 60, 2, 10, QLatin1Char('0'))
                                  .arg(i % 6 * 10, 2, 10, QLatin1Char('0'));
        out += DataRestoreFile::Line(label, s);
        out += "\r\n";
    }
    return out;
}

const QByteArray& month() {
    static const QByteArray data = monthOfLines();
    return data;
}

void writeMonth(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(month()) != month().size())
        qFatal("cannot write the benchmark file");
}

void BM_RestoreReadParse(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    writeMonth(path);
    qint64 lines = 0;
    for (auto _ : state) {
        const QString error =
            DataRestoreFile::Restore(path, [&](const QString& label, const LineSample& s) {
                benchmark::DoNotOptimize(label);
                benchmark::DoNotOptimize(s.User2Down);
                ++lines;
            });
        if (!error.isEmpty())
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
        const QString error = DataRestoreFile::Trim(path, 30, 30, busy);
        if (!error.isEmpty())
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

} // namespace
