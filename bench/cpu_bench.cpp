// Runs the CPU workload of roms/bench_cpu.s for a fixed number of frames' worth of cycles
// (228 lines of 956 + 271 cycles) and prints emulated cycles per second of wall time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "machine/wait_states.h"

int main(int argc, char** argv) {
    const char* image = argc > 1 ? argv[1] : QUARVEND_BENCH_ROM;
    unsigned frames = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 600;
    std::ifstream in(image, std::ios::binary);
    std::vector<char> rom((std::istreambuf_iterator<char>(in)), {});
    if (rom.empty() || rom.size() > gamePakSize) {
        std::fprintf(stderr, "cpu_bench: cannot read %s\n", image);
        return 2;
    }
    std::memcpy(gba.GamePakRom, rom.data(), rom.size());
    installMemoryHandlers();
    initWaitStates();
    resetMachine();
    initIoMasks();

    auto start = std::chrono::steady_clock::now();
    for (unsigned frame = 0; frame < frames; ++frame) {
        for (int line = 0; line < 228; ++line) {
            cpuRun(956);
            cpuRun(271);
        }
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double cycles = frames * 228.0 * (956 + 271);
    std::printf("frames %u\ncycles %.0f\nseconds %.3f\n", frames, cycles, seconds);
    std::printf("emulated cycles per second %.0f (%.2f x the console's 16.78 MHz)\n",
                cycles / seconds, cycles / seconds / 16777216.0);
    return 0;
}
