#include "housekeeping/InstanceLauncher.h"

#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(InstanceLauncher, SameProgramKeepsFolderAndEnvironment) {
    QTemporaryDir home;
    qputenv("LINTROVE_LAUNCH_PROBE", "kept");
    const InstanceLauncher::Request r = InstanceLauncher::sameProgram(home.path());
    EXPECT_EQ(r.program, QCoreApplication::applicationFilePath());
    EXPECT_TRUE(r.arguments.isEmpty());
    EXPECT_EQ(r.workingFolder, QDir::currentPath());
    EXPECT_EQ(r.environment.value(QStringLiteral("LINTROVE_HOME")), home.path());
    EXPECT_EQ(r.environment.value(QStringLiteral("LINTROVE_LAUNCH_PROBE")), "kept");
    qunsetenv("LINTROVE_LAUNCH_PROBE");
}

TEST(InstanceLauncher, StartsDetachedWithTheRequestedSetting) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    const QString work = dir.filePath(QStringLiteral("work dir"));
    ASSERT_TRUE(QDir().mkpath(work));
    InstanceLauncher::Request r = InstanceLauncher::sameProgram(dir.path());
    r.program = QStringLiteral("/bin/sh");
    // The child records what it got, then renames its file into place so the test never reads
    // half of it.
    r.arguments = {QStringLiteral("-c"),
                   QStringLiteral("{ pwd; echo \"$LINTROVE_HOME\"; echo \"$#\"; } > \"$0.part\" && "
                                  "mv \"$0.part\" \"$0\""),
                   out};
    r.workingFolder = work;
    ASSERT_TRUE(InstanceLauncher().start(r));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(out); }, 10000));
    EXPECT_EQ(readFile(out), (work + '\n' + dir.path() + "\n0\n").toUtf8());
}

TEST(InstanceLauncher, MissingProgramReportsFailure) {
    InstanceLauncher::Request r;
    r.program = QStringLiteral("/nonexistent/lintrove5a");
    r.workingFolder = QDir::currentPath();
    EXPECT_FALSE(InstanceLauncher().start(r));
}

} // namespace
