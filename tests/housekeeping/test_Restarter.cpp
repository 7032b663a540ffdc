#include "housekeeping/Restarter.h"

#include "FakeTimer.h"

#include <gtest/gtest.h>

namespace {

class RecordingLauncher final : public InstanceLauncher {
public:
    explicit RecordingLauncher(QStringList& log) : log_(log) {}
    bool start(const Request& r) override {
        log_ << "start " + r.program;
        return true;
    }

private:
    QStringList& log_;
};

class RestarterTest : public testing::Test {
protected:
    RestarterTest() {
        request.program = QStringLiteral("/opt/lintrove5a");
        steps.SaveSettings = [this] {
            log << "save";
            return saveSucceeds;
        };
        steps.EndProgram = [this] { log << "end"; };
        steps.CloseMainWindow = [this] {
            log << QStringLiteral("close%1").arg(restarter->RestartInProgress() ? " quietly" : "");
            return closeSucceeds;
        };
        steps.Busy = [this] { return busy; };
        restarter = std::make_unique<Restarter>(launcher, request, retry, steps);
    }

    QStringList log;
    RecordingLauncher launcher{log};
    InstanceLauncher::Request request;
    FakeTimer retry;
    Restarter::Steps steps;
    std::unique_ptr<Restarter> restarter;
    bool saveSucceeds = true, closeSucceeds = true, busy = false;
};

TEST_F(RestarterTest, ScheduledRestartSavesEndsThenStartsTheNewInstance) {
    EXPECT_FALSE(restarter->LaunchPending());
    restarter->ScheduledRestart();
    // Nothing is started while this instance still holds its files.
    EXPECT_EQ(log, (QStringList{"save", "end"}));
    EXPECT_TRUE(restarter->Pending());
    EXPECT_TRUE(restarter->LaunchPending());
    EXPECT_EQ(log, (QStringList{"save", "end", "start /opt/lintrove5a"}));
    // Once only.
    EXPECT_FALSE(restarter->LaunchPending());
}

TEST_F(RestarterTest, ScheduledRestartGoesOnWhenSavingFails) {
    saveSucceeds = false;
    restarter->ScheduledRestart();
    restarter->LaunchPending();
    EXPECT_EQ(log, (QStringList{"save", "end", "start /opt/lintrove5a"}));
}

TEST_F(RestarterTest, ScheduledRestartWaitsForAModalDialog) {
    busy = true;
    restarter->ScheduledRestart();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(retry.isEnabled());
    retry.elapse();
    EXPECT_TRUE(log.isEmpty());
    busy = false;
    retry.elapse();
    EXPECT_EQ(log, (QStringList{"save", "end"}));
    EXPECT_FALSE(retry.isEnabled());
    // A second due time while ending changes nothing.
    restarter->ScheduledRestart();
    EXPECT_EQ(log.size(), 2);
}

TEST_F(RestarterTest, RestartNowClosesQuietlyOrStartsNothing) {
    closeSucceeds = false;
    EXPECT_FALSE(restarter->RestartNow());
    EXPECT_FALSE(restarter->RestartInProgress());
    EXPECT_FALSE(restarter->LaunchPending());
    EXPECT_EQ(log, QStringList{"close quietly"});

    closeSucceeds = true;
    EXPECT_TRUE(restarter->RestartNow());
    EXPECT_TRUE(restarter->RestartInProgress());
    EXPECT_TRUE(restarter->LaunchPending());
    EXPECT_EQ(log, (QStringList{"close quietly", "close quietly", "start /opt/lintrove5a"}));
}

} // namespace
