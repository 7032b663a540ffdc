// A router that accepts connections and then never answers, on the real program: every sample
// while it is silent is stored as a zero point at the sample interval, the window and /metrics
// say the router is not responding (/metrics with no values of the line meanwhile), and the
// values come back when it answers again.
#include "e2e/ProgramScenario.h"

namespace {

class HungRouter : public ProgramScenario {
protected:
    // Far longer than the program waits for a page (10 program seconds, 2/3 of a real one), yet
    // short enough that the simulator's waiting threads end soon after the test.
    static constexpr int kSilenceMs = 4000;
    // A page answered in time arrives within a second; the waits below only run out when the
    // program is broken.
    static constexpr int kWaitMs = 20000;

    int webPort = 0;

    QByteArray metrics() const { return httpGet(webPort, "/metrics").body; }
    QString routerStateMetric() const {
        const QByteArray page = metrics();
        for (const char* state : {"connecting", "reading", "not_reachable", "not_responding",
                                  "password_rejected", "no_statistics", "paused", "stopped"})
            if (metric(page, QStringLiteral("lintrove_router_state{state=\"%1\"}").arg(state)) ==
                1.0)
                return QString::fromLatin1(state);
        return QString();
    }
};

TEST_F(HungRouter, SilentRouterIsRecordedAsLostAtEverySampleAndShownAsNotResponding) {
    ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
    webPort = RouterSim::unusedPort();
    writeSettings(QStringLiteral("pw"), {},
                  "[Log]\r\ncbLog=1\r\n[WebServer]\r\nWeb=1\r\nAddress=127.0.0.1\r\nPort=" +
                      QByteArray::number(webPort) + "\r\n");
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());
    ASSERT_TRUE(waitForDataLines(3));
    EXPECT_EQ(routerStateMetric(), QStringLiteral("reading"));
    EXPECT_EQ(metric(metrics(), QStringLiteral("lintrove_line_up")), 1.0);

    // The router goes silent: a zero point at every sample while it stays so.
    const QJsonObject silenced = sim.set(QStringLiteral("slow=%1").arg(kSilenceMs));
    ASSERT_FALSE(silenced.isEmpty());
    const qsizetype silent = dataLines().size();
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            const QList<DataLine> lines = dataLines();
            return lines.size() >= silent + 4 && zero(lines.last()) &&
                   zero(lines[lines.size() - 2]) && zero(lines[lines.size() - 3]);
        },
        kWaitMs))
        << "no lost connection recorded while the router is silent";
    const QString title = program->get("Form1")["title"].toString();
    EXPECT_EQ(title, QStringLiteral("Lintrove 5A  [Running]  - Home Hub not responding"));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(sim.port());
    EXPECT_TRUE(program->get("Label2")["text"].toString().startsWith(
        QStringLiteral("Home Hub not responding at ") + address + QStringLiteral(" since ")))
        << program->get("Label2")["text"].toString().toStdString();
    EXPECT_TRUE(program->get("StatusPanel3")["text"].toString().startsWith(
        QStringLiteral("Not responding since ")));
    EXPECT_TRUE(program->get("Label22")["text"].toString().isEmpty()) << "the toolbar is blanked";
    EXPECT_EQ(routerStateMetric(), QStringLiteral("not_responding"));
    // The zero points are the graphs' alone: /metrics shows no value of the line while the
    // router is not read, and a silence is no lost connection.
    const QByteArray silentMetrics = metrics();
    EXPECT_EQ(metric(silentMetrics, QStringLiteral("lintrove_line_up")), std::nullopt);
    EXPECT_EQ(metric(silentMetrics, QStringLiteral("lintrove_noise_margin_db{direction=\"down\"}")),
              std::nullopt);
    EXPECT_EQ(metric(silentMetrics, QStringLiteral("lintrove_lost_connections_total")), 0.0);

    // It answers again: values from the next samples on.
    const QJsonObject answering = sim.set(QStringLiteral("slow=0"));
    ASSERT_FALSE(answering.isEmpty());
    // Every page asked for while it was silent (the simulator counts them as it takes them).
    const int unanswered = answering[QStringLiteral("statsPages")].toInt() -
                           silenced[QStringLiteral("statsPages")].toInt();
    const qsizetype back = dataLines().size();
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            const QList<DataLine> lines = dataLines();
            return lines.size() >= back + 2 && !zero(lines.last()) &&
                   !zero(lines[lines.size() - 2]);
        },
        kWaitMs));
    EXPECT_EQ(program->get("Form1")["title"].toString(), QStringLiteral("Lintrove 5A  [Running]"));
    EXPECT_EQ(routerStateMetric(), QStringLiteral("reading"));
    EXPECT_EQ(metric(metrics(), QStringLiteral("lintrove_line_up")), 1.0);
    EXPECT_TRUE(program->terminate()) << program->error().toStdString();

    // Each page the silent router never answered is one lost-connection point: none doubled,
    // none lost.
    const QList<DataLine> lines = dataLines();
    qsizetype zeros = 0;
    for (const DataLine& line : lines)
        zeros += zero(line) ? 1 : 0;
    EXPECT_GE(zeros, 3);
    EXPECT_EQ(zeros, unanswered);
    expectTimesIncrease(lines);
    expectAnsweredLinesMatchServed(lines);
    expectLogMatchesDataFile(logRows(), lines);
}

} // namespace
