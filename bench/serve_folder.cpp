// Serves a folder with the program's web server until SIGINT or SIGTERM, for the load script
// (web_load.sh). "noise.jpg" is the program's own web image: the hidden noise-margin chart of a
// graph set holding a day of samples, at the default web size, written by the program's writer
// (temporary name, rename, skipped while a request measures the file). Optional: /metrics with a
// sample, /status.json and /drops.csv over a drop record of 100 drops, and a new sample plotted
// and the image rewritten ten times a second.
//   serve_folder <folder> <port> [--threads-per-connection | --pool N] [--metrics] [--drops]
//                [--rewrite]
// Prints the size of the first image once the server listens.
#include "capture/WebImageWriter.h"
#include "core/Clock.h"
#include "core/LineSample.h"
#include "core/SamplingControl.h"
#include "core/UserMessages.h"
#include "drops/DropRecord.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

class PrintedMessages : public UserMessages {
public:
    void inform(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void error(const QString& text) override { inform(text); }
};
class NoSampling : public SamplingControl {
public:
    void suspendSampling() override {}
    void resumeSampling() override {}
};

// Drifting values, as a line that is being watched.
LineSample sampleNumber(int i) {
    LineSample s;
    s.NoiseMarginUp = 6 + std::sin(i / 20.0);
    s.NoiseMarginDown = 3 + std::cos(i / 15.0);
    s.HasNoiseMargin = true;
    s.DataRateUp = 1000 + i % 50;
    s.DataRateDown = 15000 - i % 300;
    s.HasDataRate = true;
    s.DataRateUpText = QString::number(s.DataRateUp);
    s.DataRateDownText = QString::number(s.DataRateDown);
    return s;
}

constexpr int kHistory = 12;

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // the chart is drawn with fonts
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s <folder> <port> [--threads-per-connection | --pool N] "
                     "[--metrics] [--drops] [--rewrite]\n",
                     argv[0]);
        return 2;
    }
    const QString folder = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int port = std::atoi(argv[2]);
    WebServer::Options options;
    bool withMetrics = false, withDrops = false, rewrite = false;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--threads-per-connection"))
            options.threading = WebServer::Threading::ThreadPerConnection;
        else if (!std::strcmp(argv[i], "--pool") && i + 1 < argc)
            options.poolThreads = unsigned(std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--metrics"))
            withMetrics = true;
        else if (!std::strcmp(argv[i], "--drops"))
            withDrops = true;
        else if (!std::strcmp(argv[i], "--rewrite"))
            rewrite = true;
    }

    MetricsSnapshot metrics;
    LineSample s;
    s.NoiseMarginUp = 6.2, s.NoiseMarginDown = 5.9, s.HasNoiseMargin = true;
    s.DataRateUp = 1214, s.DataRateDown = 15360, s.HasDataRate = true;
    s.User1Up = 1300, s.User1Down = 17580, s.HasUser1 = true;
    s.User2Up = 21.4, s.User2Down = 39.1, s.HasUser2 = true;
    s.UptimeDisplay = QStringLiteral("1 days, 01:01:02");
    metrics.setMonitorState(MonitorState::Running);
    LineReading reading;
    reading.time = QDateTime::currentDateTime();
    reading.state = LineReading::stateOf(s);
    reading.why = LineReading::Why::None;
    reading.sample = s;
    reading.uptimeSeconds = LineSample::uptimeSeconds(s.UptimeDisplay);
    metrics.recordReading(reading, 0, 1);

    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr); // before the server's threads start

    WebServer server(withMetrics ? &metrics : nullptr, options);
    server.setWebFolder(folder);

    // A record of 100 drops of a minute, one every few hours, the last ones this week.
    PrintedMessages recordMessages;
    QTemporaryDir recordFolder;
    DropRecord record(recordMessages);
    record.setFolder(recordFolder.path());
    if (withDrops) {
        LineSample down;
        down.setZeroSample();
        QDateTime t = QDateTime::currentDateTime().addDays(-25);
        for (int i = 0; i < 100; ++i, t = t.addSecs(6 * 3600)) {
            record.feed(LineReading::ofPage(t, s));
            record.feed(LineReading::ofPage(t.addSecs(30), down));
            record.feed(LineReading::ofPage(t.addSecs(60), s));
        }
        server.setDropsBoard(&record.board());
    }

    // The program's web image at its default size, a few minutes into a run.
    Settings settings;
    settings.Web = true;
    settings.WebFolder = folder;
    PrintedMessages messages;
    NoSampling sampling;
    SystemClock clock;
    GraphSet graphs(settings, messages, sampling);
    int plotted = 0;
    const QDateTime t0 = QDateTime::currentDateTime().addDays(-1);
    const auto plot = [&] {
        const QDateTime t = t0.addSecs(30 * plotted);
        graphs.AppendSample(GraphSet::PointLabel(t, false), GraphSet::WebLabel(t),
                            sampleNumber(plotted));
        ++plotted;
    };
    for (int i = 0; i < kHistory; ++i)
        plot();
    WebImageWriter writer(
        settings, graphs, clock, messages, folder,
        [&] {
            const LineSample latest = sampleNumber(plotted - 1);
            return ImageHeader::Texts{latest.DataRateUpText, latest.DataRateDownText,
                                      QStringLiteral("1 days, 01:01:02")};
        },
        [&] { return server.imageBusy(); });
    if (!writer.WriteWebImage())
        return 1;

    QString error;
    if (!server.start(QStringLiteral("127.0.0.1"), port, &error)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d: %s\n", port,
                     error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%lld\n", QFileInfo(folder + QStringLiteral("/noise.jpg")).size());
    std::fflush(stdout);

    unsigned written = 0, skipped = 0;
    const timespec tenth{0, 100 * 1000 * 1000};
    while (sigtimedwait(&stop, nullptr, &tenth) <= 0) {
        if (!rewrite)
            continue;
        plot();
        if (server.imageBusy())
            ++skipped;
        else if (writer.WriteWebImage())
            ++written;
    }
    server.stop();
    if (rewrite)
        std::fprintf(stderr, "noise.jpg replaced %u times, skipped %u times\n", written, skipped);
    return 0;
}
