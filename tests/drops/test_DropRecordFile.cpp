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
    const DropEvent events[] = {
        withImages,
        dropBetween(at(8, 11, 0), at(8, 11, 0, 30), DropEvent::Kind::Retrain, 0),
        dropBetween(at(8, 12, 0), at(8, 12, 1), DropEvent::Kind::RouterRestart, 1),
    };
    for (const DropEvent& e : events) {
        DropEvent back;
        ASSERT_TRUE(DropRecordFile::ParseLine(DropRecordFile::Line(e), back))
            << DropRecordFile::Line(e).toStdString();
        EXPECT_EQ(back, e) << DropRecordFile::Line(e).toStdString();
    }
    EXPECT_TRUE(DropRecordFile::Line(events[0]).startsWith("drop,2026-12-08T10:00:00"));

    // Samples are taken at any millisecond; the line is written to the second and must still
    // read back (its duration agrees with the times it shows).
    const DropEvent retrain =
        dropBetween(at(8, 13, 0, 17).addMSecs(900), at(8, 13, 0, 27).addMSecs(100),
                    DropEvent::Kind::Retrain, 0);
    const QByteArray line = DropRecordFile::Line(retrain);
    DropEvent back;
    ASSERT_TRUE(DropRecordFile::ParseLine(line, back)) << line.toStdString();
    EXPECT_EQ(back.durationSeconds(), 10) << line.toStdString();
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
    QByteArray wrongDuration = good;
    wrongDuration.replace(",60,", ",61,");
    const QByteArray lines[] = {
        "garbage",           "flood,2026-12-08T10:00:00+00:00",
        wrongDuration,       "retrain" + good.mid(4) + ",extra",
        "\"unclosed" + good,
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
