// The pages the web server makes itself, through real HTTP on 127.0.0.1: the live page at / (a
// folder's own index.html wins), /status.json, /drops.csv and the drop counters on /metrics.
#include "HttpClient.h"
#include "ServerPorts.h"
#include "drops/DropRecord.h"
#include "drops/DropRecordFile.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "Readings.h"

#include "RecordingMessages.h"

namespace {

void writeText(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

LineSample lineSample(double nmDown, double rateDown, const QString& uptime) {
    return statsSample(nmDown, rateDown, uptime);
}

LineReading readingOf(const LineSample& s, const QDateTime& t) {
    return LineReading::ofPage(t, s);
}

class WebServerPages : public ::testing::Test {
protected:
    void SetUp() override {
        web = tmp.path() + "/WebServer";
        QDir().mkpath(web);
        record.setFolder(tmp.path());
        server.setWebFolder(web);
        server.setDropsBoard(&record.board());
        port = startOnFreePort(server);
        ASSERT_NE(port, 0);
    }

    // A drop of 60 s that ended at 10:01, then the line down again since 10:02.
    void recordDrops() {
        const QDateTime t(QDate(2026, 12, 8), QTime(10, 0));
        const LineSample up = lineSample(6.1, 17000, "1 day, 01:00:00");
        const LineSample down = lineSample(0, 0, "1 day, 01:00:00");
        const std::pair<int, LineSample> samples[] = {
            {0, up},
            {30, down},
            {60, lineSample(5.5, 16000, "1 day, 01:01:00")},
            {90, lineSample(5.5, 16000, "1 day, 01:01:30")},
            {120, down}};
        for (const auto& [secs, s] : samples) {
            record.feed(readingOf(s, t.addSecs(secs)));
            metrics.recordReading(readingOf(s, t.addSecs(secs)), 0, 1);
        }
        metrics.setMonitorState(MonitorState::Running);
        metrics.setRouterStatus(RouterStatus::Reading);
    }

    QTemporaryDir tmp;
    QString web;
    RecordingMessages messages;
    DropRecord record{messages};
    MetricsSnapshot metrics;
    WebServer server{&metrics};
    int port = 0;
};

TEST_F(WebServerPages, TheRootIsTheLivePageUnlessTheFolderHasItsOwnIndex) {
    const HttpAnswer live = httpRequest(port, "/");
    EXPECT_EQ(live.status, 200);
    EXPECT_EQ(live.header("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(live.body.find("status.json"), std::string::npos);
    EXPECT_NE(live.body.find("noise.jpg"), std::string::npos);
    EXPECT_NE(live.body.find("width=device-width"), std::string::npos);
    // Nothing comes from elsewhere.
    for (const char* external : {"http:", "https:", "//cdn", "@import"})
        EXPECT_EQ(live.body.find(external), std::string::npos) << external;
    // Only GET and HEAD see it.
    EXPECT_EQ(httpRequest(port, "/", "POST").status, 404);

    writeText(web + "/index.html", "<html>mine</html>");
    writeText(web + "/sub/index.html", "<html>sub index</html>");
    const std::pair<const char*, const char*> cases[] = {
        {"/", "<html>mine</html>"},
        {"/sub", "<html>sub index</html>"},
        {"/sub/", "<html>sub index</html>"},
        {"/sub/index.html", "<html>sub index</html>"},
    };
    for (const auto& [target, body] : cases) {
        const HttpAnswer a = httpRequest(port, target);
        EXPECT_EQ(a.status, 200) << target;
        EXPECT_EQ(a.body, body) << target;
    }
    // An index.html that leads out of the folder is not followed.
    writeText(tmp.path() + "/outside.html", "secret");
    QDir(web + "/sub").removeRecursively();
    QDir().mkpath(web + "/sub");
    ASSERT_TRUE(QFile::link(tmp.path() + "/outside.html", web + "/sub/index.html"));
    EXPECT_EQ(httpRequest(port, "/sub/").status, 403);
}

TEST_F(WebServerPages, StatusJsonHasTheSampleTheStatesAndTheDrops) {
    recordDrops();
    const HttpAnswer a = httpRequest(port, "/status.json");
    ASSERT_EQ(a.status, 200);
    EXPECT_EQ(a.header("Content-Type"), "application/json; charset=utf-8");
    QJsonParseError error;
    const QJsonObject s =
        QJsonDocument::fromJson(QByteArray::fromStdString(a.body), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << a.body;
    EXPECT_EQ(s["monitor"].toString(), "running");
    EXPECT_EQ(s["router"].toString(), "reading");
    EXPECT_FALSE(s["lineUp"].toBool());
    EXPECT_EQ(s["sampleSeconds"].toInt(), 30);
    const QJsonObject sample = s["sample"].toObject();
    EXPECT_EQ(sample["time"].toString(),
              DropRecordFile::TimeText(QDateTime(QDate(2026, 12, 8), QTime(10, 2))));
    EXPECT_EQ(sample["noiseMarginDb"].toObject()["down"].toDouble(), 0.0);
    EXPECT_EQ(sample["maxDataRateKbps"].toObject()["down"].toDouble(), 18000.0);
    EXPECT_EQ(sample["uptimeSeconds"].toInt(), 90000);
    EXPECT_EQ(s["drop"].toObject()["since"].toString(),
              DropRecordFile::TimeText(QDateTime(QDate(2026, 12, 8), QTime(10, 1, 30))));
    EXPECT_EQ(s["sinceStart"].toObject()["drop"].toInt(), 1);
    // Single readings without sync: no length of time was seen down.
    EXPECT_EQ(s["sinceStart"].toObject()["downSeconds"].toDouble(), 0.0);
    const QJsonArray last = s["lastDrops"].toArray();
    ASSERT_EQ(last.size(), 1);
    EXPECT_EQ(last[0].toObject()["kind"].toString(), "drop");
    EXPECT_EQ(last[0].toObject()["durationSeconds"].toInt(), 60);
    EXPECT_EQ(last[0].toObject()["after"].toObject()["syncRateKbps"].toObject()["down"].toDouble(),
              16000.0);
    EXPECT_EQ(s["summary"].toObject()["last30Days"].toObject()["count"].toInt(), 1);
}

TEST_F(WebServerPages, KeptPagesFollowEveryChange) {
    recordDrops();
    const auto status = [&] {
        return QJsonDocument::fromJson(
                   QByteArray::fromStdString(httpRequest(port, "/status.json").body))
            .object();
    };
    const std::string csvBefore = httpRequest(port, "/drops.csv").body;
    EXPECT_EQ(status()["router"].toString(), "reading");
    metrics.setRouterStatus(RouterStatus::NotResponding);
    EXPECT_EQ(status()["router"].toString(), "not_responding");
    // The drop in progress ends: a new sample, a new drop, a new record.
    const QDateTime end(QDate(2026, 12, 8), QTime(10, 3));
    const LineSample up = lineSample(6.0, 16500, "0 days, 00:00:30");
    record.feed(readingOf(up, end));
    metrics.recordReading(readingOf(up, end), 0, 1);
    const QJsonObject s = status();
    EXPECT_EQ(s["sample"].toObject()["time"].toString(), DropRecordFile::TimeText(end));
    EXPECT_EQ(s["lastDrops"].toArray()[0].toObject()["kind"].toString(), "router_restart");
    const std::string csvAfter = httpRequest(port, "/drops.csv").body;
    EXPECT_GT(csvAfter.size(), csvBefore.size());
    EXPECT_EQ(csvAfter.rfind(csvBefore, 0), 0u);
}

TEST_F(WebServerPages, DropsCsvIsTheRecordAndMetricsCountTheDrops) {
    recordDrops();
    const HttpAnswer csv = httpRequest(port, "/drops.csv");
    ASSERT_EQ(csv.status, 200);
    EXPECT_EQ(csv.header("Content-Type"), "text/csv; charset=utf-8");
    QFile f(record.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray::fromStdString(csv.body), f.readAll());

    const std::string m = httpRequest(port, "/metrics").body;
    for (const char* line : {"lintrove_line_drops_total{kind=\"drop\"} 1\n",
                             "lintrove_line_drops_total{kind=\"retrain\"} 0\n",
                             "lintrove_line_drops_total{kind=\"router_restart\"} 0\n",
                             "lintrove_line_down_seconds_total 0\n",
                             "# TYPE lintrove_line_down_seconds_total counter\n"})
        EXPECT_NE(m.find(line), std::string::npos) << line << m;
    // A POST is a request for a file of that name.
    EXPECT_EQ(httpRequest(port, "/drops.csv", "POST").status, 404);
}

TEST(WebServerPagesWithoutRecord, DropsCsvIsAFileAndStatusHasNoDrops) {
    QTemporaryDir tmp;
    MetricsSnapshot metrics;
    WebServer server(&metrics);
    server.setWebFolder(tmp.path());
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);
    EXPECT_EQ(httpRequest(port, "/drops.csv").status, 404);
    const QJsonObject s =
        QJsonDocument::fromJson(QByteArray::fromStdString(httpRequest(port, "/status.json").body))
            .object();
    EXPECT_TRUE(s["sample"].isNull());
    EXPECT_TRUE(s["lastDrops"].toArray().isEmpty());
    EXPECT_EQ(s["monitor"].toString(), "not_started");
}

} // namespace
