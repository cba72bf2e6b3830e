// A switch for tests that makes one set-up step of the host fail as if the platform had refused
// it: the environment variable QUARVEND_FAIL_STEP names the step (windowCreate, soundCreate,
// displayMode, ...). It is read once at start, so the normal run pays one comparison per step.
// Platform-neutral, so that the names can be checked on any machine.
#pragma once

#include "platform/host.h"

constexpr const char* failStepVariable = "QUARVEND_FAIL_STEP";

// The step with this name, or -1 for a missing, empty or unknown name.
int hostStepNamed(const char* name);

// Reads the variable; afterwards hostStepFails answers for it.
void readFailingStep();
bool hostStepFails(HostStep step);
