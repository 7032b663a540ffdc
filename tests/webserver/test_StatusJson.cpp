// /status.json as the live page reads it: a reading that did not read the line has no values and
// no sync, the last reading that did stands beside it, and the state line says both.
#include "drops/DropRecordFile.h"
#include "webserver/MetricsSnapshot.h"
#include "webserver/StatusJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "Readings.h"

namespace {

const QDateTime kRead(QDate(2026, 12, 8), QTime(10, 30, 35));
const QDateTime kUnread(QDate(2026, 12, 8), QTime(10, 31, 5));

LineSample line(double marginDown, double rateDown) {
    return statsSample(marginDown, rateDown);
}

LineReading read(const LineSample& s, const QDateTime& t) {
    return LineReading::ofPage(t, s);
}

LineReading unread(const QDateTime& t) {
    return unreadReading(t);
}

QJsonObject statusOf(const MetricsSnapshot& m, const DropsBoard::Content* drops = nullptr) {
    const MetricsSnapshot::State state = m.state();
    const std::string text = StatusJson::render(&state, drops);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error).object();
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return o;
}

TEST(StatusJson, AnUnreadReadingHasNoValuesAndTheLastReadStandsBeside) {
    struct Case {
        const char* name;
        std::vector<LineReading> readings;
        RouterStatus router;
        const char* routerText;
        const char* state;
        QJsonValue sync, lineUp;
        bool lastRead;
        const char* stateText;
    };
    const Case cases[] = {
        {"synced",
         {read(line(5.9, 15623), kRead)},
         RouterStatus::Reading,
         "Reading the line",
         "synced",
         true,
         true,
         true,
         "Reading the line"},
        {"no sync",
         {read(line(5.9, 15623), kRead.addSecs(-30)), read(line(0, 0), kRead)},
         RouterStatus::Reading,
         "No sync since 10:30:35",
         "no_sync",
         false,
         false,
         true,
         "No sync since 10:30:35"},
        {"not responding after a reading",
         {read(line(5.9, 15623), kRead), unread(kUnread)},
         RouterStatus::NotResponding,
         "Not responding since 10:31:05",
         "not_read",
         QJsonValue::Null,
         QJsonValue::Null,
         true,
         "Not responding since 10:31:05; last reading 10:30:35: 5.9 dB, 15,623 Kbps"},
        {"not responding, the window not told yet",
         {read(line(5.9, 15623), kRead), unread(kUnread)},
         RouterStatus::NotResponding,
         "",
         "not_read",
         QJsonValue::Null,
         QJsonValue::Null,
         true,
         "Router not responding; last reading 10:30:35: 5.9 dB, 15,623 Kbps"},
        {"never read",
         {unread(kRead), unread(kUnread)},
         RouterStatus::NotResponding,
         "Not responding since 10:30:35",
         "not_read",
         QJsonValue::Null,
         QJsonValue::Null,
         false,
         "Not responding since 10:30:35"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetricsSnapshot m;
        m.setRouterStatus(c.router);
        m.setRouterText(QString::fromUtf8(c.routerText));
        for (const LineReading& r : c.readings)
            m.recordReading(r, 0, 1);
        const QJsonObject s = statusOf(m);
        EXPECT_EQ(s["router"].toString(), routerStatusName(c.router));
        EXPECT_EQ(s["stateText"].toString(), QString::fromUtf8(c.stateText));
        EXPECT_EQ(s["lineUp"], c.lineUp);
        const QJsonObject sample = s["sample"].toObject();
        EXPECT_EQ(sample["time"].toString(), DropRecordFile::TimeText(c.readings.back().time));
        EXPECT_EQ(sample["state"].toString(), c.state);
        ASSERT_TRUE(sample.contains("sync"));
        EXPECT_EQ(sample["sync"], c.sync);
        // Never the zeros of a page that was not read.
        for (const char* key :
             {"noiseMarginDb", "syncRateKbps", "maxDataRateKbps", "uptime", "uptimeSeconds"})
            EXPECT_EQ(sample.contains(key), c.sync.isBool()) << key;
        if (!c.sync.isBool()) {
            EXPECT_EQ(sample["why"].toString(), "not_responding");
        }

        ASSERT_EQ(s["lastRead"].isObject(), c.lastRead);
        if (c.lastRead) {
            const QJsonObject last = s["lastRead"].toObject();
            EXPECT_EQ(last["time"].toString(), DropRecordFile::TimeText(kRead));
            EXPECT_EQ(last["state"].toString(), c.sync.isBool() ? c.state : "synced");
            EXPECT_EQ(last["noiseMarginDb"].toObject()["down"].toDouble(),
                      c.sync == false ? 0.0 : 5.9);
            EXPECT_EQ(last["uptimeSeconds"].toInt(), 90000);
        }
    }
}

// The drop object only while the record has the line down; the times the router went unread
// counted apart from the drops' kinds.
TEST(StatusJson, DropWhileTheLineIsDownAndUnreadPeriodsApart) {
    MetricsSnapshot m;
    m.recordReading(read(line(0, 0), kRead), 0, 1);
    DropsBoard::Content drops;
    drops.eventsSinceStart = {2, 1, 0, 5};
    drops.downSecondsSinceStart = 90;
    for (const bool down : {false, true}) {
        SCOPED_TRACE(down);
        drops.lineDown = down;
        drops.downSinceMs = kRead.addSecs(-30).toMSecsSinceEpoch();
        const QJsonObject s = statusOf(m, &drops);
        if (down) {
            EXPECT_EQ(s["drop"].toObject()["since"].toString(),
                      DropRecordFile::TimeText(kRead.addSecs(-30)));
        } else {
            EXPECT_TRUE(s["drop"].isNull());
        }
        const QJsonObject since = s["sinceStart"].toObject();
        EXPECT_EQ(since["drop"].toInt(), 2);
        EXPECT_EQ(since["retrain"].toInt(), 1);
        EXPECT_EQ(since["router_restart"].toInt(), 0);
        EXPECT_EQ(since["unreadPeriods"].toInt(), 5);
        EXPECT_FALSE(since.contains("no_reading")) << "no kind of drop";
    }
}

} // namespace
