// The programs of roms/console, each checking rules of the console that real programs rely
// on, run through the headless runner: the emulator's own start-up, frame driver and boot
// image. Each ends with R0 = 0x600D600D, R1 = its failed checks and R2 = the first failed
// case, which the runner prints at the end of the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace {

struct Report {
    bool finished = false;
    u32 failures = 0;
    u32 firstFailedCase = 0;
    std::string output;
};

Report runConsoleProgram(const std::string& name) {
    ScratchDirectory scratch;
    const std::string command = std::string("'") + QUARVEND_RUNNER +
                                "' --workdir run --frames 60 --regs '" +
                                programPath(name + ".gba").string() + "' >output.txt 2>&1";
    Report report;
    if (std::system(command.c_str()) != 0) {
        return report;
    }
    report.output = readTextFile("output.txt");
    u32 r0 = 0;
    const size_t at = report.output.find("R0=");
    if (at != std::string::npos && std::sscanf(report.output.c_str() + at, "R0=%X R1=%X R2=%X", &r0,
                                               &report.failures, &report.firstFailedCase) == 3) {
        report.finished = r0 == 0x600D600D;
    }
    return report;
}

class ConsoleProgramTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ConsoleProgramTest, PassesEveryCheck) {
    const Report report = runConsoleProgram(GetParam());
    EXPECT_TRUE(report.finished) << report.output;
    EXPECT_EQ(report.failures, 0u) << "first failed case " << report.firstFailedCase;
}

INSTANTIATE_TEST_SUITE_P(Programs, ConsoleProgramTest,
                         ::testing::Values("entry_state", "io_range", "interrupt_flags",
                                           "timer_reads", "byte_writes", "cpu_results"));

} // namespace
