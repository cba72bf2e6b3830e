// The boot image's functions called through SWI from ARM and THUMB code, compared with
// results computed here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

#include "bios/bios_harness.h"
#include "cpu/cpu_state.h"
#include "cpu/interrupts.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "machine/scheduler.h"
#include "support/test_support.h"

namespace {

constexpr u32 softReset = 0x00, registerRamReset = 0x01, halt = 0x02, stop = 0x03, intrWait = 0x04,
              vblankIntrWait = 0x05, divide = 0x06, divArm = 0x07, squareRoot = 0x08, arcTan = 0x09,
              arcTan2 = 0x0A, cpuSet = 0x0B, cpuFastSet = 0x0C, biosChecksum = 0x0D,
              bgAffineSet = 0x0E, objAffineSet = 0x0F, soundBias = 0x19, midiKey2Freq = 0x1F,
              multiBoot = 0x25, hardReset = 0x26, customHalt = 0x27, soundGetJumpList = 0x2A;

constexpr u32 source = 0x02010000;
constexpr u32 target = 0x02020000;

std::vector<BiosCall> join(std::vector<BiosCall> calls, const std::vector<BiosCall>& more) {
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

// ---- Division and roots ------------------------------------------------------------------

struct Quotient {
    u32 quotient, remainder, magnitude;
};

Quotient hostDivide(s32 numerator, s32 denominator) {
    int64_t q = static_cast<int64_t>(numerator) / denominator;
    int64_t r = static_cast<int64_t>(numerator) - q * denominator;
    return {static_cast<u32>(q), static_cast<u32>(r), static_cast<u32>(q < 0 ? -q : q)};
}

TEST(BiosMath, DivAndDivArmTruncateTowardZero) {
    const s32 cases[][2] = {{-1234, 10},     {1234, -10}, {-1234, -10},     {7, 7},
                            {0, 5},          {3, 4},      {INT32_MIN, -1},  {INT32_MIN, 3},
                            {INT32_MAX, -2}, {-7, 2},     {123456789, 1000}};
    std::vector<BiosCall> calls;
    for (const auto& c : cases) {
        calls = join(calls, fromBoth({divide, fromArm, static_cast<u32>(c[0]),
                                      static_cast<u32>(c[1]), 0x2222}));
        calls = join(calls, fromBoth({divArm, fromArm, static_cast<u32>(c[1]),
                                      static_cast<u32>(c[0]), 0x2222}));
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (size_t index = 0; index < results.size(); ++index) {
        const auto& c = cases[index / 4];
        Quotient expected = hostDivide(c[0], c[1]);
        EXPECT_EQ(results[index].r0, expected.quotient) << c[0] << " / " << c[1];
        EXPECT_EQ(results[index].r1, expected.remainder) << c[0] << " % " << c[1];
        EXPECT_EQ(results[index].r3, expected.magnitude) << c[0] << " / " << c[1];
    }
}

TEST(BiosMath, DivisionByZeroReturnsInsteadOfHanging) {
    std::vector<BiosCall> calls;
    for (s32 numerator : {-1, 0, 1, 1000, -1000}) {
        calls = join(calls, fromBoth({divide, fromArm, static_cast<u32>(numerator), 0}));
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (size_t index = 0; index < results.size(); ++index) {
        s32 numerator = static_cast<s32>(calls[index].r0);
        EXPECT_EQ(results[index].r0, numerator < 0 ? 0xFFFFFFFFu : 1u) << numerator;
        EXPECT_EQ(results[index].r1, calls[index].r0) << numerator;
        EXPECT_EQ(results[index].r3, 1u) << numerator;
    }
}

TEST(BiosMath, ArmCallersPassTheNumberInBits16To23) {
    // SWI 0x06000D: Div by bits 16-23; the low byte would name GetBiosChecksum.
    std::vector<BiosResult> results = runAndCheck({{divide, fromArmLowByte, 100, 7}});
    EXPECT_EQ(results[0].r0, 14u);
    EXPECT_EQ(results[0].r1, 2u);
}

u32 hostSqrt(u32 value) {
    u64 root = static_cast<u64>(std::sqrt(static_cast<double>(value)));
    while (root * root > value) {
        --root;
    }
    while ((root + 1) * (root + 1) <= value) {
        ++root;
    }
    return static_cast<u32>(root);
}

TEST(BiosMath, SqrtIsTheFloorOfTheRoot) {
    const u32 values[] = {0,           1,           2,         3,         4,           15,
                          16,          17,          99,        10000,     0x80000000u, 0xFFFFFFFFu,
                          0xFFFE0001u, 0xFFFE0000u, 123456789, 0x3FFFFFFF};
    std::vector<BiosCall> calls;
    for (u32 value : values) {
        calls = join(calls, fromBoth({squareRoot, fromArm, value}));
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (size_t index = 0; index < results.size(); ++index) {
        EXPECT_EQ(results[index].r0, hostSqrt(values[index / 2])) << values[index / 2];
    }
    EXPECT_EQ(hostSqrt(0x80000000u), 0xB504u);
}

// The console's ArcTan polynomial, in 32-bit wrapping arithmetic.
s32 hostArcTan(s32 t) {
    auto times = [](s32 a, s32 b) {
        return static_cast<s32>(static_cast<u32>(a) * static_cast<u32>(b));
    };
    s32 a = -(times(t, t) >> 14);
    s32 b = 0xA9;
    for (s32 c : {0x390, 0x91C, 0xFB6, 0x16AA, 0x2081, 0x3651, 0xA2F9}) {
        b = (times(b, a) >> 14) + c;
    }
    return times(t, b) >> 16;
}

TEST(BiosMath, ArcTanFollowsTheConsolePolynomial) {
    EXPECT_EQ(hostArcTan(0x1000), 0x9FB);
    EXPECT_EQ(hostArcTan(0x2000), 0x12E4);
    EXPECT_EQ(hostArcTan(0x4000), 0x2000);
    const s32 tangents[] = {0, 0x1000, 0x2000, 0x4000, -0x4000, -0x1234, 0x3000, 0x100, -1, 0x7FFF};
    std::vector<BiosCall> calls;
    for (s32 t : tangents) {
        calls = join(calls, fromBoth({arcTan, fromArm, static_cast<u32>(t)}));
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (size_t index = 0; index < results.size(); ++index) {
        s32 t = tangents[index / 2];
        s32 angle = static_cast<s32>(results[index].r0);
        EXPECT_EQ(angle, hostArcTan(t)) << t;
        if (t >= -0x4000 && t <= 0x4000) {
            double ideal = std::atan(t / 16384.0) / (std::numbers::pi / 2) * 0x4000;
            EXPECT_NEAR(angle, ideal, 4.0) << t;
        }
    }
}

TEST(BiosMath, ArcTan2CoversTheWholeTurn) {
    struct Point {
        s32 x, y;
    };
    const Point points[] = {{0x4000, 0},
                            {0x4000, 0x4000},
                            {0, 0x4000},
                            {-0x4000, 0x4000},
                            {-0x4000, 0},
                            {-0x4000, -0x4000},
                            {0, -0x4000},
                            {0x4000, -0x4000},
                            {0x3000, 0x1000},
                            {0x1000, 0x3000},
                            {-0x1000, 0x3000},
                            {-0x3000, 0x1000},
                            {-0x3000, -0x1000},
                            {-0x1000, -0x3000},
                            {0x1000, -0x3000},
                            {0x3000, -0x1000},
                            {0, 0},
                            {-5, 0},
                            {0x7FFF, -1}};
    std::vector<BiosCall> calls;
    for (const Point& p : points) {
        calls =
            join(calls, fromBoth({arcTan2, fromArm, static_cast<u32>(p.x), static_cast<u32>(p.y)}));
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (size_t index = 0; index < results.size(); ++index) {
        const Point& p = points[index / 2];
        u32 angle = results[index].r0;
        if (index / 2 < 8) {
            EXPECT_EQ(angle, (index / 2) * 0x2000u) << p.x << "," << p.y;
        } else if (p.x == 0 && p.y == 0) {
            EXPECT_EQ(angle, 0u);
        } else if (p.x == -5) {
            EXPECT_EQ(angle, 0x8000u);
        } else if (p.x == 0x7FFF) {
            EXPECT_EQ(angle, 0x10000u); // not masked, as on the console
        } else {
            double ideal = std::atan2(p.y, p.x) / (2 * std::numbers::pi) * 0x10000;
            if (ideal < 0) {
                ideal += 0x10000;
            }
            EXPECT_NEAR(static_cast<double>(angle), ideal, 8.0) << p.x << "," << p.y;
            EXPECT_LT(angle, 0x10000u);
        }
    }
}

// ---- Copies ------------------------------------------------------------------------------

std::vector<u8> pattern(u32 count, u32 seed) {
    std::vector<u8> bytes(count);
    for (u32 index = 0; index < count; ++index) {
        seed = seed * 1103515245 + 12345;
        bytes[index] = static_cast<u8>(seed >> 16);
    }
    return bytes;
}

// Runs one call (from CALLER) with SOURCE holding DATA and TARGET holding 0xEE bytes, and
// returns the first COUNT bytes at TARGET.
std::vector<u8> copyThrough(BiosCall call, const std::vector<u8>& data, u32 count) {
    prepareCalls({call});
    writeBytes(source, data);
    writeBytes(target, std::vector<u8>(count, 0xEE));
    EXPECT_TRUE(runCalls());
    EXPECT_EQ(callResult(0).done, 0xD0Eu);
    EXPECT_EQ(callResult(0).changed, 0u);
    return readBytes(target, count);
}

std::vector<u8> expectedCopy(const std::vector<u8>& data, u32 bytes, u32 total) {
    std::vector<u8> expected(total, 0xEE);
    std::copy(data.begin(), data.begin() + bytes, expected.begin());
    return expected;
}

std::vector<u8> expectedFill(const std::vector<u8>& data, u32 unit, u32 bytes, u32 total) {
    std::vector<u8> expected(total, 0xEE);
    for (u32 index = 0; index < bytes; ++index) {
        expected[index] = data[index % unit];
    }
    return expected;
}

TEST(BiosCopy, CpuSetCopiesAndFillsHalfwordsAndWords) {
    std::vector<u8> data = pattern(256, 1);
    for (Caller caller : {fromArm, fromThumb}) {
        EXPECT_EQ(copyThrough({cpuSet, caller, source, target, 5}, data, 64),
                  expectedCopy(data, 10, 64));
        EXPECT_EQ(copyThrough({cpuSet, caller, source, target, 5 | (1u << 24)}, data, 64),
                  expectedFill(data, 2, 10, 64));
        EXPECT_EQ(copyThrough({cpuSet, caller, source, target, 7 | (1u << 26)}, data, 64),
                  expectedCopy(data, 28, 64));
        EXPECT_EQ(copyThrough({cpuSet, caller, source, target, 7 | (5u << 24)}, data, 64),
                  expectedFill(data, 4, 28, 64));
    }
}

TEST(BiosCopy, CpuFastSetMovesWholeBlocksOfEightWords) {
    std::vector<u8> data = pattern(256, 2);
    for (Caller caller : {fromArm, fromThumb}) {
        EXPECT_EQ(copyThrough({cpuFastSet, caller, source, target, 9}, data, 96),
                  expectedCopy(data, 64, 96));
        EXPECT_EQ(copyThrough({cpuFastSet, caller, source, target, 8 | (1u << 24)}, data, 96),
                  expectedFill(data, 4, 32, 96));
    }
}

TEST(BiosCopy, NothingHappensForCountZeroOrASourceInTheBootImage) {
    std::vector<u8> data = pattern(64, 3);
    std::vector<u8> untouched(64, 0xEE);
    for (u32 function : {cpuSet, cpuFastSet}) {
        EXPECT_EQ(copyThrough({function, fromArm, source, target, 0 | (1u << 26)}, data, 64),
                  untouched);
        EXPECT_EQ(copyThrough({function, fromThumb, 0x100, target, 8 | (1u << 26)}, data, 64),
                  untouched);
        // A copy whose source end wraps into the boot image is refused as well.
        EXPECT_EQ(copyThrough({function, fromArm, 0x0FFFFFF0, target, 8 | (1u << 26)}, data, 64),
                  untouched);
    }
}

TEST(BiosCopy, InterruptsAreServedDuringALongCopy) {
    std::vector<u8> data = pattern(0x4000, 4);
    BiosCall call{cpuSet, fromThumb, source, target, 0x1000 | (1u << 26)};
    call.timerReload = 0xFC00;
    EXPECT_EQ(copyThrough(call, data, 0x4000), data);
    EXPECT_GT(callResult(0).interrupts, 2u);
    EXPECT_EQ(readWord(entry::handlerR0), 0x04000000u);
}

// ---- Affine matrices ---------------------------------------------------------------------

s32 hostSine(u32 index) {
    return static_cast<s32>(std::trunc(16384 * std::sin(2 * std::numbers::pi * index / 256)));
}

struct Matrix {
    s32 pa, pb, pc, pd;
};

Matrix hostMatrix(s16 sx, s16 sy, u16 angle) {
    s32 sine = hostSine(angle >> 8);
    s32 cosine = hostSine(((angle >> 8) + 64) & 0xFF);
    return {(cosine * sx) >> 14, -((sine * sx) >> 14), (sine * sy) >> 14, (cosine * sy) >> 14};
}

void writeHalf(u32 address, u32 value) {
    writeBytes(address, {static_cast<u8>(value), static_cast<u8>(value >> 8)});
}

s16 readHalf(u32 address) {
    std::vector<u8> bytes = readBytes(address, 2);
    return static_cast<s16>(bytes[0] | (bytes[1] << 8));
}

TEST(BiosAffine, ObjAffineSetWalksTheWholeSineTable) {
    EXPECT_EQ(hostSine(1), 0x192);
    EXPECT_EQ(hostSine(64), 0x4000);
    for (Caller caller : {fromArm, fromThumb}) {
        prepareCalls({{objAffineSet, caller, source, target, 256, 2}});
        for (u32 index = 0; index < 256; ++index) {
            writeHalf(source + index * 8, 0x4000);
            writeHalf(source + index * 8 + 2, 0x4000);
            writeHalf(source + index * 8 + 4, index << 8 | 0x7F);
        }
        ASSERT_TRUE(runCalls());
        for (u32 index = 0; index < 256; ++index) {
            Matrix m = hostMatrix(0x4000, 0x4000, static_cast<u16>(index << 8));
            u32 out = target + index * 8;
            EXPECT_EQ(readHalf(out), static_cast<s16>(m.pa)) << index;
            EXPECT_EQ(readHalf(out + 2), static_cast<s16>(m.pb)) << index;
            EXPECT_EQ(readHalf(out + 4), static_cast<s16>(m.pc)) << index;
            EXPECT_EQ(readHalf(out + 6), static_cast<s16>(m.pd)) << index;
        }
    }
}

TEST(BiosAffine, ObjAffineSetWritesWithTheStrideIntoOam) {
    struct Entry {
        s16 sx, sy;
        u16 angle;
    };
    const Entry entries[] = {{0x100, 0x100, 0}, {0x100, 0x100, 0x4000}, {-0x180, 0x55, 0x2345}};
    prepareCalls({{objAffineSet, fromThumb, source, 0x07000006, 3, 8}});
    for (u32 index = 0; index < 3; ++index) {
        writeHalf(source + index * 8, static_cast<u16>(entries[index].sx));
        writeHalf(source + index * 8 + 2, static_cast<u16>(entries[index].sy));
        writeHalf(source + index * 8 + 4, entries[index].angle);
    }
    ASSERT_TRUE(runCalls());
    EXPECT_EQ(readHalf(0x07000006), 0x100); // identity
    EXPECT_EQ(readHalf(0x0700000E), 0);
    EXPECT_EQ(readHalf(0x0700002E), -0x100); // a quarter turn: pb of the second matrix
    for (u32 index = 0; index < 3; ++index) {
        Matrix m = hostMatrix(entries[index].sx, entries[index].sy, entries[index].angle);
        u32 out = 0x07000006 + index * 32;
        EXPECT_EQ(readHalf(out), static_cast<s16>(m.pa)) << index;
        EXPECT_EQ(readHalf(out + 8), static_cast<s16>(m.pb)) << index;
        EXPECT_EQ(readHalf(out + 16), static_cast<s16>(m.pc)) << index;
        EXPECT_EQ(readHalf(out + 24), static_cast<s16>(m.pd)) << index;
        EXPECT_EQ(readHalf(out - 6), 0) << "attributes between the matrices are kept";
    }
}

TEST(BiosAffine, BgAffineSetGivesMatrixAndStartPoint) {
    struct Entry {
        s32 ox, oy;
        s16 dx, dy, sx, sy;
        u16 angle;
    };
    const Entry entries[] = {{0x4000, 0x2000, 120, 80, 0x100, 0x100, 0},
                             {0x12345, -0x800, 120, 80, 0x200, -0x80, 0x3000},
                             {-0x100, 0x7000, -30, 17, 0x155, 0x90, 0xC123}};
    for (Caller caller : {fromArm, fromThumb}) {
        prepareCalls({{bgAffineSet, caller, source, target, 3},
                      {bgAffineSet, caller, source + 20, 0x04000020, 1}});
        for (u32 index = 0; index < 3; ++index) {
            const Entry& e = entries[index];
            u32 in = source + index * 20;
            writeWord(in, static_cast<u32>(e.ox));
            writeWord(in + 4, static_cast<u32>(e.oy));
            writeHalf(in + 8, static_cast<u16>(e.dx));
            writeHalf(in + 10, static_cast<u16>(e.dy));
            writeHalf(in + 12, static_cast<u16>(e.sx));
            writeHalf(in + 14, static_cast<u16>(e.sy));
            writeHalf(in + 16, e.angle);
        }
        ASSERT_TRUE(runCalls());
        for (u32 index = 0; index < 3; ++index) {
            const Entry& e = entries[index];
            Matrix m = hostMatrix(e.sx, e.sy, e.angle);
            u32 out = target + index * 16;
            EXPECT_EQ(readHalf(out), static_cast<s16>(m.pa)) << index;
            EXPECT_EQ(readHalf(out + 2), static_cast<s16>(m.pb)) << index;
            EXPECT_EQ(readHalf(out + 4), static_cast<s16>(m.pc)) << index;
            EXPECT_EQ(readHalf(out + 6), static_cast<s16>(m.pd)) << index;
            EXPECT_EQ(static_cast<s32>(readWord(out + 8)), e.ox - m.pa * e.dx - m.pb * e.dy);
            EXPECT_EQ(static_cast<s32>(readWord(out + 12)), e.oy - m.pc * e.dx - m.pd * e.dy);
        }
        Matrix m = hostMatrix(entries[1].sx, entries[1].sy, entries[1].angle);
        EXPECT_EQ(static_cast<s16>(ioRegister(0x020)), static_cast<s16>(m.pa));
        EXPECT_EQ(static_cast<s16>(ioRegister(0x026)), static_cast<s16>(m.pd));
        EXPECT_EQ(static_cast<s32>(gba.bg2RefX & 0x0FFFFFFF),
                  (entries[1].ox - m.pa * 120 - m.pb * 80) & 0x0FFFFFFF);
    }
}

// ---- Interrupt waits and halts -----------------------------------------------------------

TEST(BiosWait, HaltStopAndCustomHaltSleepUntilAnInterrupt) {
    std::vector<BiosCall> calls;
    for (u32 function : {halt, stop, customHalt}) {
        for (Caller caller : {fromArm, fromThumb}) {
            BiosCall call{function, caller, 0x1234, 0x5678, 0, 0x9ABC};
            call.timerReload = 0xF000;
            calls.push_back(call);
        }
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (size_t index = 0; index < results.size(); ++index) {
        // Without sleeping, the call would return long before the timer's 4096 cycles.
        EXPECT_GE(results[index].interrupts, 1u) << index;
        EXPECT_EQ(results[index].r0, 0x1234u) << index;
        EXPECT_EQ(results[index].r1, 0x5678u) << index;
        EXPECT_EQ(results[index].r3, 0x9ABCu) << index;
    }
}

TEST(BiosWait, IntrWaitReturnsOnceTheHandlerRecordsTheInterrupt) {
    std::vector<BiosCall> calls;
    for (Caller caller : {fromArm, fromThumb}) {
        BiosCall wait{intrWait, caller, 1, irq::timer0};
        wait.timerReload = 0xE000;
        calls.push_back(wait);
        // A flag already recorded counts with r0 = 0: no wait, nothing handled.
        BiosCall already{intrWait, caller, 0, irq::timer0 | irq::vblank};
        already.options = irq::timer0 | 0x0100;
        calls.push_back(already);
        // With r0 = 1 the recorded flag is discarded and the call waits for a new one.
        BiosCall discard{intrWait, caller, 1, irq::timer0};
        discard.options = irq::timer0;
        discard.timerReload = 0xE000;
        calls.push_back(discard);
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (size_t index = 0; index < results.size(); index += 3) {
        EXPECT_EQ(results[index].r0, irq::timer0);
        EXPECT_EQ(results[index].r3, 0u);
        EXPECT_GE(results[index].interrupts, 1u);
        EXPECT_EQ(results[index + 1].r0, irq::timer0);
        EXPECT_EQ(results[index + 1].interrupts, 0u);
        EXPECT_EQ(results[index + 2].r0, irq::timer0);
        EXPECT_GE(results[index + 2].interrupts, 1u);
    }
    // The bits that ended the wait are taken out of the flags; others stay.
    EXPECT_EQ(readWord(0x03007FF8) & 0xFFFF, 0u);
    EXPECT_EQ(ioRegister(io::IME), 1);
}

TEST(BiosWait, VBlankIntrWaitReturnsInTheVerticalBlank) {
    std::vector<BiosCall> calls;
    for (Caller caller : {fromArm, fromThumb}) {
        BiosCall wait{vblankIntrWait, caller, 0x55, 0x66};
        wait.options = enableVblankIrq;
        calls.push_back(wait);
        calls.push_back(wait);
    }
    std::vector<BiosResult> results = runAndCheck(calls);
    for (const BiosResult& result : results) {
        EXPECT_EQ(result.r0, 1u);
        EXPECT_EQ(result.interrupts, 1u);
    }
    EXPECT_EQ(ioRegister(io::IME), 1);
}

// ---- Sound, MIDI and the rest ------------------------------------------------------------

TEST(BiosMisc, SoundBiasRampsTheLevelAndKeepsTheResolution) {
    for (Caller caller : {fromArm, fromThumb}) {
        prepareCalls({{soundBias, caller, 1}});
        ioRegister(0x088) = 0xC100;
        ASSERT_TRUE(runCalls());
        EXPECT_EQ(ioRegister(0x088), 0xC200);
        prepareCalls({{soundBias, caller, 0}});
        ioRegister(0x088) = 0x4126;
        ASSERT_TRUE(runCalls());
        EXPECT_EQ(ioRegister(0x088), 0x4000);
    }
}

u32 hostSemitone(u32 key) {
    u64 scaled = static_cast<u64>(std::llround(2147483648.0 * std::pow(2.0, (key % 12) / 12.0)));
    return static_cast<u32>(scaled >> (14 - key / 12));
}

TEST(BiosMisc, MidiKey2FreqScalesTheSampleRate) {
    const u32 sampleRate = 13379 << 10;
    const u32 keys[][2] = {{60, 0},    {69, 0},    {180, 0}, {0, 0},
                           {100, 128}, {178, 255}, {200, 0}, {120, 77}};
    std::vector<BiosCall> calls;
    for (const auto& key : keys) {
        calls = join(calls, fromBoth({midiKey2Freq, fromArm, source, key[0], key[1]}));
    }
    prepareCalls(calls);
    writeWord(source + 4, sampleRate);
    ASSERT_TRUE(runCalls());
    for (size_t index = 0; index < calls.size(); ++index) {
        u32 key = keys[index / 2][0];
        u32 fine = keys[index / 2][1];
        if (key > 178) {
            key = 178;
            fine = 255;
        }
        u32 low = hostSemitone(key);
        u32 step =
            static_cast<u32>((static_cast<u64>(hostSemitone(key + 1) - low) * (fine << 24)) >> 32);
        u32 expected = static_cast<u32>((static_cast<u64>(sampleRate) * (low + step)) >> 32);
        EXPECT_EQ(callResult(index).r0, expected) << key;
        double ideal = sampleRate * std::pow(2.0, (key + fine / 256.0 - 180) / 12.0);
        EXPECT_NEAR(callResult(index).r0, ideal, ideal * 0.002 + 1) << key;
    }
}

TEST(BiosMisc, ChecksumMultiBootJumpListAndUnknownNumbers) {
    std::vector<u8> image = readBinaryFile(biosImagePath());
    ASSERT_EQ(image.size(), 0x4000u);
    u32 sum = 0;
    for (size_t offset = 0; offset < image.size(); offset += 4) {
        sum += image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16 |
               static_cast<u32>(image[offset + 3]) << 24;
    }
    EXPECT_EQ(sum, 0xBAAE187Fu);

    std::vector<BiosCall> calls = fromBoth({biosChecksum, fromArm});
    calls = join(calls, fromBoth({multiBoot, fromArm, source, 1}));
    calls = join(calls, fromBoth({soundGetJumpList, fromArm, target}));
    for (u32 number : {0x1Au, 0x1Du, 0x20u, 0x29u, 0x2Bu, 0x80u, 0xFFu}) {
        calls = join(calls, fromBoth({number, fromArm, 0x1111, 0x3333, 0x2222, 0x4444}));
    }
    prepareCalls(calls);
    ASSERT_TRUE(runCalls());
    std::vector<BiosResult> results;
    for (size_t index = 0; index < calls.size(); ++index) {
        results.push_back(callResult(index));
        EXPECT_EQ(results.back().done, 0xD0Eu) << index;
        EXPECT_EQ(results.back().changed, 0u) << index;
    }
    EXPECT_EQ(results[0].r0, 0xBAAE187Fu);
    EXPECT_EQ(results[1].r0, 0xBAAE187Fu);
    EXPECT_EQ(results[2].r0, 1u);
    EXPECT_EQ(results[3].r0, 1u);
    u32 stub = readWord(target);
    EXPECT_LT(stub, 0x4000u);
    for (u32 entry = 0; entry < 36; ++entry) {
        EXPECT_EQ(readWord(target + entry * 4), stub) << entry;
    }
    EXPECT_EQ(readWord(target + 36 * 4), 0u);
    for (size_t index = 6; index < results.size(); ++index) {
        EXPECT_EQ(results[index].r0, 0x1111u) << "SWI " << calls[index].number;
        EXPECT_EQ(results[index].r1, 0x3333u) << "SWI " << calls[index].number;
        EXPECT_EQ(results[index].r3, 0x4444u) << "SWI " << calls[index].number;
    }
}

// ---- Resets ------------------------------------------------------------------------------

void fillMemory() {
    std::memset(gba.WorkRam, 0x5A, sizeof gba.WorkRam);
    std::memset(gba.VideoRam, 0x5B, sizeof gba.VideoRam);
    std::memset(gba.ObjectAttributes, 0x5C, sizeof gba.ObjectAttributes);
    std::memset(gba.PaletteRam, 0x5D, sizeof gba.PaletteRam);
    std::memset(gba.InternalRam + 0x2000, 0x5E, 0x5E00);
    std::memset(gba.InternalRam + 0x7E20, 0x5F, 0x60); // below the stack's reach
}

bool allBytes(const u8* memory, size_t size, u8 value) {
    return std::all_of(memory, memory + size, [value](u8 byte) { return byte == value; });
}

TEST(BiosReset, RegisterRamResetClearsWhatEachBitSelects) {
    for (u32 bit = 0; bit < 8; ++bit) {
        Caller caller = bit % 2 ? fromThumb : fromArm;
        prepareCalls({{registerRamReset, caller, 1u << bit}});
        fillMemory();
        ioRegister(io::DISPCNT) = 0x0403;
        ioRegister(0x120) = 0x1234; // SIODATA32
        ioRegister(0x010) = 0x0055; // BG0HOFS
        ioRegister(0x088) = 0xC0F0; // SOUNDBIAS
        ioRegister(0x134) = 0x1111; // RCNT
        ioRegister(0x082) = 0x1101; // SOUNDCNT_H
        ioRegister(0x020) = 0x2222; // BG2PA
        ioRegister(0x036) = 0x2222; // BG3PD
        ioRegister(io::WAITCNT) = 0x4317;
        ASSERT_TRUE(runCalls()) << bit;
        EXPECT_EQ(callResult(0).done, 0xD0Eu) << bit;
        EXPECT_EQ(ioRegister(io::DISPCNT), 0x0080) << bit;
        EXPECT_EQ(allBytes(gba.WorkRam, sizeof gba.WorkRam, 0), bit == 0) << bit;
        EXPECT_EQ(allBytes(gba.InternalRam + 0x2000, 0x5E00, 0), bit == 1) << bit;
        EXPECT_TRUE(allBytes(gba.InternalRam + 0x7E20, 0x60, 0x5F)) << bit;
        EXPECT_EQ(allBytes(gba.PaletteRam, sizeof gba.PaletteRam, 0), bit == 2) << bit;
        EXPECT_EQ(allBytes(gba.VideoRam, sizeof gba.VideoRam, 0), bit == 3) << bit;
        EXPECT_EQ(allBytes(gba.ObjectAttributes, sizeof gba.ObjectAttributes, 0), bit == 4) << bit;
        EXPECT_EQ(ioRegister(0x120) == 0, bit == 5) << bit;
        EXPECT_EQ(ioRegister(0x134), bit == 5 ? 0x8000 : 0x1111) << bit;
        EXPECT_EQ(ioRegister(0x082), bit == 6 ? 0x880E : 0x1101) << bit;
        EXPECT_EQ(ioRegister(0x088), bit == 6 ? 0x00F0 : 0xC0F0) << bit;
        EXPECT_EQ(ioRegister(0x010), bit == 7 ? 0 : 0x55) << bit;
        EXPECT_EQ(ioRegister(0x020), bit == 7 ? 0x100 : 0x2222) << bit;
        EXPECT_EQ(ioRegister(0x036), bit == 7 ? 0x100 : 0x2222) << bit;
        EXPECT_EQ(ioRegister(io::WAITCNT), bit == 7 ? 0 : 0x4317) << bit;
    }
}

// Memory and CPU state that the start of a program must show.
void expectStartState() {
    EXPECT_EQ(readWord(entry::registersOr), 0u) << "r0-r12 are zero";
    EXPECT_EQ(readWord(entry::cpsr), 0x1Fu);
    EXPECT_EQ(readWord(entry::sp), 0x03007F00u);
    EXPECT_EQ(readWord(entry::lr), 0x08000000u);
    EXPECT_EQ(bankedRegister(modeSupervisor, 13), 0x03007FE0u);
    EXPECT_EQ(bankedRegister(modeSupervisor, 14), 0u);
    EXPECT_EQ(gba.cpu.spsrSvc, 0u);
    EXPECT_EQ(bankedRegister(modeIrq, 13), 0x03007FA0u);
    EXPECT_EQ(bankedRegister(modeIrq, 14), 0u);
    EXPECT_EQ(gba.cpu.spsrIrq, 0u);
}

TEST(BiosReset, SoftResetRestartsTheCartridgeOrWram) {
    for (Caller caller : {fromArm, fromThumb}) {
        prepareCalls({{softReset, caller}});
        std::memset(gba.InternalRam + 0x7E20, 0x5F, 0x60);
        ioRegister(io::DISPCNT) = 0x0403;
        ASSERT_TRUE(runCalls());
        EXPECT_EQ(readWord(entry::count), 2u);
        expectStartState();
        EXPECT_TRUE(allBytes(gba.InternalRam + 0x7E20, 0x60, 0)) << "system area cleared";
        EXPECT_EQ(ioRegister(io::DISPCNT), 0x0403) << "I/O is left alone";

        BiosCall toWram{softReset, caller};
        toWram.options = copyWramEntry | setRestartFlag;
        prepareCalls({toWram});
        ASSERT_TRUE(runCalls());
        EXPECT_EQ(readWord(entry::count), 2u);
        EXPECT_EQ(readWord(entry::wramLr), 0x02000000u);
        EXPECT_EQ(readWord(0x03007FF8), 0u) << "the restart flag is cleared";
    }
}

TEST(BiosReset, PowerOnThroughTheResetVectorReachesTheCartridge) {
    prepareCalls({});
    fillMemory();
    ioRegister(io::DISPCNT) = 0x0403;
    ioRegister(io::IE) = 0x3FFF;
    ioRegister(io::IF) = 0x0005;
    // The start from the boot ROM, as start-up sets it up.
    gba.cpu.registers[15] = 0;
    gba.cpu.registers[13] = 0;
    ioRegister(io::POSTFLG) = 0;
    ASSERT_TRUE(runCalls());
    EXPECT_EQ(readWord(entry::count), 1u);
    expectStartState();
    EXPECT_EQ(bankedRegister(modeFiq, 13), 0x03007FF0u);
    EXPECT_TRUE(allBytes(gba.WorkRam, sizeof gba.WorkRam, 0));
    EXPECT_TRUE(allBytes(gba.VideoRam, sizeof gba.VideoRam, 0));
    EXPECT_TRUE(allBytes(gba.PaletteRam, sizeof gba.PaletteRam, 0));
    EXPECT_TRUE(allBytes(gba.ObjectAttributes, sizeof gba.ObjectAttributes, 0));
    EXPECT_TRUE(allBytes(gba.InternalRam + 0x2000, 0x5E00, 0));
    EXPECT_EQ(ioRegister(io::DISPCNT), 0x0080);
    EXPECT_EQ(ioRegister(io::POSTFLG) & 0xFF, 1);
    EXPECT_EQ(ioRegister(0x088), 0x0200);
    EXPECT_EQ(ioRegister(io::IE), 0);
    EXPECT_EQ(ioRegister(io::IF), 0);
    EXPECT_EQ(ioRegister(io::IME), 0);
    EXPECT_EQ(ioRegister(0x020), 0x100);
    EXPECT_EQ(ioRegister(0x026), 0x100);
}

TEST(BiosReset, HardResetStartsOverFromTheResetVector) {
    for (Caller caller : {fromArm, fromThumb}) {
        prepareCalls({{hardReset, caller}});
        fillMemory();
        writeWord(0x02000000, 0x12345678);
        // Once the reset has cleared on-board WRAM, the restarted program finds no calls.
        bool restarted = false;
        for (u32 step = 0; step < 200000 && !restarted; ++step) {
            cpuRun(64);
            restarted = readWord(0x02000000) == 0;
        }
        ASSERT_TRUE(restarted);
        writeCallList({});
        ASSERT_TRUE(runCalls());
        EXPECT_EQ(readWord(entry::count), 1u);
        expectStartState();
        EXPECT_TRUE(allBytes(gba.VideoRam, sizeof gba.VideoRam, 0));
    }
}

} // namespace
