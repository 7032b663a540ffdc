#include "drops/DropRecord.h"

#include "drops/DropRecordFile.h"
#include "storage/DataRestoreFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DropFixtures.h"
#include "RecordingMessages.h"
#include "TestFiles.h"

namespace {

class DropRecordTest : public ::testing::Test {
protected:
    void writeDataFile(const std::vector<std::pair<QString, LineSample>>& lines,
                       const QDateTime& lastWrite) {
        QByteArray bytes;
        for (const auto& [label, s] : lines)
            bytes += DataRestoreFile::Line(label, s) + "\r\n";
        const QString path = DataRestoreFile::PathIn(dir.path());
        writeFile(path, bytes);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(lastWrite, QFileDevice::FileModificationTime));
    }
    DropRecordFile::Contents onDisk() {
        DropRecordFile::Contents c;
        EXPECT_TRUE(DropRecordFile::Read(record.path(), c));
        return c;
    }

    QTemporaryDir dir;
    RecordingMessages messages;
    DropRecord record{messages};
};

TEST_F(DropRecordTest, AnEndedDropIsAppendedAtOnceAndPublished) {
    record.setFolder(dir.path());
    record.feed(LineReading::ofPage(at(8, 10, 0), syncSample()));
    record.feed(LineReading::ofPage(at(8, 10, 0, 30), zeroSample()));
    EXPECT_TRUE(onDisk().events.empty());
    EXPECT_TRUE(record.board().content()->lineDown);
    record.feed(LineReading::ofPage(at(8, 10, 1), syncSample()));
    ASSERT_EQ(onDisk().events.size(), 1u);
    EXPECT_EQ(onDisk().events[0].after.time, at(8, 10, 1));

    const auto board = record.board().content();
    EXPECT_FALSE(board->lineDown);
    EXPECT_EQ(board->eventsSinceStart[size_t(DropEvent::Kind::Drop)], 1u);
    // One reading without sync: nothing was seen down for any length of time.
    EXPECT_EQ(board->downSecondsSinceStart, 0.0);
    EXPECT_EQ(QByteArray::fromStdString(board->csv), readFile(record.path()));
    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(board->summaryJson)).object();
    EXPECT_EQ(summary["today"].toObject()["count"].toInt(), 1);
    EXPECT_TRUE(messages.informed.isEmpty());
}

// Readings fall on any millisecond while the record is written to the second: the events kept in
// memory (the window's table, the report, the summary on the web) must be those the file reads
// back, or the time lost shown live differs by a second from the record and from itself after a
// restart.
TEST_F(DropRecordTest, EventsInMemoryAreThoseTheFileReadsBack) {
    record.setFolder(dir.path());
    record.feed(LineReading::ofPage(at(8, 10, 0, 10).addMSecs(900), syncSample()));
    record.feed(LineReading::ofPage(at(8, 10, 0, 20).addMSecs(500), zeroSample()));
    record.feed(LineReading::ofPage(at(8, 10, 1).addMSecs(100), syncSample()));
    record.feed(LineReading::ofPage(at(8, 10, 1, 10).addMSecs(700), syncSample(1000, 16000)));
    const DropRecordFile::Contents c = onDisk();
    ASSERT_EQ(c.events.size(), 2u);
    EXPECT_EQ(record.events(), c.events);
    // 49.2 s by the steady clock, which the times written to the second cannot show.
    EXPECT_EQ(c.events[0].durationSeconds, 49);

    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(record.board().content()->summaryJson))
            .object();
    EXPECT_EQ(summary["today"].toObject()["secondsLost"].toInt(), 49);
    EXPECT_EQ(summary["meanSecondsBetween"].toInt(), 50);
}

TEST_F(DropRecordTest, AMissingRecordIsFilledOnceFromTheDataRestoreFile) {
    writeDataFile({{" 09:00:00 ", syncSample()},
                   {" 09:00:30 ", zeroSample()},
                   {" 09:01:00 ", syncSample()},
                   {" 09:01:30 ", syncSample()},
                   {" 09:02:00 ", zeroSample()}},
                  at(8, 9, 2, 1));
    record.setFolder(dir.path());
    // The history's drop is filled in; the one the file ends in goes on and ends live.
    record.feed(LineReading::ofPage(at(8, 10, 0), syncSample()));
    const DropRecordFile::Contents c = onDisk();
    ASSERT_EQ(c.events.size(), 2u);
    EXPECT_EQ(c.events[0].before.time, at(8, 9, 0));
    EXPECT_EQ(c.events[0].after.time, at(8, 9, 1));
    EXPECT_EQ(c.events[1].before.time, at(8, 9, 1, 30));
    EXPECT_EQ(c.events[1].after.time, at(8, 10, 0));
    // The history's zeros may have been a router that was not read; the program closed for most
    // of the hour, which is unknown.
    EXPECT_EQ(c.events[0].source, DropEvent::Source::History);
    EXPECT_EQ(c.events[1].source, DropEvent::Source::History);
    EXPECT_EQ(c.events[1].unknownSeconds, 58 * 60);

    // A record that exists is never filled again.
    DropRecord again(messages);
    again.setFolder(dir.path());
    again.feed(LineReading::ofPage(at(8, 10, 0, 30), syncSample()));
    EXPECT_EQ(onDisk().events.size(), 2u);
    EXPECT_EQ(again.events().size(), 2u);
}

TEST_F(DropRecordTest, ADamagedLineIsReportedAndKept) {
    writeFile(DropRecordFile::PathIn(dir.path()),
              DropRecordFile::Header() + "\r\n" +
                  DropRecordFile::Line(dropBetween(at(8, 9, 0), at(8, 9, 1))) + "\r\ndrop,2026");
    record.setFolder(dir.path());
    record.feed(LineReading::ofPage(at(8, 10, 0), syncSample()));
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].contains("Line 3")) << messages.informed[0].toStdString();
    EXPECT_EQ(record.events().size(), 1u);
    record.feed(LineReading::ofPage(at(8, 10, 0, 30), zeroSample()));
    record.feed(LineReading::ofPage(at(8, 10, 1), syncSample()));
    EXPECT_TRUE(readFile(record.path()).contains("\r\ndrop,2026\r\ndrop,2026-12-08T10:00:00"));
    // Told once per change of its damaged lines, not at every trim or start.
    record.trim(30, at(8, 12, 0));
    record.trim(30, at(8, 12, 0));
    DropRecord again(messages);
    again.setDamageTold(record.damageTold()); // as the settings file keeps it
    again.setFolder(dir.path());
    again.ensureStarted();
    EXPECT_EQ(messages.informed.size(), 1);
    // Another damaged line is told.
    QFile f(record.path());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("drop,2027\r\n");
    f.close();
    again.trim(30, at(8, 12, 0));
    EXPECT_EQ(messages.informed.size(), 2);
}

// The record lost a drop the data file has (killed between the two appends): the history's
// events newer than the record's newest are added at start, marked as filled from history; the
// older ones, which the record already tells in its own words, are not added twice.
TEST_F(DropRecordTest, HistoryEventsNewerThanTheRecordsNewestAreAddedAtStart) {
    writeFile(DropRecordFile::PathIn(dir.path()),
              DropRecordFile::Header() + "\r\n" +
                  DropRecordFile::Line(dropBetween(at(8, 9, 0), at(8, 9, 1))) + "\r\n");
    writeDataFile({{" 09:00:00 ", syncSample()},
                   {" 09:00:30 ", zeroSample()},
                   {" 09:01:00 ", syncSample()},
                   {" 09:30:00 ", syncSample()},
                   {" 09:30:30 ", zeroSample()},
                   {" 09:31:00 ", syncSample()}},
                  at(8, 9, 31, 1));
    record.setFolder(dir.path());
    DropHistory::Result history;
    ASSERT_TRUE(DropHistory::read(DataRestoreFile::PathIn(dir.path()), 30, history));
    record.startFrom(history);
    const DropRecordFile::Contents c = onDisk();
    ASSERT_EQ(c.events.size(), 2u);
    EXPECT_EQ(c.events[0].source, DropEvent::Source::Live);
    EXPECT_EQ(c.events[1].before.time, at(8, 9, 30));
    EXPECT_EQ(c.events[1].source, DropEvent::Source::History);
    EXPECT_EQ(record.events(), c.events);
}

// Restore was off for weeks, then on again: the data file ends in a drop weeks old while the
// record holds newer events. Resuming it would make a drop of weeks across recorded events.
TEST_F(DropRecordTest, AStateOlderThanTheRecordsNewestEventIsNotResumed) {
    writeDataFile({{" 09:00:00 ", syncSample()}, {" 09:00:30 ", zeroSample()}}, at(1, 9, 0, 31));
    writeFile(DropRecordFile::PathIn(dir.path()),
              DropRecordFile::Header() + "\r\n" +
                  DropRecordFile::Line(dropBetween(at(7, 9, 0), at(7, 9, 1))) + "\r\n");
    record.setFolder(dir.path());
    record.feed(LineReading::ofPage(at(8, 10, 0), syncSample()));
    EXPECT_EQ(onDisk().events.size(), 1u);
    EXPECT_EQ(record.events().size(), 1u);
}

// "The line is down since" is said only while the last reading of this run, watched since,
// was without sync: not while the router is silent, not paused, not after a start.
TEST_F(DropRecordTest, DownSinceOnlyWhileTheLastReadingWasWithoutSync) {
    record.setFolder(dir.path());
    record.feed(LineReading::ofPage(at(8, 10, 0), syncSample()));
    record.feed(LineReading::ofPage(at(8, 10, 0, 30), zeroSample()));
    EXPECT_EQ(record.downSince(), at(8, 10, 0));
    LineReading silent = LineReading::ofPage(at(8, 10, 1), LineSample());
    ASSERT_FALSE(silent.isRead());
    record.feed(silent);
    EXPECT_FALSE(record.downSince().isValid());
    EXPECT_FALSE(record.board().content()->lineDown);
    record.feed(LineReading::ofPage(at(8, 10, 1, 30), zeroSample()));
    EXPECT_TRUE(record.downSince().isValid());
    record.unwatched(); // paused
    EXPECT_FALSE(record.downSince().isValid());
    EXPECT_TRUE(record.inDrop()); // the drop goes on when the readings do
}

TEST_F(DropRecordTest, TrimDropsOldEventsFromFileAndMemory) {
    record.setFolder(dir.path());
    record.feed(LineReading::ofPage(at(1, 10, 0), syncSample()));
    record.feed(LineReading::ofPage(at(1, 10, 0, 30), zeroSample()));
    record.feed(LineReading::ofPage(at(1, 10, 1), syncSample()));
    record.feed(LineReading::ofPage(at(8, 10, 0), zeroSample()));
    record.feed(LineReading::ofPage(at(8, 10, 1), syncSample()));
    ASSERT_EQ(record.events().size(), 2u);
    record.trim(5, at(8, 12, 0));
    ASSERT_EQ(record.events().size(), 1u);
    EXPECT_EQ(onDisk().events.size(), 1u);
    EXPECT_EQ(record.events()[0].after.time, at(8, 10, 1));
}

} // namespace
