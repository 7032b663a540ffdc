#include "drops/DropJson.h"

#include "drops/DropRecordFile.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace DropJson {

namespace {

QJsonObject side(const DropSide& s) {
    return {{"time", DropRecordFile::TimeText(s.time)},
            {"noiseMarginDb", QJsonObject{{"up", s.noiseMarginUp}, {"down", s.noiseMarginDown}}},
            {"syncRateKbps", QJsonObject{{"up", s.rateUp}, {"down", s.rateDown}}}};
}

QJsonObject window(const DropSummary::Window& w) {
    return {{"count", w.count}, {"secondsLost", double(w.lostMaxSeconds)}};
}

std::string compact(const QJsonDocument& doc) {
    return doc.toJson(QJsonDocument::Compact).toStdString();
}

} // namespace

QJsonObject event(const DropEvent& e) {
    return {{"kind", QLatin1String(DropEvent::kindName(e.kind))},
            {"start", DropRecordFile::TimeText(e.before.time)},
            {"end", DropRecordFile::TimeText(e.after.time)},
            {"durationSeconds", double(e.durationSeconds)},
            {"uncertaintySeconds", e.uncertaintySeconds()},
            {"samplesDown", e.samplesDown},
            {"before", side(e.before)},
            {"after", side(e.after)},
            {"images", QJsonArray::fromStringList(e.images)}};
}

std::string lastEvents(const std::vector<DropEvent>& events, int count) {
    QJsonArray out;
    for (auto it = events.rbegin(); it != events.rend() && out.size() < count; ++it)
        out.append(event(*it));
    return compact(QJsonDocument(out));
}

std::string summary(const DropSummary& s) {
    QJsonArray perDay;
    for (int n : s.perDay)
        perDay.append(n);
    return compact(QJsonDocument(QJsonObject{
        {"today", window(s.today)},
        {"last7Days", window(s.week)},
        {"last30Days", window(s.month)},
        {"longest", s.longest ? QJsonValue(event(*s.longest)) : QJsonValue()},
        {"meanSecondsBetween",
         s.meanSecondsBetween < 0 ? QJsonValue() : QJsonValue(double(s.meanSecondsBetween))},
        {"perDay30", perDay}}));
}

} // namespace DropJson
