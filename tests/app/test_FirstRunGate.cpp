#include "app/binders/FirstRunGate.h"

#include "FakeTimer.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

class FirstRunGateTest : public testing::Test {
protected:
    FirstRunGateTest()
        : gate(timer4, {[this] { return settingsFileExists; }, [this] { return passwordEmpty; },
                        [this] { return wizardShowing; }, [this] { ++openings; },
                        [this](const QString& text) { statusLines << text; }}) {}

    // The main window activated, then 750 ms later.
    void activateAndWait() {
        gate.FormActivate();
        timer4.elapse();
    }

    FakeTimer timer4{1};
    bool settingsFileExists = false;
    bool passwordEmpty = true;
    bool wizardShowing = false;
    int openings = 0;
    QStringList statusLines;
    FirstRunGate gate;
};

TEST_F(FirstRunGateTest, OpensTheWizardOnceAfterActivationWhileTheSetupIsUnfinished) {
    struct Case {
        bool settingsFileExists, passwordEmpty, opens;
    };
    for (const Case c : {Case{false, true, true}, Case{false, false, true}, Case{true, true, true},
                         Case{true, false, false}}) {
        settingsFileExists = c.settingsFileExists;
        passwordEmpty = c.passwordEmpty;
        openings = 0;
        gate.FormActivate();
        EXPECT_EQ(timer4.interval(), 750);
        EXPECT_EQ(timer4.isEnabled(), c.opens);
        timer4.elapse();
        timer4.elapse(); // a single shot
        EXPECT_EQ(openings, c.opens ? 1 : 0)
            << "settings file " << c.settingsFileExists << ", password empty " << c.passwordEmpty;
        EXPECT_FALSE(timer4.isEnabled());
    }
}

TEST_F(FirstRunGateTest, NothingWhileTheWizardIsShowing) {
    wizardShowing = true;
    activateAndWait();
    EXPECT_EQ(openings, 0);

    // Armed before the wizard was opened from the menu.
    wizardShowing = false;
    gate.FormActivate();
    wizardShowing = true;
    timer4.elapse();
    EXPECT_EQ(openings, 0);
}

TEST_F(FirstRunGateTest, AFinishBeforeTheTimerFiresWins) {
    gate.FormActivate();
    settingsFileExists = true;
    passwordEmpty = false;
    timer4.elapse();
    EXPECT_EQ(openings, 0);
}

TEST_F(FirstRunGateTest, CancelOnAFirstRunStopsTheOpeningsAndSaysWhatToDo) {
    activateAndWait();
    ASSERT_EQ(openings, 1);
    gate.wizardCancelled();
    EXPECT_EQ(statusLines,
              QStringList{"Setup not finished: choose File > Setup Wizard... to enter the "
                          "router's address and password"});
    // Closing the wizard activates the main window again, and so does every later visit.
    for (int i = 0; i < 3; ++i)
        activateAndWait();
    EXPECT_EQ(openings, 1);
    EXPECT_TRUE(gate.quiet());

    // Finished later from the menu: the hint goes.
    settingsFileExists = true;
    passwordEmpty = false;
    gate.wizardFinished();
    EXPECT_EQ(statusLines.last(), QString());
    EXPECT_FALSE(gate.quiet());
}

TEST_F(FirstRunGateTest, CancelOfAFinishedSetupChangesNothing) {
    settingsFileExists = true;
    passwordEmpty = false;
    gate.wizardCancelled();
    EXPECT_TRUE(statusLines.isEmpty());
    EXPECT_FALSE(gate.quiet());
    // The password emptied later: the wizard opens by itself again.
    passwordEmpty = true;
    activateAndWait();
    EXPECT_EQ(openings, 1);
}

} // namespace
