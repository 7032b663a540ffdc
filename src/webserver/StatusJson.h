#pragma once
// GET /status.json: the last reading (its values only when it read the line) and the last one
// that did, with their units, the run and router states and the state line the tray shows,
// whether the line is down and since when, the drop counters, the drop summary and the last ten
// drops.
#include "drops/DropsBoard.h"
#include "webserver/MetricsSnapshot.h"

#include <string>

namespace StatusJson {

// Either part may be missing: without a snapshot there is no reading, without a board no drops.
std::string render(const MetricsSnapshot::State* state, const DropsBoard::Content* drops);

const char* monitorStateName(MonitorState state);

} // namespace StatusJson
