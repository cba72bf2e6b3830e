// The settings program's core without a window: the configuration text (checked against the
// emulator's own reader), the window's rules on the form, the save-method list, the cartridge
// header and the save library's markers, key codes (checked against the SDL host's table),
// file access that never blocks, folders and typed paths, and the launch of the emulator.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

#include "common/dik_keys.h"
#include "common/settings.h"
#include "configcentre/core/centre_form.h"
#include "configcentre/core/file_access.h"
#include "configcentre/core/joystick_capture.h"
#include "configcentre/core/key_codes.h"
#include "configcentre/core/launcher.h"
#include "configcentre/core/rom_browser.h"
#include "configcentre/core/rom_header.h"
#include "platform/sdl/scancode_table.h"
#include "shell/config_file.h"
#include "shell/startup.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// The first-start file, which the build also places beside the programs.
const char* const firstFile =
    "RES=2\r\nZOOM=3\r\nSKIP=0\r\nAUTOSKIP=YES\r\nREALGBA=NO\r\nHALFSPEED=NO\r\nENABLESOUND=NO\r\n"
    "DISABLEWSCNT=NO\r\nDISABLEFIFO=NO\r\nDISABLEALPHA=NO\r\nINPUT=KEYBOARD\r\nBOOTFROMBIOS=NO\r\n"
    "SAVEMETHOD=UNKNOWN\r\nKEYUP=200\r\nKEYDOWN=208\r\nKEYLEFT=203\r\nKEYRIGHT=205\r\nKEYA=44\r\n"
    "KEYB=45\r\nKEYSELECT=14\r\nKEYSTART=28\r\nKEYL=30\r\nKEYR=31\r\nJOYA=1\r\nJOYB=2\r\n"
    "JOYSELECT=3\r\nJOYSTART=4\r\nJOYL=5\r\nJOYR=6\r\nWINDOW=NO\r\nINTEGERSCALE=NO\r\n \r\n";

void readByEmulator(const std::string& text) {
    writeFile("Quarvend.CFG", text);
    std::memset(&settings, 0, sizeof settings);
    ASSERT_EQ(readConfigFile(), 1);
}

std::string header(const char* title, const char* code, bool fixedValue = true) {
    std::string rom(0x200, '\0');
    std::memcpy(&rom[0xA0], title, std::strlen(title));
    std::memcpy(&rom[0xAC], code, 4);
    std::memcpy(&rom[0xB0], "01", 2);
    rom[0xB2] = fixedValue ? char(0x96) : 0;
    rom[0xB4] = char(0x8A);
    rom[0xBC] = 0x1;
    rom[0xBD] = static_cast<char>(headerComplement(rom.data()));
    return rom;
}

// A list of `count` records, each code given by codeOf(record number from 1).
template <typename CodeOf>
std::string listOf(int count, CodeOf codeOf) {
    std::string text;
    for (int record = 1; record <= count; ++record) {
        auto [code, method] = codeOf(record);
        text += "\"" + code + "\"," + std::to_string(method) + "\r\n";
    }
    return text;
}

class CentreCore : public ::testing::Test {
  protected:
    ScratchDirectory scratch_;
};

TEST_F(CentreCore, FirstStartFileIsTheShippedOneAndTheEmulatorPlaysWithIt) {
    EXPECT_EQ(configText(firstStartSettings()), firstFile);
    readByEmulator(firstFile);
    EXPECT_EQ(settings.inputMode, inputKeyboard);
    EXPECT_TRUE(settings.autoFrameSkip);
    EXPECT_FALSE(settings.halfSpeed || settings.enableSound || settings.windowed);
    // The largest picture on 16:9 and 4:3 desktops.
    EXPECT_EQ(settings.resolutionWidth, 1024u);
    EXPECT_EQ(settings.zoom, 4u);
    EXPECT_EQ(settings.frameSkip, 0u);
    EXPECT_EQ(keyMap[0xC8], buttonUp);
    EXPECT_EQ(keyMap[0x2C], buttonA);
    EXPECT_EQ(keyMap[0x0E], buttonSelect);
    EXPECT_EQ(keyMap[0x1C], buttonStart);
    EXPECT_EQ(keyMap[0x1F], buttonR);
    EXPECT_EQ(keyMap[0], buttonNone);

    // A pad picked on the Controller tab has its buttons 0-5 on A, B, Select, Start, L, R.
    std::string gamepad = firstFile;
    gamepad.replace(gamepad.find("KEYBOARD"), 8, "GAMEPAD");
    readByEmulator(gamepad);
    const u8 pad[10] = {0, 0, 0, 0, 2, 3, 0, 1, 4, 5};
    EXPECT_EQ(std::memcmp(settings.buttonCodes, pad, 10), 0);

    // The build writes the same file, and never over the user's.
    const std::string tool = QUARVEND_CENTRE_FILES;
    ASSERT_EQ(std::system((tool + " default-config Quarvend.CFG").c_str()), 0);
    EXPECT_EQ(readTextFile("Quarvend.CFG"), gamepad);
    fs::remove("Quarvend.CFG");
    ASSERT_EQ(std::system((tool + " default-config Quarvend.CFG").c_str()), 0);
    EXPECT_EQ(readTextFile("Quarvend.CFG"), firstFile);
}

TEST_F(CentreCore, FormReadsTheFirstFileBackAsItWasWritten) {
    CentreForm form;
    EXPECT_EQ(readConfig(form), "");
    EXPECT_EQ(readTextFile("Quarvend.CFG"), firstFile);
    EXPECT_EQ(formConfigText(form), firstFile);
    EXPECT_TRUE(form.halfSpeedEnabled);
    // 1024X768 allows every zoom, and REALGBA with 4X.
    EXPECT_TRUE(form.realGbaEnabled);
    EXPECT_TRUE(form.zoomEnabled[2] && form.zoomEnabled[3]);
    EXPECT_EQ(keyBoxText(form, 6), "Backspace");
    EXPECT_EQ(joyBoxText(form, 5), "Joy 6");
}

// The centre's key order (A, B, Select, Start) differs from the emulator's button numbering
// (Select, Start, A, B); the emulator must see what the window meant.
TEST_F(CentreCore, EverySettingIsWrittenInItsPlaceAndReadByTheEmulator) {
    CentreSettings all = firstStartSettings();
    all.resolution = 2;
    all.zoom = 3;
    all.frameSkip = 1;
    all.realGba = all.halfSpeed = all.enableSound = true;
    all.disableWscnt = all.disableFifo = all.disableAlpha = all.bootFromBios = true;
    all.window = all.integerScale = true;
    all.saveMethod = 2;
    for (int i = 0; i < centreKeyCount; ++i) {
        all.keyCodes[i] = 100 + i;
    }
    const std::string text = configText(all);
    EXPECT_TRUE(text.starts_with("RES=2\r\nZOOM=3\r\nSKIP=1\r\nAUTOSKIP=YES\r\nREALGBA=YES\r\n"));
    EXPECT_NE(text.find("INPUT=KEYBOARD\r\nBOOTFROMBIOS=YES\r\nSAVEMETHOD=FLASH\r\nKEYUP=100\r\n"
                        "KEYDOWN=101\r\nKEYLEFT=102\r\nKEYRIGHT=103\r\nKEYA=104\r\nKEYB=105\r\n"
                        "KEYSELECT=106\r\nKEYSTART=107\r\nKEYL=108\r\nKEYR=109\r\nJOYA=1\r\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("JOYR=6\r\nWINDOW=YES\r\nINTEGERSCALE=YES\r\n \r\n"));
    all.saveMethod = -1;
    EXPECT_EQ(configText(all).find("SAVEMETHOD"), std::string::npos);

    readByEmulator(text);
    EXPECT_EQ(settings.resolutionWidth, 1024u);
    EXPECT_EQ(settings.zoom, 4u);
    EXPECT_TRUE(settings.realGba && settings.windowed && settings.integerScale);
    const u8 codes[10] = {100, 101, 102, 103, 106, 107, 104, 105, 108, 109};
    EXPECT_EQ(std::memcmp(settings.buttonCodes, codes, 10), 0);
}

TEST_F(CentreCore, LinesTheWindowDoesNotManageAreKeptAfterItsOwn) {
    CentreForm form;
    const std::string file = "# my settings\r\nRES=1\r\nFUTUREKEY=7\nDETECTSAVE=S\r\n\r\n"
                             "SAVEMETHOD=SRAM\r\nres=2\r\nRES=9\r\n \r\nKEYA=57\r\nlast line";
    const std::vector<std::string> ignored = applyConfigText(form, file);
    EXPECT_EQ(ignored, std::vector<std::string>{"RES=9"});
    const std::string written = formConfigText(form);
    EXPECT_TRUE(written.starts_with("RES=1\r\n"));
    EXPECT_TRUE(written.ends_with("INTEGERSCALE=NO\r\n# my settings\r\nFUTUREKEY=7\r\n"
                                  "DETECTSAVE=S\r\n\r\nres=2\r\nlast line\r\n \r\n"));
    EXPECT_NE(written.find("\r\nKEYA=57\r\n"), std::string::npos);
    // Reading and writing again changes nothing.
    CentreForm again;
    applyConfigText(again, written);
    EXPECT_EQ(formConfigText(again), written);
}

struct LineCase {
    const char* line;
    ConfigKey key;
    int value;
    bool outOfRange;
};

TEST(CentreLines, ValuesAndRanges) {
    const LineCase cases[] = {
        {"RES=7", configKeyRes, 0, true},
        {"RES=2", configKeyRes, 2, false},
        {"RES=1.5", configKeyRes, 2, false}, // halves round to even
        {"ZOOM=2.5", configKeyZoom, 2, false},
        {"ZOOM=-1", configKeyZoom, 0, true},
        {"ZOOM=4", configKeyZoom, 0, true},
        {"SKIP=", configKeySkip, 0, false},
        {"KEYA=255", configKeyA, 255, false},
        {"KEYA=256", configKeyA, 0, true},
        {"KEYA= 57x", configKeyA, 57, false},
        {"KEYR=99999999999999999999", configKeyR, 0, true},
        {"JOYR=32", configJoyR, 32, false},
        {"JOYR=33", configJoyR, 0, true},
        {"AUTOSKIP=yes", configKeyAutoSkip, 0, false},
        {"AUTOSKIP=YES", configKeyAutoSkip, 1, false},
        {"WINDOW=YES", configKeyWindow, 1, false},
        {"INTEGERSCALE=NO", configKeyIntegerScale, 0, false},
        {"INPUT=KEYBOARD", configKeyInput, 0, false},
        {"INPUT=keyboard", configKeyInput, 1, false},
        {"SAVEMETHOD=SRAM", configKeyNone, 0, false},
        {"DETECTSAVE=S", configKeyNone, 0, false},
        {" ", configKeyNone, 0, false},
        {"res=1", configKeyNone, 0, false},
    };
    for (const LineCase& c : cases) {
        const CentreLine parsed = parseCentreLine(c.line);
        EXPECT_EQ(parsed.key, c.key) << c.line;
        EXPECT_EQ(parsed.value, c.value) << c.line;
        EXPECT_EQ(parsed.outOfRange, c.outOfRange) << c.line;
    }
}

TEST(CentreRules, ResolutionLimitsTheZoomAndTheRealDisplayFollows) {
    CentreForm form;
    selectResolution(form, 2);
    selectZoom(form, 3);
    form.settings.realGba = true;
    EXPECT_TRUE(form.realGbaEnabled);

    selectResolution(form, 0);
    EXPECT_EQ(form.settings.zoom, 1);
    EXPECT_FALSE(form.zoomEnabled[2] || form.zoomEnabled[3]);
    EXPECT_FALSE(form.realGbaEnabled || form.settings.realGba);

    selectResolution(form, 2);
    selectZoom(form, 3);
    selectResolution(form, 1);
    EXPECT_EQ(form.settings.zoom, 2);
    EXPECT_TRUE(form.zoomEnabled[2] && !form.zoomEnabled[3] && form.realGbaEnabled);
    selectResolution(form, 2);
    EXPECT_TRUE(form.zoomEnabled[3]);
    EXPECT_EQ(form.settings.zoom, 2);
}

TEST(CentreRules, HalfSpeedNeedsAutomaticSkipping) {
    CentreForm form;
    applyConfigText(form, "AUTOSKIP=YES\r\nHALFSPEED=YES\r\n");
    applyHalfSpeedRule(form);
    EXPECT_TRUE(form.halfSpeedEnabled && form.settings.halfSpeed);
    setAutoFrameSkip(form, false);
    EXPECT_FALSE(form.halfSpeedEnabled || form.settings.halfSpeed);
    setAutoFrameSkip(form, true);
    EXPECT_TRUE(form.halfSpeedEnabled);
    EXPECT_FALSE(form.settings.halfSpeed);

    CentreForm slow;
    applyConfigText(slow, "AUTOSKIP=NO\r\nHALFSPEED=YES\r\n");
    applyHalfSpeedRule(slow);
    EXPECT_FALSE(slow.halfSpeedEnabled || slow.settings.halfSpeed);
}

// Lines apply in their order, as clicks do; a group without a line shows the emulator's
// default.
TEST(CentreRules, FileLinesActAsClicksAndAbsentGroupsShowTheDefaults) {
    CentreForm form;
    applyConfigText(form, "ZOOM=3\r\nRES=0\r\nINPUT=GAMEPAD\r\n");
    EXPECT_EQ(form.settings.zoom, 1);
    EXPECT_EQ(form.settings.frameSkip, 0);
    EXPECT_FALSE(form.settings.keyboardInput);

    CentreForm bare;
    applyConfigText(bare, "ENABLESOUND=YES\r\n");
    EXPECT_EQ(bare.settings.resolution, 0);
    EXPECT_EQ(bare.settings.zoom, 0);
    EXPECT_EQ(bare.settings.frameSkip, 0);
    EXPECT_TRUE(bare.settings.keyboardInput);
    EXPECT_FALSE(bare.realGbaEnabled);
}

TEST_F(CentreCore, ShippedListHoldsTheTableCodesThenEmptyRecords) {
    std::vector<SaveMethodRecord> codes;
    std::string error;
    ASSERT_TRUE(parseSaveTypesCsv(readTextFile(QUARVEND_SAVE_TYPES_CSV), codes, error)) << error;
    ASSERT_TRUE(codes.size() > 100 && codes.size() <= 800);
    SaveMethodTable table;
    const SaveMethodListRead read =
        parseSaveMethodList(readTextFile(QUARVEND_SAVE_METHOD_LIST), table);
    EXPECT_EQ(read.records, saveMethodRecordCount);
    EXPECT_FALSE(read.malformed);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(table[i].code, codes[i].code);
        EXPECT_EQ(lookUpSaveMethod(table, codes[i].code), codes[i].method);
    }
    for (std::size_t i = codes.size(); i < table.size(); ++i) {
        EXPECT_EQ(table[i].code, emptyGameCode);
    }
    EXPECT_EQ(lookUpSaveMethod(table, "AWRE"), 2);
    EXPECT_EQ(lookUpSaveMethod(table, "ZZZZ"), 0);
}

TEST(SaveMethodList, LookupTakesTheFirstRecordAndStopsAtTheEnd) {
    SaveMethodTable table;
    std::string text = listOf(1000, [](int record) -> std::pair<std::string, int> {
        if (record == 3) {
            return {"BPEE", 2};
        }
        if (record == 500) {
            return {"BPEE", 1};
        }
        return {record < 600 ? "C" + std::to_string(record) : "    ", 3};
    });
    ASSERT_EQ(parseSaveMethodList(text, table).records, 1000);
    EXPECT_EQ(lookUpSaveMethod(table, "BPEE"), 2);
    EXPECT_EQ(lookUpSaveMethod(table, "C599"), 3);

    // A list with no empty record ends its lookup at the last record.
    text = listOf(1000, [](int record) -> std::pair<std::string, int> {
        return {"X" + std::to_string(record), 1};
    });
    ASSERT_EQ(parseSaveMethodList(text, table).records, 1000);
    EXPECT_EQ(lookUpSaveMethod(table, "X999"), 1);
    EXPECT_EQ(lookUpSaveMethod(table, "NONE"), 0);
}

TEST(SaveMethodList, FreeFormatShortAndBrokenLists) {
    SaveMethodTable table;
    std::string text = "AB,1\nLONGER,\"2\"\n\n  \"Q,R \" , 3\r\n";
    text += listOf(997, [](int) -> std::pair<std::string, int> { return {"    ", 0}; });
    ASSERT_EQ(parseSaveMethodList(text, table).records, 1000);
    EXPECT_EQ(table[0].code, "AB  ");
    EXPECT_EQ(table[1].code, "LONG");
    EXPECT_EQ(table[2].code, "Q,R ");
    EXPECT_EQ(table[2].method, 3);

    const auto one = [](int) -> std::pair<std::string, int> { return {"AWRE", 2}; };
    EXPECT_EQ(parseSaveMethodList(listOf(999, one), table).records, 999);
    EXPECT_EQ(lookUpSaveMethod(table, "AWRE"), 0);
    const SaveMethodListRead read =
        parseSaveMethodList(listOf(5, one) + "\"AXVE\",two\r\n" + listOf(994, one), table);
    EXPECT_TRUE(read.malformed);
    EXPECT_EQ(lookUpSaveMethod(table, "AWRE"), 0);

    std::vector<SaveMethodRecord> codes;
    std::string error;
    EXPECT_FALSE(
        parseSaveTypesCsv("# comment\ngame_code,method,kind\nAWRE,2,F\nAWR,2,F\n", codes, error));
    EXPECT_EQ(error, "line 4: AWR,2,F");
    EXPECT_FALSE(parseSaveTypesCsv("AWRE,7,F\n", codes, error));
}

TEST(RomHeader, SizeTextRoundsHalvesToEven) {
    EXPECT_EQ(romSizeText(4194304), " 32Mb");
    EXPECT_EQ(romSizeText(65536), "<1Mb"); // half a megabit
    EXPECT_EQ(romSizeText(196608), " 2Mb");
    EXPECT_EQ(romSizeText(327680), " 2Mb");
    EXPECT_EQ(romSizeText(458752), " 4Mb");
    EXPECT_EQ(romSizeText(33554432), " 256Mb");
}

TEST_F(CentreCore, HeaderFieldsValidityAndShortFiles) {
    std::string rom = header("POKEMON EMER", "BPEE");
    writeFile("game.gba", rom);
    RomInspection read = inspectRomFile("game.gba");
    EXPECT_EQ(read.state, RomFileState::readable);
    EXPECT_EQ(read.header.title, "POKEMON EMER");
    EXPECT_EQ(read.header.gameCode, "BPEE");
    EXPECT_EQ(read.header.makerCode, "01");
    EXPECT_EQ(hexText(read.header.deviceType), "8A");
    EXPECT_TRUE(read.header.valid);
    EXPECT_FALSE(read.tooShort);

    rom[0xA5] = 'X'; // the complement no longer matches
    writeFile("changed.gba", rom);
    EXPECT_FALSE(inspectRomFile("changed.gba").header.valid);
    writeFile("nofixed.gba", header("GAME", "CODE", false));
    EXPECT_FALSE(inspectRomFile("nofixed.gba").header.valid);
    EXPECT_TRUE(inspectRomFile(programPath("demo.gba")).header.valid);

    writeFile("short.gba", rom.substr(0, 100));
    EXPECT_TRUE(inspectRomFile("short.gba").tooShort);
    writeFile("empty.gba", "");
    EXPECT_EQ(inspectRomFile("empty.gba").state, RomFileState::empty);
    EXPECT_EQ(inspectRomFile("missing.gba").state, RomFileState::unreadable);
    fs::create_directory("folder.gba");
    EXPECT_EQ(inspectRomFile("folder.gba").state, RomFileState::unreadable);
    EXPECT_EQ(printableText(std::string("AB\0\x01\x7F\xE9Z", 7)), "AB    Z");
}

TEST(RomHeader, SaveLibraryMarkers) {
    EXPECT_EQ(saveLibraryMethod(std::string("..\0SRAM_V113\0", 13)), 1);
    EXPECT_EQ(saveLibraryMethod("xxSRAM_F_V100"), 1);
    EXPECT_EQ(saveLibraryMethod("EEPROM_V124"), 3);
    EXPECT_EQ(saveLibraryMethod("FLASH_V126"), 2);
    EXPECT_EQ(saveLibraryMethod("FLASH512_V131"), 2);
    EXPECT_EQ(saveLibraryMethod("FLASH1M_V103"), 2);
    EXPECT_EQ(saveLibraryMethod("SRAM V110 FLASH"), 0);
    EXPECT_EQ(saveLibraryMethod("EEPROM_V124 SRAM_V110"), 0); // two methods: undecided
    EXPECT_EQ(saveLibraryMethodOfFile(programPath("demo.gba")), 1);
}

TEST_F(CentreCore, ChosenRomShowsItsHeaderAndSaveMethod) {
    SaveMethodTable methods;
    parseSaveMethodList(listOf(1000,
                               [](int record) -> std::pair<std::string, int> {
                                   return {record == 1 ? "BPEE" : "    ", 2};
                               }),
                        methods);
    std::string rom = header("POKEMON\x01"
                             "EMER",
                             "BPEE");
    writeFile("listed.gba", rom);
    CentreForm form;
    EXPECT_EQ(chooseRom(form, methods, "listed.gba"), "");
    EXPECT_TRUE(form.romInfoShown && !form.noRomSelected);
    EXPECT_EQ(form.rom.cartName, "POKEMON EMER");
    EXPECT_EQ(saveMethodText(form), "FlashROM");
    EXPECT_TRUE(form.detectSaveEnabled && !form.detectSave);
    EXPECT_NE(formConfigText(form).find("\r\nSAVEMETHOD=FLASH\r\n"), std::string::npos);

    // Not in the list: the save library's marker names the method, marked as detected.
    EXPECT_EQ(chooseRom(form, methods, programPath("demo.gba").string()), "");
    EXPECT_EQ(saveMethodText(form), "SRAM (detected)");
    EXPECT_EQ(saveMethodColour(form).blue, 255);
    EXPECT_NE(formConfigText(form).find("\r\nSAVEMETHOD=SRAM\r\n"), std::string::npos);

    writeFile("notes.gba", std::string(300, 'a') + "\n");
    EXPECT_EQ(chooseRom(form, methods, "notes.gba"),
              "Not a GBA ROM: notes.gba has no cartridge header");
    EXPECT_FALSE(form.romInfoShown);
    EXPECT_EQ(saveMethodText(form), "Unknown");
    EXPECT_FALSE(form.detectSaveEnabled);
    writeFile("ten.gba", "0123456789");
    EXPECT_NE(chooseRom(form, methods, "ten.gba").find("Not a GBA ROM"), std::string::npos);
    EXPECT_TRUE(form.noRomSelected);

    leaveRom(form);
    EXPECT_TRUE(form.noRomSelected && !form.romInfoShown && form.romPath.empty());
    EXPECT_EQ(saveMethodText(form), "");
}

// The ROM List: a new folder clears the chosen ROM, the same folder or one that cannot be read
// keeps it; the file list follows the two check boxes.
TEST_F(CentreCore, BrowserMovesBetweenFoldersAndKeepsTheRomWhereItIs) {
    fs::create_directories("roms/sub");
    writeFile("roms/a.gba", header("GAME", "AWRE"));
    writeFile("roms/b.BIN", "x");
    writeFile("roms/c.txt", "x");
    const std::string roms = (fs::current_path() / "roms").string();
    SaveMethodTable methods;
    clearSaveMethodTable(methods);
    CentreForm form;
    RomBrowser browser;
    EXPECT_EQ(openFolder(form, browser, "roms/"), "");
    EXPECT_EQ(browser.folder, roms);
    EXPECT_EQ(browser.chain.back(), roms);
    EXPECT_EQ(browser.subfolders, std::vector<std::string>{"sub"});
    EXPECT_EQ(listedFiles(browser), (std::vector<std::string>{"a.gba", "b.BIN"}));
    setListedKinds(browser, false, true);
    EXPECT_EQ(listedFiles(browser), std::vector<std::string>{"a.gba"});
    setListedKinds(browser, false, false);
    EXPECT_EQ(listedFiles(browser), std::vector<std::string>{"a.gba"});
    EXPECT_EQ(pathFieldText(form, browser), roms);

    EXPECT_EQ(chooseListedRom(form, browser, methods, "a.gba"), "");
    EXPECT_EQ(form.romPath, roms + "/a.gba");
    EXPECT_EQ(pathFieldText(form, browser), form.romPath);
    EXPECT_EQ(listedRomName(form, browser), "a.gba");
    EXPECT_EQ(openFolder(form, browser, roms), "");
    EXPECT_FALSE(form.noRomSelected);
    EXPECT_EQ(openFolder(form, browser, "roms/gone"),
              "Cannot open the folder " + roms + "/gone (No such file or directory)");
    EXPECT_EQ(browser.folder, roms);
    EXPECT_FALSE(form.noRomSelected);

    EXPECT_EQ(openFolder(form, browser, "roms/sub/.."), "");
    EXPECT_FALSE(form.noRomSelected);
    EXPECT_EQ(openFolder(form, browser, "roms/sub"), "");
    EXPECT_TRUE(form.noRomSelected && form.romPath.empty() && !form.romInfoShown);
    EXPECT_EQ(pathFieldText(form, browser), roms + "/sub");
    EXPECT_EQ(listedRomName(form, browser), "");
}

// The path field takes a folder or a ROM; the next run shows the remembered folder, and the
// remembered ROM only when it is still a file in that folder.
TEST_F(CentreCore, TypedPathsAndTheLastRunsChoice) {
    fs::create_directories("roms");
    fs::create_directories("other");
    writeFile("roms/a.gba", header("GAME", "AWRE"));
    writeFile("other/b.gba", header("GAME", "BPEE"));
    const std::string here = fs::current_path().string();
    SaveMethodTable methods;
    clearSaveMethodTable(methods);
    CentreForm form;
    RomBrowser browser;
    openFolder(form, browser, here);
    EXPECT_EQ(goToPath(form, browser, methods, " \"roms/a.gba\" "), "");
    EXPECT_EQ(browser.folder, here + "/roms");
    EXPECT_EQ(form.rom.gameCode, "AWRE");
    EXPECT_EQ(goToPath(form, browser, methods, "nowhere"), "No folder or file nowhere");
    EXPECT_EQ(form.rom.gameCode, "AWRE");
    EXPECT_EQ(goToPath(form, browser, methods, here), "");
    EXPECT_TRUE(form.noRomSelected);

    CentreForm next;
    RomBrowser nextBrowser;
    EXPECT_EQ(restoreLastChoice(next, nextBrowser, methods, here + "/roms", here + "/roms/a.gba",
                                here + "/other"),
              "");
    EXPECT_EQ(nextBrowser.folder, here + "/roms");
    EXPECT_EQ(listedRomName(next, nextBrowser), "a.gba");
    EXPECT_FALSE(next.noRomSelected);

    CentreForm elsewhere;
    RomBrowser elsewhereBrowser;
    restoreLastChoice(elsewhere, elsewhereBrowser, methods, here + "/roms", here + "/other/b.gba",
                      here);
    EXPECT_EQ(elsewhereBrowser.folder, here + "/roms");
    EXPECT_TRUE(elsewhere.noRomSelected);

    CentreForm gone;
    RomBrowser goneBrowser;
    restoreLastChoice(gone, goneBrowser, methods, here + "/removed", "", here + "/other");
    EXPECT_EQ(goneBrowser.folder, here + "/other");
}

TEST(CentreStatus, AnEventsMessageGoesWithTheNextSuccess) {
    StatusLine line;
    showStatus(line, "RIDIravu.DAT holds 999 of its 1000 records");
    showEventStatus(line, "");
    EXPECT_EQ(line.text, "RIDIravu.DAT holds 999 of its 1000 records");
    showEventStatus(line, "Not a GBA ROM: notes.gba has no cartridge header");
    EXPECT_EQ(line.text, "Not a GBA ROM: notes.gba has no cartridge header");
    showEventStatus(line, "");
    EXPECT_EQ(line.text, "");
}

// A key box takes the key released in it only when the key was also pressed there (not the Tab
// that moved the focus in), and is white while it has the focus.
TEST(KeyCodes, KeyBoxesTakeOnlyKeysPressedInThem) {
    CentreForm form;
    form.settings.keyCodes[1] = 0xD0;
    focusKeyBox(form, 1);
    EXPECT_EQ(keyBoxColour(form, 1).red, captureWhite.red);
    EXPECT_EQ(keyBoxColour(form, 0).red, centreGrey.red);
    EXPECT_EQ(releaseKeyInBox(form, 1, 9, false), "");
    EXPECT_EQ(form.settings.keyCodes[1], 0xD0);
    pressKeyInBox(form);
    EXPECT_EQ(releaseKeyInBox(form, 1, 37, false), "");
    EXPECT_EQ(form.settings.keyCodes[1], 0xCB);
    leaveKeyBox(form, 0);
    EXPECT_EQ(form.keyBoxCapturing, 1);
    leaveKeyBox(form, 1);
    EXPECT_EQ(keyBoxColour(form, 1).red, centreGrey.red);
}

// A box waits with an empty text; a button taken turns it grey; one capture at a time; failures
// keep the box's button.
TEST(Joystick, CaptureWaitsTakesAndFails) {
    CentreForm form;
    form.settings.joyButtons[0] = 1;
    form.settings.joyButtons[3] = 4;
    focusJoyBox(form, 3);
    EXPECT_EQ(beginJoystickCapture(form, 3, {JoystickStatus::ok, 0}).result,
              CaptureResult::waiting);
    EXPECT_EQ(joyBoxText(form, 3), "");
    EXPECT_EQ(joyBoxColour(form, 3).red, captureWhite.red);
    leaveJoyBox(form, 3); // leaving does not end the wait
    EXPECT_EQ(continueJoystickCapture(form, {JoystickStatus::ok, 0}).result,
              CaptureResult::waiting);
    EXPECT_EQ(continueJoystickCapture(form, {JoystickStatus::ok, 0b11}).result,
              CaptureResult::taken);
    EXPECT_EQ(joyBoxText(form, 3), "Joy 3");
    EXPECT_EQ(form.joyBoxWaiting, -1);

    focusJoyBox(form, 3);
    beginJoystickCapture(form, 3, {JoystickStatus::ok, 0});
    beginJoystickCapture(form, 0, {JoystickStatus::ok, 0});
    EXPECT_EQ(joyBoxText(form, 3), "Joy 3");
    EXPECT_EQ(continueJoystickCapture(form, {JoystickStatus::ok, 1u << 7}).result,
              CaptureResult::taken);
    EXPECT_EQ(form.settings.joyButtons[0], 8);
    EXPECT_EQ(joyBoxColour(form, 3).red, captureWhite.red); // it has the focus still

    JoystickCaptureStep step = beginJoystickCapture(form, 0, {JoystickStatus::unplugged, 0});
    EXPECT_EQ(step.result, CaptureResult::failed);
    EXPECT_EQ(step.title, "Fail to initialize joystick");
    beginJoystickCapture(form, 0, {JoystickStatus::ok, 0});
    step = continueJoystickCapture(form, {JoystickStatus::noDriver, 0});
    EXPECT_EQ(step.text, "您的游戏控制器驱动安装不正确！");
    EXPECT_EQ(joyBoxText(form, 0), "Joy 8");
    step = continueJoystickCapture(form, {JoystickStatus::ok, 1});
    EXPECT_EQ(step.result, CaptureResult::failed);
    EXPECT_EQ(step.title, "");
    EXPECT_EQ(form.settings.joyButtons[0], 8);
}

// Start does nothing without a ROM, stops when the settings cannot be written, and is watched
// until the emulator ends or the watch's time is up.
TEST_F(CentreCore, StartWritesTheSettingsFirstAndIsWatched) {
    writeFile("game.gba", header("GAME", "CODE"));
    writeFile("Quarvend", "#!/bin/sh\nsleep 30\n");
    fs::permissions("Quarvend", fs::perms::owner_exec, fs::perm_options::add);
    CentreForm form;
    EmulatorLaunch launch = startEmulator(form, ".");
    EXPECT_FALSE(launch.started);
    EXPECT_EQ(launch.message, "");
    EXPECT_FALSE(fs::exists("Quarvend.CFG"));

    SaveMethodTable methods;
    clearSaveMethodTable(methods);
    chooseRom(form, methods, "game.gba");
    fs::create_directory("Quarvend.CFG");
    launch = startEmulator(form, ".");
    EXPECT_FALSE(launch.started);
    EXPECT_EQ(launch.message.rfind("Quarvend.CFG could not be written", 0), 0u);
    fs::remove("Quarvend.CFG");

    launch = startEmulator(form, ".");
    ASSERT_TRUE(launch.started) << launch.message;
    EXPECT_EQ(readTextFile("Quarvend.CFG"), formConfigText(form));
    EmulatorWatch watch = watchEmulator(launch.program, 10);
    EXPECT_FALSE(watch.over);
    watch = watchEmulator(launch.program, launchWatchMilliseconds);
    EXPECT_TRUE(watch.over);
    EXPECT_EQ(watch.message, "");
    ::kill(static_cast<pid_t>(launch.program.id), SIGKILL);
    for (int i = 0; i < 200 && !watch.message.size(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        watch = watchEmulator(launch.program, 10);
    }
    EXPECT_TRUE(watch.over);
    EXPECT_EQ(watch.message.rfind("Quarvend was ended by signal 9.", 0), 0u);
}

TEST(KeyCodes, VirtualKeysGiveTheEmulatorsCodesAndNames) {
    struct Key {
        int virtualKey;
        bool keypad;
        int code;
        const char* name;
    };
    const Key keys[] = {
        {13, false, 0x1C, "Enter"},   {13, true, 0x9C, "NumEnter"}, {33, false, 0xC9, "PgUp"},
        {36, false, 0xC7, "Home"},    {36, true, 0x47, "Num7"},     {38, false, 0xC8, "Up"},
        {40, false, 0xD0, "Down"},    {45, false, 0xD2, "Ins"},     {46, false, 0xD3, "Del"},
        {65, false, 0x1E, "A"},       {90, false, 0x2C, "Z"},       {96, false, 0x52, "Num0"},
        {97, false, 0x4F, "Num1"},    {110, false, 0x53, "Num."},   {186, false, 0x27, ";"},
        {187, false, 0x0D, "="},      {222, false, 0x28, "'"},      {8, false, 0x0E, "Backspace"},
        {32, false, 0x39, "Space"},   {9, false, 0x0F, "Tab"},      {16, false, 0x2A, "LShift"},
        {160, false, 0x2A, "LShift"}, {161, false, 0x36, "RShift"}, {17, false, 0x1D, "LCtrl"},
        {163, false, 0x9D, "RCtrl"},  {165, false, 0xB8, "RAlt"},   {49, false, 0x02, "1"},
        {48, false, 0x0B, "0"},       {116, false, 0x3F, "F5"},     {123, false, 0x58, "F12"},
        {111, false, 0xB5, "Num/"},   {27, false, 0x01, "Esc"},     {300, false, 0, ""},
        {173, false, 0, ""},
    };
    for (const Key& key : keys) {
        const int code = TranslateDIK(static_cast<std::uint16_t>(key.virtualKey), key.keypad);
        EXPECT_EQ(code, key.code) << "virtual key " << key.virtualKey;
        EXPECT_EQ(TranslateSTR(code), key.name) << "virtual key " << key.virtualKey;
    }
    EXPECT_EQ(TranslateSTR(0x54), "");
    EXPECT_EQ(TranslateSTR(256), "");
}

// One list of codes: the SDL host sends exactly the listed keys, and each has a virtual key
// the settings program captures it by, and its own name.
TEST(KeyCodes, TheHostsAndTheSettingsProgramShareOneList) {
    std::set<int> fromSdl;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (u8 code = setOneCodeOfScancode(static_cast<SDL_Scancode>(scancode))) {
            fromSdl.insert(code);
        }
    }
    std::set<int> listed;
    std::set<std::string> names;
    for (const DikKey& key : dikKeys) {
        listed.insert(key.code);
        names.insert(key.name);
    }
    EXPECT_EQ(fromSdl, listed);
    EXPECT_EQ(names.size(), listed.size());
    std::set<int> capturable;
    for (int virtualKey = 0; virtualKey < 256; ++virtualKey) {
        for (bool keypad : {false, true}) {
            capturable.insert(TranslateDIK(static_cast<std::uint16_t>(virtualKey), keypad));
        }
    }
    capturable.erase(0);
    EXPECT_EQ(capturable, listed);
}

TEST(KeyCodes, RefusedKeysKeepTheButtonsKey) {
    CentreForm form;
    form.settings.keyCodes[0] = 0xC8;
    EXPECT_EQ(takeKey(form, 0, 27, false), "Escape ends Quarvend, so it cannot be a button");
    EXPECT_EQ(takeKey(form, 0, 173, false), "Quarvend cannot read that key: Up keeps its key");
    EXPECT_EQ(form.settings.keyCodes[0], 0xC8);
    EXPECT_EQ(takeKey(form, 0, 9, false), "");
    EXPECT_EQ(keyBoxText(form, 0), "Tab");
}

TEST(Joystick, ButtonNumbers) {
    EXPECT_EQ(joystickButtonNumber(0b1), 1);
    EXPECT_EQ(joystickButtonNumber(0b1000), 4);
    EXPECT_EQ(joystickButtonNumber(0b11), 3);  // log2(3) + 1 = 2.58
    EXPECT_EQ(joystickButtonNumber(0b110), 4); // 3.58
    EXPECT_EQ(joystickButtonNumber(0x80000000u), 32);
    EXPECT_EQ(joystickButtonNumber(0), 0);
}

// A FIFO counts as missing: reading returns at once and the FIFO is left as it is.
TEST_F(CentreCore, SpecialFilesAreMissingAndNeverReplaced) {
    ASSERT_EQ(::mkfifo("Quarvend.CFG", 0600), 0);
    ASSERT_EQ(::mkfifo("RIDIravu.DAT", 0600), 0);
    ASSERT_EQ(::mkfifo("game.gba", 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    CentreForm form;
    EXPECT_EQ(readConfig(form), "Quarvend.CFG could not be written (not a regular file): the "
                                "settings were not saved");
    EXPECT_EQ(formConfigText(form), firstFile);
    SaveMethodTable table;
    EXPECT_NE(readSaveMethodList(table).find("not a regular file"), std::string::npos);
    EXPECT_EQ(inspectRomFile("game.gba").state, RomFileState::unreadable);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(fs::is_fifo("Quarvend.CFG"));

    // Through a link to a regular file the file is written; a link to a FIFO is refused.
    fs::remove("Quarvend.CFG");
    writeFile("real.cfg", "old");
    fs::create_symlink("real.cfg", "Quarvend.CFG");
    EXPECT_EQ(writeConfig(form), "");
    EXPECT_TRUE(fs::is_symlink("Quarvend.CFG"));
    EXPECT_EQ(readTextFile("real.cfg"), firstFile);
    fs::remove("Quarvend.CFG");
    fs::create_symlink("game.gba", "Quarvend.CFG");
    EXPECT_NE(writeConfig(form), "");
    EXPECT_TRUE(fs::is_fifo("game.gba"));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 4);
}

TEST_F(CentreCore, FoldersPatternsAndTypedPaths) {
    fs::create_directories("roms/Zeta");
    fs::create_directories("roms/alpha");
    fs::create_directories("roms/.hidden");
    for (const char* name : {"b.GBA", "a.gba", "c.bin", "d.txt", ".e.gba"}) {
        writeFile(fs::path("roms") / name, "x");
    }
    const FolderListing listing = listFolder("roms");
    ASSERT_TRUE(listing.readable);
    EXPECT_EQ(listing.folders, (std::vector<std::string>{"alpha", "Zeta"}));
    EXPECT_EQ(listing.files, (std::vector<std::string>{"a.gba", "b.GBA", "c.bin", "d.txt"}));
    EXPECT_FALSE(listFolder("nowhere").readable);

    EXPECT_TRUE(matchesPattern("b.GBA", "*.BIN;*.GBA"));
    EXPECT_TRUE(matchesPattern("c.bin", "*.BIN; *.GBA"));
    EXPECT_FALSE(matchesPattern("d.txt", "*.BIN;*.GBA"));
    EXPECT_FALSE(matchesPattern("e.bin.txt", "*.BIN"));
    EXPECT_TRUE(matchesPattern("game1.gba", "game?.*"));
    EXPECT_EQ(filePattern(false, false, "*.BIN"), "*.BIN");
    EXPECT_EQ(filePattern(true, true, "*.BIN"), "*.BIN;*.GBA");

    const std::string here = fs::current_path().string();
    const std::vector<std::string> chain = foldersDownTo(here + "/roms/");
    EXPECT_EQ(chain.front(), "/");
    EXPECT_EQ(chain.back(), here + "/roms");

    TypedPath typed = resolveTypedPath("  \"roms/a.gba\" ", here);
    EXPECT_TRUE(typed.found);
    EXPECT_EQ(typed.folder, here + "/roms");
    EXPECT_EQ(typed.fileName, "a.gba");
    typed = resolveTypedPath("file://" + here + "/roms/Zeta/", "/");
    EXPECT_EQ(typed.folder, here + "/roms/Zeta");
    EXPECT_EQ(typed.fileName, "");
    fs::create_directories("my roms");
    EXPECT_EQ(resolveTypedPath("file://" + here + "/my%20roms", "/").folder, here + "/my roms");
    EXPECT_FALSE(resolveTypedPath("roms/none.gba", here).found);
    EXPECT_FALSE(resolveTypedPath("", here).found);
}

TEST_F(CentreCore, LaunchedEmulatorThatEndsAtOnceIsExplained) {
    static_assert(exitRomNotOpened == 2 && exitInputFailed == 3 && exitSoundFailed == 4 &&
                  exitDisplayFailed == 5 && exitWindowFailed == 7);
    writeFile("game.gba", header("GAME", "CODE"));
    writeFile("Quarvend", "#!/bin/sh\nprintf '\\nAll fine\\nFail to create sound\\n' > DBUG.txt\n"
                          "printf '%s\\n' \"$#\" \"$1\" > args.txt\nexit 4\n");
    fs::permissions("Quarvend", fs::perms::owner_exec, fs::perm_options::add);
    CentreForm form;
    form.romPath = "game.gba";
    EmulatorLaunch launch = launchEmulator(form, ".");
    ASSERT_TRUE(launch.started) << launch.message;
    ProgramEnd end;
    for (int i = 0; i < 200 && !end.ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        end = checkProgram(launch.program);
    }
    ASSERT_TRUE(end.ended);
    EXPECT_EQ(end.code, 4);
    EXPECT_EQ(checkProgram(launch.program).code, 4);
    EXPECT_EQ(readTextFile("args.txt"), "1\ngame.gba\n");
    EXPECT_EQ(emulatorEndMessage(end),
              "Quarvend ended at once with exit code 4: the sound output could not be set up."
              "\n\nThe end of DBUG.txt:\nAll fine\nFail to create sound\n");
    EXPECT_EQ(emulatorEndMessage({true, false, 0}), "");
    EXPECT_EQ(emulatorEndMessage({true, true, 9}).rfind("Quarvend was ended by signal 9.", 0), 0u);

    launch = launchEmulator(form, "nowhere");
    EXPECT_FALSE(launch.started);
    EXPECT_EQ(launch.message, "nowhere/Quarvend could not be started (No such file or directory)");
    form.romPath = "gone.gba";
    EXPECT_EQ(launchEmulator(form, ".").message,
              "The ROM gone.gba cannot be read (No such file or directory): Quarvend was not "
              "started");
}

} // namespace
