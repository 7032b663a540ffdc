// The line losing sync and coming back, on the real program with captures armed for a lost
// connection: zeros in the graph, the data file and the log, one set of images at the loss and
// the follow-up set a page later.
#include "e2e/ProgramScenario.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <algorithm>

namespace {

class LostSync : public ProgramScenario {
protected:
    static constexpr int kPointsPerPage = 6;
    static constexpr qsizetype kGraphs = 4; // a capture saves each of the four graphs

    // The time of day in an image's name (prefix, graph, yyyymmdd-hhmmss) in seconds.
    static int imageSeconds(const QString& name) {
        static const QRegularExpression stamp(QStringLiteral("-\\d{8}-(\\d\\d)(\\d\\d)(\\d\\d)"));
        const QRegularExpressionMatch m = stamp.match(name);
        if (!m.hasMatch())
            return -1;
        return m.captured(1).toInt() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
    }

    QStringList captures() const {
        return QDir(home.filePath(QStringLiteral("Capture")))
            .entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    }
};

TEST_F(LostSync, ZerosAreStoredAndTheLossIsCapturedThenFollowedUpAPageLater) {
    ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
    const int webPort = RouterSim::unusedPort();
    writeSettings(QStringLiteral("pw"),
                  "PointsperPage=" + QByteArray::number(kPointsPerPage) + "\r\n",
                  "[Log]\r\ncbLog=1\r\n[Capture]\r\nLostSync=1\r\n[WebServer]\r\nWeb=1\r\n"
                  "Address=127.0.0.1\r\nPort=" +
                      QByteArray::number(webPort) + "\r\n");
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());
    ASSERT_TRUE(waitForDataLines(4));
    EXPECT_TRUE(program->get("Image2")["visible"].toBool()) << "armed for a lost connection";
    EXPECT_TRUE(captures().isEmpty());

    // Two samples without sync, then the line trains again.
    ASSERT_FALSE(sim.set(QStringLiteral("nosync=1")).isEmpty());
    const qsizetype before = dataLines().size();
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            const QList<DataLine> lines = dataLines();
            return lines.size() >= before + 2 && zero(lines[before + 1]);
        },
        kLongWaitMs));
    ASSERT_FALSE(sim.set(QStringLiteral("nosync=0")).isEmpty());
    // The set is written one graph after the other.
    ASSERT_TRUE(ProgramProcess::waitFor([&] { return captures().size() >= kGraphs; }, kLongWaitMs));
    EXPECT_TRUE(program->get("Image1")["visible"].toBool()) << "the camera replaces the armed sign";
    EXPECT_FALSE(program->get("Image2")["visible"].toBool());

    // A page later the follow-up set, and no further one while the line stays up.
    ASSERT_TRUE(
        ProgramProcess::waitFor([&] { return captures().size() >= 2 * kGraphs; }, kLongWaitMs))
        << captures().join(' ').toStdString();
    const qsizetype followUpAt = dataLines().size();
    const QStringList both = captures();
    ASSERT_EQ(both.size(), 2 * kGraphs) << both.join(' ').toStdString();
    QList<int> times;
    for (const QString& name : both) {
        EXPECT_FALSE(QImage(home.filePath(QStringLiteral("Capture/") + name)).isNull())
            << name.toStdString();
        times << imageSeconds(name);
    }
    std::sort(times.begin(), times.end());
    // Samples come every 10 program seconds, give or take the timers' slack.
    const int apart = times.last() - times.first();
    EXPECT_GE(apart, (kPointsPerPage - 1) * 10) << both.join(' ').toStdString();
    EXPECT_LE(apart, (kPointsPerPage + 2) * 10) << both.join(' ').toStdString();
    ASSERT_TRUE(waitForDataLines(followUpAt + kPointsPerPage + 1));
    EXPECT_EQ(captures(), both) << "one loss, one follow-up";

    // One loss and the line up again, as /metrics tells it.
    const QByteArray metrics = httpGet(webPort, "/metrics").body;
    EXPECT_EQ(metric(metrics, QStringLiteral("lintrove_lost_connections_total")), 1.0)
        << metrics.toStdString();
    EXPECT_EQ(metric(metrics, QStringLiteral("lintrove_line_up")), 1.0);

    // The window's graph shows the zeros as the data file holds them.
    expectGraphShowsDataFile(program->get("Chart1"), dataLines());
    EXPECT_TRUE(program->terminate()) << program->error().toStdString();

    const QList<DataLine> lines = dataLines();
    qsizetype zeros = 0, firstZero = -1;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (zero(lines[i])) {
            ++zeros;
            if (firstZero < 0)
                firstZero = i;
        }
    EXPECT_GE(zeros, 1);
    EXPECT_GE(firstZero, before);
    EXPECT_FALSE(zero(lines.last())) << "the line came back";
    EXPECT_EQ(matchServed(lines, served()), QString());
    expectTimesIncrease(lines);
    const QList<QStringList> rows = logRows();
    EXPECT_EQ(rows.size(), lines.size());
    expectLogMatchesDataFile(rows, lines);
}

} // namespace
