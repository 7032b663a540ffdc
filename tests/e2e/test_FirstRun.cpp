// First run of the real program: the setup wizard over an empty folder, the router's login
// answered with the password typed there, sampling that starts by itself, and a second start
// that brings the graphs back and samples on after them.
#include "e2e/ProgramScenario.h"

#include <QSet>

namespace {

class FirstRun : public ProgramScenario {};

TEST_F(FirstRun, WizardThenSamplingThenTheGraphsComeBackAfterARestart) {
    ASSERT_TRUE(sim.start(QStringLiteral("hub pass"))) << sim.error().toStdString();
    const QString address = QStringLiteral("127.0.0.1:%1").arg(sim.port());
    QList<DataLine> firstRun;
    {
        std::unique_ptr<ProgramProcess> program = launch();
        ASSERT_TRUE(program->running());
        // No settings file: the wizard opens by itself, and nothing is asked of any router.
        ASSERT_TRUE(ProgramProcess::waitFor(
            [&] { return program->command("modal").contains(R"("name":"SetupWizard")"); },
            kLongWaitMs));
        EXPECT_EQ(sim.state()[QStringLiteral("pagesServed")].toInt(), 0);
        program->act(QStringLiteral("type SetupWizard/edAddress ") + address);
        program->act(QStringLiteral("click SetupWizard/Button12"));
        ASSERT_TRUE(ProgramProcess::waitFor(
            [&] { return program->get("SetupWizard/edPassword")["visible"].toBool(); }, 10000));
        EXPECT_FALSE(program->get("SetupWizard/Button16")["enabled"].toBool())
            << "Finish waits for a password";
        program->act(QStringLiteral("type SetupWizard/edPassword hub pass"));
        program->act(QStringLiteral("click SetupWizard/Button16"));
        ASSERT_TRUE(ProgramProcess::waitFor(
            [&] { return program->command("modal") == QStringLiteral("none"); }, 10000));

        // Finish saved the address and the scrambled password at once.
        const QStringList ini = textLines(path(QStringLiteral("lintrove5a.ini")));
        EXPECT_TRUE(ini.contains(QStringLiteral("Address=") + address))
            << ini.join('\n').toStdString();
        EXPECT_TRUE(ini.contains(QString::fromLatin1("Password=" + EnDeCrypt("hub pass"))));

        // The login is answered and the first statistics page starts the monitor.
        ASSERT_TRUE(waitForDataLines(3)) << program->get("Form1")["title"].toString().toStdString();
        EXPECT_EQ(program->get("Form1")["title"].toString(),
                  QStringLiteral("Lintrove 5A  [Running]"));
        EXPECT_GE(sim.state()[QStringLiteral("logins")].toInt(), 1);
        EXPECT_TRUE(program->get("btnRun")["enabled"].toBool());
        EXPECT_EQ(program->get("Label2")["text"].toString(),
                  QStringLiteral("!http://") + address +
                      QStringLiteral("/index.cgi?active_page=9143"));

        // Logging switched on by the user on the Configure tab.
        program->act(QStringLiteral("tab 5"));
        program->act(QStringLiteral("check cbLog 1"));
        const qsizetype before = dataLines().size();
        ASSERT_TRUE(waitForDataLines(before + 3));
        ASSERT_TRUE(ProgramProcess::waitFor([&] { return logRows().size() >= 2; }, kLongWaitMs));

        // The window's graph holds what the data file holds.
        const QJsonObject chart = program->get(QStringLiteral("Chart1"));
        expectGraphShowsDataFile(chart, dataLines());
        EXPECT_GE(chart[QStringLiteral("points")].toInt(), before + 3);

        // The toolbar shows the noise margins of a page the router served.
        EXPECT_TRUE(ProgramProcess::waitFor(
            [&] {
                const QString shown = program->get("Label20")["text"].toString() +
                                      QStringLiteral(" / ") +
                                      program->get("Label22")["text"].toString();
                for (const QJsonValue page : served()) {
                    const QStringList cell =
                        page.toObject()[QStringLiteral("noiseMarginText")].toString().split(
                            QStringLiteral(" / "));
                    if (cell.size() == 2 && shown == cell[0] + QStringLiteral(" dB / ") + cell[1] +
                                                         QStringLiteral(" dB"))
                        return true;
                }
                return false;
            },
            10000));

        // File > Exit asks first (the wizard kept the default): Cancel goes on sampling, Yes
        // ends the program.
        const auto askToExit = [&] {
            program->act(QStringLiteral("click mnuExit"));
            ASSERT_TRUE(ProgramProcess::waitFor(
                [&] { return program->command("modal").contains(R"("class":"QMessageBox")"); },
                10000));
        };
        askToExit();
        program->act(QStringLiteral("answer Cancel"));
        const qsizetype cancelled = dataLines().size();
        ASSERT_TRUE(waitForDataLines(cancelled + 2)) << "sampling stopped after Cancel";
        EXPECT_TRUE(program->running());
        askToExit();
        program->act(QStringLiteral("answer Yes"));
        EXPECT_TRUE(program->waitForExit()) << program->error().toStdString();
        firstRun = dataLines();
    }

    const QList<QStringList> rows = logRows();
    const QStringList log = textLines(path(QStringLiteral("log.txt")));
    ASSERT_GE(log.size(), 4);
    EXPECT_TRUE(log[0].startsWith(QStringLiteral("Date/Time, Uptime, Up SNR (dB), Down SNR (dB)")));
    EXPECT_EQ(log[1], QString(log[0].size(), QLatin1Char('-')));
    expectLogMatchesDataFile(rows, firstRun);
    EXPECT_EQ(matchServed(firstRun, served()), QString());
    expectTimesIncrease(firstRun);
    EXPECT_TRUE(
        textLines(path(QStringLiteral("lintrove5a.ini"))).contains(QStringLiteral("cbLog=1")))
        << "the close saved the settings";

    // Second start: the graphs come back from the data file, and sampling goes on after them.
    {
        std::unique_ptr<ProgramProcess> program = launch();
        ASSERT_TRUE(program->running());
        const QJsonObject restored = program->get(QStringLiteral("Chart1"));
        EXPECT_GE(restored[QStringLiteral("points")].toInt(), firstRun.size());
        expectGraphShowsDataFile(restored, dataLines());
        ASSERT_TRUE(waitForDataLines(firstRun.size() + 3));
        EXPECT_EQ(program->command("modal"), QStringLiteral("none")) << "no wizard this time";
        expectGraphShowsDataFile(program->get(QStringLiteral("Chart1")), dataLines());
        EXPECT_TRUE(program->terminate()) << program->error().toStdString();
    }
    const QList<DataLine> all = dataLines();
    ASSERT_GE(all.size(), firstRun.size() + 3);
    for (qsizetype i = 0; i < firstRun.size(); ++i)
        EXPECT_EQ(all[i].label, firstRun[i].label) << "stored lines stay as they were";
    expectTimesIncrease(all);
    QSet<QString> labels;
    for (const DataLine& line : all)
        labels.insert(line.label);
    EXPECT_EQ(labels.size(), all.size()) << "no line twice";
    EXPECT_EQ(matchServed(all, served()), QString());
    expectLogMatchesDataFile(logRows(), all);
}

} // namespace
