// A wrong password, on the real program. Stored wrong at start: the router's wrong-password page
// stays on show, the status line says why and nothing is sampled; the right password typed on
// the Configure tab logs in and starts the monitor without a restart. Changed on the router
// during the run: every sample is a lost connection, the login is tried three times and then
// held back, and the new password typed on the Configure tab brings the values back.
#include "e2e/ProgramScenario.h"

namespace {

const QString kRejected =
    QStringLiteral("The Home Hub rejected the password: correct it on the Configure tab");

class WrongPassword : public ProgramScenario {
protected:
    int counter(const char* name) const { return sim.state()[QLatin1StringView(name)].toInt(); }
};

TEST_F(WrongPassword, TheRightPasswordTypedOnTheConfigureTabStartsSamplingAtOnce) {
    ASSERT_TRUE(sim.start(QStringLiteral("right one"))) << sim.error().toStdString();
    writeSettings(QStringLiteral("wrong one"));
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());

    ASSERT_TRUE(
        ProgramProcess::waitFor([&] { return counter("wrongPasswordPages") >= 1; }, kLongWaitMs));
    // The router's answer is left on the Home Hub tab; the monitor has not started.
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return program->get("PageControl1")["index"].toInt() == 0; }, 10000));
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return program->get("Label2")["text"].toString() == kRejected; }, 10000))
        << program->get("Label2")["text"].toString().toStdString();
    EXPECT_EQ(program->get("Form1")["title"].toString(),
              QStringLiteral("Lintrove 5A  - Home Hub rejected the password"));
    EXPECT_FALSE(program->get("btnRun")["enabled"].toBool());
    EXPECT_EQ(counter("statsPages"), 0);
    EXPECT_EQ(counter("logins"), 0);
    EXPECT_TRUE(dataLines().isEmpty());

    program->act(QStringLiteral("tab 5"));
    program->act(QStringLiteral("type edPassword1 right one"));
    ASSERT_TRUE(waitForDataLines(3)) << program->get("Form1")["title"].toString().toStdString();
    EXPECT_EQ(program->get("Form1")["title"].toString(), QStringLiteral("Lintrove 5A  [Running]"));
    EXPECT_EQ(counter("logins"), 1) << "one login serves the run";
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

TEST_F(WrongPassword, PasswordChangedOnTheRouterIsTriedThreeTimesThenHeldUntilEdited) {
    ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
    // A login's answer has to come within the sample it belongs to: 4/3 of a real second
    // leaves room on a busy machine.
    writeSettings(QStringLiteral("pw"), {}, {}, 20);
    std::unique_ptr<ProgramProcess> program = launch();
    ASSERT_TRUE(program->running());
    ASSERT_TRUE(waitForDataLines(2));
    program->act(QStringLiteral("tab 1"));

    // The router forgets the session and takes another password.
    ASSERT_FALSE(sim.set(QStringLiteral("logout=1&password=new one")).isEmpty());
    const qsizetype changed = dataLines().size();
    const int loginPagesBefore = counter("loginPages");
    // Three answers, then only login pages: by then the held-back login has been asked for
    // twice more and answered never.
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] { return counter("loginPages") >= loginPagesBefore + 5; }, kLongWaitMs));
    EXPECT_EQ(counter("wrongPasswordPages"), 3) << "a rejected password is sent three times only";
    EXPECT_EQ(program->get("Label2")["text"].toString(), kRejected);
    EXPECT_EQ(program->get("Form1")["title"].toString(),
              QStringLiteral("Lintrove 5A  [Running]  - Home Hub rejected the password"));
    EXPECT_EQ(program->get("StatusPanel3")["text"].toString(), QStringLiteral("Password rejected"));
    {
        // Each of those samples a lost connection, at the sample interval.
        const QList<DataLine> lines = dataLines();
        ASSERT_GE(lines.size(), changed + 4);
        for (qsizetype i = changed; i < lines.size(); ++i)
            EXPECT_TRUE(zero(lines[i])) << "line " << i << " " << lines[i].label.toStdString();
    }

    // The new password typed in: answered at once, values again.
    program->act(QStringLiteral("tab 5"));
    program->act(QStringLiteral("type edPassword1 new one"));
    const qsizetype typed = dataLines().size();
    ASSERT_TRUE(ProgramProcess::waitFor(
        [&] {
            const QList<DataLine> lines = dataLines();
            return lines.size() >= typed + 2 && !zero(lines.last());
        },
        kLongWaitMs));
    EXPECT_EQ(counter("wrongPasswordPages"), 3);
    EXPECT_EQ(counter("logins"), 2);
    EXPECT_EQ(program->get("Form1")["title"].toString(), QStringLiteral("Lintrove 5A  [Running]"));
    EXPECT_TRUE(program->terminate()) << program->error().toStdString();

    const QList<DataLine> lines = dataLines();
    expectTimesIncrease(lines);
    expectAnsweredLinesMatchServed(lines);
}

} // namespace
