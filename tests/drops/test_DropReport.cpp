#include "drops/DropReport.h"

#include "drops/DropRecordFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DropFixtures.h"
#include "TestFiles.h"

namespace {

LineReading synced(const QDateTime& time, const LineSample& sample) {
    LineReading r;
    r.time = time;
    r.state = LineReading::State::Synced;
    r.why = LineReading::Why::None;
    r.sample = sample;
    return r;
}

// The rows of the events table, newest first, as text.
QStringList tableRows(const QByteArray& html) {
    static const QRegularExpression row(QStringLiteral("<tr><td class=\"n\"><a href=[^\n]*</tr>"));
    QStringList rows;
    for (const auto& m : row.globalMatch(QString::fromUtf8(html)))
        rows << m.captured(0);
    return rows;
}

class DropReportTest : public ::testing::Test {
protected:
    DropReportTest() {
        in.router = QStringLiteral("192.168.1.254 <b>");
        in.lastSynced =
            synced(at(20, 11, 58, 30), syncSample(1100, 17000, 5.9, "3 days, 04:05:06"));
        in.lastSynced->sample.HasUser1 = true;
        in.lastSynced->sample.User1Down = 39.1;
        in.user1Name = QStringLiteral("Line Attenuation");
        in.now = at(20, 12, 0);
        in.imageFolder = dir.path();
        DropEvent first = dropBetween(at(18, 10, 0), at(18, 10, 5));
        first.images = {"Ltrv-NoiseMargin-1.jpg", "gone.jpg"};
        in.events = {first,
                     dropBetween(at(19, 9, 0), at(19, 9, 0, 30), DropEvent::Kind::Retrain, 0)};
        writeFile(dir.filePath("Ltrv-NoiseMargin-1.jpg"), jpeg);
    }

    QTemporaryDir dir;
    const QByteArray jpeg = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(3000, 'j') + "\xFF\xD9";
    DropReport::Input in;
};

TEST_F(DropReportTest, HtmlStandsAloneWithTheImagesInside) {
    const QByteArray html = DropReport::html(in);
    EXPECT_FALSE(html.contains("<script"));
    EXPECT_FALSE(html.contains("http:"));
    EXPECT_FALSE(html.contains("https:"));
    EXPECT_FALSE(html.contains("<link"));
    // Every picture is inside the file.
    static const QRegularExpression src(QStringLiteral("src=\"([^\"]*)\""));
    int images = 0;
    for (const auto& m : src.globalMatch(QString::fromUtf8(html))) {
        EXPECT_TRUE(m.captured(1).startsWith("data:image/jpeg;base64,"));
        ++images;
    }
    EXPECT_EQ(images, 1);
    EXPECT_TRUE(html.contains("data:image/jpeg;base64," + jpeg.toBase64() + "\""));
    EXPECT_TRUE(html.contains("gone.jpg is no longer there."));
    // The line, the summary, the table newest first, text escaped.
    EXPECT_TRUE(html.contains("192.168.1.254 &lt;b&gt;"));
    EXPECT_TRUE(html.contains("17000 Kbps"));
    EXPECT_TRUE(html.contains("<th>Line Attenuation</th><td>0.0 dB</td><td>39.1 dB</td>"));
    EXPECT_TRUE(html.contains("<th>Last 30 days</th><td class=\"n\">2</td>"));
    const qsizetype retrain = html.indexOf("<td>Retrain</td>");
    const qsizetype drop = html.indexOf("<td>Drop</td>");
    ASSERT_GE(retrain, 0);
    ASSERT_GE(drop, 0);
    EXPECT_LT(retrain, drop);
    EXPECT_TRUE(html.contains("<td>about 5 min 0 s</td><td>Drop</td>"));
    EXPECT_TRUE(html.contains("<td>2026-12-18 10:00:00</td><td>2026-12-18 10:05:00</td>"));
}

// A report made while the line is down shows the line as it last worked, and when: never the
// zeros of the readings since.
TEST_F(DropReportTest, TheLineAsLastReadWithSync) {
    const QString html = QString::fromUtf8(DropReport::html(in));
    EXPECT_TRUE(html.contains("<tr><th>Last reading with sync</th><td colspan=\"2\">2026-12-20 "
                              "11:58:30</td></tr>"));
    EXPECT_TRUE(html.contains("<tr><th>Sync rate</th><td>1100 Kbps</td><td>17000 Kbps</td></tr>"));
    EXPECT_TRUE(html.contains("<tr><th>Noise margin</th><td>6.3 dB</td><td>5.9 dB</td></tr>"));
    EXPECT_TRUE(html.contains("3 days, 04:05:06"));
    EXPECT_FALSE(html.contains("<td>0 Kbps</td>"));

    in.lastSynced.reset();
    const QString none = QString::fromUtf8(DropReport::html(in));
    EXPECT_TRUE(none.contains("No reading with sync yet."));
    EXPECT_FALSE(none.contains("Sync rate</th>"));
    EXPECT_FALSE(none.contains("Noise margin</th>"));
}

// The summary's time lost is a range, the longest is a drop's, and times the router was not
// read are listed but not counted.
TEST_F(DropReportTest, SummaryWithRangesAndOnlyDropsLongest) {
    in.events = {lostBetween(dropBetween(at(18, 10, 0), at(18, 10, 2)), 40, 80),
                 dropBetween(at(19, 9, 0), at(19, 9, 0, 20), DropEvent::Kind::RouterRestart, 0),
                 notRead(at(19, 10, 0), at(19, 10, 5))};
    QString html = QString::fromUtf8(DropReport::html(in));
    EXPECT_TRUE(html.contains("<tr><th>Last 30 days</th><td class=\"n\">2</td><td "
                              "class=\"n\">between 40 s and 1 min 20 s</td></tr>"));
    EXPECT_TRUE(html.contains("<tr><th>Today</th><td class=\"n\">0</td><td "
                              "class=\"n\">0 s</td></tr>"));
    EXPECT_TRUE(html.contains("Longest drop in the last 30 days: between 40 s and 1 min 20 s on "
                              "2026-12-18 10:00:00."));
    EXPECT_TRUE(html.contains("The router was not read 1 time in the last 30 days"));
    // Listed all the same, with why.
    EXPECT_TRUE(html.contains("<td>not read for about 5 min 0 s</td><td>Router not read (router "
                              "not responding)</td>"));

    in.events.erase(in.events.begin());
    html = QString::fromUtf8(DropReport::html(in));
    EXPECT_FALSE(html.contains("Longest")) << "a restart lost no time a reading saw";
    EXPECT_TRUE(html.contains("No line drops in the last 30 days, only retrains and router "
                              "restarts."));
    EXPECT_TRUE(html.contains("<td>between 09:00:00 and 09:00:20</td><td>Router restart</td>"));
}

// The notes under the table say what the figures can and cannot tell; events filled from the
// history or recorded by an earlier version are marked, and their notes are there only when
// such an event is.
TEST_F(DropReportTest, FootnoteAndMarksForEventsNotSeenLive) {
    struct Case {
        const char* name;
        std::vector<DropEvent::Source> sources; // oldest first
        QStringList marks;                      // the table's kind cells, newest first
        bool historyNote, earlierNote;
    };
    using S = DropEvent::Source;
    const Case cases[] = {
        {"live only", {S::Live, S::Live}, {"<td>Drop</td>", "<td>Drop</td>"}, false, false},
        {"one from history",
         {S::History, S::Live},
         {"<td>Drop</td>", "<td>Drop *</td>"},
         true,
         false},
        {"one of each",
         {S::EarlierVersion, S::History},
         {"<td>Drop *</td>", "<td>Drop &dagger;</td>"},
         true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        in.events.clear();
        for (size_t i = 0; i < c.sources.size(); ++i) {
            in.events.push_back(dropBetween(at(10 + int(i), 10, 0), at(10 + int(i), 10, 5)));
            in.events.back().source = c.sources[i];
        }
        const QByteArray html = DropReport::html(in);
        EXPECT_TRUE(html.contains(
            "Each event lies between the last reading with sync before it and the first after "
            "it. Time lost is given as a range: at least the time between readings without sync, "
            "at most the time between the two readings with sync less any time the router was "
            "not read or not watched (the program paused or closed, the computer asleep), which "
            "is shown as unknown."));
        EXPECT_EQ(html.contains("Events marked * were filled from the data file's history; they "
                                "may include times the router was not read."),
                  c.historyNote);
        EXPECT_EQ(html.contains("Events marked &dagger; were recorded by an earlier version"),
                  c.earlierNote);
        const QStringList rows = tableRows(html);
        ASSERT_EQ(rows.size(), c.marks.size());
        for (qsizetype r = 0; r < rows.size(); ++r)
            EXPECT_TRUE(rows[r].contains(c.marks[r])) << rows[r].toStdString();
    }
}

// Text from the settings, the router and the file names is shown as text.
TEST_F(DropReportTest, EveryTextIsEscaped) {
    in.user1Name = QStringLiteral("Line Attenuation <i>&");
    in.lastSynced->sample.UptimeDisplay = QStringLiteral("<script>alert(1)</script>");
    in.events[0].images = {QStringLiteral("a<b>&.jpg")};
    const QByteArray html = DropReport::html(in);
    EXPECT_FALSE(html.contains("<script"));
    EXPECT_FALSE(html.contains("<i>"));
    EXPECT_FALSE(html.contains("<b>"));
    EXPECT_TRUE(html.contains("<th>Line Attenuation &lt;i&gt;&amp;</th>"));
    EXPECT_TRUE(html.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_TRUE(html.contains("a&lt;b&gt;&amp;.jpg is no longer there."));
}

TEST_F(DropReportTest, FilesAreWrittenWholeOrNotAtAll) {
    const QString html = dir.filePath("report.html"), csv = dir.filePath("drops.csv");
    ASSERT_TRUE(DropReport::writeHtml(html, in));
    EXPECT_EQ(readFile(html), DropReport::html(in));
    ASSERT_TRUE(DropReport::writeCsv(csv, in.events));
    DropRecordFile::Contents c;
    ASSERT_TRUE(DropRecordFile::Read(csv, c));
    EXPECT_EQ(c.events, in.events);
    QString error;
    EXPECT_FALSE(DropReport::writeCsv(dir.filePath("no-such-folder/drops.csv"), in.events, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
