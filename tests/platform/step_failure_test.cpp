#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/step_failure.h"

namespace {

// The names are those the tests of Quarvend.exe put in QUARVEND_FAIL_STEP; each must reach its
// own step, so a name table out of step with HostStep would fail the wrong step.
TEST(StepFailure, EachNameSelectsItsStep) {
    EXPECT_EQ(hostStepNamed("windowCreate"), static_cast<int>(HostStep::windowCreate));
    EXPECT_EQ(hostStepNamed("inputCreate"), static_cast<int>(HostStep::inputCreate));
    EXPECT_EQ(hostStepNamed("keyboardBufferSize"), static_cast<int>(HostStep::keyboardBufferSize));
    EXPECT_EQ(hostStepNamed("joystickFormat"), static_cast<int>(HostStep::joystickFormat));
    EXPECT_EQ(hostStepNamed("soundCreate"), static_cast<int>(HostStep::soundCreate));
    EXPECT_EQ(hostStepNamed("soundPrimaryFormat"), static_cast<int>(HostStep::soundPrimaryFormat));
    EXPECT_EQ(hostStepNamed("soundSecondaryBuffers"),
              static_cast<int>(HostStep::soundSecondaryBuffers));
    EXPECT_EQ(hostStepNamed("displayCreate"), static_cast<int>(HostStep::displayCreate));
    EXPECT_EQ(hostStepNamed("displayMode"), static_cast<int>(HostStep::displayMode));
    EXPECT_EQ(hostStepNamed("displayFilterSurface"),
              static_cast<int>(HostStep::displayFilterSurface));
}

TEST(StepFailure, UnknownOrMissingNamesFailNothing) {
    EXPECT_EQ(hostStepNamed(nullptr), -1);
    EXPECT_EQ(hostStepNamed(""), -1);
    EXPECT_EQ(hostStepNamed("displaymode"), -1); // names are exact
    EXPECT_EQ(hostStepNamed("displayMode "), -1);
    EXPECT_EQ(hostStepNamed("display"), -1);
}

TEST(StepFailure, OnlyTheNamedStepFailsAndOnlyAfterReading) {
    setenv(failStepVariable, "soundPrimaryBuffer", 1);
    EXPECT_FALSE(hostStepFails(HostStep::soundPrimaryBuffer)); // not read yet
    readFailingStep();
    EXPECT_TRUE(hostStepFails(HostStep::soundPrimaryBuffer));
    EXPECT_FALSE(hostStepFails(HostStep::soundPrimaryFormat));
    EXPECT_FALSE(hostStepFails(HostStep::windowCreate));

    unsetenv(failStepVariable);
    readFailingStep();
    EXPECT_FALSE(hostStepFails(HostStep::soundPrimaryBuffer));
    EXPECT_FALSE(hostStepFails(HostStep::windowCreate));
}

} // namespace
