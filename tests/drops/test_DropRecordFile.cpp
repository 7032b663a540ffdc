#include "drops/DropRecordFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DropFixtures.h"
#include "TestFiles.h"

namespace {

class DropRecordFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = DropRecordFile::PathIn(dir.path());
};

TEST_F(DropRecordFileTest, LinesReadBackToTheSameEvents) {
    DropEvent withImages = dropBetween(at(8, 10, 0), at(8, 10, 5, 30));
    withImages.images = {"Ltrv-NoiseMargin-20261208-100030.jpg", "odd, \"name\".jpg"};
    DropEvent silence = dropBetween(at(8, 14, 0), at(8, 14, 2), DropEvent::Kind::NoReading, 0);
    silence.samplesUnread = 3;
    silence.unknownSeconds = 120;
    silence.why = LineReading::Why::PasswordRejected;
    DropEvent fromHistory = dropBetween(at(8, 15, 0), at(8, 15, 5), DropEvent::Kind::Drop, 9);
    fromHistory.source = DropEvent::Source::History;
    fromHistory.clockStepSeconds = -3600;
    const DropEvent events[] = {
        withImages,
        dropBetween(at(8, 11, 0), at(8, 11, 0, 30), DropEvent::Kind::Retrain, 0),
        dropBetween(at(8, 12, 0), at(8, 12, 1), DropEvent::Kind::RouterRestart, 1),
        silence,
        fromHistory,
    };
    for (const DropEvent& e : events) {
        DropEvent back;
        ASSERT_TRUE(DropRecordFile::ParseLine(DropRecordFile::Line(e), back))
            << DropRecordFile::Line(e).toStdString();
        EXPECT_EQ(back, e) << DropRecordFile::Line(e).toStdString();
    }
    EXPECT_TRUE(DropRecordFile::Line(events[0]).startsWith("drop,2026-12-08T10:00:00"));

    // The duration is the steady clock's: a clock set back during the event leaves the end
    // before the start, and the line still reads back as written.
    DropEvent stepped = dropBetween(at(8, 13, 0), at(8, 12, 1, 30), DropEvent::Kind::Drop, 2);
    stepped.durationSeconds = 90;
    stepped.lostMinSeconds = 30;
    stepped.lostMaxSeconds = 90;
    stepped.clockStepSeconds = -3600;
    DropEvent back;
    ASSERT_TRUE(DropRecordFile::ParseLine(DropRecordFile::Line(stepped), back));
    EXPECT_EQ(back, stepped);
}

// A record begun by the earlier version: its lines are read as they are and marked so; the time
// they claimed lost becomes the range their own uncertainty allows; the header gains the new
// columns' names, the lines stay.
TEST_F(DropRecordFileTest, AnEarlierVersionsRecordIsReadAsItIsAndMarked) {
    const QByteArray old = "drop,2026-12-08T10:00:00+00:00,2026-12-08T10:02:00+00:00,120,30,3,"
                           "6.3,6.1,1100,17000,6.2,5.9,1000,16000,a.jpg/b.jpg";
    writeFile(path, DropRecordFile::EarlierHeader() + "\r\n" + old + "\r\n");
    DropRecordFile::Contents c;
    ASSERT_TRUE(DropRecordFile::Read(path, c));
    ASSERT_EQ(c.events.size(), 1u);
    EXPECT_TRUE(c.skipped.isEmpty());
    const DropEvent& e = c.events[0];
    EXPECT_EQ(e.source, DropEvent::Source::EarlierVersion);
    EXPECT_EQ(e.durationSeconds, 120);
    EXPECT_EQ(e.lostMinSeconds, 60);
    EXPECT_EQ(e.lostMaxSeconds, 120);
    EXPECT_EQ(e.images, (QStringList{"a.jpg", "b.jpg"}));

    TrimBusy busy;
    bool upgraded = false;
    ASSERT_TRUE(DropRecordFile::UpgradeHeader(path, busy, upgraded));
    EXPECT_TRUE(upgraded);
    EXPECT_EQ(readFile(path), DropRecordFile::Header() + "\r\n" + old + "\r\n");
    ASSERT_TRUE(DropRecordFile::UpgradeHeader(path, busy, upgraded));
    EXPECT_FALSE(upgraded);
    ASSERT_TRUE(DropRecordFile::Append(path, dropBetween(at(8, 11, 0), at(8, 11, 1))));
    ASSERT_TRUE(DropRecordFile::Read(path, c));
    EXPECT_EQ(c.events.size(), 2u);
}

TEST_F(DropRecordFileTest, AppendWritesTheHeaderOnceAndKeepsAPartialLastLineApart) {
    ASSERT_TRUE(DropRecordFile::Append(path, dropBetween(at(8, 10, 0), at(8, 10, 1))));
    // A line cut short by a crash.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("drop,2026-12-08T11:00:00+0");
    f.close();
    ASSERT_TRUE(DropRecordFile::Append(path, dropBetween(at(8, 12, 0), at(8, 12, 2))));

    const QList<QByteArray> lines = readFile(path).split('\n');
    ASSERT_EQ(lines.size(), 5); // header, 3 lines, the empty text after the last line end
    EXPECT_EQ(lines[0], DropRecordFile::Header() + "\r");
    EXPECT_EQ(lines[2], "drop,2026-12-08T11:00:00+0\r");

    DropRecordFile::Contents c;
    ASSERT_TRUE(DropRecordFile::Read(path, c));
    ASSERT_EQ(c.events.size(), 2u);
    EXPECT_EQ(c.events[1].after.time, at(8, 12, 2));
    ASSERT_EQ(c.skipped.size(), 1);
    EXPECT_TRUE(c.skipped[0].startsWith("Line 3 of the drop record")) << c.skipped[0].toStdString();
}

TEST_F(DropRecordFileTest, DamagedLinesAreSkippedWithAMessage) {
    const QByteArray good = DropRecordFile::Line(dropBetween(at(8, 10, 0), at(8, 10, 1)));
    const auto withImages = [&good](const char* names) {
        QByteArray line = good;
        const qsizetype images = line.indexOf(",0,60,60,");
        return line.insert(images, names);
    };
    // Less time than it says was lost, and an uncertainty that is not the range's width.
    QByteArray shortDuration = good;
    shortDuration.replace(",60,0,1,", ",59,0,1,");
    QByteArray wrongWidth = good;
    wrongWidth.replace(",60,0,1,", ",60,5,1,");
    QByteArray unknownReason = good;
    unknownReason.replace(",,0,live", ",hacked,0,live");
    const QByteArray lines[] = {
        "garbage",
        "flood,2026-12-08T10:00:00+00:00",
        shortDuration,
        wrongWidth,
        unknownReason,
        good.left(good.lastIndexOf(',')), // a column short
        "\"unclosed" + good,
        // Image names that are no file of the image folder.
        withImages("../../etc/passwd"),
        withImages("a.jpg/../b.jpg"),
        withImages("a.jpg//b.jpg"),
        withImages("./"),
        withImages("a\x01.jpg"),
        // Numbers beyond any the program writes, which the summary and report would overflow.
        QByteArray(good).replace(",17000.0,", ",1e308,"),
        QByteArray(good).replace(",60,0,1,", ",9223372036854775807,0,1,"),
        QByteArray(good).replace(",,0,live", ",,-99999999999,live"),
    };
    QByteArray file = DropRecordFile::Header() + "\r\n" + good + "\r\n";
    for (const QByteArray& l : lines)
        file += l + "\r\n";
    writeFile(path, file);
    DropRecordFile::Contents c;
    ASSERT_TRUE(DropRecordFile::Read(path, c));
    EXPECT_EQ(c.events.size(), 1u);
    EXPECT_EQ(c.skipped.size(), qsizetype(std::size(lines)));
}

TEST_F(DropRecordFileTest, TrimKeepsRecentEventsTheHeaderAndUnreadableLines) {
    writeFile(path, DropRecordFile::Header() + "\r\n" +
                        DropRecordFile::Line(dropBetween(at(1, 10, 0), at(1, 10, 1))) + "\r\n" +
                        "damaged\r\n" +
                        DropRecordFile::Line(dropBetween(at(8, 10, 0), at(8, 10, 1))) + "\r\n");
    TrimBusy busy;
    ASSERT_TRUE(DropRecordFile::Trim(path, at(5, 0, 0), busy));
    EXPECT_EQ(readFile(path), DropRecordFile::Header() + "\r\ndamaged\r\n" +
                                  DropRecordFile::Line(dropBetween(at(8, 10, 0), at(8, 10, 1))) +
                                  "\r\n");
}

TEST_F(DropRecordFileTest, CreateNeverReplacesARecord) {
    ASSERT_TRUE(DropRecordFile::Create(path, {dropBetween(at(8, 10, 0), at(8, 10, 1))}));
    const QByteArray before = readFile(path);
    EXPECT_FALSE(DropRecordFile::Create(path, {}));
    EXPECT_EQ(readFile(path), before);
}

} // namespace
