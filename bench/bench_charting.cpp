// Figures for the charting engine: painting a chart with a long history (the cost must follow
// the window, not the history), rendering the web-image chart, appending a month of samples and
// the memory it takes per sample.
#include "charting/ChartRenderer.h"

#include <QImage>
#include <QPainter>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr qsizetype kMonth = 259200; // 30 days at one sample every 10 seconds
const QColor blue(0, 0, 255);
const QColor maroon(128, 0, 0);

// Labels like the graphs' (" ddd dd \r hh:mm:ss "), prepared once: formatting them is not the
// engine's work.
const std::vector<QString>& sampleLabels() {
    static const std::vector<QString> labels = [] {
        std::vector<QString> out;
        for (int i = 0; i < 8640; ++i)
            out.push_back(QStringLiteral(" Mon %1 \r %2:%3:%4 ")
                              .arg(1 + i / 360 % 28, 2, 10, QLatin1Char('0'))
                              .arg(i / 360 % 24, 2, 10, QLatin1Char('0'))
                              .arg(i / 6 % 60, 2, 10, QLatin1Char('0'))
                              .arg(i % 6 * 10, 2, 10, QLatin1Char('0')));
        return out;
    }();
    return labels;
}

// The web chart's labels: the time only.
const std::vector<QString>& webLabelTexts() {
    static const std::vector<QString> labels = [] {
        std::vector<QString> out;
        for (const QString& label : sampleLabels())
            out.push_back(label.section(QLatin1Char('\r'), 1));
        return out;
    }();
    return labels;
}

// The five charts of the graph set: four visible charts sharing one label store, the web chart
// with its own.
struct GraphSet {
    std::array<std::unique_ptr<ChartModel>, 5> charts;
    std::shared_ptr<LabelStore> visibleLabels = std::make_shared<LabelStore>();
    std::shared_ptr<LabelStore> webLabels = std::make_shared<LabelStore>();
    std::vector<LineSeries*> series;

    GraphSet(qsizetype reserve) {
        for (int c = 0; c < 5; ++c) {
            charts[size_t(c)] = std::make_unique<ChartModel>();
            auto& labels = c == 4 ? webLabels : visibleLabels;
            for (VerticalAxis axis : {VerticalAxis::Left, VerticalAxis::Right}) {
                series.push_back(&charts[size_t(c)]->addSeries(axis, labels));
                series.back()->reserve(reserve);
            }
            charts[size_t(c)]->leftAxis().setMinimum(-2);
            charts[size_t(c)]->rightAxis().setMinimum(-2);
        }
        visibleLabels->reserve(reserve, 19);
        webLabels->reserve(reserve, 10);
    }

    void append(qsizetype i) {
        const QString& label = sampleLabels()[size_t(i) % 8640];
        const QString& web = webLabelTexts()[size_t(i) % 8640];
        const double up = 6 + std::sin(double(i) / 50), down = 9 + std::cos(double(i) / 70);
        for (int c = 0; c < 5; ++c) {
            series[size_t(2 * c)]->append(up * (c + 1), c == 4 ? web : label, blue);
            series[size_t(2 * c + 1)]->append(down * (c + 1), c == 4 ? web : label, maroon);
        }
    }

    void showLastPage(qsizetype window) {
        const qsizetype count = series.front()->count();
        for (auto& chart : charts) {
            chart->bottomAxis().setMaximum(double(count - 1));
            chart->bottomAxis().setMinimum(double(count - window - 1));
        }
    }

    qsizetype memoryBytes() const {
        qsizetype bytes = visibleLabels->memoryBytes() + webLabels->memoryBytes();
        for (const LineSeries* s : series)
            bytes += s->memoryBytes();
        return bytes;
    }
};

GraphSet& filledSet(qsizetype history) {
    static std::map<qsizetype, std::unique_ptr<GraphSet>> sets;
    auto& set = sets[history];
    if (!set) {
        set = std::make_unique<GraphSet>(history);
        for (qsizetype i = 0; i < history; ++i)
            set->append(i);
    }
    return *set;
}

// One visible chart of 1000 x 500 pixels as the screen shows it (smooth lines of the screen's
// width), window of 480 points, over a history of range(0) samples (all ten series are held);
// range(1) switches 3-D on.
void BM_PaintChart(benchmark::State& state) {
    GraphSet& set = filledSet(state.range(0));
    set.showLastPage(480);
    ChartModel& chart = *set.charts[0];
    chart.setView3D(state.range(1) != 0);
    QImage image(1000, 500, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        ChartRenderer::paint(painter, chart, image.size(), ChartRenderer::kScreenLineWidth);
    }
    chart.setView3D(false);
    state.counters["history"] = double(state.range(0));
}
BENCHMARK(BM_PaintChart)
    ->ArgsProduct({{4800, kMonth}, {0, 1}})
    ->ArgNames({"history", "3d"})
    ->Unit(benchmark::kMillisecond);

// The whole history in one window: the line is reduced to pixel columns.
void BM_PaintWholeHistory(benchmark::State& state) {
    GraphSet& set = filledSet(kMonth);
    set.showLastPage(kMonth - 1);
    QImage image(1000, 500, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        ChartRenderer::paint(painter, *set.charts[0], image.size(),
                             ChartRenderer::kScreenLineWidth);
    }
}
BENCHMARK(BM_PaintWholeHistory)->Unit(benchmark::kMillisecond);

// The web-image chart: 500 x 250 into a new bitmap, its bottom axis ending at 96 %.
void BM_RenderChartBitmap(benchmark::State& state) {
    GraphSet& set = filledSet(kMonth);
    set.showLastPage(480);
    ChartModel& web = *set.charts[4];
    web.bottomAxis().endPercent = 96;
    web.bottomAxis().minLabelSpacingPercent = 90;
    for (auto _ : state)
        benchmark::DoNotOptimize(ChartRenderer::RenderChartBitmap(web, QSize(500, 250)));
}
BENCHMARK(BM_RenderChartBitmap)->Unit(benchmark::kMillisecond);

// A month of samples appended to the ten series; bytes per sample over all series and labels,
// with the storage reserved up front (range(0) = 1) or grown as it goes (0).
void BM_AppendMonth(benchmark::State& state) {
    const bool reserve = state.range(0) != 0;
    qsizetype bytes = 0;
    for (auto _ : state) {
        GraphSet set(reserve ? kMonth : 0);
        for (qsizetype i = 0; i < kMonth; ++i)
            set.append(i);
        state.PauseTiming();
        bytes = set.memoryBytes();
        state.ResumeTiming();
    }
    state.counters["bytes_per_sample"] = double(bytes) / double(kMonth);
}
BENCHMARK(BM_AppendMonth)->Arg(1)->Arg(0)->ArgName("reserved")->Unit(benchmark::kMillisecond);

} // namespace
