// The router unreachable when the real program starts, and again for a while during the run:
// the program keeps trying, stores nothing false and loses nothing stored, and samples again
// when the router is back on the same port.
#include "e2e/ProgramScenario.h"

namespace {

class RouterUnreachable : public ProgramScenario {
protected:
};

TEST_F(RouterUnreachable, TheProgramKeepsTryingAndSamplesAgainWhenTheRouterIsBack) {
    const int port = RouterSim::unusedPort();
    ASSERT_GT(port, 0);
    // The settings name the router's port while nothing listens there.
    ASSERT_TRUE(sim.start(QStringLiteral("pw"), {}, port)) << sim.error().toStdString();
    writeSettings(QStringLiteral("pw"), {}, "[Log]\r\ncbLog=1\r\n");
    sim.stop();

    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return program->get("Label2")["text"].toString().contains("not reachable"); },
        kLongWaitMs))
        << program->get("Label2")["text"].toString().toStdString();
    EXPECT_EQ(program->get("Form1")["title"].toString(),
              QStringLiteral("Lintrove 5A  - Home Hub not reachable"));
    EXPECT_TRUE(dataLines().isEmpty()) << "nothing is plotted before the router answered";

    // The router comes up: the program finds it by itself, logs in and starts.
    ASSERT_TRUE(sim.start(QStringLiteral("pw"), {}, port)) << sim.error().toStdString();
    ASSERT_TRUE(waitForDataLines(3));
    EXPECT_EQ(program->get("Form1")["title"].toString(), QStringLiteral("Lintrove 5A  [Running]"));
    const QList<DataLine> firstRouter = dataLines();
    EXPECT_EQ(matchServed(firstRouter, served()), QString());

    // Gone during the run: every sample a lost connection, the monitor still running.
    sim.stop();
    const qsizetype gone = dataLines().size();
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            const QList<DataLine> lines = dataLines();
            return lines.size() >= gone + 3 && zero(lines.last());
        },
        kLongWaitMs));
    EXPECT_EQ(program->get("Form1")["title"].toString(),
              QStringLiteral("Lintrove 5A  [Running]  - Home Hub not reachable"));
    EXPECT_TRUE(program->get("StatusPanel3")["text"].toString().startsWith(
        QStringLiteral("Not reachable since ")));

    // Back on the same port, with no memory of the session: the login is answered again.
    ASSERT_TRUE(sim.start(QStringLiteral("pw"), {}, port)) << sim.error().toStdString();
    const qsizetype back = dataLines().size();
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            const QList<DataLine> lines = dataLines();
            return lines.size() >= back + 3 && !zero(lines.last()) &&
                   !zero(lines[lines.size() - 2]);
        },
        kLongWaitMs));
    EXPECT_GE(sim.state()[QStringLiteral("logins")].toInt(), 1);
    expectGraphShowsDataFile(program->get("Chart1"), dataLines());
    EXPECT_TRUE(program->terminate()) << program->error().toStdString();

    const QList<DataLine> lines = dataLines();
    ASSERT_GT(lines.size(), back);
    for (qsizetype i = 0; i < firstRouter.size(); ++i)
        EXPECT_EQ(lines[i].label, firstRouter[i].label) << "nothing stored is lost";
    // What the second router served, after the zeros of the time it was away.
    QList<DataLine> afterReturn;
    for (qsizetype i = back; i < lines.size(); ++i)
        if (!zero(lines[i]))
            afterReturn << lines[i];
    EXPECT_EQ(matchServed(afterReturn, served()), QString());
    qsizetype zeros = 0;
    for (const DataLine& line : lines.mid(gone, back - gone))
        zeros += zero(line) ? 1 : 0;
    EXPECT_GE(zeros, 2);
    expectTimesIncrease(lines);
    expectLogMatchesDataFile(logRows(), lines);
}

} // namespace
