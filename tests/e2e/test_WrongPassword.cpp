// A wrong stored password: the router's wrong-password page stays on show and nothing is
// sampled; the right password typed on the Configure tab logs in and starts the monitor without
// a restart, and the close keeps it.
#include "e2e/ProgramScenario.h"

namespace {

class WrongPassword : public ProgramScenario {};

TEST_F(WrongPassword, TheRightPasswordTypedOnTheConfigureTabStartsSamplingAtOnce) {
    ASSERT_TRUE(sim.start(QStringLiteral("right one"))) << sim.error().toStdString();
    writeSettings(QStringLiteral("wrong one"));
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());

    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return sim.state()[QStringLiteral("wrongPasswordPages")].toInt() >= 1; },
        kLongWaitMs));
    // The router's answer is left on the Home Hub tab; the monitor has not started.
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return program->get("PageControl1")["index"].toInt() == 0; }, 10000));
    EXPECT_EQ(program->get("Form1")["title"].toString(), QStringLiteral("Lintrove 5A"));
    EXPECT_FALSE(program->get("btnRun")["enabled"].toBool());
    EXPECT_FALSE(program->get("Label2")["text"].toString().startsWith(QLatin1Char('!')));
    EXPECT_EQ(sim.state()[QStringLiteral("statsPages")].toInt(), 0);
    EXPECT_EQ(sim.state()[QStringLiteral("logins")].toInt(), 0);
    EXPECT_TRUE(dataLines().isEmpty());

    program->act(QStringLiteral("tab 5"));
    program->act(QStringLiteral("type edPassword1 right one"));
    ASSERT_TRUE(waitForDataLines(3)) << program->get("Form1")["title"].toString().toStdString();
    EXPECT_EQ(program->get("Form1")["title"].toString(), QStringLiteral("Lintrove 5A  [Running]"));
    EXPECT_EQ(sim.state()[QStringLiteral("logins")].toInt(), 1) << "one login serves the run";
    EXPECT_TRUE(program->get("btnRun")["enabled"].toBool());
    expectGraphShowsDataFile(program->get("Chart1"), dataLines());

    EXPECT_TRUE(program->terminate()) << program->error().toStdString();
    const QList<DataLine> lines = dataLines();
    EXPECT_EQ(matchServed(lines, served()), QString());
    expectTimesIncrease(lines);
    EXPECT_TRUE(textLines(path(QStringLiteral("lintrove5a.ini")))
                    .contains(QString::fromLatin1("Password=" + EnDeCrypt("right one"))))
        << "the corrected password is what the close saves";
}

} // namespace
