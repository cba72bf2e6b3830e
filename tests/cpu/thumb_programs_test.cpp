#include <gtest/gtest.h>

#include <string>

#include "support/gba_program.h"

namespace {

// Each program checks THUMB instructions from inside the machine and reports the first
// failed case number (hundreds = instruction format).
class ThumbProgramTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ThumbProgramTest, RunsWithoutFailures) {
    const std::string name = GetParam() + ".gba";
    ProgramResult result = runProgram(name);
    EXPECT_TRUE(result.finished) << name << " did not finish";
    EXPECT_EQ(result.failures, 0u) << name << " failed first at case " << result.firstFailedCase;
}

INSTANTIATE_TEST_SUITE_P(Programs, ThumbProgramTest,
                         ::testing::Values("thumb_alu", "thumb_memory", "thumb_branch"),
                         [](const auto& info) { return info.param; });

} // namespace
