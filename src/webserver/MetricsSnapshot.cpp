#include "webserver/MetricsSnapshot.h"

#include <charconv>

namespace {

// Shortest text that reads back as the same double, as Prometheus parses it.
std::string number(double v) {
    if (v != v)
        return "NaN";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

void family(std::string& out, const char* name, const char* type, const char* help) {
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += type;
    out += '\n';
}

void value(std::string& out, const char* name, const char* labels, double v) {
    out += name;
    if (labels && *labels) {
        out += '{';
        out += labels;
        out += '}';
    }
    out += ' ';
    out += number(v);
    out += '\n';
}

// Prometheus's base unit for data is the byte; the router's rates are in Kbps.
double bytesPerSecond(double kbps) {
    return kbps * 1000.0 / 8.0;
}

void upDown(std::string& out, const char* name, const char* help, double up, double down) {
    family(out, name, "gauge", help);
    value(out, name, "direction=\"up\"", up);
    value(out, name, "direction=\"down\"", down);
}

} // namespace

void MetricsSnapshot::recordReading(const LineReading& reading, int user1Index, int user2Index) {
    std::lock_guard lock(mutex_);
    // A connection is lost when a reading without sync follows one with it. Readings that did
    // not read the line in between say nothing either way: synced, not read, no sync is one
    // loss; synced, not read, synced is none.
    if (reading.state == LineReading::State::NoSync && state_.lastRead &&
        state_.lastRead->state == LineReading::State::Synced)
        ++state_.lostConnections;
    state_.last = reading;
    if (reading.isRead())
        state_.lastRead = reading;
    state_.user1Index = user1Index;
    state_.user2Index = user2Index;
    ++state_.samples;
    ++state_.version;
}

void MetricsSnapshot::setMonitorState(MonitorState state) {
    std::lock_guard lock(mutex_);
    state_.monitorState = state;
    ++state_.version;
}

void MetricsSnapshot::setRouterStatus(RouterStatus status) {
    std::lock_guard lock(mutex_);
    state_.routerStatus = status;
    ++state_.version;
}

void MetricsSnapshot::setRouterText(const QString& text) {
    std::lock_guard lock(mutex_);
    state_.routerText = text;
    ++state_.version;
}

std::optional<bool> MetricsSnapshot::State::lineUp() const {
    // A reading with sync from before the router went silent, or before a pause, says nothing
    // about the line now.
    if (routerStatus != RouterStatus::Reading || !values())
        return std::nullopt;
    return last->state == LineReading::State::Synced;
}

quint64 MetricsSnapshot::version() const {
    std::lock_guard lock(mutex_);
    return state_.version;
}

MetricsSnapshot::State MetricsSnapshot::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::string MetricsSnapshot::render() const {
    const State s = state();
    std::string out;
    out.reserve(2048);

    family(out, "lintrove_monitor_state", "gauge",
           "Run state of the monitor: 1 for the current state, 0 for the others.");
    constexpr std::pair<MonitorState, const char*> states[] = {
        {MonitorState::NotStarted, "state=\"not_started\""},
        {MonitorState::Running, "state=\"running\""},
        {MonitorState::Paused, "state=\"paused\""},
        {MonitorState::Stopped, "state=\"stopped\""},
    };
    for (const auto& [state, label] : states)
        value(out, "lintrove_monitor_state", label, s.monitorState == state ? 1 : 0);

    family(out, "lintrove_router_state", "gauge",
           "What the program last found at the router: 1 for the current state, 0 for the others.");
    for (const RouterStatus status : kRouterStatuses)
        value(out, "lintrove_router_state",
              ("state=\"" + std::string(routerStatusName(status)) + '"').c_str(),
              s.routerStatus == status ? 1 : 0);

    family(out, "lintrove_samples_total", "counter",
           "Readings plotted since the program started, read or not.");
    value(out, "lintrove_samples_total", nullptr, double(s.samples));
    family(out, "lintrove_lost_connections_total", "counter",
           "Times a reading without sync followed one with sync (readings that did not read the "
           "line in between are passed over).");
    value(out, "lintrove_lost_connections_total", nullptr, double(s.lostConnections));
    if (!s.last)
        return out; // no values to show yet

    family(out, "lintrove_last_sample_timestamp_seconds", "gauge",
           "Unix time of the last plotted reading, read or not.");
    value(out, "lintrove_last_sample_timestamp_seconds", nullptr,
          double(s.last->time.toMSecsSinceEpoch()) / 1000.0);
    if (s.lastRead) {
        family(out, "lintrove_last_reading_timestamp_seconds", "gauge",
               "Unix time of the last reading that read the line, with or without sync.");
        value(out, "lintrove_last_reading_timestamp_seconds", nullptr,
              double(s.lastRead->time.toMSecsSinceEpoch()) / 1000.0);
    }
    if (const std::optional<bool> up = s.lineUp()) {
        family(out, "lintrove_line_up", "gauge",
               "1 when the last reading had sync (downstream rate from 100 Kbps, margin above "
               "0 dB), 0 when it had none; absent while the router is not read, paused or "
               "stopped.");
        value(out, "lintrove_line_up", nullptr, *up ? 1 : 0);
    }
    // The router not read: the zeros of its reading are no measurement, and gauges left out are
    // marked stale by Prometheus rather than drawn as a line at 0 dB.
    const LineReading* reading = s.values();
    if (!reading)
        return out;
    const LineSample& x = reading->sample;
    if (x.HasNoiseMargin)
        upDown(out, "lintrove_noise_margin_db", "Noise margin of the last reading in dB.",
               x.NoiseMarginUp, x.NoiseMarginDown);
    if (x.HasDataRate)
        upDown(out, "lintrove_sync_rate_bytes_per_second",
               "Sync rate of the last reading in bytes per second.", bytesPerSecond(x.DataRateUp),
               bytesPerSecond(x.DataRateDown));

    // The user graphs' quantities, each under its own name; one chosen twice is shown once.
    struct User {
        bool present;
        int index;
        double up, down;
    };
    const User users[] = {{x.HasUser1, s.user1Index, x.User1Up, x.User1Down},
                          {x.HasUser2, s.user2Index, x.User2Up, x.User2Down}};
    bool shown[3] = {false, false, false};
    for (const User& u : users) {
        const int q = u.index == 0 ? 0 : u.index == 1 ? 1 : 2;
        if (!u.present || shown[q])
            continue;
        shown[q] = true;
        if (q == 0)
            upDown(out, "lintrove_max_data_rate_bytes_per_second",
                   "Maximum attainable data rate of the last reading in bytes per second.",
                   bytesPerSecond(u.up), bytesPerSecond(u.down));
        else if (q == 1)
            upDown(out, "lintrove_line_attenuation_db",
                   "Line attenuation of the last reading in dB.", u.up, u.down);
        else
            upDown(out, "lintrove_signal_attenuation_db",
                   "Signal attenuation of the last reading in dB.", u.up, u.down);
    }

    if (reading->uptimeSeconds >= 0) {
        family(out, "lintrove_router_uptime_seconds", "gauge",
               "Router uptime shown with the last reading, in seconds.");
        value(out, "lintrove_router_uptime_seconds", nullptr, double(reading->uptimeSeconds));
    }
    return out;
}
