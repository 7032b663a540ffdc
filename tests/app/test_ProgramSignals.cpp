// The real program ends cleanly when the system asks it to stop: the close sequence runs once,
// asks nothing even with the close question on, and saves the settings.
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct SignalCase {
    const char* name;
    int signalNumber;
};
// Readable case names in the test listing.
void PrintTo(const SignalCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgramSignals : public testing::TestWithParam<SignalCase> {};

TEST_P(ProgramSignals, EndTheProgramWithoutAskingAndSaveTheSettings) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString ini = home.filePath(QStringLiteral("lintrove5a.ini"));
    const QString help = home.filePath(QStringLiteral("lintrove5a.html"));
    // Port 9 on the loopback: nothing answers, so the program sits on the browser's error page.
    writeFile(ini, "[LT-BT]\r\nAddress=127.0.0.1:9\r\nPrompt=1\r\nSample=45\r\n");

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LINTROVE_HOME"), home.path());
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(LINTROVE_APP_PATH), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    // The help document is written during start-up, after the signal handler is in place.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(help); }, 60000));
    QTest::qWait(500); // let the window come up and the first page start loading

    ::kill(static_cast<pid_t>(program.processId()), GetParam().signalNumber);
    const bool ended = program.waitForFinished(30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    ASSERT_TRUE(ended) << "the program was still running 30 s after the signal";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    const QByteArray saved = readFile(ini);
    // Rewritten whole by the close sequence: keys the start file lacked are there now, and the
    // values it had are kept.
    EXPECT_TRUE(saved.contains("[Advanced]")) << saved.constData();
    EXPECT_TRUE(saved.contains("Prompt=1"));
    EXPECT_TRUE(saved.contains("Sample=45"));
    EXPECT_FALSE(QFileInfo::exists(help)) << "the close sequence deletes the help document";
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramSignals,
                         testing::Values(SignalCase{"SIGTERM", SIGTERM},
                                         SignalCase{"SIGINT", SIGINT}),
                         [](const testing::TestParamInfo<SignalCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
