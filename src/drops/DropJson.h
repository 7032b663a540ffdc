#pragma once
// The drop record in JSON for /status.json: an event, the last events, the summary. Times are
// local with their offset (null where not known), durations in seconds, time lost as a range
// {"min", "max"}.
#include "drops/DropEvent.h"
#include "drops/DropStatistics.h"

#include <QJsonObject>
#include <string>
#include <vector>

namespace DropJson {

QJsonObject event(const DropEvent& e);
// The newest count events, newest first, as a compact JSON array: every kind, the times the
// router was not read included, as the record holds them.
std::string lastEvents(const std::vector<DropEvent>& events, int count);
// The summary as a compact JSON object.
std::string summary(const DropSummary& s);

} // namespace DropJson
