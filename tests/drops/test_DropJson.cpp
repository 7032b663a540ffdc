// The drop record as /status.json has it: each event with what is known of it, the last events
// newest first, and the summary with its ranges.
#include "drops/DropJson.h"

#include "drops/DropRecordFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include "DropFixtures.h"

namespace {

QJsonObject parsedObject(const std::string& json) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
}

TEST(DropJson, AnEventWithWhatIsKnownOfIt) {
    DropEvent drop = lostBetween(dropBetween(at(3, 10, 0), at(3, 12, 2)), 40, 80, 7200);
    drop.startLatest = at(3, 10, 0, 30);
    drop.endEarliest = at(3, 10, 1, 10);
    drop.samplesDown = 2;
    drop.samplesUnread = 240;
    drop.source = DropEvent::Source::History;
    drop.clockStepSeconds = -3600;
    const QJsonObject o = DropJson::event(drop);
    EXPECT_EQ(o["kind"].toString(), "drop");
    EXPECT_EQ(o["kindText"].toString(), "Drop");
    EXPECT_EQ(o["start"].toString(), DropRecordFile::TimeText(at(3, 10, 0)));
    EXPECT_EQ(o["end"].toString(), DropRecordFile::TimeText(at(3, 12, 2)));
    EXPECT_EQ(o["startLatest"].toString(), DropRecordFile::TimeText(at(3, 10, 0, 30)));
    EXPECT_EQ(o["endEarliest"].toString(), DropRecordFile::TimeText(at(3, 10, 1, 10)));
    EXPECT_EQ(o["durationSeconds"].toInteger(), 7320);
    EXPECT_EQ(o["lostSeconds"].toObject(), (QJsonObject{{"min", 40}, {"max", 80}}));
    EXPECT_EQ(o["uncertaintySeconds"].toInteger(), 40);
    EXPECT_EQ(o["unknownSeconds"].toInteger(), 7200);
    EXPECT_EQ(o["lengthText"].toString(), "between 40 s and 1 min 20 s, 2 h 0 min unknown");
    EXPECT_TRUE(o["reason"].isNull());
    EXPECT_EQ(o["source"].toString(), "history");
    EXPECT_EQ(o["clockStepSeconds"].toInteger(), -3600);
    EXPECT_EQ(o["samplesDown"].toInt(), 2);
    EXPECT_EQ(o["samplesUnread"].toInt(), 240);
    EXPECT_EQ(o["before"].toObject()["syncRateKbps"].toObject()["down"].toDouble(), 17000.0);

    const QJsonObject silent = DropJson::event(notRead(at(4, 9, 0), at(4, 9, 0, 45)));
    EXPECT_EQ(silent["kind"].toString(), "no_reading");
    EXPECT_EQ(silent["reason"].toString(), "not_responding");
    EXPECT_EQ(silent["kindText"].toString(), "Router not read (router not responding)");
    EXPECT_EQ(silent["lengthText"].toString(), "not read for about 45 s");
    EXPECT_EQ(silent["lostSeconds"].toObject(), (QJsonObject{{"min", 0}, {"max", 0}}));
    EXPECT_EQ(silent["source"].toString(), "live");

    // A time that is not known is null, not an empty or made-up one.
    DropEvent unknown = drop;
    unknown.startLatest = unknown.endEarliest = QDateTime();
    EXPECT_TRUE(DropJson::event(unknown)["startLatest"].isNull());
    EXPECT_TRUE(DropJson::event(unknown)["endEarliest"].isNull());
}

// The newest events first, as many as asked for; a time the router was not read is on the
// record and among them.
TEST(DropJson, LastEventsNewestFirst) {
    const std::vector<DropEvent> events = {
        dropBetween(at(1, 10, 0), at(1, 10, 5)),
        notRead(at(2, 10, 0), at(2, 10, 5)),
        dropBetween(at(3, 10, 0), at(3, 10, 0, 30), DropEvent::Kind::Retrain, 0),
    };
    const auto kinds = [](const std::string& json) {
        QStringList out;
        for (const QJsonValue& v : QJsonDocument::fromJson(QByteArray::fromStdString(json)).array())
            out << v.toObject()["kind"].toString();
        return out;
    };
    EXPECT_EQ(kinds(DropJson::lastEvents(events, 10)),
              QStringList({"retrain", "no_reading", "drop"}));
    EXPECT_EQ(kinds(DropJson::lastEvents(events, 2)), QStringList({"retrain", "no_reading"}));
    EXPECT_EQ(DropJson::lastEvents({}, 10), "[]");
}

TEST(DropJson, SummaryWithRanges) {
    DropEvent filled = lostBetween(dropBetween(at(19, 9, 0), at(19, 9, 2)), 40, 80);
    filled.source = DropEvent::Source::History;
    const std::vector<DropEvent> events = {
        filled,
        lostBetween(dropBetween(at(20, 9, 0), at(20, 9, 3)), 100, 130),
        notRead(at(20, 10, 0), at(20, 10, 5)),
    };
    const QJsonObject s = parsedObject(DropJson::summary(DropSummary::of(events, at(20, 12, 0))));
    // secondsLost stays for the readers that came before the range: the most it can be.
    EXPECT_EQ(s["today"].toObject(),
              (QJsonObject{{"count", 1},
                           {"lostSeconds", QJsonObject{{"min", 100}, {"max", 130}}},
                           {"secondsLost", 130}}));
    EXPECT_EQ(s["last7Days"].toObject(),
              (QJsonObject{{"count", 2},
                           {"lostSeconds", QJsonObject{{"min", 140}, {"max", 210}}},
                           {"secondsLost", 210}}));
    EXPECT_EQ(s["last30Days"].toObject()["count"].toInt(), 2);
    EXPECT_EQ(s["longest"].toObject()["start"].toString(), DropRecordFile::TimeText(at(20, 9, 0)));
    EXPECT_EQ(s["meanSecondsBetween"].toInteger(), 86400);
    EXPECT_EQ(s["perDay30"].toArray().size(), 30);
    EXPECT_EQ(s["perDay30"].toArray()[29].toInt(), 1);
    EXPECT_EQ(s["unreadPeriods"].toInt(), 1);
    EXPECT_TRUE(s["fromHistory"].toBool());

    const QJsonObject retrains = parsedObject(DropJson::summary(
        DropSummary::of({dropBetween(at(20, 9, 0), at(20, 9, 15, 43), DropEvent::Kind::Retrain, 0)},
                        at(20, 12, 0))));
    EXPECT_TRUE(retrains["longest"].isNull());
    EXPECT_TRUE(retrains["meanSecondsBetween"].isNull());
    EXPECT_FALSE(retrains["fromHistory"].toBool());
    EXPECT_EQ(retrains["unreadPeriods"].toInt(), 0);
}

} // namespace
