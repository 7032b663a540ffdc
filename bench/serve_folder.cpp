// Serves a folder with the program's web server until SIGINT or SIGTERM, for the load script
// (web_load.sh). Optional: /metrics with a sample, and "noise.jpg" replaced ten times a second
// the way the sample pipeline does it (temporary name, rename, skipped while a request measures
// the file).
//   serve_folder <folder> <port> [--threads-per-connection | --pool N] [--metrics] [--rewrite]
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Two different pictures of the web image's size, so a torn file would show.
QByteArray jpeg(int shade) {
    QImage image(500, 250, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int x = 0; x < 500; x += 5)
        p.fillRect(x, 125 + (x * shade) % 100 - 50, 5, 40, QColor(shade, 0, 128));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

bool replace(const QString& folder, const QByteArray& bytes) {
    const QString temp = folder + QStringLiteral("/noise.jpg.tmp");
    QFile f(temp);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
        return false;
    f.close();
    return std::rename(QFile::encodeName(temp).constData(),
                       QFile::encodeName(folder + QStringLiteral("/noise.jpg")).constData()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <port> [--threads-per-connection | --pool N] "
                             "[--metrics] [--rewrite]\n",
                     argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int port = std::atoi(argv[2]);
    WebServer::Options options;
    bool withMetrics = false, rewrite = false;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--threads-per-connection"))
            options.threading = WebServer::Threading::ThreadPerConnection;
        else if (!std::strcmp(argv[i], "--pool") && i + 1 < argc)
            options.poolThreads = unsigned(std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--metrics"))
            withMetrics = true;
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
    metrics.recordSample(s, 0, 1, QDateTime::currentDateTime());

    const QByteArray images[2] = {jpeg(40), jpeg(200)};
    if (rewrite && !replace(folder, images[0]))
        return 1;

    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr); // before the server's threads start

    WebServer server(withMetrics ? &metrics : nullptr, options);
    server.setWebFolder(folder);
    QString error;
    if (!server.start(QStringLiteral("127.0.0.1"), port, &error)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d: %s\n", port,
                     error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%d %d\n", int(images[0].size()), int(images[1].size()));
    std::fflush(stdout);

    unsigned written = 0, skipped = 0;
    const timespec tenth{0, 100 * 1000 * 1000};
    for (int tick = 0;; ++tick) {
        if (sigtimedwait(&stop, nullptr, &tenth) > 0)
            break;
        if (!rewrite)
            continue;
        if (server.imageBusy()) {
            ++skipped;
            continue;
        }
        if (replace(folder, images[tick % 2]))
            ++written;
    }
    server.stop();
    if (rewrite)
        std::fprintf(stderr, "noise.jpg replaced %u times, skipped %u times\n", written, skipped);
    return 0;
}
