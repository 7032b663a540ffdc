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

QJsonObject lost(qint64 minSeconds, qint64 maxSeconds) {
    return {{"min", double(minSeconds)}, {"max", double(maxSeconds)}};
}

QJsonObject window(const DropSummary::Window& w) {
    // secondsLost, the most that can have been lost, for readers from before the range.
    return {{"count", w.count},
            {"lostSeconds", lost(w.lostMinSeconds, w.lostMaxSeconds)},
            {"secondsLost", double(w.lostMaxSeconds)}};
}

QJsonValue time(const QDateTime& t) {
    return t.isValid() ? QJsonValue(DropRecordFile::TimeText(t)) : QJsonValue();
}

std::string compact(const QJsonDocument& doc) {
    return doc.toJson(QJsonDocument::Compact).toStdString();
}

} // namespace

QJsonObject event(const DropEvent& e) {
    return {{"kind", QLatin1String(DropEvent::kindName(e.kind))},
            {"kindText", DropSummary::kindText(e)},
            {"start", DropRecordFile::TimeText(e.before.time)},
            {"end", DropRecordFile::TimeText(e.after.time)},
            {"startLatest", time(e.startLatest)},
            {"endEarliest", time(e.endEarliest)},
            {"durationSeconds", double(e.durationSeconds)},
            {"lostSeconds", lost(e.lostMinSeconds, e.lostMaxSeconds)},
            {"uncertaintySeconds", double(e.uncertaintySeconds())},
            {"unknownSeconds", double(e.unknownSeconds)},
            {"lengthText", DropSummary::lengthText(e)},
            {"reason", e.why == LineReading::Why::None
                           ? QJsonValue()
                           : QJsonValue(QLatin1String(LineReading::whyName(e.why)))},
            {"source", QLatin1String(DropEvent::sourceName(e.source))},
            {"clockStepSeconds", double(e.clockStepSeconds)},
            {"samplesDown", e.samplesDown},
            {"samplesUnread", e.samplesUnread},
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
        {"perDay30", perDay},
        {"unreadPeriods", s.unreadPeriods},
        {"fromHistory", s.fromHistory}}));
}

} // namespace DropJson
