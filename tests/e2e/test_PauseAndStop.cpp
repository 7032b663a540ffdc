// Pause, the automatic resume after PauseDelay, and Pause pressed twice to Stop, on the real
// program: the window, /metrics and the stored files agree, and nothing is sampled while the
// monitor is paused or stopped.
#include "e2e/ProgramScenario.h"

#include <QElapsedTimer>

namespace {

class PauseAndStop : public ProgramScenario {
protected:
    static constexpr int kPauseDelay = 60; // program seconds: four real ones

    int webPort = 0;

    QString stateMetric() const {
        const HttpReply reply = httpGet(webPort, "/metrics");
        for (const char* state : {"not_started", "running", "paused", "stopped"})
            if (metric(reply.body,
                       QStringLiteral("lintrove_monitor_state{state=\"%1\"}").arg(state)) == 1.0)
                return QString::fromLatin1(state);
        return QString();
    }

    static QString title(ProgramProcess& program) {
        return program.get("Form1")["title"].toString();
    }
};

TEST_F(PauseAndStop, NothingIsSampledWhilePausedOrStoppedAndThePauseEndsByItself) {
    ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
    webPort = RouterSim::unusedPort();
    writeSettings(
        QStringLiteral("pw"), {},
        "[Log]\r\ncbLog=1\r\n[Advanced]\r\nPauseDelay=" + QByteArray::number(kPauseDelay) +
            "\r\n[WebServer]\r\nWeb=1\r\nAddress=127.0.0.1\r\nPort=" + QByteArray::number(webPort) +
            "\r\n");
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());
    ASSERT_TRUE(waitForDataLines(3));
    EXPECT_EQ(stateMetric(), QStringLiteral("running"));

    // Pause: the window says so, the served state too, and the data file stands still until
    // the pause ends by itself.
    program->act(QStringLiteral("click btnStop"));
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return title(*program) == QStringLiteral("Lintrove 5A  [Paused]"); }, 10000));
    const qsizetype paused = dataLines().size();
    EXPECT_EQ(program->get("btnStop")["text"].toString(), QStringLiteral("Stop"));
    EXPECT_EQ(program->get("btnRun")["text"].toString(), QStringLiteral("Resume"));
    EXPECT_EQ(stateMetric(), QStringLiteral("paused"));
    qsizetype linesWhilePaused = paused;
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            if (title(*program) != QStringLiteral("Lintrove 5A  [Paused]"))
                return true;
            linesWhilePaused = qMax(linesWhilePaused, dataLines().size());
            return false;
        },
        kLongWaitMs))
        << "the pause never ended";
    EXPECT_EQ(linesWhilePaused, paused) << "sampled while paused";
    EXPECT_EQ(title(*program), QStringLiteral("Lintrove 5A  [Running]"));
    ASSERT_TRUE(waitForDataLines(paused + 2)) << "no sample after the automatic resume";
    {
        const QList<DataLine> lines = dataLines();
        // Qt's coarse timers may fire up to 5 % early.
        EXPECT_GE(labelSeconds(lines[paused].label) - labelSeconds(lines[paused - 1].label),
                  kPauseDelay * 95 / 100)
            << "the gap spans the whole pause";
    }

    // Pause twice: stopped, with no resume however long it lasts and no page asked for.
    program->act(QStringLiteral("click btnStop"));
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return title(*program) == QStringLiteral("Lintrove 5A  [Paused]"); }, 10000));
    program->act(QStringLiteral("click btnStop"));
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return title(*program) == QStringLiteral("Lintrove 5A  [Stopped]"); }, 10000));
    EXPECT_EQ(program->get("btnRun")["text"].toString(), QStringLiteral("Start"));
    EXPECT_EQ(stateMetric(), QStringLiteral("stopped"));
    const qsizetype stopped = dataLines().size();
    const int pagesWhenStopped = sim.state()[QStringLiteral("statsPages")].toInt();
    // Twice the pause delay in program time: a pause would have ended long before.
    QElapsedTimer waited;
    waited.start();
    ProgramProcess::waitFor([&] { return waited.elapsed() > 2 * kPauseDelay * 1000 / kScale; },
                            kLongWaitMs);
    EXPECT_EQ(title(*program), QStringLiteral("Lintrove 5A  [Stopped]"));
    EXPECT_EQ(dataLines().size(), stopped) << "sampled while stopped";
    EXPECT_LE(sim.state()[QStringLiteral("statsPages")].toInt(), pagesWhenStopped + 1)
        << "pages asked for while stopped";

    // The router forgot the login during the stop: Start answers its login page again and
    // samples at once.
    const int logins = sim.set(QStringLiteral("logout=1"))[QStringLiteral("logins")].toInt();
    program->act(QStringLiteral("click btnRun"));
    ASSERT_TRUE(waitForDataLines(stopped + 2));
    EXPECT_EQ(sim.state()[QStringLiteral("logins")].toInt(), logins + 1);
    EXPECT_EQ(title(*program), QStringLiteral("Lintrove 5A  [Running]"));
    EXPECT_EQ(stateMetric(), QStringLiteral("running"));

    EXPECT_TRUE(program->terminate()) << program->error().toStdString();
    const QList<DataLine> lines = dataLines();
    EXPECT_GE(labelSeconds(lines[stopped].label) - labelSeconds(lines[stopped - 1].label),
              2 * kPauseDelay);
    expectTimesIncrease(lines);
    EXPECT_EQ(matchServed(lines, served()), QString());
    const QList<QStringList> rows = logRows();
    EXPECT_EQ(rows.size(), lines.size()) << "every sample logged, none while paused or stopped";
    expectLogMatchesDataFile(rows, lines);
}

} // namespace
