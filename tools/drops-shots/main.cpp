// Serves a week of a line that drops now and then on 127.0.0.1, opens the live page in the
// browser engine at 360 px and at 1280 px and the drop report at 1100 px, and saves each as a PNG
// in the folder given.
// Usage: drops-shots [folder]
#include "capture/WebImageWriter.h"
#include "core/Clock.h"
#include "core/SamplingControl.h"
#include "core/UserMessages.h"
#include "drops/DropRecord.h"
#include "drops/DropReport.h"
#include "graphs/GraphSet.h"
#include "storage/Settings.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QApplication>
#include <QDir>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <cmath>
#include <cstdio>

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

LineSample sampleAt(int i, int connection, bool synced) {
    LineSample s;
    s.HasNoiseMargin = s.HasDataRate = s.HasUser1 = true;
    s.UptimeDisplay = QStringLiteral("6 days, 04:05:06");
    if (!synced) {
        s.setZeroSample();
        return s;
    }
    s.NoiseMarginUp = 6 + std::round(std::sin(i / 40.0) * 10) / 10;
    s.NoiseMarginDown = 3.5 + std::round(std::cos(i / 25.0) * 20) / 10;
    s.DataRateUp = 1100 + connection * 7 % 90;
    s.DataRateDown = 16000 + connection * 131 % 1500;
    s.User1Up = s.DataRateUp + 120;
    s.User1Down = s.DataRateDown + 1800;
    s.DataRateUpText = QString::number(s.DataRateUp);
    s.DataRateDownText = QString::number(s.DataRateDown);
    return s;
}

bool shoot(const QUrl& url, int width, int height, const QString& file,
           const QString& readyScript) {
    QWebEngineView view;
    view.resize(width, height);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
    view.load(url);
    if (!QTest::qWaitFor([&] { return loaded; }, 30000))
        return false;
    bool ready = readyScript.isEmpty();
    for (int i = 0; i < 100 && !ready; ++i) {
        view.page()->runJavaScript(readyScript, [&](const QVariant& v) { ready = v.toBool(); });
        QTest::qWait(100);
    }
    QTest::qWait(500); // the image and the last paint
    const bool ok = view.grab().save(file, "PNG");
    std::fprintf(stderr, "%s %s\n", qPrintable(file), ok ? "saved" : "could not be saved");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots"))
            .absolutePath();
    QDir().mkpath(out);
    QTemporaryDir home;
    const QString web = home.filePath(QStringLiteral("WebServer"));
    QDir().mkpath(web);

    Settings settings;
    settings.Web = true;
    settings.WebFolder = web;
    PrintedMessages messages;
    NoSampling sampling;
    SystemClock clock;
    GraphSet graphs(settings, messages, sampling);
    DropRecord record(messages);
    record.setFolder(home.path());
    record.setIntervalSeconds(60);
    MetricsSnapshot metrics;

    // A week at one sample a minute, a drop every 19 hours or so, a retrain now and then.
    const QDateTime now = QDateTime::currentDateTime();
    QDateTime t = now.addDays(-7);
    int connection = 0;
    LineSample last;
    for (int i = 0; t < now; ++i, t = t.addSecs(60)) {
        const bool down = i % 1151 >= 1147;
        if (i % 1151 == 1147 || i % 2203 == 2000)
            ++connection;
        last = sampleAt(i, connection, !down);
        graphs.AppendSample(GraphSet::PointLabel(t, false), GraphSet::WebLabel(t), last);
        record.feed(t, last);
        metrics.recordSample(last, 0, 1, t);
    }
    metrics.setMonitorState(MonitorState::Running);
    metrics.setRouterStatus(RouterStatus::Reading);
    WebImageWriter writer(
        settings, graphs, clock, messages, web,
        [&] {
            return ImageHeader::Texts{last.DataRateUpText, last.DataRateDownText,
                                      last.UptimeDisplay};
        },
        [] { return false; });
    if (!writer.WriteWebImage())
        return 1;

    WebServer server(&metrics);
    server.setWebFolder(web);
    server.setDropsBoard(&record.board());
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 1;
    const int port = probe.serverPort();
    probe.close();
    if (!server.start(QStringLiteral("127.0.0.1"), port))
        return 1;

    const QUrl live(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    const QString filled = QStringLiteral("document.querySelectorAll('#drops tr').length > 0");
    bool ok = shoot(live, 360, 900, out + QStringLiteral("/live-page-360.png"), filled);
    ok &= shoot(live, 1280, 900, out + QStringLiteral("/live-page-desktop.png"), filled);

    DropReport::Input in;
    in.router = QStringLiteral("192.168.1.254");
    in.line = last;
    in.user1Name = QStringLiteral("Max Data Rate");
    in.events = record.events();
    in.now = now;
    in.imageFolder = web;
    if (!in.events.empty())
        in.events.back().images = {QStringLiteral("noise.jpg")};
    const QString report = home.filePath(QStringLiteral("report.html"));
    ok &= DropReport::writeHtml(report, in);
    ok &= shoot(QUrl::fromLocalFile(report), 1100, 1400, out + QStringLiteral("/drop-report.png"),
                QString());
    server.stop();
    return ok ? 0 : 1;
}
