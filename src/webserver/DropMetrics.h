#pragma once
// The drop record's counters on /metrics: drops, retrains and router restarts since start by
// kind, the times the router went unread under a name of their own, and the seconds the line
// was seen without sync (the drop in progress counted up to its latest reading).
#include "drops/DropsBoard.h"

#include <string>

namespace DropMetrics {

void render(std::string& out, const DropsBoard::Content& drops);

} // namespace DropMetrics
