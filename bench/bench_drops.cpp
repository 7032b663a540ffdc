// Figures for the drop record: filling it once from a month of the data-restore file (30 days at
// one sample every 10 seconds, 259,200 lines, with a hundred drops in it) against a bare read and
// parse of the same file, and the HTML report of 100 drops with four graph images each.
#include "MonthOfSamples.h"
#include "drops/DropHistory.h"
#include "drops/DropRecordFile.h"
#include "drops/DropReport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A month of a steady line: fixed sync rates, a drop of three samples every 2,592 samples (about
// every 7 hours), after which the line comes back at new rates.
QByteArray monthWithDrops() {
    QByteArray out;
    out.reserve(qsizetype(bench::kMonth) * 72);
    int connection = 0;
    for (int i = 0; i < bench::kMonth; ++i) {
        LineSample s = bench::sampleNumber(i);
        const int phase = i % 2592;
        if (phase == 0)
            ++connection;
        s.DataRateUp = 1024 + connection % 7;
        s.DataRateDown = 16000 + connection % 113;
        if (phase >= 2589)
            s.setZeroSample();
        out += DataRestoreFile::Line(bench::labelNumber(i), s);
        out += "\r\n";
    }
    return out;
}

struct MonthFile {
    MonthFile() {
        path = DataRestoreFile::PathIn(dir.path());
        QFile f(path);
        const QByteArray data = monthWithDrops();
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            qFatal("cannot write the benchmark file");
        bytes = data.size();
    }
    QTemporaryDir dir;
    QString path;
    qint64 bytes = 0;
};

MonthFile& monthFile() {
    static MonthFile file;
    return file;
}

void BM_DataFileBareReadParse(benchmark::State& state) {
    MonthFile& m = monthFile();
    for (auto _ : state) {
        const bool whole =
            DataRestoreFile::Restore(m.path, [](const QString& label, const LineSample& s) {
                benchmark::DoNotOptimize(label);
                benchmark::DoNotOptimize(s.User2Down);
            });
        if (!whole)
            state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * m.bytes);
}
BENCHMARK(BM_DataFileBareReadParse)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the first start after an update does: the history read, the events found, the record
// written.
void BM_DropRecordFillFromMonth(benchmark::State& state) {
    MonthFile& m = monthFile();
    const QString record = DropRecordFile::PathIn(m.dir.path());
    size_t events = 0;
    for (auto _ : state) {
        QFile::remove(record);
        DropHistory::Result history;
        if (!DropHistory::read(m.path, 10, history) ||
            !DropRecordFile::Create(record, history.events))
            state.SkipWithError("fill failed");
        events = history.events.size();
    }
    state.counters["events"] = double(events);
    state.SetBytesProcessed(int64_t(state.iterations()) * m.bytes);
}
BENCHMARK(BM_DropRecordFillFromMonth)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DropReport100DropsWithImages(benchmark::State& state) {
    QTemporaryDir dir;
    DropReport::Input in;
    in.router = QStringLiteral("192.168.1.254");
    LineReading synced;
    synced.time = QDateTime::currentDateTime();
    synced.state = LineReading::State::Synced;
    synced.why = LineReading::Why::None;
    synced.sample = bench::sampleNumber(1);
    in.lastSynced = synced;
    in.now = QDateTime::currentDateTime();
    in.imageFolder = dir.path();
    // Four graph images per drop, of the size a captured graph has.
    QByteArray image(45 * 1024, Qt::Uninitialized);
    for (char& c : image)
        c = char(QRandomGenerator::global()->bounded(256));
    QDateTime t = in.now.addDays(-25);
    for (int i = 0; i < 100; ++i, t = t.addSecs(6 * 3600)) {
        DropEvent e = DropEvent::evenlySampled(DropEvent::Kind::Drop, {t, 6.1, 5.9, 1024, 16000},
                                               {t.addSecs(90), 6.0, 5.5, 1000, 15800}, 2, 30);
        for (const char* graph :
             {"NoiseMargin", "ConnectionSpeed", "Max Data Rate", "Line Attenuation"}) {
            const QString name = QStringLiteral("Ltrv-%1-%2.jpg").arg(graph).arg(i);
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(image) != image.size())
                qFatal("cannot write an image");
            e.images << name;
        }
        in.events.push_back(e);
    }
    const QString out = dir.filePath("report.html");
    qint64 size = 0;
    for (auto _ : state) {
        if (!DropReport::writeHtml(out, in))
            state.SkipWithError("report failed");
        size = QFileInfo(out).size();
    }
    state.counters["MB"] = double(size) / 1e6;
}
BENCHMARK(BM_DropReport100DropsWithImages)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
