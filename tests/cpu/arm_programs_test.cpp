#include <gtest/gtest.h>

#include <string>

#include "support/gba_program.h"

namespace {

struct ArmProgram {
    const char* image;
    const char* bootImage;
};

class ArmProgramTest : public ::testing::TestWithParam<ArmProgram> {};

TEST_P(ArmProgramTest, PassesEveryCheck) {
    const ArmProgram& program = GetParam();
    const ProgramResult result = runProgram(program.image, 2000000, program.bootImage);
    EXPECT_TRUE(result.finished) << program.image << " did not finish";
    EXPECT_EQ(result.failures, 0u)
        << program.image << ": first failed case " << result.firstFailedCase;
}

INSTANTIATE_TEST_SUITE_P(Programs, ArmProgramTest,
                         ::testing::Values(ArmProgram{"arm_alu.gba", ""},
                                           ArmProgram{"arm_psr.gba", ""},
                                           ArmProgram{"arm_load_store.gba", ""},
                                           ArmProgram{"arm_block.gba", ""},
                                           ArmProgram{"arm_multiply.gba", ""},
                                           ArmProgram{"arm_branch.gba", "arm_swi_bios.bin"}),
                         [](const ::testing::TestParamInfo<ArmProgram>& info) {
                             std::string name = info.param.image;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
