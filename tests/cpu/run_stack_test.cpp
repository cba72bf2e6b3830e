#include <gtest/gtest.h>

#include <pthread.h>

#include <cstring>
#include <string>
#include <vector>

#include "machine/scheduler.h"
#include "support/gba_program.h"

namespace {

// The runs of instructions go from handler to handler by jumps: a run of any length must take
// no more stack than a short one. Each program runs on a thread whose stack is painted first,
// once in short steps and once in steps as long as cpuRun takes, and the deepest byte touched
// is compared.
constexpr size_t stackSize = 1 << 20;
constexpr u8 paint = 0xA5;

struct StackRun {
    std::string program;
    u16 step;
    u32 cycles;
};

void* runSteps(void* argument) {
    const StackRun& run = *static_cast<StackRun*>(argument);
    for (u32 done = 0; done < run.cycles; done += run.step) {
        cpuRun(run.step);
    }
    return nullptr;
}

// Bytes of stack RUN used at most.
size_t stackUsed(StackRun run) {
    prepareProgram(run.program);
    std::vector<u8> stack(stackSize, paint);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstack(&attributes, stack.data(), stack.size());
    pthread_t thread;
    if (pthread_create(&thread, &attributes, runSteps, &run) != 0) {
        ADD_FAILURE() << "cannot start the thread";
        return 0;
    }
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    size_t untouched = 0;
    while (untouched < stack.size() && stack[untouched] == paint) {
        ++untouched;
    }
    return stack.size() - untouched;
}

TEST(RunStack, LongRunsTakeNoMoreStackThanShortOnes) {
    // ARM and THUMB code of every common family, in runs of hundreds of instructions and more.
    for (const char* program : {"bench_cpu.gba", "arm_alu.gba", "arm_load_store.gba",
                                "arm_block.gba", "thumb_alu.gba", "thumb_memory.gba"}) {
        const size_t shortRuns = stackUsed({program, 64, 600000});
        const size_t longRuns = stackUsed({program, 60000, 600000});
        // A run that called instead of jumping would take at least 16 bytes per instruction.
        EXPECT_LT(longRuns, shortRuns + 2048) << program;
    }
}

} // namespace
