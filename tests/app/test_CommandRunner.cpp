#include "app/desktop/CommandRunner.h"

#include "FakeTimer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CommandRunnerTest : public testing::Test {
protected:
    CommandRunnerTest() {
        auto timer = std::make_unique<FakeTimer>(CommandRunner::TimeLimitMs);
        timeLimit = timer.get();
        runner = std::make_unique<CommandRunner>(std::move(timer));
    }

    // Runs a shell line and waits for the hand-over.
    bool runShell(const QString& line) {
        return runner->run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), line},
                           [this](const QString& text) {
                               ++calls;
                               output = text;
                           });
    }
    bool waitForHandOver() {
        return QTest::qWaitFor([this] { return calls > 0; }, 10000);
    }

    FakeTimer* timeLimit = nullptr;
    std::unique_ptr<CommandRunner> runner;
    int calls = 0;
    QString output;
};

TEST_F(CommandRunnerTest, HandsOverTheWholeOutputWithoutTheErrorStream) {
    // Far more than a pipe holds while the command runs.
    ASSERT_TRUE(runShell(QStringLiteral("echo start; echo noise >&2; "
                                        "head -c 1000000 /dev/zero | tr '\\0' x; echo; echo end")));
    EXPECT_TRUE(runner->busy());
    EXPECT_TRUE(timeLimit->isEnabled());
    ASSERT_TRUE(waitForHandOver());
    EXPECT_EQ(output.size(), 6 + 1000000 + 1 + 4);
    EXPECT_TRUE(output.startsWith("start\nxxx"));
    EXPECT_TRUE(output.endsWith("x\nend\n"));
    EXPECT_FALSE(output.contains("noise"));
    EXPECT_FALSE(runner->busy());
    EXPECT_FALSE(timeLimit->isEnabled());
    QTest::qWait(50);
    EXPECT_EQ(calls, 1);
}

TEST_F(CommandRunnerTest, OutputIsReadAsUtf8) {
    ASSERT_TRUE(runShell(QStringLiteral("printf 'Gr\\303\\274\\303\\237e'")));
    ASSERT_TRUE(waitForHandOver());
    EXPECT_EQ(output, QString::fromUtf8("Grüße"));
}

TEST_F(CommandRunnerTest, ACommandThatCannotStartHandsOverNothingLater) {
    ASSERT_TRUE(runner->run(QStringLiteral("/nonexistent/lintrove-no-such-program"), {},
                            [this](const QString& text) {
                                ++calls;
                                output = text;
                            }));
    EXPECT_EQ(calls, 0); // never inside run
    ASSERT_TRUE(waitForHandOver());
    EXPECT_TRUE(output.isEmpty());
    EXPECT_FALSE(runner->busy());
    QTest::qWait(50);
    EXPECT_EQ(calls, 1);
}

TEST_F(CommandRunnerTest, OneCommandAtATime) {
    ASSERT_TRUE(runShell(QStringLiteral("echo first")));
    bool secondCalled = false;
    EXPECT_FALSE(runner->run(QStringLiteral("/bin/echo"), {QStringLiteral("second")},
                             [&](const QString&) { secondCalled = true; }));
    ASSERT_TRUE(waitForHandOver());
    EXPECT_EQ(output, "first\n");
    EXPECT_FALSE(secondCalled);
    // Free again afterwards.
    calls = 0;
    ASSERT_TRUE(runShell(QStringLiteral("echo again")));
    ASSERT_TRUE(waitForHandOver());
    EXPECT_EQ(output, "again\n");
}

TEST_F(CommandRunnerTest, TheTimeLimitEndsAHangingCommandWithWhatItWrote) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("written");
    ASSERT_TRUE(runShell(QStringLiteral("echo partial; touch '%1'; exec sleep 60").arg(marker)));
    // Once the line is written, let the limit pass.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 10000));
    timeLimit->elapse();
    ASSERT_TRUE(waitForHandOver());
    EXPECT_EQ(output, "partial\n");
    EXPECT_FALSE(runner->busy());
}

} // namespace
