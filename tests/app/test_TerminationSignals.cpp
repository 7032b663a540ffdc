#include "app/TerminationSignals.h"

#include <QSignalSpy>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// SIGTERM and SIGINT arrive as a signal on the event loop instead of ending the process.
TEST(TerminationSignals, ArriveOnTheEventLoop) {
    TerminationSignals termination;
    ASSERT_TRUE(termination.isInstalled());
    QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
    for (const int number : {SIGTERM, SIGINT}) {
        spy.clear();
        std::raise(number);
        ASSERT_TRUE(spy.wait(5000)) << number;
        EXPECT_EQ(spy.takeFirst().at(0).toInt(), number);
    }
}

} // namespace
