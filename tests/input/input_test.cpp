#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/log.h"
#include "common/run_state.h"
#include "common/settings.h"
#include "cpu/cpu_state.h"
#include "cpu/interrupts.h"
#include "input/input.h"
#include "machine/dma.h"
#include "machine/gba_system.h"
#include "machine/io_registers.h"
#include "platform/headless/headless_host.h"
#include "shell/config_file.h"
#include "shell/debug_keys.h"
#include "support/test_support.h"

namespace {

constexpr u8 keyA = 0x1E;
constexpr u8 keyS = 0x1F;
constexpr u8 keyUp = 0xC8;

class Input : public ::testing::Test {
  protected:
    void SetUp() override {
        resetTestMachine();
        resetHeadlessHost();
        std::memset(buttonState, 0, sizeof buttonState);
        runState.framesRendered = 0;
        runState.framesSkipped = 0;
        runState.emulationRunning = 1;
        dma.active = 4;
        // Requests reach IF but are not entered, so the tests see them in IF.
        gba.cpu.cpsr = flagI | modeSupervisor;
        ioRegister(io::IME) = 1;
        ioRegister(io::IE) = irq::keypad;
        resetLog();
    }

    void mapKeys() {
        keyMap[keyA] = buttonA;
        keyMap[keyS] = buttonB;
        keyMap[keyUp] = buttonUp;
    }

    // Delivers the events to the next poll, then polls.
    void pollWith(std::initializer_list<std::pair<u8, bool>> events) {
        for (const auto& [code, pressed] : events) {
            headlessScriptKey(runState.framesRendered, code, pressed);
        }
        pollInput();
    }

    u16 keyinput() const { return ioRegister(io::KEYINPUT); }

    bool keypadRequested() {
        bool requested = ioRegister(io::IF) & irq::keypad;
        ioRegister(io::IF) = 0;
        return requested;
    }

    // Joystick mode with the six buttons on indexes 10 (Select) to 15 (R).
    void useJoystick(s32 x, s32 y) {
        settings.inputMode = inputJoystick;
        for (u32 button = buttonSelect; button <= buttonR; ++button) {
            settings.buttonCodes[button - 1] = static_cast<u8>(button + 5);
        }
        headless.joystick = {{0, {x, y, {}}}};
    }

    u8* joystickButtons() { return headless.joystick[0].state.buttons; }

    ScratchDirectory scratch;
};

TEST_F(Input, KeyinputShowsHeldButtonsAsClearedBits) {
    mapKeys();
    pollWith({});
    EXPECT_EQ(keyinput(), 0xFFFF);
    pollWith({{keyA, true}, {keyUp, true}});
    EXPECT_EQ(keyinput(), 0xFFBE);
    // Keyboard buttons stay held between polls without events.
    pollWith({});
    EXPECT_EQ(keyinput(), 0xFFBE);
    pollWith({{keyUp, false}});
    EXPECT_EQ(keyinput(), 0xFFFE);
    pollWith({{keyA, false}, {0x10, true}});
    EXPECT_EQ(keyinput(), 0xFFFF);
}

TEST_F(Input, EveryButtonHasItsKeyinputBit) {
    const u8 codes[10] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19};
    const u16 bits[10] = {keyinput::up,     keyinput::down,  keyinput::left, keyinput::right,
                          keyinput::select, keyinput::start, keyinput::a,    keyinput::b,
                          keyinput::l,      keyinput::r};
    for (u32 i = 0; i < 10; ++i) {
        keyMap[codes[i]] = static_cast<u8>(buttonUp + i);
    }
    for (u32 i = 0; i < 10; ++i) {
        pollWith({{codes[i], true}});
        EXPECT_EQ(keyinput(), static_cast<u16>(0xFFFF & ~bits[i])) << "button " << i + 1;
        pollWith({{codes[i], false}});
    }
}

TEST_F(Input, SharedKeyCodeDrivesOnlyTheLaterButton) {
    writeFile("Quarvend.CFG", "INPUT=KEYBOARD\r\nKEYUP=30\r\nKEYA=30\r\nKEYB=30\r\n");
    ASSERT_EQ(readConfigFile(), 1);
    pollWith({{keyA, true}});
    EXPECT_EQ(keyinput(), static_cast<u16>(0xFFFF & ~keyinput::b));
}

TEST_F(Input, DebugKeyMappedToAButtonWorksAsBoth) {
    keyMap[dik::f10] = buttonStart;
    pollWith({{dik::f10, true}});
    EXPECT_EQ(readTextFile(logFileName), "\nSTARTLOG");
    EXPECT_EQ(keyinput(), static_cast<u16>(0xFFFF & ~keyinput::start));
    // Debug actions are taken on the press only.
    pollWith({{dik::f10, false}});
    EXPECT_EQ(readTextFile(logFileName), "\nSTARTLOG");
    EXPECT_EQ(keyinput(), 0xFFFF);
}

TEST_F(Input, PrintScreenAndF8RaiseTheirRequests) {
    runState.resyncRequested = 0;
    runState.screenshotRequested = 0;
    pollWith({{dik::sysRq, false}, {dik::f8, false}});
    EXPECT_EQ(runState.screenshotRequested + runState.resyncRequested, 0u);
    pollWith({{dik::sysRq, true}, {dik::f8, true}});
    EXPECT_EQ(runState.screenshotRequested, 1u);
    EXPECT_EQ(runState.resyncRequested, 1u);
}

TEST_F(Input, OrModeRequestsOnPressAndOnReleaseOfASelectedButton) {
    mapKeys();
    ioRegister(io::KEYCNT) = 0x4001; // A, OR mode
    pollWith({{keyS, true}});
    EXPECT_FALSE(keypadRequested());
    pollWith({{keyA, true}});
    EXPECT_TRUE(keypadRequested());
    pollWith({});
    EXPECT_FALSE(keypadRequested()) << "holding is no change";
    pollWith({{keyA, false}});
    EXPECT_TRUE(keypadRequested());
    ioRegister(io::KEYCNT) = 0x0001; // interrupt disabled
    pollWith({{keyA, true}});
    EXPECT_FALSE(keypadRequested());
}

TEST_F(Input, AndModeRequestsOnlyWhenEverySelectedButtonChanged) {
    mapKeys();
    ioRegister(io::KEYCNT) = 0xC003; // A and B, AND mode
    pollWith({{keyA, true}});
    EXPECT_FALSE(keypadRequested());
    pollWith({{keyS, true}});
    EXPECT_FALSE(keypadRequested()) << "A did not change in this poll";
    pollWith({{keyA, false}, {keyS, false}});
    EXPECT_TRUE(keypadRequested());
    pollWith({{keyA, true}, {keyS, true}, {keyUp, true}});
    EXPECT_TRUE(keypadRequested());
}

TEST_F(Input, KeypadRequestWakesAHaltedCpu) {
    mapKeys();
    ioRegister(io::KEYCNT) = 0x4001;
    gba.cpu.cpuRunning = 0;
    pollWith({{keyA, true}});
    EXPECT_EQ(gba.cpu.cpuRunning, 1u);
}

TEST_F(Input, JoystickAxesHoldDirectionsOnlyBeyondTheThresholds) {
    struct Case {
        s32 x, y;
        u16 held;
    };
    const Case cases[] = {
        {16384, 16384, 0},
        {49152, 49152, 0},
        {32768, 32768, 0},
        {16383, 32768, keyinput::left},
        {49153, 32768, keyinput::right},
        {32768, 16383, keyinput::up},
        {32768, 49153, keyinput::down},
        {0, 65535, keyinput::left | keyinput::down},
        {65535, 0, keyinput::right | keyinput::up},
        {-5, 70000, keyinput::left | keyinput::down},
    };
    for (const Case& c : cases) {
        useJoystick(c.x, c.y);
        pollWith({});
        EXPECT_EQ(keyinput(), static_cast<u16>(0xFFFF & ~c.held)) << c.x << "," << c.y;
    }
}

TEST_F(Input, JoystickButtonsFollowTheirConfiguredIndexes) {
    useJoystick(32768, 32768);
    settings.buttonCodes[buttonA - 1] = 3;
    settings.buttonCodes[buttonStart - 1] = 31;
    settings.buttonCodes[buttonL - 1] = 255; // "JOYL=0" in the file: beyond the 32 buttons
    joystickButtons()[3] = 0x80;
    joystickButtons()[31] = 0x80;
    joystickButtons()[13] = 0x7F; // B: only bit 7 means held
    pollWith({});
    EXPECT_EQ(keyinput(), static_cast<u16>(0xFFFF & ~(keyinput::a | keyinput::start)));
    joystickButtons()[3] = 0;
    joystickButtons()[15] = 0xFF;
    pollWith({});
    EXPECT_EQ(keyinput(), static_cast<u16>(0xFFFF & ~(keyinput::start | keyinput::r)));
}

TEST_F(Input, JoystickModeIgnoresMappedKeyboardKeysButKeepsDebugKeys) {
    mapKeys();
    useJoystick(32768, 32768);
    pollWith({{keyA, true}, {dik::f10, true}});
    EXPECT_EQ(keyinput(), 0xFFFF);
    EXPECT_EQ(readTextFile(logFileName), "\nSTARTLOG");
    // Nor do they take over while the joystick cannot be read.
    headless.joystickReadFails = true;
    pollWith({{keyUp, true}});
    EXPECT_EQ(keyinput(), 0xFFFF);
}

TEST_F(Input, FailedJoystickReadKeepsTheButtons) {
    useJoystick(0, 32768);
    joystickButtons()[12] = 0x80;
    pollWith({});
    const u16 held = keyinput();
    ASSERT_EQ(held, static_cast<u16>(0xFFFF & ~(keyinput::left | keyinput::a)));
    headless.joystickReadFails = true;
    headless.joystick[0].state = {32768, 32768, {}};
    pollWith({});
    EXPECT_EQ(keyinput(), held);
    EXPECT_EQ(readTextFile(logFileName), "JoyFail\n");
}

TEST_F(Input, KeyboardReadIsRetriedOnceAfterReacquiring) {
    mapKeys();
    headless.keyboardReadFailures = 1;
    pollWith({{keyA, true}});
    EXPECT_EQ(headless.keyboardAcquires, 1u);
    EXPECT_EQ(keyinput(), static_cast<u16>(0xFFFF & ~keyinput::a));
}

TEST_F(Input, KeyboardReadFailingTwiceLeavesThePollWithoutEffect) {
    mapKeys();
    settings.inputMode = inputJoystick;
    headless.joystick = {{0, {0, 0, {}}}};
    ioRegister(io::KEYCNT) = 0x43FF;
    ioRegister(io::KEYINPUT) = 0xFFFE;
    headless.keyboardReadFailures = 2;
    pollWith({{dik::escape, true}});
    EXPECT_EQ(headless.keyboardAcquires, 1u);
    EXPECT_EQ(keyinput(), 0xFFFE);
    EXPECT_FALSE(keypadRequested());
    EXPECT_EQ(runState.emulationRunning, 1u);
    EXPECT_EQ(readTextFile(logFileName), "");
}

TEST_F(Input, EscapeReleaseAloneShutsDownAndStopsThePoll) {
    mapKeys();
    runState.framesRendered = 1234;
    runState.framesSkipped = 7;
    ioRegister(io::KEYINPUT) = 0xFFFF;
    pollWith({{dik::escape, false}, {keyA, true}});
    EXPECT_EQ(runState.emulationRunning, 0u);
    EXPECT_EQ(keyinput(), 0xFFFF) << "events after Escape are not handled";
    const std::string log = readTextFile(logFileName);
    EXPECT_EQ(log.rfind("\nTotal Frame:1234\nSkipped:7\nVia ESC\n", 0), 0u) << log;
}

class InputSetUp : public Input {
  protected:
    int init() {
        int result = initDirectInput();
        log = readTextFile(logFileName);
        return result;
    }
    std::string log;
};

TEST_F(InputSetUp, KeyboardModeOpensOnlyTheKeyboard) {
    headless.joystickAttached = false;
    EXPECT_EQ(init(), 1);
    EXPECT_EQ(log, "\nKeyboard initialized\n");
    EXPECT_EQ(headless.keyboardAcquires, 1u);
    EXPECT_EQ(headless.messageBoxText, "");
}

TEST_F(InputSetUp, JoystickModeOpensTheJoystickToo) {
    settings.inputMode = inputJoystick;
    EXPECT_EQ(init(), 1);
    EXPECT_EQ(log, "\nKeyboard initialized\n\nJoystick successfully initialized\n");
}

TEST_F(InputSetUp, EachKeyboardStepReportsItsOwnFailure) {
    const std::pair<HostStep, const char*> steps[] = {
        {HostStep::inputCreate, "\nFail to create DirectInput object"},
        {HostStep::keyboardCreate, "\nFail to create keyboard input device"},
        {HostStep::keyboardFormat, "\nFail to set to keyboard input device"},
        {HostStep::keyboardCooperativeLevel, "\nFail to set keyboard cooperativelevel"},
        {HostStep::keyboardBufferSize, "\nFail to set DirectInput property"},
    };
    for (const auto& [step, text] : steps) {
        resetHeadlessHost();
        resetLog();
        headless.failingStep = static_cast<int>(step);
        EXPECT_EQ(init(), 0);
        EXPECT_EQ(log, text);
        EXPECT_EQ(headless.keyboardAcquires, 0u);
    }
}

TEST_F(InputSetUp, MissingJoystickShowsTheMessageBox) {
    settings.inputMode = inputJoystick;
    headless.failure = HeadlessFailure::joystick;
    EXPECT_EQ(init(), 0);
    EXPECT_EQ(log, "\nKeyboard initialized\n\nFail to initialize joystick\n");
    EXPECT_EQ(headless.messageBoxCaption, "Quarvend Message");
    EXPECT_EQ(headless.messageBoxText, "Joystick not found!");
}

TEST_F(InputSetUp, JoystickFormatFailureHasNoMessageBox) {
    settings.inputMode = inputJoystick;
    headless.failingStep = static_cast<int>(HostStep::joystickFormat);
    EXPECT_EQ(init(), 0);
    EXPECT_EQ(log, "\nKeyboard initialized\n\nFail to set device to joystick");
    EXPECT_EQ(headless.messageBoxText, "");
}

} // namespace
