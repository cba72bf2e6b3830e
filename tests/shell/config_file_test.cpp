#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "common/log.h"
#include "common/settings.h"
#include "machine/gba_system.h"
#include "shell/config_file.h"
#include "support/test_support.h"

namespace {

// The reader keeps whatever the record held before (zeros at process start), so each case
// starts from zeros in a fresh directory.
class ConfigFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::memset(&settings, 0, sizeof settings);
        std::memset(keyMap, 0, sizeof keyMap);
        std::memset(buttonState, 0, sizeof buttonState);
        gba.saveChip.saveType = SaveType::undetermined;
        resetLog();
    }

    // Writes the file, reads it and returns what the reader logged.
    std::string read(const std::string& contents) {
        writeFile(configFileName, contents);
        return readAgain();
    }

    std::string readAgain() {
        resetLog();
        EXPECT_EQ(readConfigFile(), 1);
        return readTextFile(logFileName);
    }

    ScratchDirectory scratch;
};

u8 code(Button button) {
    return settings.buttonCodes[button - 1];
}

int keyMapEntriesSet() {
    int count = 0;
    for (u8 entry : keyMap) {
        count += entry != 0;
    }
    return count;
}

TEST_F(ConfigFile, EmptyFileGivesTheDefaults) {
    settings.enableSound = 1;
    buttonState[buttonA] = 1;
    EXPECT_EQ(read(""), "");
    EXPECT_EQ(settings.resolutionWidth, 640u);
    EXPECT_EQ(settings.resolutionHeight, 480u);
    EXPECT_EQ(settings.zoom, 1u);
    EXPECT_EQ(settings.inputMode, inputKeyboard);
    EXPECT_EQ(settings.enableSound, 0);
    EXPECT_EQ(settings.autoFrameSkip + settings.halfSpeed + settings.disableFifo +
                  settings.disableAlpha + settings.bootFromBios + settings.disableWaitControl +
                  settings.realGba,
              0);
    EXPECT_EQ(settings.frameSkip, 0u);
    EXPECT_STREQ(settings.biosFileName, "GBA.BIOS");
    EXPECT_EQ(gba.saveChip.saveType, SaveType::undetermined);
    EXPECT_EQ(buttonState[buttonA], 0);
    // Every code is 0, so entry 0 holds the last button in the mapping order.
    EXPECT_EQ(keyMap[0], buttonR);
    EXPECT_EQ(keyMapEntriesSet(), 1);
}

TEST_F(ConfigFile, ResolutionIsChosenByIndexAndAlwaysLogged) {
    EXPECT_EQ(read("RES=1\r\n"), "\nResolutionX=800");
    EXPECT_EQ(settings.resolutionHeight, 600u);
    EXPECT_EQ(read("RES=2\r\n"), "\nResolutionX=1024");
    EXPECT_EQ(settings.resolutionHeight, 768u);
    EXPECT_EQ(read("RES=5\r\n"), "\nResolutionX=640");
    EXPECT_EQ(settings.resolutionHeight, 480u);
    EXPECT_EQ(read("RES=1\r\nRES=7\r\n"), "\nResolutionX=800\nResolutionX=800");
    EXPECT_EQ(settings.resolutionWidth, 800u);
}

TEST_F(ConfigFile, ZoomIsTheValuePlusOne) {
    read("ZOOM=0\r\n");
    EXPECT_EQ(settings.zoom, 1u);
    read("ZOOM=3\r\n");
    EXPECT_EQ(settings.zoom, 4u);
}

TEST_F(ConfigFile, ButtonLinesDependOnTheInputModeWhenRead) {
    read("INPUT=GAMEPAD\r\nKEYA=30\r\n");
    EXPECT_EQ(settings.inputMode, inputJoystick);
    EXPECT_EQ(code(buttonA), 0);
    EXPECT_EQ(keyMapEntriesSet(), 0);

    read("KEYA=30\r\nINPUT=GAMEPAD\r\n");
    EXPECT_EQ(code(buttonA), 30);
    EXPECT_EQ(keyMapEntriesSet(), 0);

    std::memset(&settings, 0, sizeof settings);
    read("INPUT=KEYBOARD\r\nKEYA=30\r\nJOYB=4\r\n");
    EXPECT_EQ(keyMap[30], buttonA);
    EXPECT_EQ(code(buttonB), 0);

    // Only the first character decides; anything but "K" means joystick.
    read("INPUT=K\r\n");
    EXPECT_EQ(settings.inputMode, inputKeyboard);
    read("INPUT=\r\n");
    EXPECT_EQ(settings.inputMode, inputJoystick);
}

TEST_F(ConfigFile, JoystickButtonsAreStoredFromZero) {
    read("INPUT=GAMEPAD\r\nJOYA=1\r\nJOYSTART=3\r\nJOYR=0\r\n");
    EXPECT_EQ(code(buttonA), 0);
    EXPECT_EQ(code(buttonStart), 2);
    EXPECT_EQ(code(buttonR), 255);
}

TEST_F(ConfigFile, DecimalValuesAreAccumulatedUnchecked) {
    read("KEYA=286\r\nKEYB=\r\nKEYL=1x\r\n");
    EXPECT_EQ(code(buttonA), 30);
    EXPECT_EQ(code(buttonB), 0);
    EXPECT_EQ(code(buttonL), 82); // 1 * 10 + ('x' - '0')
    // 2^32 + 1 wraps around to 1.
    EXPECT_EQ(read("SKIP=4294967297\r\n"), "\nFrameSkip:1");
    EXPECT_EQ(settings.frameSkip, 1u);
}

TEST_F(ConfigFile, SwitchesLookOnlyAtAnUpperCaseY) {
    EXPECT_EQ(read("AUTOSKIP=yes\r\n"), "");
    EXPECT_EQ(settings.autoFrameSkip, 0);
    EXPECT_EQ(read("AUTOSKIP=Y\r\n"), "\nAuto Frame Skip");
    EXPECT_EQ(settings.autoFrameSkip, 1);
    read("AUTOSKIP=YES\r\nAUTOSKIP=\r\n");
    EXPECT_EQ(settings.autoFrameSkip, 0);

    struct Switch {
        const char* key;
        bool Settings::*field;
    };
    const Switch switches[] = {
        {"HALFSPEED", &Settings::halfSpeed},       {"ENABLESOUND", &Settings::enableSound},
        {"DISABLEFIFO", &Settings::disableFifo},   {"DISABLEALPHA", &Settings::disableAlpha},
        {"BOOTFROMBIOS", &Settings::bootFromBios}, {"DISABLEWSCNT", &Settings::disableWaitControl},
        {"REALGBA", &Settings::realGba},
    };
    for (const Switch& tested : switches) {
        std::memset(&settings, 0, sizeof settings);
        EXPECT_EQ(read(std::string(tested.key) + "=YES\r\n"), "") << tested.key;
        int on = 0;
        for (const Switch& other : switches) {
            on += settings.*other.field;
        }
        EXPECT_EQ(settings.*tested.field, 1) << tested.key;
        EXPECT_EQ(on, 1) << tested.key;
        read(std::string(tested.key) + "=NO\r\n");
        EXPECT_EQ(settings.*tested.field, 0) << tested.key;
    }
    EXPECT_EQ(settings.disableFifoCopy, 0u);
    read("DISABLEFIFO=YES\r\n");
    EXPECT_EQ(settings.disableFifoCopy, 1u);
}

TEST_F(ConfigFile, UnknownKeysLogFailAndReadingGoesOn) {
    EXPECT_EQ(read("FOO=1\r\nres=2\r\nRES =2\r\n=3\r\nRES=1\r\n"),
              "FAILFAILFAILFAIL\nResolutionX=800");
    EXPECT_EQ(settings.resolutionWidth, 800u);
}

TEST_F(ConfigFile, LinesWithoutEqualsSignAreSkippedSilently) {
    EXPECT_EQ(read("RES\r\n \r\n\r\nZOOM=2\r\n"), "");
    EXPECT_EQ(settings.zoom, 3u);
    // The line is split at the first equals sign.
    read("DETECTSAVE=S=E\r\n");
    EXPECT_EQ(gba.saveChip.saveType, SaveType::sram);
}

TEST_F(ConfigFile, SaveTypeFromDetectSaveOrSaveMethod) {
    EXPECT_EQ(read("SAVEMETHOD=SRAM\r\n"), "");
    EXPECT_EQ(gba.saveChip.saveType, SaveType::sram);
    read("DETECTSAVE=FLASH\r\n");
    EXPECT_EQ(gba.saveChip.saveType, SaveType::flash);
    read("SAVEMETHOD=EEPROM\r\n");
    EXPECT_EQ(gba.saveChip.saveType, SaveType::eeprom);
    read("DETECTSAVE=other\r\nSAVEMETHOD=\r\n");
    EXPECT_EQ(gba.saveChip.saveType, SaveType::eeprom);
    read("SAVEMETHOD=UNKNOWN\r\n");
    EXPECT_EQ(gba.saveChip.saveType, SaveType::undetermined);
}

TEST_F(ConfigFile, KeyNumbers) {
    EXPECT_EQ(configKeyId("RES"), 1);
    EXPECT_EQ(configKeyId("KEYUP"), 4);
    EXPECT_EQ(configKeyId("KEYR"), 13);
    EXPECT_EQ(configKeyId("JOYR"), 19);
    EXPECT_EQ(configKeyId("AUTOSKIP"), 20);
    EXPECT_EQ(configKeyId("DISABLEWSCNT"), 27);
    EXPECT_EQ(configKeyId("DETECTSAVE"), 29);
    EXPECT_EQ(configKeyId("SAVEMETHOD"), 29);
    EXPECT_EQ(readTextFile(logFileName), "");
    EXPECT_EQ(configKeyId("KEY"), 0);
    EXPECT_EQ(configKeyId("RESX"), 0);
    EXPECT_EQ(configKeyId(""), 0);
    EXPECT_EQ(readTextFile(logFileName), "FAILFAILFAIL");
}

TEST_F(ConfigFile, LongLinesAreCutAfter127Characters) {
    // The rest of a long line is read as a line of its own.
    read(std::string(127, 'X') + "RES=1\r\n");
    EXPECT_EQ(settings.resolutionWidth, 800u);

    // The cut ends the value: "SKIP=" and 122 zeros, then "2" alone on the next line.
    EXPECT_EQ(read("SKIP=" + std::string(122, '0') + "2\r\nZOOM=1\r\n"), "\nFrameSkip:0");
    EXPECT_EQ(settings.frameSkip, 0u);
    EXPECT_EQ(settings.zoom, 2u);

    // A line of exactly 127 characters keeps its last one.
    read("SKIP=" + std::string(121, '0') + "3\r\n");
    EXPECT_EQ(settings.frameSkip, 3u);
}

TEST_F(ConfigFile, LineEndings) {
    // A CR left in the value would make the key code 30 * 10 + ('\r' - '0'), low byte 9.
    read("INPUT=KEYBOARD\r\nKEYA=30\r\nKEYB=31\nKEYL=32");
    EXPECT_EQ(code(buttonA), 30);
    EXPECT_EQ(code(buttonB), 31);
    EXPECT_EQ(code(buttonL), 32);
    read("ZOOM=2\r");
    EXPECT_EQ(settings.zoom, 3u);
}

TEST_F(ConfigFile, MissingOrUnreadableFileLeavesTheDefaults) {
    settings.halfSpeed = 1;
    settings.enableSound = 1;
    settings.buttonCodes[buttonA - 1] = 30;
    EXPECT_EQ(readAgain(), "\nQuarvend.CFG not found: using default settings");
    EXPECT_EQ(settings.resolutionWidth, 640u);
    EXPECT_EQ(settings.zoom, 1u);
    EXPECT_EQ(settings.enableSound, 0);
    EXPECT_EQ(settings.halfSpeed, 1);
    EXPECT_STREQ(settings.biosFileName, "GBA.BIOS");
    EXPECT_EQ(keyMap[30], buttonA);
    EXPECT_EQ(keyMap[0], buttonR);

    // Anything but a regular file counts as missing.
    std::filesystem::create_directory(configFileName);
    EXPECT_EQ(readAgain(), "\nQuarvend.CFG not found: using default settings");
    std::filesystem::remove(configFileName);

    writeFile(configFileName, std::string("RES=2\r\n"));
    std::filesystem::permissions(configFileName, std::filesystem::perms::none);
    PermissionsEnforced enforced;
    EXPECT_EQ(readAgain(), "\nQuarvend.CFG could not be read: using default settings");
    EXPECT_EQ(settings.resolutionWidth, 640u);
    EXPECT_EQ(keyMap[30], buttonA);
}

TEST_F(ConfigFile, FileAsTheSettingsProgramWritesIt) {
    EXPECT_EQ(read("RES=1\r\nZOOM=2\r\nSKIP=2\r\nAUTOSKIP=YES\r\nREALGBA=YES\r\n"
                   "HALFSPEED=NO\r\nENABLESOUND=YES\r\nDISABLEWSCNT=YES\r\nDISABLEFIFO=YES\r\n"
                   "DISABLEALPHA=NO\r\nINPUT=KEYBOARD\r\nBOOTFROMBIOS=YES\r\nSAVEMETHOD=FLASH\r\n"
                   "KEYUP=200\r\nKEYDOWN=208\r\nKEYLEFT=203\r\nKEYRIGHT=205\r\nKEYA=44\r\n"
                   "KEYB=45\r\nKEYSELECT=14\r\nKEYSTART=28\r\nKEYL=30\r\nKEYR=31\r\n"
                   "JOYA=1\r\nJOYB=2\r\nJOYSELECT=3\r\nJOYSTART=4\r\nJOYL=5\r\nJOYR=6\r\n \r\n"),
              "\nResolutionX=800\nFrameSkip:2\nAuto Frame Skip");
    EXPECT_EQ(settings.resolutionWidth, 800u);
    EXPECT_EQ(settings.resolutionHeight, 600u);
    EXPECT_EQ(settings.zoom, 3u);
    EXPECT_EQ(settings.frameSkip, 2u);
    EXPECT_EQ(settings.inputMode, inputKeyboard);
    const u8 expectedFlags[] = {1, 0, 1, 1, 1, 0, 1, 1};
    const u8 flags[] = {settings.autoFrameSkip,      settings.halfSpeed,   settings.enableSound,
                        settings.disableWaitControl, settings.disableFifo, settings.disableAlpha,
                        settings.bootFromBios,       settings.realGba};
    EXPECT_EQ(std::memcmp(flags, expectedFlags, sizeof flags), 0);
    EXPECT_EQ(settings.disableFifoCopy, 1u);
    EXPECT_EQ(gba.saveChip.saveType, SaveType::flash);
    // Stored in button order: Up, Down, Left, Right, Select, Start, A, B, L, R.
    const u8 expectedCodes[] = {200, 208, 203, 205, 14, 28, 44, 45, 30, 31};
    EXPECT_EQ(std::memcmp(settings.buttonCodes, expectedCodes, sizeof expectedCodes), 0);
    for (u32 button = buttonUp; button <= buttonR; ++button) {
        EXPECT_EQ(keyMap[expectedCodes[button - 1]], button);
    }
    EXPECT_EQ(keyMapEntriesSet(), 10);
}

TEST_F(ConfigFile, FirstFileOfTheSettingsProgramSelectsTheJoystick) {
    EXPECT_EQ(read("AUTOSKIP=NO\r\nREALGBA=NO\r\nHALFSPEED=NO\r\nENABLESOUND=NO\r\n"
                   "DISABLEWSCNT=NO\r\nDISABLEFIFO=NO\r\nDISABLEALPHA=NO\r\nINPUT=GAMEPAD\r\n"
                   "BOOTFROMBIOS=NO\r\nSAVEMETHOD=UNKNOWN\r\nKEYUP=0\r\nKEYDOWN=0\r\n"
                   "KEYLEFT=0\r\nKEYRIGHT=0\r\nKEYA=0\r\nKEYB=0\r\nKEYSELECT=0\r\nKEYSTART=0\r\n"
                   "KEYL=0\r\nKEYR=0\r\nJOYA=0\r\nJOYB=0\r\nJOYSELECT=0\r\nJOYSTART=0\r\n"
                   "JOYL=0\r\nJOYR=0\r\n \r\n"),
              "");
    EXPECT_EQ(settings.inputMode, inputJoystick);
    EXPECT_EQ(settings.resolutionWidth, 640u);
    EXPECT_EQ(code(buttonUp), 0);
    EXPECT_EQ(code(buttonSelect), 255);
    EXPECT_EQ(code(buttonR), 255);
    EXPECT_EQ(keyMapEntriesSet(), 0);
}

TEST_F(ConfigFile, LaterButtonWinsASharedKeyCode) {
    read("KEYA=30\r\nKEYUP=30\r\nKEYSELECT=30\r\nKEYDOWN=31\r\nKEYR=31\r\n");
    EXPECT_EQ(keyMap[30], buttonA);
    EXPECT_EQ(keyMap[31], buttonR);
}

TEST_F(ConfigFile, ArbitraryBytesAreReadSafely) {
    // A NUL is part of the line: it makes the key unknown rather than shortening it.
    EXPECT_EQ(read(std::string("RES\0=1\r\nRES=2", 13)), "FAIL\nResolutionX=1024");

    std::string garbage(300000, '\0');
    u32 seed = 12345;
    for (char& byte : garbage) {
        seed = seed * 1103515245 + 12345;
        byte = static_cast<char>(seed >> 16);
    }
    garbage += "\nRES=2";
    read(garbage);
    EXPECT_EQ(settings.resolutionWidth, 1024u);
    EXPECT_GE(settings.zoom, 1u);

    read(std::string(100000, '=') + "\r\n" + std::string(100000, '9'));
    EXPECT_EQ(settings.resolutionWidth, 640u);
}

} // namespace
