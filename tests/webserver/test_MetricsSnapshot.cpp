// /metrics: the text parses as the exposition format 0.0.4 and carries the last sample.
#include "HttpClient.h"
#include "ServerPorts.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

// A small reader of the exposition format: every sample belongs to a family announced with
// HELP and TYPE before it, families are not split, names and labels follow the grammar, values
// are numbers. Fails the test on any deviation; gives "name{labels}" -> value.
std::map<std::string, double> parseExposition(const std::string& text) {
    std::map<std::string, double> samples;
    EXPECT_TRUE(!text.empty() && text.back() == '\n') << "the text must end with a line feed";
    static const std::regex help(R"(# HELP ([a-zA-Z_:][a-zA-Z0-9_:]*) \S.*)");
    static const std::regex type(R"(# TYPE ([a-zA-Z_:][a-zA-Z0-9_:]*) (counter|gauge|untyped))");
    static const std::regex sample(
        R"(([a-zA-Z_:][a-zA-Z0-9_:]*)(\{([a-zA-Z_][a-zA-Z0-9_]*="[^"\\\n]*")(,[a-zA-Z_][a-zA-Z0-9_]*="[^"\\\n]*")*\})? (\S+))");
    std::set<std::string> finished, helped;
    std::string current, currentType;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_match(line, m, help)) {
            EXPECT_FALSE(helped.count(m[1])) << "HELP twice: " << line;
            helped.insert(m[1]);
        } else if (std::regex_match(line, m, type)) {
            EXPECT_TRUE(helped.count(m[1])) << "TYPE without HELP: " << line;
            if (!current.empty())
                finished.insert(current);
            EXPECT_FALSE(finished.count(m[1])) << "family split: " << line;
            current = m[1];
            currentType = m[2];
        } else if (std::regex_match(line, m, sample)) {
            EXPECT_EQ(m[1].str(), current) << "sample outside its family: " << line;
            if (currentType == "counter") {
                EXPECT_TRUE(current.ends_with("_total")) << line;
            }
            std::size_t used = 0;
            double v = 0;
            EXPECT_NO_THROW(v = std::stod(m[5].str(), &used)) << line;
            EXPECT_EQ(used, m[5].str().size()) << line;
            const std::string key = m[1].str() + m[2].str();
            EXPECT_FALSE(samples.count(key)) << "sample twice: " << line;
            samples[key] = v;
        } else {
            ADD_FAILURE() << "not a line of the format: \"" << line << '"';
        }
    }
    return samples;
}

LineSample goodLine() {
    LineSample s;
    s.NoiseMarginUp = 6.2;
    s.NoiseMarginDown = 5.9;
    s.HasNoiseMargin = true;
    s.DataRateUp = 1214;
    s.DataRateDown = 15360;
    s.HasDataRate = true;
    s.User1Up = 1300;
    s.User1Down = 17580.5;
    s.HasUser1 = true;
    s.User2Up = 21.4;
    s.User2Down = 39.1;
    s.HasUser2 = true;
    s.UptimeDisplay = QStringLiteral("1 day, 01:01:02");
    return s;
}

LineSample lostLine() {
    LineSample s = goodLine();
    s.DataRateUp = s.DataRateDown = 0;
    s.NoiseMarginUp = s.NoiseMarginDown = 0;
    return s;
}

const QDateTime kTime = QDateTime::fromSecsSinceEpoch(1700000000);

TEST(MetricsSnapshot, LastSampleInBaseUnits) {
    MetricsSnapshot m;
    m.setMonitorState(MonitorState::Running);
    m.setRouterStatus(RouterStatus::Reading);
    m.recordSample(lostLine(), 0, 1, kTime.addSecs(-30));
    m.recordSample(goodLine(), 0, 1, kTime);
    const auto v = parseExposition(m.render());
    const std::map<std::string, double> expected = {
        {R"(lintrove_noise_margin_db{direction="up"})", 6.2},
        {R"(lintrove_noise_margin_db{direction="down"})", 5.9},
        // Kbps x 1000 / 8: bytes are Prometheus's unit for data.
        {R"(lintrove_sync_rate_bytes_per_second{direction="up"})", 151750},
        {R"(lintrove_sync_rate_bytes_per_second{direction="down"})", 1920000},
        {R"(lintrove_max_data_rate_bytes_per_second{direction="up"})", 162500},
        {R"(lintrove_max_data_rate_bytes_per_second{direction="down"})", 2197562.5},
        {R"(lintrove_line_attenuation_db{direction="up"})", 21.4},
        {R"(lintrove_line_attenuation_db{direction="down"})", 39.1},
        {"lintrove_router_uptime_seconds", 90062},
        {"lintrove_line_up", 1},
        {"lintrove_samples_total", 2},
        {"lintrove_lost_connections_total", 0},
        {"lintrove_last_sample_timestamp_seconds", 1700000000},
        {R"(lintrove_monitor_state{state="running"})", 1},
        {R"(lintrove_monitor_state{state="paused"})", 0},
        {R"(lintrove_monitor_state{state="stopped"})", 0},
        {R"(lintrove_monitor_state{state="not_started"})", 0},
        {R"(lintrove_router_state{state="connecting"})", 0},
        {R"(lintrove_router_state{state="reading"})", 1},
        {R"(lintrove_router_state{state="not_reachable"})", 0},
        {R"(lintrove_router_state{state="not_responding"})", 0},
        {R"(lintrove_router_state{state="password_rejected"})", 0},
        {R"(lintrove_router_state{state="no_statistics"})", 0},
        {R"(lintrove_router_state{state="paused"})", 0},
        {R"(lintrove_router_state{state="stopped"})", 0},
    };
    EXPECT_EQ(v, expected);
}

TEST(MetricsSnapshot, BeforeAnySampleOnlyStateAndCounters) {
    MetricsSnapshot m;
    const auto v = parseExposition(m.render());
    EXPECT_EQ(v.size(), 14u);
    EXPECT_EQ(v.at(R"(lintrove_monitor_state{state="not_started"})"), 1);
    EXPECT_EQ(v.at(R"(lintrove_router_state{state="connecting"})"), 1);
    EXPECT_EQ(v.at("lintrove_samples_total"), 0);
    EXPECT_FALSE(v.count("lintrove_line_up"));
}

// The line is up only while the router is read: a sample with sync from before the router went
// silent, or before a pause, says nothing about the line now.
TEST(MetricsSnapshot, LineIsUpOnlyWhileTheRouterIsRead) {
    for (const RouterStatus status : kRouterStatuses) {
        SCOPED_TRACE(routerStatusName(status));
        MetricsSnapshot m;
        m.recordSample(goodLine(), 0, 1, kTime);
        m.setRouterStatus(status);
        const auto v = parseExposition(m.render());
        EXPECT_EQ(v.at("lintrove_line_up"), status == RouterStatus::Reading ? 1 : 0);
        double states = 0;
        for (const RouterStatus other : kRouterStatuses) {
            const double one = v.at("lintrove_router_state{state=\"" +
                                    std::string(routerStatusName(other)) + "\"}");
            EXPECT_EQ(one, other == status ? 1 : 0) << routerStatusName(other);
            states += one;
        }
        EXPECT_EQ(states, 1);
    }
}

// Prometheus's own linter (promtool, from the prometheus package that scripts/install-deps.sh
// installs) passes the page before the first sample and with every family present. A missing
// promtool fails the test: the check must not vanish quietly from a machine.
TEST(MetricsSnapshot, PromtoolFindsNothingToReport) {
    MetricsSnapshot empty;
    MetricsSnapshot rates; // the sync and maximum rates, in bytes
    rates.setMonitorState(MonitorState::Running);
    rates.recordSample(goodLine(), 0, 1, kTime);
    MetricsSnapshot attenuations; // the other user quantities, after a lost connection
    attenuations.recordSample(goodLine(), 2, 1, kTime.addSecs(-30));
    attenuations.recordSample(lostLine(), 2, 1, kTime);
    const std::pair<const char*, const MetricsSnapshot*> cases[] = {
        {"before the first sample", &empty},
        {"maximum rate and line attenuation", &rates},
        {"signal and line attenuation", &attenuations},
    };
    for (const auto& [name, snapshot] : cases) {
        const std::string text = snapshot->render();
        QProcess promtool;
        promtool.setProcessChannelMode(QProcess::MergedChannels);
        promtool.start(QStringLiteral("promtool"),
                       {QStringLiteral("check"), QStringLiteral("metrics")});
        ASSERT_TRUE(promtool.waitForStarted())
            << "promtool: " << promtool.errorString().toStdString()
            << " (scripts/install-deps.sh installs the prometheus package)";
        promtool.write(text.data(), qint64(text.size()));
        promtool.closeWriteChannel();
        ASSERT_TRUE(promtool.waitForFinished()) << name;
        EXPECT_EQ(promtool.exitStatus(), QProcess::NormalExit) << name;
        EXPECT_EQ(promtool.exitCode(), 0) << name;
        EXPECT_EQ(promtool.readAll().toStdString(), "") << name << ":\n" << text;
    }
}

TEST(MetricsSnapshot, UserQuantitiesUnderTheirOwnNamesOnce) {
    struct Case {
        int user1, user2;
        std::vector<std::string> families;
    };
    const Case cases[] = {
        {2, 1, {"lintrove_signal_attenuation_db", "lintrove_line_attenuation_db"}},
        {1, 1, {"lintrove_line_attenuation_db"}}, // both graphs on one quantity: user 1's values
        {7, 0, {"lintrove_signal_attenuation_db", "lintrove_max_data_rate_bytes_per_second"}},
    };
    for (const Case& c : cases) {
        MetricsSnapshot m;
        m.recordSample(goodLine(), c.user1, c.user2, kTime);
        const auto v = parseExposition(m.render());
        int userFamilies = 0;
        for (const char* f : {"lintrove_signal_attenuation_db", "lintrove_line_attenuation_db",
                              "lintrove_max_data_rate_bytes_per_second"})
            userFamilies += v.count(std::string(f) + R"({direction="up"})");
        EXPECT_EQ(userFamilies, int(c.families.size())) << c.user1 << "," << c.user2;
        const double scale = c.families[0].ends_with("second") ? 125 : 1;
        EXPECT_EQ(v.at(c.families[0] + R"({direction="down"})"), goodLine().User1Down * scale);
    }
}

TEST(MetricsSnapshot, LostConnectionsCountLineGoingDown) {
    auto with = [](double rateDown, double marginDown) {
        LineSample s = goodLine();
        s.DataRateDown = rateDown;
        s.NoiseMarginDown = marginDown;
        return s;
    };
    // up, down (lost), down, up, down at exactly 0 dB (lost), up at 100 Kbps, down at 99.9 (lost)
    const std::vector<LineSample> run = {goodLine(),     lostLine(),     lostLine(),     goodLine(),
                                         with(15000, 0), with(100, 0.1), with(99.9, 6.0)};
    MetricsSnapshot m;
    m.recordSample(lostLine(), 0, 1, kTime); // down from the start is no lost connection
    for (const LineSample& s : run)
        m.recordSample(s, 0, 1, kTime);
    const auto v = parseExposition(m.render());
    EXPECT_EQ(v.at("lintrove_lost_connections_total"), 3);
    EXPECT_EQ(v.at("lintrove_samples_total"), 8);
    EXPECT_EQ(v.at("lintrove_line_up"), 0);
}

TEST(MetricsSnapshot, MissingGroupsAndUptimeAreLeftOut) {
    LineSample s;
    s.UptimeDisplay.clear();
    MetricsSnapshot m;
    m.recordSample(s, 0, 1, kTime);
    const auto v = parseExposition(m.render());
    for (const auto& [key, value] : v) {
        EXPECT_EQ(key.find("direction"), std::string::npos) << key;
        EXPECT_EQ(key.find("uptime"), std::string::npos) << key;
    }
    EXPECT_EQ(v.at("lintrove_line_up"), 0);
}

TEST(MetricsSnapshot, ServedWhileTheSampleChanges) {
    MetricsSnapshot metrics;
    metrics.setMonitorState(MonitorState::Paused);
    metrics.setRouterStatus(RouterStatus::Reading);
    metrics.recordSample(goodLine(), 0, 1, kTime);
    QTemporaryDir folder;
    WebServer server(&metrics);
    server.setWebFolder(folder.path());
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);

    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; !done; ++i)
            metrics.recordSample(i % 2 ? goodLine() : lostLine(), 0, 1, kTime);
    });
    for (int i = 0; i < 20; ++i) {
        const HttpAnswer a = httpRequest(port, "/metrics");
        ASSERT_EQ(a.status, 200);
        EXPECT_EQ(a.header("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
        const auto v = parseExposition(a.body);
        // One consistent sample: the margin and line_up always come from the same one.
        EXPECT_EQ(v.at("lintrove_line_up") == 1,
                  v.at(R"(lintrove_noise_margin_db{direction="down"})") > 0);
        EXPECT_EQ(v.at(R"(lintrove_monitor_state{state="paused"})"), 1);
    }
    done = true;
    writer.join();
    EXPECT_EQ(httpRequest(port, "/metrics", "POST").status, 404); // a file name, not the page
}

TEST(MetricsSnapshot, UptimeTextToSeconds) {
    const std::pair<const char*, qint64> cases[] = {
        {"1 day, 01:01:02", 90062},
        {"0 days, 00:00:01", 1},
        {"2 days, 01:01:02", 176462},
        {"123 days, 23:59:59", 10713599},
        {"", -1},
        {"1 day 01:01:02", -1},
        {"x days, 01:01:02", -1},
        {"1 dayz, 01:01:02", -1},
    };
    for (const auto& [text, seconds] : cases)
        EXPECT_EQ(LineSample::uptimeSeconds(QString::fromUtf8(text)), seconds) << text;
}

} // namespace
