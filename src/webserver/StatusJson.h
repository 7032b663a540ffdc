#pragma once
// GET /status.json: the current sample with its units, the run and router states, whether the
// line is down and since when, the drop counters, the drop summary and the last ten drops.
#include "drops/DropsBoard.h"
#include "webserver/MetricsSnapshot.h"

#include <string>

namespace StatusJson {

// Either part may be missing: without a snapshot there is no sample, without a board no drops.
std::string render(const MetricsSnapshot::State* state, const DropsBoard::Content* drops);

const char* monitorStateName(MonitorState state);

} // namespace StatusJson
