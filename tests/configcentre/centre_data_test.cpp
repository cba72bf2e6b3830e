// The settings program's file formats and tables, without the window: the configuration
// writer and line reader (checked against the emulator's own reader), the save-method list,
// the cartridge header, the key-code tables and the joystick button number.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <fstream>

#include "common/settings.h"
#include "configcentre/config_text.h"
#include "configcentre/joystick.h"
#include "configcentre/key_codes.h"
#include "configcentre/rom_header.h"
#include "configcentre/save_method_list.h"
#include "shell/config_file.h"

namespace {

void writeBytes(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
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

} // namespace

class CentreData : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        QVERIFY(scratch_.isValid());
        QVERIFY(QDir::setCurrent(scratch_.path()));
    }

    void firstFileHasNoOptionLinesAndGamepadInput() {
        const std::string expected =
            "AUTOSKIP=NO\r\nREALGBA=NO\r\nHALFSPEED=NO\r\nENABLESOUND=NO\r\nDISABLEWSCNT=NO\r\n"
            "DISABLEFIFO=NO\r\nDISABLEALPHA=NO\r\nINPUT=GAMEPAD\r\nBOOTFROMBIOS=NO\r\n"
            "SAVEMETHOD=UNKNOWN\r\nKEYUP=0\r\nKEYDOWN=0\r\nKEYLEFT=0\r\nKEYRIGHT=0\r\nKEYA=0\r\n"
            "KEYB=0\r\nKEYSELECT=0\r\nKEYSTART=0\r\nKEYL=0\r\nKEYR=0\r\nJOYA=0\r\nJOYB=0\r\n"
            "JOYSELECT=0\r\nJOYSTART=0\r\nJOYL=0\r\nJOYR=0\r\n \r\n";
        QCOMPARE(configText(CentreSettings{}), expected);
    }

    void everySettingIsWrittenInItsPlace() {
        CentreSettings all;
        all.resolution = 2;
        all.zoom = 3;
        all.frameSkip = 1;
        all.autoSkip = all.realGba = all.halfSpeed = all.enableSound = true;
        all.disableWscnt = all.disableFifo = all.disableAlpha = all.bootFromBios = true;
        all.keyboardInput = true;
        all.saveMethod = 2;
        for (int i = 0; i < centreKeyCount; ++i) {
            all.keyCodes[i] = 100 + i;
        }
        for (int i = 0; i < centreJoyCount; ++i) {
            all.joyButtons[i] = 1 + i;
        }
        const std::string text = configText(all);
        QVERIFY(text.starts_with("RES=2\r\nZOOM=3\r\nSKIP=1\r\nAUTOSKIP=YES\r\nREALGBA=YES\r\n"));
        QVERIFY(text.find("INPUT=KEYBOARD\r\nBOOTFROMBIOS=YES\r\nSAVEMETHOD=FLASH\r\nKEYUP=100\r\n"
                          "KEYDOWN=101\r\nKEYLEFT=102\r\nKEYRIGHT=103\r\nKEYA=104\r\nKEYB=105\r\n"
                          "KEYSELECT=106\r\nKEYSTART=107\r\nKEYL=108\r\nKEYR=109\r\nJOYA=1\r\n") !=
                std::string::npos);
        QVERIFY(text.ends_with("JOYL=5\r\nJOYR=6\r\n \r\n"));
        all.saveMethod = -1;
        QVERIFY(configText(all).find("SAVEMETHOD") == std::string::npos);
    }

    // The emulator's reader must see what the window meant: the centre's key order (A, B,
    // Select, Start) differs from the emulator's button numbering (Select, Start, A, B).
    void emulatorReadsTheWrittenFile() {
        CentreSettings keyboard = defaultCentreSettings();
        keyboard.resolution = 1;
        keyboard.zoom = 2;
        keyboard.frameSkip = 3;
        keyboard.autoSkip = keyboard.realGba = true;
        keyboard.saveMethod = 3;
        writeBytes(QStringLiteral("Quarvend.CFG"), configText(keyboard));
        std::memset(&settings, 0, sizeof settings);
        QCOMPARE(readConfigFile(), 1);
        QCOMPARE(settings.resolutionWidth, 800u);
        QCOMPARE(settings.zoom, 3u);
        QCOMPARE(settings.frameSkip, 3u);
        QCOMPARE(settings.inputMode, inputKeyboard);
        QVERIFY(settings.autoFrameSkip && settings.realGba && !settings.halfSpeed);
        const u8 expectedCodes[10] = {200, 208, 203, 205, 14, 28, 44, 45, 30, 31};
        QCOMPARE(std::memcmp(settings.buttonCodes, expectedCodes, 10), 0);
        QCOMPARE(keyMap[200], u8{buttonUp});
        QCOMPARE(keyMap[44], u8{buttonA});
        QCOMPARE(keyMap[14], u8{buttonSelect});

        CentreSettings gamepad;
        gamepad.joyButtons[0] = 4; // A
        gamepad.joyButtons[2] = 2; // Select
        writeBytes(QStringLiteral("Quarvend.CFG"), configText(gamepad));
        std::memset(&settings, 0, sizeof settings);
        readConfigFile();
        QCOMPARE(settings.inputMode, inputJoystick);
        QCOMPARE(settings.buttonCodes[buttonA - 1], u8{3});
        QCOMPARE(settings.buttonCodes[buttonSelect - 1], u8{1});
    }

    void linesOutOfRangeAreMarked_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("outOfRange");
        QTest::newRow("RES=7") << "RES=7" << int{configKeyRes} << 0 << true;
        QTest::newRow("RES=2") << "RES=2" << int{configKeyRes} << 2 << false;
        QTest::newRow("RES=1.5 rounds to even") << "RES=1.5" << int{configKeyRes} << 2 << false;
        QTest::newRow("ZOOM=2.5 rounds to even") << "ZOOM=2.5" << int{configKeyZoom} << 2 << false;
        QTest::newRow("ZOOM=-1") << "ZOOM=-1" << int{configKeyZoom} << 0 << true;
        QTest::newRow("ZOOM=4") << "ZOOM=4" << int{configKeyZoom} << 0 << true;
        QTest::newRow("SKIP empty") << "SKIP=" << int{configKeySkip} << 0 << false;
        QTest::newRow("KEYA=255") << "KEYA=255" << int{configKeyA} << 255 << false;
        QTest::newRow("KEYA=256") << "KEYA=256" << int{configKeyA} << 0 << true;
        QTest::newRow("KEYA=57 trailing text") << "KEYA= 57x" << int{configKeyA} << 57 << false;
        QTest::newRow("KEYR huge") << "KEYR=99999999999999999999" << int{configKeyR} << 0 << true;
        QTest::newRow("JOYR=32") << "JOYR=32" << int{configJoyR} << 32 << false;
        QTest::newRow("JOYR=33") << "JOYR=33" << int{configJoyR} << 0 << true;
        QTest::newRow("AUTOSKIP=yes is off")
            << "AUTOSKIP=yes" << int{configKeyAutoSkip} << 0 << false;
        QTest::newRow("AUTOSKIP=YES") << "AUTOSKIP=YES" << int{configKeyAutoSkip} << 1 << false;
        QTest::newRow("INPUT=KEYBOARD") << "INPUT=KEYBOARD" << int{configKeyInput} << 0 << false;
        QTest::newRow("INPUT=keyboard") << "INPUT=keyboard" << int{configKeyInput} << 1 << false;
        QTest::newRow("SAVEMETHOD ignored")
            << "SAVEMETHOD=SRAM" << int{configKeyNone} << 0 << false;
        QTest::newRow("DETECTSAVE ignored") << "DETECTSAVE=S" << int{configKeyNone} << 0 << false;
        QTest::newRow("no equals sign") << " " << int{configKeyNone} << 0 << false;
        QTest::newRow("lower-case key") << "res=1" << int{configKeyNone} << 0 << false;
    }

    void linesOutOfRangeAreMarked() {
        QFETCH(QString, line);
        const CentreLine parsed = parseCentreLine(line.toStdString());
        QTEST(int{parsed.key}, "key");
        QTEST(parsed.value, "value");
        QTEST(parsed.outOfRange, "outOfRange");
    }

    void shippedListHoldsTheTableCodesThenEmptyRecords() {
        const std::string csv = readBytes(QStringLiteral(QUARVEND_SAVE_TYPES_CSV));
        std::vector<SaveMethodRecord> codes;
        std::string error;
        QVERIFY2(parseSaveTypesCsv(csv, codes, error), error.c_str());
        QVERIFY(codes.size() > 100 && codes.size() <= 800);

        SaveMethodTable table;
        const SaveMethodListRead read =
            parseSaveMethodList(readBytes(QStringLiteral(QUARVEND_SAVE_METHOD_LIST)), table);
        QCOMPARE(read.records, saveMethodRecordCount);
        QVERIFY(!read.malformed);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            QCOMPARE(table[i].code, codes[i].code);
            QCOMPARE(table[i].method, codes[i].method);
            QCOMPARE(lookUpSaveMethod(table, codes[i].code), codes[i].method);
        }
        for (std::size_t i = codes.size(); i < table.size(); ++i) {
            QCOMPARE(table[i].code, std::string(emptyGameCode));
        }
        QCOMPARE(table[0].code, std::string("AWRE"));
        QCOMPARE(lookUpSaveMethod(table, "AWRE"), 2);
        QCOMPARE(lookUpSaveMethod(table, "ZZZZ"), 0);
    }

    void firstListedRecordWins() {
        SaveMethodTable table;
        const std::string text = listOf(1000, [](int record) -> std::pair<std::string, int> {
            if (record == 3) {
                return {"BPEE", 2};
            }
            if (record == 500) {
                return {"BPEE", 1};
            }
            return {record < 600 ? "C" + std::to_string(record) : "    ", 3};
        });
        QCOMPARE(parseSaveMethodList(text, table).records, 1000);
        QCOMPARE(lookUpSaveMethod(table, "BPEE"), 2);
        QCOMPARE(lookUpSaveMethod(table, "C4  "), 3);
        QCOMPARE(lookUpSaveMethod(table, "C599"), 3);
    }

    // A list with no empty record ends its lookup at the last record.
    void lookupStopsAtTheLastRecord() {
        SaveMethodTable table;
        const std::string text = listOf(1000, [](int record) -> std::pair<std::string, int> {
            return {"X" + std::to_string(record), 1};
        });
        QCOMPARE(parseSaveMethodList(text, table).records, 1000);
        QCOMPARE(lookUpSaveMethod(table, "X999"), 1);
        QCOMPARE(lookUpSaveMethod(table, "NONE"), 0);
    }

    void freeFormatFields() {
        SaveMethodTable table;
        std::string text = "AB,1\nLONGER,\"2\"\n\n  \"Q,R \" , 3\r\n";
        text += listOf(997, [](int) -> std::pair<std::string, int> { return {"    ", 0}; });
        QCOMPARE(parseSaveMethodList(text, table).records, 1000);
        QCOMPARE(table[0].code, std::string("AB  "));
        QCOMPARE(table[1].code, std::string("LONG"));
        QCOMPARE(table[1].method, 2);
        QCOMPARE(table[2].code, std::string("Q,R "));
        QCOMPARE(table[2].method, 3);
    }

    void shortOrBrokenListLeavesTheTableEmpty() {
        SaveMethodTable table;
        const auto one = [](int) -> std::pair<std::string, int> { return {"AWRE", 2}; };
        SaveMethodListRead read = parseSaveMethodList(listOf(999, one), table);
        QCOMPARE(read.records, 999);
        QCOMPARE(lookUpSaveMethod(table, "AWRE"), 0);

        read = parseSaveMethodList(listOf(5, one) + "\"AXVE\",two\r\n" + listOf(994, one), table);
        QVERIFY(read.malformed);
        QCOMPARE(read.records, 5);
        QCOMPARE(lookUpSaveMethod(table, "AWRE"), 0);
    }

    void badCsvLineIsNamed() {
        std::vector<SaveMethodRecord> codes;
        std::string error;
        QVERIFY(!parseSaveTypesCsv("# comment\ngame_code,method,kind\nAWRE,2,F\nAWR,2,F\n", codes,
                                   error));
        QCOMPARE(error, std::string("line 4: AWR,2,F"));
        QVERIFY(!parseSaveTypesCsv("AWRE,7,F\n", codes, error));
    }

    void sizeTextRoundsHalvesToEven_data() {
        QTest::addColumn<qulonglong>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("4 MB") << qulonglong{4194304} << " 32Mb";
        QTest::newRow("64 KB is half a megabit") << qulonglong{65536} << "<1Mb";
        QTest::newRow("1.5 megabits") << qulonglong{196608} << " 2Mb";
        QTest::newRow("2.5 megabits") << qulonglong{327680} << " 2Mb";
        QTest::newRow("3.5 megabits") << qulonglong{458752} << " 4Mb";
        QTest::newRow("100 bytes") << qulonglong{100} << "<1Mb";
        QTest::newRow("32 MB") << qulonglong{33554432} << " 256Mb";
    }

    void sizeTextRoundsHalvesToEven() {
        QFETCH(qulonglong, bytes);
        QTEST(QString::fromStdString(romSizeText(bytes)), "text");
    }

    void headerFieldsAndShortFiles() {
        std::string rom(0x200, '\0');
        std::memcpy(&rom[0xA0], "POKEMON EMER", 12);
        std::memcpy(&rom[0xAC], "BPEE", 4);
        std::memcpy(&rom[0xB0], "01", 2);
        rom[0xB3] = 0;
        rom[0xB4] = char(0x8A);
        rom[0xBC] = 0x1;
        writeBytes(QStringLiteral("game.gba"), rom);
        RomInspection read = inspectRomFile("game.gba");
        QCOMPARE(int(read.state), int(RomFileState::readable));
        QCOMPARE(read.header.title, std::string("POKEMON EMER"));
        QCOMPARE(read.header.gameCode, std::string("BPEE"));
        QCOMPARE(read.header.makerCode, std::string("01"));
        QCOMPARE(hexText(read.header.mainUnitCode), std::string("0"));
        QCOMPARE(hexText(read.header.deviceType), std::string("8A"));
        QCOMPARE(hexText(read.header.version), std::string("1"));
        QVERIFY(!read.tooShort);

        writeBytes(QStringLiteral("title.gba"), rom.substr(0, 0xAE));
        read = inspectRomFile("title.gba");
        QVERIFY(!read.tooShort);
        QCOMPARE(read.header.gameCode, std::string("BP\0\0", 4));

        writeBytes(QStringLiteral("short.gba"), rom.substr(0, 100));
        QVERIFY(inspectRomFile("short.gba").tooShort);
        writeBytes(QStringLiteral("empty.gba"), "");
        QCOMPARE(int(inspectRomFile("empty.gba").state), int(RomFileState::empty));
        QCOMPARE(int(inspectRomFile("missing.gba").state), int(RomFileState::unreadable));
        QVERIFY(QDir().mkdir(QStringLiteral("folder.gba")));
        QCOMPARE(int(inspectRomFile("folder.gba").state), int(RomFileState::unreadable));
    }

    void keyTables_data() {
        QTest::addColumn<int>("virtualKey");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        const struct {
            int virtualKey, code;
            const char* name;
        } keys[] = {
            {13, 28, "Enter"}, {33, 201, "PgUp"}, {34, 209, "PgDn"}, {35, 207, "End"},
            {36, 199, "Home"}, {37, 203, "Left"}, {38, 200, "Up"},   {39, 205, "Right"},
            {40, 208, "Down"}, {45, 210, "Ins"},  {46, 211, "Del"},  {65, 30, "A"},
            {66, 48, "B"},     {77, 50, "M"},     {81, 16, "Q"},     {90, 44, "Z"},
            {96, 82, "Num0"},  {97, 79, "Num1"},  {100, 75, "Num4"}, {105, 73, "Num9"},
            {110, 83, "Num."}, {186, 39, ";"},    {187, 13, "="},    {188, 51, ","},
            {189, 12, "-"},    {190, 52, "."},    {191, 53, "/"},    {219, 26, "["},
            {221, 27, "]"},    {222, 40, "'"},    {49, 0, ""},       {32, 0, ""},
            {9, 0, ""},        {8, 0, ""},        {27, 0, ""},       {16, 0, ""},
            {112, 0, ""},      {106, 0, ""},      {300, 0, ""},
        };
        for (const auto& key : keys) {
            QTest::addRow("vk %d", key.virtualKey)
                << key.virtualKey << key.code << QString::fromLatin1(key.name);
        }
    }

    void keyTables() {
        QFETCH(int, virtualKey);
        QFETCH(int, code);
        QCOMPARE(int{TranslateDIK(static_cast<std::uint16_t>(virtualKey))}, code);
        QTEST(QString::fromStdString(TranslateSTR(code)), "name");
    }

    void namesOfUnsupportedCodesAreEmpty() {
        QCOMPARE(TranslateSTR(57), std::string()); // Space
        QCOMPARE(TranslateSTR(14), std::string()); // Backspace
        QCOMPARE(TranslateSTR(256), std::string());
        QCOMPARE(TranslateSTR(-1), std::string());
    }

    // The file the build places paces by the clock and shows the largest picture.
    void defaultFileFillsTheScreen() {
        writeBytes(QStringLiteral("Quarvend.CFG"), configText(defaultCentreSettings()));
        std::memset(&settings, 0, sizeof settings);
        QCOMPARE(readConfigFile(), 1);
        QVERIFY(settings.autoFrameSkip);
        QCOMPARE(settings.resolutionWidth, 1024u);
        QCOMPARE(settings.zoom, 4u);
    }

    void joystickButtonNumbers() {
        QCOMPARE(joystickButtonNumber(0b1), 1);
        QCOMPARE(joystickButtonNumber(0b1000), 4);
        QCOMPARE(joystickButtonNumber(0b11), 3);  // log2(3) + 1 = 2.58
        QCOMPARE(joystickButtonNumber(0b110), 4); // 3.58
        QCOMPARE(joystickButtonNumber(0x80000000u), 32);
        QCOMPARE(joystickButtonNumber(0), 0);
    }

    // The build places the default file only where none is, and never overwrites settings.
    void defaultConfigNeverReplacesAFile() {
        const QString tool = QStringLiteral(QUARVEND_CENTRE_FILES);
        QFile::remove(QStringLiteral("Quarvend.CFG"));
        QCOMPARE(QProcess::execute(
                     tool, {QStringLiteral("default-config"), QStringLiteral("Quarvend.CFG")}),
                 0);
        QCOMPARE(readBytes(QStringLiteral("Quarvend.CFG")), configText(defaultCentreSettings()));
        writeBytes(QStringLiteral("Quarvend.CFG"), "RES=2\r\n");
        QCOMPARE(QProcess::execute(
                     tool, {QStringLiteral("default-config"), QStringLiteral("Quarvend.CFG")}),
                 0);
        QCOMPARE(readBytes(QStringLiteral("Quarvend.CFG")), std::string("RES=2\r\n"));
        QVERIFY(!QFile::exists(QStringLiteral("Quarvend.CFG.tmp")));
    }

  private:
    QTemporaryDir scratch_;
};

QTEST_GUILESS_MAIN(CentreData)
#include "centre_data_test.moc"
