#pragma once
// The drop record's counters on /metrics: events since start by kind, and the seconds the line
// was seen without sync (the drop in progress counted up to its latest sample).
#include "drops/DropsBoard.h"

#include <string>

namespace DropMetrics {

void render(std::string& out, const DropsBoard::Content& drops);

} // namespace DropMetrics
