// SIGTERM at any moment of the real program's life: during start-up, with the first-run wizard
// open, while the first page loads, and at staggered moments while it samples the simulated router
// with fast time. Every time the process is gone within seconds, and what it leaves is whole: the
// settings file rewritten with every section, the data file and the log made of complete lines,
// no temporary file left behind.
#include "core/EnDeCrypt.h"

#include "TestFiles.h"
#include "monitor/RouterSim.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

enum class Moment { Launch, Wizard, FirstPage, Sampling };

struct EndCase {
    const char* name;
    Moment moment;
    int delayMs; // after the moment is reached
};
void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.name;
}

QList<QByteArray> lines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> all = f.readAll().split('\n');
    if (!all.isEmpty() && all.last().isEmpty())
        all.removeLast();
    return all;
}

class ProgramEnd : public testing::TestWithParam<EndCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        ini = home.filePath(QStringLiteral("lintrove5a.ini"));
        data = home.filePath(QStringLiteral("Lintrove5A.txt"));
        log = home.filePath(QStringLiteral("log.txt"));
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    }

    void start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LINTROVE_HOME"), home.path());
        // Sample 10 s passes in half a second.
        env.insert(QStringLiteral("LINTROVE_TIME_SCALE"), QStringLiteral("20"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(LINTROVE_APP_PATH), {});
        ASSERT_TRUE(program.waitForStarted(10000));
    }

    QTemporaryDir home;
    QString ini, data, log;
    QProcess program;
};

TEST_P(ProgramEnd, GoneWithinSecondsLeavingWholeFiles) {
    const EndCase& c = GetParam();
    RouterSim sim;
    ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
    const QByteArray settings = "[LT-BT]\r\nAddress=127.0.0.1:" + QByteArray::number(sim.port()) +
                                "\r\nPassword=" + EnDeCrypt("pw") +
                                "\r\nPrompt=1\r\nSample=10\r\nRestore=1\r\n" +
                                "[Log]\r\ncbLog=1\r\nLogFile=" + QFile::encodeName(log) + "\r\n";
    if (c.moment != Moment::Wizard) // no settings file: the first run opens the wizard
        writeFile(ini, settings);
    start();

    int linesBefore = 0;
    switch (c.moment) {
    case Moment::Launch:
        break;
    case Moment::Wizard:
    case Moment::FirstPage:
        // The help document is written during start-up, once the window exists.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return QFileInfo::exists(home.filePath(QStringLiteral("lintrove5a.html"))); },
            60000));
        break;
    case Moment::Sampling:
        ASSERT_TRUE(QTest::qWaitFor([&] { return lines(data).size() >= 3; }, 60000))
            << "no samples";
        linesBefore = int(lines(data).size());
        break;
    }
    QTest::qWait(c.delayMs);

    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(15000)) << "still running 15 s after SIGTERM";
    // Before its handler is in place the signal ends the program outright, before any file is
    // opened; after that it ends through the close sequence with 0.
    const bool byHandler = program.exitStatus() == QProcess::NormalExit;
    if (byHandler)
        EXPECT_EQ(program.exitCode(), 0);
    else
        EXPECT_EQ(c.moment, Moment::Launch) << "killed by the signal after start-up";

    if (c.moment == Moment::Launch && !byHandler) {
        EXPECT_EQ(readFile(ini), settings) << "nothing may have been touched";
    } else if (c.moment == Moment::Wizard && !QFileInfo::exists(ini)) {
        ADD_FAILURE() << "no settings file after the first run ended";
    } else {
        const QByteArray saved = readFile(ini);
        for (const char* section : {"[LT-BT]", "[Log]", "[Capture]", "[Advanced]", "[WebServer]"})
            EXPECT_TRUE(saved.contains(section)) << section << " missing from\n" << saved.data();
        EXPECT_TRUE(saved.endsWith("\r\n"));
        if (c.moment != Moment::Wizard) {
            EXPECT_TRUE(saved.contains("Sample=10"));
            EXPECT_TRUE(saved.contains("cbLog=1"));
        }
    }

    // Complete lines only: a time and eight numbers in the data file, the log's rows as wide as
    // its header.
    const QRegularExpression dataLine(QStringLiteral(R"(^[^,]+(,-?\d+(\.\d+)?){8}\r?$)"));
    const QList<QByteArray> dataNow = lines(data);
    for (const QByteArray& line : dataNow)
        EXPECT_TRUE(dataLine.match(QString::fromLatin1(line)).hasMatch()) << line.data();
    EXPECT_GE(dataNow.size(), linesBefore);
    const QList<QByteArray> rows = lines(log);
    if (!rows.isEmpty()) {
        // Every row has one column per title of the header.
        const qsizetype commas = rows.first().count(',');
        for (const QByteArray& row : rows) {
            EXPECT_TRUE(row.endsWith('\r')) << "a half row: " << row.data();
            if (!row.startsWith("Date/Time") && !row.startsWith('-')) {
                EXPECT_EQ(row.count(','), commas) << row.data();
            }
        }
    }
    const QStringList leftovers = QDir(home.path())
                                      .entryList({QStringLiteral("*.tmp"), QStringLiteral("*.new")},
                                                 QDir::Files | QDir::Hidden);
    EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(u' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Moments, ProgramEnd,
                         testing::Values(EndCase{"AtLaunch", Moment::Launch, 0},
                                         EndCase{"DuringStartUp", Moment::Launch, 150},
                                         EndCase{"WithTheFirstRunWizardOpen", Moment::Wizard, 300},
                                         EndCase{"WhileTheFirstPageLoads", Moment::FirstPage, 0},
                                         EndCase{"RightAfterASample", Moment::Sampling, 0},
                                         EndCase{"BetweenSamples", Moment::Sampling, 170},
                                         EndCase{"NearTheNextSample", Moment::Sampling, 430}),
                         [](const testing::TestParamInfo<EndCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
