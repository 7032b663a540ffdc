#include "housekeeping/InstanceLock.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(InstanceLock, SecondHolderWaitsUntilTheFirstLetsGo) {
    QTemporaryDir dir;
    InstanceLock first(dir.path());
    InstanceLock second(dir.path());
    ASSERT_TRUE(first.acquire(0));
    EXPECT_TRUE(first.acquire(0)); // taking it again is no deadlock
    EXPECT_FALSE(second.acquire(200));
    first.release();
    EXPECT_TRUE(second.acquire(0));
    EXPECT_TRUE(second.isLocked());
}

TEST(InstanceLock, LockOfAnEndedProcessIsTakenOver) {
    QTemporaryDir dir;
    const QString path = InstanceLock(dir.path()).path();
    // A process that took the lock and ended without letting go (a crash).
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        auto* held = new QLockFile(path);
        ::_exit(held->tryLock(0) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    InstanceLock lock(dir.path());
    EXPECT_TRUE(lock.acquire(2000));
}

TEST(InstanceLock, WaitForInstanceLockStartsEvenWhenHeld) {
    QTemporaryDir dir;
    InstanceLock holder(dir.path());
    ASSERT_TRUE(holder.acquire(0));
    EXPECT_FALSE(WaitForInstanceLock(dir.path(), 100)->isLocked());
    holder.release();
    EXPECT_TRUE(WaitForInstanceLock(dir.path(), 100)->isLocked());
}

} // namespace
