// /metrics: the text parses as the exposition format 0.0.4 and carries the last reading, with
// no values at all while the router is not read; the drop record's counters beside it.
#include "HttpClient.h"
#include "ServerPorts.h"
#include "webserver/DropMetrics.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/WebServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "Readings.h"
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

// A statistics page's reading, as the page driver makes it.
LineReading read(const LineSample& s, const QDateTime& t = kTime) {
    LineReading r;
    r.time = t;
    r.statsPage = true;
    r.sample = s;
    r.state = LineReading::stateOf(s);
    r.why = r.isRead() ? LineReading::Why::None : LineReading::Why::GroupMissing;
    r.uptimeSeconds = LineSample::uptimeSeconds(s.UptimeDisplay);
    return r;
}

// A page that did not read the line: zeros in every group, for the graphs' sake.
LineReading unread(const QDateTime& t = kTime,
                   LineReading::Why why = LineReading::Why::NotResponding) {
    return unreadReading(t, why);
}

TEST(MetricsSnapshot, LastReadingInBaseUnits) {
    MetricsSnapshot m;
    m.setMonitorState(MonitorState::Running);
    m.setRouterStatus(RouterStatus::Reading);
    m.recordReading(read(lostLine(), kTime.addSecs(-30)), 0, 1);
    m.recordReading(read(goodLine()), 0, 1);
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
        {"lintrove_last_reading_timestamp_seconds", 1700000000},
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

// The line is up or down only while the router is read: a reading with sync from before a
// pause says nothing about the line now, and neither does 0.
TEST(MetricsSnapshot, LineUpOnlyWhileTheRouterIsRead) {
    for (const RouterStatus status : kRouterStatuses) {
        SCOPED_TRACE(routerStatusName(status));
        MetricsSnapshot m;
        m.recordReading(read(goodLine()), 0, 1);
        m.setRouterStatus(status);
        const auto v = parseExposition(m.render());
        if (status == RouterStatus::Reading)
            EXPECT_EQ(v.at("lintrove_line_up"), 1);
        else
            EXPECT_FALSE(v.count("lintrove_line_up"));
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

// The zeros of a reading that did not read the line are no measurement: the line's gauges and
// lintrove_line_up are left out (Prometheus marks them stale), never shown as 0 dB; the time of
// the last reading that did read it stays.
TEST(MetricsSnapshot, NoValuesWhileTheRouterIsNotRead) {
    const QDateTime t1 = kTime, t2 = kTime.addSecs(30);
    LineSample marginsOnly = goodLine();
    marginsOnly.HasDataRate = false;
    struct Case {
        const char* name;
        std::vector<LineReading> readings;
        RouterStatus router;
        std::optional<double> lineUp, marginDown, lastReading;
    };
    const Case cases[] = {
        {"synced", {read(goodLine(), t1)}, RouterStatus::Reading, 1, 5.9, 1700000000},
        {"no sync is a reading", {read(lostLine(), t1)}, RouterStatus::Reading, 0, 0, 1700000000},
        {"not responding after a reading",
         {read(goodLine(), t1), unread(t2)},
         RouterStatus::NotResponding,
         std::nullopt,
         std::nullopt,
         1700000000},
        {"password rejected after no sync",
         {read(lostLine(), t1), unread(t2, LineReading::Why::PasswordRejected)},
         RouterStatus::PasswordRejected,
         std::nullopt,
         std::nullopt,
         1700000000},
        {"statistics with a group missing",
         {read(goodLine(), t1), read(marginsOnly, t2)},
         RouterStatus::Reading,
         std::nullopt,
         std::nullopt,
         1700000000},
        {"never read", {unread(t1), unread(t2)}, RouterStatus::NotReachable, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetricsSnapshot m;
        m.setRouterStatus(c.router);
        for (const LineReading& r : c.readings)
            m.recordReading(r, 0, 1);
        const auto v = parseExposition(m.render());
        const auto get = [&v](const std::string& key) -> std::optional<double> {
            const auto it = v.find(key);
            return it == v.end() ? std::nullopt : std::optional(it->second);
        };
        EXPECT_EQ(get("lintrove_line_up"), c.lineUp);
        EXPECT_EQ(get(R"(lintrove_noise_margin_db{direction="down"})"), c.marginDown);
        EXPECT_EQ(get("lintrove_last_reading_timestamp_seconds"), c.lastReading);
        EXPECT_EQ(get("lintrove_last_sample_timestamp_seconds"),
                  double(c.readings.back().time.toSecsSinceEpoch()));
        EXPECT_EQ(get("lintrove_samples_total"), double(c.readings.size()));
        if (!c.lineUp) {
            for (const auto& [key, value] : v) {
                EXPECT_EQ(key.find("direction"), std::string::npos) << key;
                EXPECT_EQ(key.find("uptime"), std::string::npos) << key;
            }
        }
    }
}

// Prometheus's own linter (promtool, from the prometheus package that scripts/install-deps.sh
// installs) passes the page before the first sample and with every family present. A missing
// promtool fails the test: the check must not vanish quietly from a machine.
TEST(MetricsSnapshot, PromtoolFindsNothingToReport) {
    MetricsSnapshot empty;
    MetricsSnapshot rates; // the sync and maximum rates, in bytes
    rates.setMonitorState(MonitorState::Running);
    rates.setRouterStatus(RouterStatus::Reading);
    rates.recordReading(read(goodLine()), 0, 1);
    MetricsSnapshot attenuations; // the other user quantities, after a lost connection
    attenuations.setRouterStatus(RouterStatus::Reading);
    attenuations.recordReading(read(goodLine(), kTime.addSecs(-30)), 2, 1);
    attenuations.recordReading(read(lostLine()), 2, 1);
    MetricsSnapshot unreadRouter; // the values left out
    unreadRouter.setRouterStatus(RouterStatus::NotResponding);
    unreadRouter.recordReading(read(goodLine(), kTime.addSecs(-30)), 0, 1);
    unreadRouter.recordReading(unread(), 0, 1);
    DropsBoard::Content drops;
    drops.eventsSinceStart = {2, 1, 0, 3};
    drops.downSecondsSinceStart = 95.5;
    const std::tuple<const char*, const MetricsSnapshot*, bool> cases[] = {
        {"before the first sample", &empty, false},
        {"maximum rate and line attenuation", &rates, true},
        {"signal and line attenuation", &attenuations, false},
        {"the router not read", &unreadRouter, true},
    };
    for (const auto& [name, snapshot, withDrops] : cases) {
        std::string text = snapshot->render();
        if (withDrops)
            DropMetrics::render(text, drops);
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
        m.recordReading(read(goodLine()), c.user1, c.user2);
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
    m.setRouterStatus(RouterStatus::Reading);
    m.recordReading(read(lostLine()), 0, 1); // down from the start is no lost connection
    for (const LineSample& s : run)
        m.recordReading(read(s), 0, 1);
    const auto v = parseExposition(m.render());
    EXPECT_EQ(v.at("lintrove_lost_connections_total"), 3);
    EXPECT_EQ(v.at("lintrove_samples_total"), 8);
    EXPECT_EQ(v.at("lintrove_line_up"), 0);
}

// A reading that did not read the line is no news of it either way: only a reading without sync
// after one with sync is a lost connection, whatever went unread between them.
TEST(MetricsSnapshot, LostConnectionsPassOverUnreadReadings) {
    // S synced, N no sync, U not read.
    const std::pair<const char*, double> cases[] = {
        {"SN", 1}, {"SUN", 1}, {"SUS", 0},    {"SUUNUN", 1},
        {"UN", 0}, {"NUS", 0}, {"SNUSUN", 2}, {"SUNUSUUN", 2},
    };
    for (const auto& [run, lost] : cases) {
        MetricsSnapshot m;
        for (const char* c = run; *c; ++c)
            m.recordReading(*c == 'S'   ? read(goodLine())
                            : *c == 'N' ? read(lostLine())
                                        : unread(),
                            0, 1);
        EXPECT_EQ(parseExposition(m.render()).at("lintrove_lost_connections_total"), lost) << run;
    }
}

TEST(MetricsSnapshot, MissingGroupsAndUptimeAreLeftOut) {
    LineSample s = goodLine();
    s.HasUser1 = s.HasUser2 = false;
    s.UptimeDisplay.clear();
    MetricsSnapshot m;
    m.setRouterStatus(RouterStatus::Reading);
    m.recordReading(read(s), 0, 1);
    const auto v = parseExposition(m.render());
    for (const auto& [key, value] : v) {
        EXPECT_EQ(key.find("attenuation"), std::string::npos) << key;
        EXPECT_EQ(key.find("max_data_rate"), std::string::npos) << key;
        EXPECT_EQ(key.find("uptime"), std::string::npos) << key;
    }
    EXPECT_EQ(v.at(R"(lintrove_noise_margin_db{direction="down"})"), 5.9);
    EXPECT_EQ(v.at("lintrove_line_up"), 1);
}

TEST(MetricsSnapshot, ServedWhileTheReadingChanges) {
    MetricsSnapshot metrics;
    metrics.setMonitorState(MonitorState::Paused);
    metrics.setRouterStatus(RouterStatus::Reading);
    metrics.recordReading(read(goodLine()), 0, 1);
    QTemporaryDir folder;
    WebServer server(&metrics);
    server.setWebFolder(folder.path());
    const int port = startOnFreePort(server);
    ASSERT_NE(port, 0);

    std::atomic<bool> done{false};
    std::thread writer([&] {
        const LineReading readings[] = {read(goodLine()), read(lostLine()), unread()};
        for (int i = 0; !done; ++i)
            metrics.recordReading(readings[i % 3], 0, 1);
    });
    for (int i = 0; i < 20; ++i) {
        const HttpAnswer a = httpRequest(port, "/metrics");
        ASSERT_EQ(a.status, 200);
        EXPECT_EQ(a.header("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
        const auto v = parseExposition(a.body);
        // One consistent reading: the margin and line_up always come from the same one, and
        // are there or not together.
        const char* margin = R"(lintrove_noise_margin_db{direction="down"})";
        ASSERT_EQ(v.count("lintrove_line_up"), v.count(margin));
        if (v.count(margin)) {
            EXPECT_EQ(v.at("lintrove_line_up") == 1, v.at(margin) > 0);
        }
        EXPECT_EQ(v.at(R"(lintrove_monitor_state{state="paused"})"), 1);
    }
    done = true;
    writer.join();
    EXPECT_EQ(httpRequest(port, "/metrics", "POST").status, 404); // a file name, not the page
}

// The times the router went unread have a counter of their own: no sum over the drops' kinds
// takes them for drops.
TEST(DropMetrics, UnreadPeriodsAreNoKindOfDrop) {
    DropsBoard::Content drops;
    drops.eventsSinceStart = {2, 1, 4, 7}; // drop, retrain, router_restart, no_reading
    drops.downSecondsSinceStart = 95.5;
    std::string text;
    DropMetrics::render(text, drops);
    const auto v = parseExposition(text);
    const std::map<std::string, double> expected = {
        {R"(lintrove_line_drops_total{kind="drop"})", 2},
        {R"(lintrove_line_drops_total{kind="retrain"})", 1},
        {R"(lintrove_line_drops_total{kind="router_restart"})", 4},
        {"lintrove_router_unread_periods_total", 7},
        {"lintrove_line_down_seconds_total", 95.5},
    };
    EXPECT_EQ(v, expected);
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
