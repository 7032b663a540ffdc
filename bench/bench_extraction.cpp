// Reading one sample out of a full-size statistics page, as happens at every sample tick.
#include "monitor/StatsPageReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

QString fullPage() {
    const QString path =
        QFileInfo(QString::fromUtf8(__FILE__))
            .absoluteDir()
            .filePath(QStringLiteral("../tests/fixtures/pages/helpdesk-full.html"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

void BM_ReadStatsPage(benchmark::State& state) {
    const QString page = fullPage();
    LineSample sample;
    for (auto _ : state) {
        sample.reset();
        ToolbarTexts toolbar = StatsPageReader::BTHomeHub5A(page, 0, 1, true, sample);
        benchmark::DoNotOptimize(toolbar);
        benchmark::DoNotOptimize(sample);
    }
    state.SetBytesProcessed(state.iterations() * page.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_ReadStatsPage)->Unit(benchmark::kMicrosecond);

// The worst case: a page of the same size without any label, so every search runs to its end.
void BM_ReadPageWithoutLabels(benchmark::State& state) {
    QString page = fullPage();
    for (const char* label : {"wait =", " Noise margin:", "Data rate:", "Maximum data rate:",
                              "Line attenuation", "gnal attenuation"})
        page.replace(QString::fromLatin1(label), QStringLiteral("Unrelated"));
    LineSample sample;
    for (auto _ : state) {
        sample.reset();
        ToolbarTexts toolbar = StatsPageReader::BTHomeHub5A(page, 0, 1, true, sample);
        benchmark::DoNotOptimize(toolbar);
        benchmark::DoNotOptimize(sample);
    }
    state.SetBytesProcessed(state.iterations() * page.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_ReadPageWithoutLabels)->Unit(benchmark::kMicrosecond);

} // namespace
