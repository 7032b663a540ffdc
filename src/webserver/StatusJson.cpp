#include "webserver/StatusJson.h"

#include "core/ReadingText.h"
#include "drops/DropEvent.h"
#include "drops/DropRecordFile.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace StatusJson {

namespace {

void number(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void string(std::string& out, const QString& text) {
    out += '"';
    for (const char c : text.toStdString()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void upDown(std::string& out, const char* name, double up, double down) {
    out += ",\"";
    out += name;
    out += "\":{\"up\":";
    number(out, up);
    out += ",\"down\":";
    number(out, down);
    out += '}';
}

void timeOf(std::string& out, qint64 ms) {
    string(out, DropRecordFile::TimeText(QDateTime::fromMSecsSinceEpoch(ms)));
}

// A reading: its time and state; a reading that did not read the line gives why, and no values
// at all, its zeros being none.
void reading(std::string& out, const LineReading& r, const MetricsSnapshot::State& s) {
    out += "{\"time\":";
    string(out, DropRecordFile::TimeText(r.time));
    out += ",\"state\":\"";
    out += LineReading::stateName(r.state);
    out += "\",\"sync\":";
    if (!r.isRead()) {
        out += "null,\"why\":\"";
        out += LineReading::whyName(r.why);
        out += "\"}";
        return;
    }
    out += r.state == LineReading::State::Synced ? "true" : "false";
    const LineSample& x = r.sample;
    if (x.HasNoiseMargin)
        upDown(out, "noiseMarginDb", x.NoiseMarginUp, x.NoiseMarginDown);
    if (x.HasDataRate)
        upDown(out, "syncRateKbps", x.DataRateUp, x.DataRateDown);
    // The user graphs' quantities under their own names; one chosen twice is shown once.
    static const char* const names[] = {"maxDataRateKbps", "lineAttenuationDb",
                                        "signalAttenuationDb"};
    bool shown[3] = {false, false, false};
    const struct {
        bool present;
        int index;
        double up, down;
    } users[] = {{x.HasUser1, s.user1Index, x.User1Up, x.User1Down},
                 {x.HasUser2, s.user2Index, x.User2Up, x.User2Down}};
    for (const auto& u : users) {
        const int q = u.index == 0 ? 0 : u.index == 1 ? 1 : 2;
        if (!u.present || shown[q])
            continue;
        shown[q] = true;
        upDown(out, names[q], u.up, u.down);
    }
    if (r.uptimeSeconds >= 0) {
        out += ",\"uptime\":";
        string(out, x.UptimeDisplay);
        out += ",\"uptimeSeconds\":";
        out += std::to_string(r.uptimeSeconds);
    }
    out += '}';
}

} // namespace

const char* monitorStateName(MonitorState state) {
    switch (state) {
    case MonitorState::NotStarted:
        return "not_started";
    case MonitorState::Running:
        return "running";
    case MonitorState::Paused:
        return "paused";
    case MonitorState::Stopped:
        return "stopped";
    }
    return "not_started";
}

std::string render(const MetricsSnapshot::State* s, const DropsBoard::Content* d) {
    std::string out;
    out.reserve(4096 + (d ? d->summaryJson.size() + d->lastDropsJson.size() : 0));
    out += "{\"monitor\":\"";
    out += monitorStateName(s ? s->monitorState : MonitorState::NotStarted);
    out += "\",\"router\":\"";
    out += routerStatusName(s ? s->routerStatus : RouterStatus::Connecting);
    out += "\",\"stateText\":";
    const QString stateText =
        s ? ReadingText::stateLine(s->routerText, s->last, s->lastRead) : QString();
    if (stateText.isEmpty())
        out += "null";
    else
        string(out, stateText);
    out += ",\"lineUp\":";
    const std::optional<bool> up = s ? s->lineUp() : std::nullopt;
    out += !up ? "null" : *up ? "true" : "false";
    out += ",\"sampleSeconds\":";
    out += std::to_string(d ? d->sampleSeconds : 30);
    out += ",\"sample\":";
    if (s && s->last)
        reading(out, *s->last, *s);
    else
        out += "null";
    // What the line showed when it was last read, so that a page never has to show an unread
    // reading's zeros.
    out += ",\"lastRead\":";
    if (s && s->lastRead)
        reading(out, *s->lastRead, *s);
    else
        out += "null";
    out += ",\"drop\":";
    if (d && d->lineDown) {
        out += "{\"since\":";
        timeOf(out, d->downSinceMs);
        out += '}';
    } else {
        out += "null";
    }
    if (d) {
        out += ",\"sinceStart\":{";
        for (DropEvent::Kind k :
             {DropEvent::Kind::Drop, DropEvent::Kind::Retrain, DropEvent::Kind::RouterRestart}) {
            if (k != DropEvent::Kind::Drop)
                out += ',';
            out += '"';
            out += DropEvent::kindName(k);
            out += "\":";
            out += std::to_string(d->eventsSinceStart[size_t(k)]);
        }
        // Not a kind beside the others: a silent router is no drop.
        out += ",\"unreadPeriods\":";
        out += std::to_string(d->eventsSinceStart[size_t(DropEvent::Kind::NoReading)]);
        out += ",\"downSeconds\":";
        number(out, d->downSecondsSinceStart);
        out += "},\"summary\":";
        out += d->summaryJson;
        out += ",\"lastDrops\":";
        out += d->lastDropsJson;
    } else {
        out += ",\"sinceStart\":null,\"summary\":null,\"lastDrops\":[]";
    }
    out += "}\n";
    return out;
}

} // namespace StatusJson
