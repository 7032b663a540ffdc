// Serves a week of a line that drops now and then on 127.0.0.1, opens the live page in the
// browser engine at 360 px and at 1280 px and the drop report at 1100 px, shows the Line Drops
// window on three weeks of drops, and saves each as a PNG in the folder given.
// Usage: drops-shots [folder]
#include "app/dialogs/LineDropsWindow.h"
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
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>

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

// Three weeks of a line that drops a few times a day some days and not at all on others: long
// drops with their graph images, short ones, retrains and a router restart.
std::vector<DropEvent> threeWeeksOfDrops(const QDateTime& now) {
    std::vector<DropEvent> events;
    std::mt19937 random(20261203);
    const auto next = [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    };
    double rateDown = 17388, rateUp = 1180;
    for (int day = 21; day >= 0; --day) {
        const int drops = day % 4 == 1 ? 0 : next(3);
        for (int k = 0; k < drops; ++k) {
            DropEvent e;
            const QDateTime start = QDateTime(now.date().addDays(-day), QTime(0, 0))
                                        .addSecs(3600 * (2 + k * 8) + next(6 * 3600));
            if (start >= now.addSecs(-3600))
                continue;
            const int kindRoll = next(10);
            e.kind = kindRoll < 7   ? DropEvent::Kind::Drop
                     : kindRoll < 9 ? DropEvent::Kind::Retrain
                                    : DropEvent::Kind::RouterRestart;
            const int samplesDown = e.kind == DropEvent::Kind::Drop ? 1 + next(40) : 0;
            const DropSide before{start, 6.1 + next(8) / 10.0, 1.8 + next(20) / 10.0, rateUp,
                                  rateDown};
            if (e.kind != DropEvent::Kind::Drop || next(2) == 0) {
                rateDown = 16400 + next(1600);
                rateUp = 1090 + next(120);
            }
            const DropSide after{start.addSecs(30 * (samplesDown + 1)), 6.0 + next(10) / 10.0,
                                 3.0 + next(30) / 10.0, rateUp, rateDown};
            e = DropEvent::evenlySampled(e.kind, before, after, samplesDown, 30);
            if (e.samplesDown > 8) {
                const QString stamp = e.after.time.toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss"));
                for (const char* graph :
                     {"NoiseMargin", "ConnectionSpeed", "MaxDataRate", "LineAttenuation"})
                    e.images << QStringLiteral("Ltrv-%1-%2.jpg").arg(QLatin1String(graph), stamp);
            }
            events.push_back(e);
        }
    }
    return events;
}

bool shootWindow(QWidget& window, const QString& file) {
    window.show();
    QTest::qWait(500);
    const bool ok = window.grab().save(file, "PNG");
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
    std::optional<LineReading> lastSynced;
    for (int i = 0; t < now; ++i, t = t.addSecs(60)) {
        const bool down = i % 1151 >= 1147;
        if (i % 1151 == 1147 || i % 2203 == 2000)
            ++connection;
        last = sampleAt(i, connection, !down);
        graphs.AppendSample(GraphSet::PointLabel(t, false), GraphSet::WebLabel(t), last);
        const LineReading reading = LineReading::ofPage(t, last);
        record.feed(reading);
        metrics.recordReading(reading, 0, 1);
        if (reading.state == LineReading::State::Synced)
            lastSynced = reading;
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
    in.lastSynced = lastSynced;
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

    const std::vector<DropEvent> weeks = threeWeeksOfDrops(now);
    LineDropsWindow drops;
    drops.setEvents(&weeks, now);
    drops.table()->selectRow(2);
    drops.setStatusText(
        QStringLiteral("Report written to %1")
            .arg(QDir::home().filePath(
                QStringLiteral("Lintrove5A-drops-report-%1.html").arg(now.toString("yyyyMMdd")))));
    ok &= shootWindow(drops, out + QStringLiteral("/line-drops-window.png"));
    return ok ? 0 : 1;
}
