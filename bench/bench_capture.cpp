// Figures for the graph images: encoding a 1000 x 500 chart image through the program's JPEG
// writer beside a bare libjpeg-turbo encode of the same pixels, and a capture of all four graphs
// with the files written.
#include "capture/GraphCapture.h"
#include "capture/JpegWriter.h"
#include "charting/ChartRenderer.h"
#include "core/Clock.h"
#include "core/LineSample.h"
#include "core/SamplingControl.h"
#include "core/UserMessages.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>

namespace {

const QSize kSize(1000, 500);

class NoMessages : public UserMessages {
public:
    void inform(const QString&) override {}
    void error(const QString&) override {}
};
class NoSampling : public SamplingControl {
public:
    void suspendSampling() override {}
    void resumeSampling() override {}
};
class FixedClock : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2021, 3, 2), QTime(9, 15)); }
    qint64 steadyMs() const override { return 0; }
};

// A graph set holding a full page of drifting samples, as after a day of monitoring.
struct Graphs {
    Settings settings;
    NoMessages messages;
    NoSampling sampling;
    GraphSet set{settings, messages, sampling};
    Graphs() {
        const QDateTime t0(QDate(2021, 3, 2), QTime(0, 0));
        for (int i = 0; i < 600; ++i) {
            LineSample s;
            s.NoiseMarginUp = 6 + std::sin(i / 20.0);
            s.NoiseMarginDown = 3 + std::cos(i / 15.0);
            s.DataRateUp = 1000 + i % 50;
            s.DataRateDown = 15000 - i % 300;
            s.User1Up = 1200 + i % 40;
            s.User1Down = 16000 - i % 200;
            s.User2Up = 20 + i % 3;
            s.User2Down = 40 + i % 5;
            const QDateTime t = t0.addSecs(30 * i);
            set.AppendSample(GraphSet::PointLabel(t, true), GraphSet::WebLabel(t), s);
        }
    }
};

QImage chartImage() {
    static Graphs graphs;
    return ChartRenderer::RenderChartBitmap(graphs.set.chart(GraphSet::Chart1), kSize);
}

// The same encoder settings with libjpeg-turbo's own API, reading the 32-bit pixels directly.
QByteArray bareEncode(const QImage& image) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, JpegWriter::Quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outSize));
    free(out);
    return bytes;
}

void BM_EncodeChartImage(benchmark::State& state) {
    const QImage image = chartImage();
    for (auto _ : state) {
        QByteArray bytes = JpegWriter::encode(image);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_EncodeChartImage)->Unit(benchmark::kMillisecond);

void BM_EncodeChartImageBareLibjpeg(benchmark::State& state) {
    const QImage image = chartImage();
    for (auto _ : state) {
        QByteArray bytes = bareEncode(image);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_EncodeChartImageBareLibjpeg)->Unit(benchmark::kMillisecond);

// All four graphs at 1000 x 500 with headers, encoded and written (temporary file and rename).
void BM_CaptureAllGraphs(benchmark::State& state) {
    static Graphs graphs;
    QTemporaryDir dir;
    graphs.settings.Capture = dir.path();
    FixedClock clock;
    NoMessages messages;
    GraphCapture::View view;
    view.pageSize = [] { return kSize; };
    view.userGraphName = [](int i) {
        return i == 0 ? QStringLiteral("Max Data Rate") : QStringLiteral("Line Attenuation");
    };
    GraphCapture capture(graphs.settings, graphs.set, clock, messages, dir.path(), view);
    for (auto _ : state) {
        if (capture.CaptureAllGraphs() != 4)
            state.SkipWithError("capture failed");
    }
}
BENCHMARK(BM_CaptureAllGraphs)->Unit(benchmark::kMillisecond);

} // namespace
