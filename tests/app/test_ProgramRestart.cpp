// The real program restarts itself at the restart time: the old instance saves its settings
// without asking and ends, the new one comes up from the same folder with those settings, samples
// the router again, and the data file holds every line once.
#include "core/EnDeCrypt.h"

#include "TestFiles.h"
#include "monitor/RouterSim.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> dataLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

// The process holding the program folder's instance lock, or 0.
qint64 lockHolder(const QString& folder) {
    QLockFile lock(QDir(folder).filePath(QStringLiteral("lintrove5a.lock")));
    qint64 pid = 0;
    QString host, app;
    return lock.getLockInfo(&pid, &host, &app) ? pid : 0;
}

// Alive and not a zombie waiting for a parent that may never reap it.
bool running(qint64 pid) {
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const int state = text.lastIndexOf(')') + 2; // after "pid (name) "
    return state < 2 || state >= text.size() || text[state] != 'Z';
}

// Ends the restarted instance, which is no child of the test, whatever happens.
struct EndInstance {
    qint64 pid = 0;
    ~EndInstance() {
        if (running(pid)) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
    }
};

TEST(ProgramRestart, TheNewInstanceComesUpWithTheSavedSettingsAndEveryDataLineOnce) {
    RouterSim sim;
    ASSERT_TRUE(sim.start(QStringLiteral("pw"))) << sim.error().toStdString();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString ini = home.filePath(QStringLiteral("lintrove5a.ini"));
    const QString data = home.filePath(QStringLiteral("Lintrove5A.txt"));

    // Time runs 20 times as fast from now on, for both instances alike (the new one inherits the
    // environment): two minutes pass in six seconds.
    const qint64 origin = QDateTime::currentMSecsSinceEpoch();
    const double scale = 20;
    const auto programNow = [&] {
        return QDateTime::fromMSecsSinceEpoch(
            origin + qint64((QDateTime::currentMSecsSinceEpoch() - origin) * scale));
    };
    // The next minute, or the one after when this one is nearly over: the program must have
    // started before it, as the minute of a start never restarts.
    const QDateTime now = programNow();
    const QDateTime thisMinute(now.date(), QTime(now.time().hour(), now.time().minute()));
    const QDateTime restartAt = thisMinute.addSecs(now.time().second() < 30 ? 60 : 120);
    writeFile(ini, "[LT-BT]\r\nAddress=127.0.0.1:" + QByteArray::number(sim.port()) +
                       "\r\nPassword=" + EnDeCrypt("pw") +
                       "\r\nPrompt=1\r\nSample=10\r\nRestore=1\r\n[Advanced]\r\nRestart=1\r\n"
                       "RestartDays=1\r\nRestartTime=" +
                       restartAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() +
                       "\r\n");

    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LINTROVE_HOME"), home.path());
    env.insert(QStringLiteral("LINTROVE_TIME_SCALE"),
               QStringLiteral("%1@%2").arg(scale).arg(origin));
    first.setProcessEnvironment(env);
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(QStringLiteral(LINTROVE_APP_PATH), {});
    ASSERT_TRUE(first.waitForStarted(10000));

    // Samples before the restart, then the old instance ends by itself, asking nothing.
    const int untilRestart = int(programNow().msecsTo(restartAt) / scale);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dataLines(data).isEmpty(); }, untilRestart))
        << "no sample before the restart time";
    const bool ended = first.waitForFinished(untilRestart + 30000);
    if (!ended) {
        first.kill();
        first.waitForFinished();
    }
    ASSERT_TRUE(ended) << "still running long after the restart time";
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    const QByteArray saved = readFile(ini);
    EXPECT_TRUE(saved.contains("[Capture]")) << "the settings were saved whole before the restart";
    EXPECT_TRUE(saved.contains("Sample=10"));
    const QList<QByteArray> before = dataLines(data);

    // The new instance holds the folder's lock and samples the router with the saved address
    // and password, adding to the restored data.
    EndInstance second;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            second.pid = lockHolder(home.path());
            return second.pid != first.processId() && running(second.pid);
        },
        30000))
        << "no new instance";
    ASSERT_TRUE(QTest::qWaitFor([&] { return dataLines(data).size() > before.size(); }, 60000))
        << "the new instance never sampled";

    ::kill(static_cast<pid_t>(second.pid), SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !running(second.pid); }, 30000));

    const QList<QByteArray> after = dataLines(data);
    EXPECT_EQ(after.mid(0, before.size()), before) << "the lines of the old instance stay";
    const QSet<QByteArray> distinct(after.begin(), after.end());
    EXPECT_EQ(distinct.size(), after.size()) << readFile(data).toStdString();
    EXPECT_TRUE(readFile(ini).contains("Restart=1"));
}

} // namespace
