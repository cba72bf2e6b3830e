#include "platform/step_failure.h"

#include <cstdlib>
#include <cstring>

namespace {

// In the order of HostStep.
constexpr const char* stepNames[] = {
    "windowCreate",
    "inputCreate",
    "keyboardCreate",
    "keyboardFormat",
    "keyboardCooperativeLevel",
    "keyboardBufferSize",
    "joystickFind",
    "joystickFormat",
    "soundCreate",
    "soundCooperativeLevel",
    "soundPrimaryBuffer",
    "soundPrimaryFormat",
    "soundSecondaryBuffers",
    "displayCreate",
    "displayInterface",
    "displayCooperativeLevel",
    "displayMode",
    "displayPrimarySurface",
    "displayRenderSurface",
    "displayFilterSurface",
};
static_assert(sizeof stepNames / sizeof stepNames[0] ==
              static_cast<int>(HostStep::displayFilterSurface) + 1);

int failingStep = -1;

} // namespace

int hostStepNamed(const char* name) {
    if (!name) {
        return -1;
    }
    for (int step = 0; step < static_cast<int>(sizeof stepNames / sizeof stepNames[0]); ++step) {
        if (std::strcmp(name, stepNames[step]) == 0) {
            return step;
        }
    }
    return -1;
}

void readFailingStep() {
    failingStep = hostStepNamed(std::getenv(failStepVariable));
}

bool hostStepFails(HostStep step) {
    return static_cast<int>(step) == failingStep;
}
