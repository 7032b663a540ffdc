#include "webserver/DropMetrics.h"

#include "drops/DropEvent.h"

#include <charconv>

namespace DropMetrics {

void render(std::string& out, const DropsBoard::Content& d) {
    out += "# HELP lintrove_line_drops_total Drops, retrains and router restarts seen since the "
           "program started.\n# TYPE lintrove_line_drops_total counter\n";
    for (DropEvent::Kind kind :
         {DropEvent::Kind::Drop, DropEvent::Kind::Retrain, DropEvent::Kind::RouterRestart}) {
        out += "lintrove_line_drops_total{kind=\"";
        out += DropEvent::kindName(kind);
        out += "\"} ";
        out += std::to_string(d.eventsSinceStart[size_t(kind)]);
        out += '\n';
    }
    // A family of its own, so that no sum over the drops' kinds takes a silent router for a
    // drop.
    out += "# HELP lintrove_router_unread_periods_total Times the router went unread (not "
           "answering, not reachable, password rejected, another page, statistics incomplete) "
           "since the program started; never a drop.\n"
           "# TYPE lintrove_router_unread_periods_total counter\n"
           "lintrove_router_unread_periods_total ";
    out += std::to_string(d.eventsSinceStart[size_t(DropEvent::Kind::NoReading)]);
    out += '\n';
    out += "# HELP lintrove_line_down_seconds_total Seconds the line was seen without sync since "
           "the program started (time the router was not read is not counted).\n"
           "# TYPE lintrove_line_down_seconds_total counter\n"
           "lintrove_line_down_seconds_total ";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d.downSecondsSinceStart);
    out.append(buf, r.ptr);
    out += '\n';
}

} // namespace DropMetrics
