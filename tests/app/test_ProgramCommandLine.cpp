// --help and --version of the real program answer without a display, without the browser engine
// and without touching the program folder (no lock, no settings, no help document).
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Answer {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program where a QApplication could not start: the X11 platform and no display.
Answer run(const QStringList& arguments, const QString& home) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("LINTROVE_HOME"), home);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(LINTROVE_APP_PATH), arguments);
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished();
        ADD_FAILURE() << "still running after 20 s";
    }
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

TEST(ProgramCommandLine, VersionPrintsNameAndVersionOnly) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const Answer a = run({option}, home.path());
        EXPECT_EQ(a.exitCode, 0) << a.err.toStdString();
        EXPECT_EQ(a.out, QStringLiteral("Lintrove 5A " LINTROVE_VERSION "\n"))
            << option.toStdString();
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST(ProgramCommandLine, HelpListsEveryOption) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // Qt's own options (here -platform) do not stand in the way of the answer.
    for (const QStringList& arguments :
         {QStringList{"--help"}, QStringList{"-h"}, QStringList{"--help-all"},
          QStringList{"-platform", "offscreen", "--help"}}) {
        const Answer a = run(arguments, home.path());
        EXPECT_EQ(a.exitCode, 0) << a.err.toStdString();
        for (const char* option : {"--help", "--version", "--tab <index>", "--screenshot <file>",
                                   "--screenshot-delay <seconds>", "--ipconfig"})
            EXPECT_TRUE(a.out.contains(QLatin1String(option)))
                << arguments.join(' ').toStdString() << " lacks " << option;
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

} // namespace
