#include "drops/DropHistory.h"
#include "drops/LabelDates.h"

#include "storage/DataRestoreFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <ctime>
#include <gtest/gtest.h>

#include "DropFixtures.h"
#include "TestFiles.h"

namespace {

TEST(DropHistory, LabelTimes) {
    struct Case {
        const char* label;
        bool ok;
        int second, day;
    };
    const Case cases[] = {
        {"Tue 08 \r14:23:05 ", true, 14 * 3600 + 23 * 60 + 5, 8},
        {" 00:00:01 ", true, 1, 0},
        {"23:59:59", true, 86399, 0},
        {"Tue 8 \r14:23:05 ", true, 14 * 3600 + 23 * 60 + 5, 8},
        {"24:00:00", false, 0, 0},
        {"14:23", false, 0, 0},
        {" ", false, 0, 0},
        {"Tue 08 \rab:cd:ef ", false, 0, 0},
    };
    for (const Case& c : cases) {
        int second = -1, day = -1;
        EXPECT_EQ(LabelDates::labelTime(QString::fromLatin1(c.label), second, day), c.ok)
            << c.label;
        if (c.ok) {
            EXPECT_EQ(second, c.second) << c.label;
            EXPECT_EQ(day, c.day) << c.label;
        }
    }
}

// Lines of the data-restore file as the program writes them.
QString label(const QDateTime& t, bool dateStamp) {
    return dateStamp ? t.toString(" ddd dd \r hh:mm:ss ") : t.toString(" hh:mm:ss ");
}

TEST(DropHistory, DatesComeFromTheLastWriteBackwardsAcrossMidnightsAndGaps) {
    for (const bool dateStamp : {false, true}) {
        DropHistory h;
        // A drop before midnight on the 6th, a retrain on the 7th, and a drop a day later, on
        // the 8th; without the day of the month a gap of a day cannot be seen, so there the last
        // drop comes the same day. The file was last written at the end of the last drop.
        const int last = dateStamp ? 8 : 7;
        const std::pair<QDateTime, LineSample> lines[] = {
            {at(6, 23, 59, 0), syncSample()},
            {at(6, 23, 59, 30), zeroSample()},
            {at(7, 0, 0, 0), syncSample()},
            {at(7, 9, 0, 0), syncSample()},
            {at(7, 9, 0, 30), syncSample(1000, 16000)},
            {at(7, 10, 0, 0), syncSample(1000, 16000)},
            {at(last, 10, 0, 30), zeroSample()},
            {at(last, 10, 1, 0), syncSample(1000, 16000)},
        };
        for (const auto& [t, s] : lines)
            h.add(label(t, dateStamp), s);
        const DropHistory::Result r = h.finish(at(last, 10, 1, 5), 30);
        ASSERT_EQ(r.events.size(), 3u) << dateStamp;
        EXPECT_EQ(r.events[0].kind, DropEvent::Kind::Drop);
        EXPECT_EQ(r.events[0].before.time, at(6, 23, 59, 0));
        EXPECT_EQ(r.events[0].after.time, at(7, 0, 0, 0));
        EXPECT_EQ(r.events[1].kind, DropEvent::Kind::Retrain);
        EXPECT_EQ(r.events[1].after.time, at(7, 9, 0, 30));
        EXPECT_EQ(r.events[2].before.time, at(7, 10, 0, 0));
        EXPECT_EQ(r.events[2].after.time, at(last, 10, 1, 0)) << dateStamp;
        EXPECT_FALSE(r.state.inDrop());
    }
}

// Summer time ends at 02:00 BST on 25 October 2026 in London: the clock goes back to 01:00 and
// the hour repeats. A drop across it, stamped labels going back within the day, lasts a minute
// and a half; read with the repeated hour as summer time it lasted minus an hour.
TEST(DropHistory, TheRepeatedHourAfterTheClockWentBackIsItsSecondOccurrence) {
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Europe/London");
    tzset();
    DropHistory h;
    const QDate day(2026, 10, 25);
    const auto stamped = [&day](int hour, int minute, int second) {
        return QStringLiteral(" Sun %1 \r %2 ")
            .arg(day.day())
            .arg(QTime(hour, minute, second).toString(QStringLiteral("hh:mm:ss")));
    };
    h.add(stamped(1, 58, 30), syncSample());
    h.add(stamped(1, 59, 0), syncSample());
    h.add(stamped(1, 59, 30), zeroSample());
    h.add(stamped(1, 0, 0), zeroSample()); // the clock went back
    h.add(stamped(1, 0, 30), syncSample(1000, 16000));
    h.add(stamped(1, 30, 0), syncSample(1000, 16000));
    const DropHistory::Result r = h.finish(QDateTime(day, QTime(1, 30, 1)).addSecs(3600), 30);
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
    ASSERT_EQ(r.events.size(), 1u);
    const DropEvent& e = r.events[0];
    EXPECT_EQ(e.durationSeconds, 90);
    EXPECT_EQ(e.before.time.toSecsSinceEpoch(),
              QDateTime(day, QTime(0, 59), Qt::UTC).toSecsSinceEpoch());
    EXPECT_EQ(e.lostMinSeconds, 30);
    EXPECT_EQ(e.lostMaxSeconds, 90);
    EXPECT_EQ(e.source, DropEvent::Source::History);
}

TEST(DropHistory, AFileEndingWithoutSyncLeavesTheDropInProgress) {
    QTemporaryDir dir;
    const QString path = DataRestoreFile::PathIn(dir.path());
    QByteArray file;
    file += DataRestoreFile::Line(" 10:00:00 ", syncSample()) + "\r\n";
    file += DataRestoreFile::Line(" 10:00:30 ", syncSample()) + "\r\n";
    file += DataRestoreFile::Line(" 10:01:00 ", zeroSample()) + "\r\n";
    writeFile(path, file);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(at(8, 10, 1, 1), QFileDevice::FileModificationTime));
    f.close();
    DropHistory::Result r;
    ASSERT_TRUE(DropHistory::read(path, 30, r));
    EXPECT_TRUE(r.events.empty());
    EXPECT_TRUE(r.state.inDrop());
    ASSERT_TRUE(r.state.lastGood);
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(r.state.lastGood->ms), at(8, 10, 0, 30));
}

} // namespace
