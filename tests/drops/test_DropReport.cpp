#include "drops/DropReport.h"

#include "drops/DropRecordFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "DropFixtures.h"
#include "TestFiles.h"

namespace {

class DropReportTest : public ::testing::Test {
protected:
    DropReportTest() {
        in.router = QStringLiteral("192.168.1.254 <b>");
        in.line = syncSample(1100, 17000, 5.9, "3 days, 04:05:06");
        in.line.HasUser1 = true;
        in.line.User1Down = 39.1;
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
    EXPECT_TRUE(html.contains("5 min 0 s &plusmn; 30 s"));
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
