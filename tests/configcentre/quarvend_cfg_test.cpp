// The settings window driven through its controls: first start, the resolution, zoom and
// half-speed rules, reading and writing "Quarvend.CFG", the header panel with the save-method
// lookup, key and joystick capture, and the launch of the emulator.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <fstream>
#include <memory>

#include "configcentre/quarvend_cfg.h"

namespace {

const char* const firstFile =
    "AUTOSKIP=NO\r\nREALGBA=NO\r\nHALFSPEED=NO\r\nENABLESOUND=NO\r\nDISABLEWSCNT=NO\r\n"
    "DISABLEFIFO=NO\r\nDISABLEALPHA=NO\r\nINPUT=GAMEPAD\r\nBOOTFROMBIOS=NO\r\n"
    "SAVEMETHOD=UNKNOWN\r\nKEYUP=0\r\nKEYDOWN=0\r\nKEYLEFT=0\r\nKEYRIGHT=0\r\nKEYA=0\r\n"
    "KEYB=0\r\nKEYSELECT=0\r\nKEYSTART=0\r\nKEYL=0\r\nKEYR=0\r\nJOYA=0\r\nJOYB=0\r\n"
    "JOYSELECT=0\r\nJOYSTART=0\r\nJOYL=0\r\nJOYR=0\r\n \r\n";

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A ROM of the given size whose header holds the title and game code.
void writeRom(const QString& path, qint64 size, const QByteArray& code = "AWRE") {
    QByteArray rom(size, '\0');
    const QByteArray header = QByteArray("QUARVENDTEST") + code + "01";
    for (qint64 i = 0; i < header.size() && 0xA0 + i < size; ++i) {
        rom[0xA0 + i] = header[i];
    }
    if (size > 0xBC) {
        rom[0xB4] = char(0x8A);
        rom[0xBC] = char(0x2);
    }
    writeBytes(path, rom);
}

// A save-method list with the given codes in records 1, 2, ..., then empty records.
QByteArray saveList(const QList<std::pair<QByteArray, int>>& records, int count = 1000) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const auto [code, method] =
            i < records.size() ? records[i] : std::pair<QByteArray, int>("    ", 0);
        text += '"' + code + "\"," + QByteArray::number(method) + "\r\n";
    }
    return text;
}

template <typename Widget>
Widget* control(QWidget* window, const char* name, int index = -1) {
    for (Widget* widget : window->findChildren<Widget*>(QString::fromLatin1(name))) {
        if (index < 0 || widget->property("index").toInt() == index) {
            return widget;
        }
    }
    return nullptr;
}

QColor textColour(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

QColor boxColour(QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}

// Closes the next modal message box and keeps its title and text.
struct MessageBoxCatcher {
    QString title;
    QString text;

    void arm() {
        QTimer::singleShot(10, [this] { closeOrRetry(); });
    }

    void closeOrRetry() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        } else {
            arm();
        }
    }
};

} // namespace

class QuarvendCfgTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        scratch_ = std::make_unique<QTemporaryDir>();
        QVERIFY(scratch_->isValid());
        QVERIFY(QDir::setCurrent(scratch_->path()));
        writeBytes(QStringLiteral("RIDIravu.DAT"),
                   saveList({{"AWRE", 2}, {"V49E", 1}, {"BPEE", 2}, {"U32E", 3}}));
    }

    void cleanup() {
        window_.reset();
        QDir::setCurrent(QDir::tempPath());
        scratch_.reset();
    }

    void firstStartWritesGamepadFileAndShowsIt() {
        open();
        QCOMPARE(readBytes(QStringLiteral("Quarvend.CFG")), QByteArray(firstFile));
        QVERIFY(option("Opt_Controller1", 1)->isChecked());
        QVERIFY(!option("Opt_Controller1", 0)->isChecked());
        for (const char* group : {"Opt_Res", "Opt_Zoom", "Opt_FrameSkip"}) {
            for (int i = 0; i < 3; ++i) {
                QVERIFY(!option(group, i)->isChecked());
            }
        }
        QCOMPARE(box("Txt_Joy", 5)->text(), QStringLiteral("Joy 0"));
        QCOMPARE(box("Txt_Inkey", 0)->text(), QString());
        QVERIFY(check("Chk_DetectSave")->isChecked());
        QVERIFY(!window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QVERIFY(window_->noRomSelected());
        QCOMPARE(window_->statusBar()->currentMessage(), QString());
    }

    void controlsCarryTheirNamesAndCaptions() {
        open();
        QCOMPARE(window_->windowTitle(), QStringLiteral("Quarvend Configuration Center"));
        QCOMPARE(window_->palette().color(QPalette::Window), QColor(192, 192, 192));
        const std::pair<const char*, const char*> checks[] = {
            {"Check_ListBIN", "List .BIN files"},
            {"Check_ListGBA", "List .GBA files"},
            {"Chk_DisableWSCNT", "ROM WaitState Setting Fixed to 4/2 (FASTER!)"},
            {"Chk_DisableColorSF", "Disable All Color Special Effects"},
            {"Chk_DisableFIFO", "Disable GBA DirectSound FIFO Transfer"},
            {"Chk_EnableSound", "Enable Sound Emulation"},
            {"Chk_BootFromBIOS", "Boot from BIOS"},
            {"Chk_DetectSave", "Force Auto Detect Catridge Save Method"},
            {"Chk_AutoFrameSkip", "Enable AutoFrame Skipping"},
            {"Chk_HalfSpeed", "Run in 1/2 speed"},
            {"Chk_RealGBA", "Enable Real GBA Mode(3X and Above)"},
        };
        for (const auto& [name, caption] : checks) {
            QVERIFY2(check(name), name);
            QCOMPARE(check(name)->text(), QString::fromLatin1(caption));
        }
        QCOMPARE(check("Chk_DisableFIFO")->toolTip(),
                 QStringLiteral("Fast/PCM Channel silenced/Some Game may corrupt"));
        QCOMPARE(option("Opt_Res", 2)->text(), QStringLiteral("1024X768"));
        QCOMPARE(option("Opt_Zoom", 0)->text(), QStringLiteral("No Zooming"));
        QCOMPARE(option("Opt_FrameSkip", 3)->text(), QStringLiteral("Frame Skip 3"));
        QCOMPARE(option("Opt_Controller1", 1)->text(), QStringLiteral("GamePad"));
        QCOMPARE(control<QPushButton>(window_.get(), "Command1")->text(),
                 QStringLiteral("Start Quarvend!"));
        QCOMPARE(window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->title(),
                 QStringLiteral("ROM Infomation"));
        for (const char* name :
             {"Drive1", "Dir1", "File1", "Frame1", "Frame3", "Frame_General", "Frame_Video",
              "Frame_Controller", "Lab_CartName", "Lab_ROMSize", "Lab_GameCode", "Lab_MakerCode",
              "Lab_MainUnitCode", "Lab_DeviceType", "Lab_GameVersion", "Label_SaveMethod",
              "Label31", "Label32", "TabStrip1"}) {
            QVERIFY2(window_->findChild<QWidget*>(QString::fromLatin1(name)), name);
        }
        QCOMPARE(window_->findChildren<QLineEdit*>(QStringLiteral("Txt_Inkey")).size(), 10);
        QCOMPARE(window_->findChildren<QLineEdit*>(QStringLiteral("Txt_Joy")).size(), 6);
        QCOMPARE(boxColour(box("Txt_Inkey", 3)), QColor(192, 192, 192));
    }

    void tabsShowOneFrameEach() {
        open();
        auto* tabs = window_->findChild<QTabBar*>(QStringLiteral("TabStrip1"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Controller"));
        const char* frames[] = {"Frame_General", "Frame_Video", "Frame_Controller"};
        for (int selected : {2, 1, 0}) {
            tabs->setCurrentIndex(selected);
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(window_->findChild<QWidget*>(QString::fromLatin1(frames[i]))->isVisible(),
                         i == selected);
            }
        }
    }

    void resolutionLimitsTheZoom() {
        open();
        showTab(1);
        click(option("Opt_Res", 2));
        click(option("Opt_Zoom", 3));
        check("Chk_RealGBA")->setChecked(true);
        QVERIFY(check("Chk_RealGBA")->isEnabled());

        click(option("Opt_Res", 0));
        QVERIFY(option("Opt_Zoom", 1)->isChecked());
        QVERIFY(!option("Opt_Zoom", 2)->isEnabled());
        QVERIFY(!option("Opt_Zoom", 3)->isEnabled());
        QVERIFY(!check("Chk_RealGBA")->isEnabled());
        QVERIFY(!check("Chk_RealGBA")->isChecked());

        click(option("Opt_Res", 2));
        click(option("Opt_Zoom", 3));
        click(option("Opt_Res", 1));
        QVERIFY(option("Opt_Zoom", 2)->isChecked());
        QVERIFY(option("Opt_Zoom", 2)->isEnabled());
        QVERIFY(!option("Opt_Zoom", 3)->isEnabled());
        QVERIFY(check("Chk_RealGBA")->isEnabled());

        click(option("Opt_Res", 2));
        QVERIFY(option("Opt_Zoom", 3)->isEnabled());
        QVERIFY(option("Opt_Zoom", 2)->isChecked());
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).startsWith("RES=2\r\nZOOM=2\r\n"));
    }

    void halfSpeedNeedsAutoFrameSkip() {
        writeBytes(QStringLiteral("Quarvend.CFG"), "AUTOSKIP=YES\r\nHALFSPEED=YES\r\n");
        open();
        showTab(1);
        QVERIFY(check("Chk_HalfSpeed")->isEnabled());
        QVERIFY(check("Chk_HalfSpeed")->isChecked());
        click(check("Chk_AutoFrameSkip"));
        QVERIFY(!check("Chk_HalfSpeed")->isEnabled());
        QVERIFY(!check("Chk_HalfSpeed")->isChecked());
        click(check("Chk_AutoFrameSkip"));
        QVERIFY(check("Chk_HalfSpeed")->isEnabled());
        QVERIFY(!check("Chk_HalfSpeed")->isChecked());

        // A file asking for half speed without automatic skipping gets neither.
        window_.reset();
        writeBytes(QStringLiteral("Quarvend.CFG"), "AUTOSKIP=NO\r\nHALFSPEED=YES\r\n");
        open();
        QVERIFY(!check("Chk_HalfSpeed")->isChecked());
        QVERIFY(!check("Chk_HalfSpeed")->isEnabled());
    }

    void fileSettingsAreShownExactly() {
        writeBytes(QStringLiteral("Quarvend.CFG"),
                   "RES=1\r\nZOOM=2\nSKIP=3\r\nAUTOSKIP=yes\r\nREALGBA=YES\r\nENABLESOUND=YES\r\n"
                   "DISABLEFIFO=YES \r\nINPUT=KEYBOARD\r\nKEYUP=200\r\nKEYA=57\r\nJOYR=7\r\n");
        open();
        QVERIFY(option("Opt_Res", 1)->isChecked());
        QVERIFY(option("Opt_Zoom", 2)->isChecked());
        QVERIFY(option("Opt_FrameSkip", 3)->isChecked());
        QVERIFY(!check("Chk_AutoFrameSkip")->isChecked()); // compared exactly
        QVERIFY(check("Chk_RealGBA")->isChecked());
        QVERIFY(check("Chk_EnableSound")->isChecked());
        QVERIFY(!check("Chk_DisableFIFO")->isChecked());
        QVERIFY(option("Opt_Controller1", 0)->isChecked());
        QCOMPARE(box("Txt_Inkey", 0)->text(), QStringLiteral("Up"));
        QCOMPARE(box("Txt_Inkey", 4)->text(), QString()); // Space has no name
        QCOMPARE(box("Txt_Joy", 5)->text(), QStringLiteral("Joy 7"));
        QVERIFY(window_->writeConfig());
        const QByteArray written = readBytes(QStringLiteral("Quarvend.CFG"));
        QVERIFY(written.startsWith("RES=1\r\nZOOM=2\r\nSKIP=3\r\nAUTOSKIP=NO\r\nREALGBA=YES\r\n"));
        QVERIFY(written.contains("\r\nKEYUP=200\r\n"));
        QVERIFY(written.contains("\r\nKEYA=57\r\n"));
        QVERIFY(written.contains("\r\nJOYR=7\r\n"));
    }

    void outOfRangeLinesAreIgnoredAndNamed() {
        const QByteArray file = "RES=7\r\nZOOM=-1\r\nSKIP=2\r\nKEYA=300\r\nKEYB=45\r\n";
        writeBytes(QStringLiteral("Quarvend.CFG"), file);
        open();
        const QString message = window_->statusBar()->currentMessage();
        QVERIFY2(message.contains(QStringLiteral("RES=7")) &&
                     message.contains(QStringLiteral("ZOOM=-1")) &&
                     message.contains(QStringLiteral("KEYA=300")),
                 qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("SKIP=2")));
        QVERIFY(option("Opt_FrameSkip", 2)->isChecked());
        QCOMPARE(window_->keyCode(4), 0);
        QCOMPARE(window_->keyCode(5), 45);
        QCOMPARE(readBytes(QStringLiteral("Quarvend.CFG")), file);
    }

    void missingOrShortSaveListLeavesMethodsUnknown() {
        QFile::remove(QStringLiteral("RIDIravu.DAT"));
        writeRom(QStringLiteral("game.gba"), 0x400, "AWRE");
        open();
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("RIDIravu.DAT")));
        chooseFile(QStringLiteral("game.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));

        window_.reset();
        writeBytes(QStringLiteral("RIDIravu.DAT"), saveList({{"AWRE", 2}}, 999));
        open();
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("999")));
        chooseFile(QStringLiteral("game.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));
    }

    void fileListMatchesPatternsInAnyCase() {
        for (const char* name : {"a.gba", "b.BIN", "c.Gba", "d.txt", "e.bin.txt"}) {
            writeBytes(QString::fromLatin1(name), "x");
        }
        open();
        QCOMPARE(listed(), QStringList({"a.gba", "b.BIN", "c.Gba"}));
        click(check("Check_ListBIN"));
        QCOMPARE(listed(), QStringList({"a.gba", "c.Gba"}));
        click(check("Check_ListGBA"));
        QCOMPARE(listed(), QStringList({"a.gba", "c.Gba"}));
        click(check("Check_ListBIN"));
        QCOMPARE(listed(), QStringList({"b.BIN"}));
    }

    void directoryListOpensFolders() {
        QVERIFY(QDir().mkpath(QStringLiteral("roms/more")));
        writeBytes(QStringLiteral("roms/x.gba"), "x");
        open();
        auto* dirs = window_->findChild<QListWidget*>(QStringLiteral("Dir1"));
        QList<QListWidgetItem*> found = dirs->findItems(QStringLiteral("roms"), Qt::MatchEndsWith);
        QCOMPARE(found.size(), 1);
        emit dirs->itemActivated(found[0]);
        QCOMPARE(listed(), QStringList({"x.gba"}));
        QVERIFY(!dirs->findItems(QStringLiteral("more"), Qt::MatchEndsWith).isEmpty());
        QVERIFY(!control<QComboBox>(window_.get(), "Drive1")->currentText().isEmpty());
    }

    void headerPanelShowsTheCartridge() {
        writeRom(QStringLiteral("big.gba"), 4194304, "BPEE");
        writeRom(QStringLiteral("half.gba"), 65536, "V49E");
        writeRom(QStringLiteral("mid.gba"), 196608, "U32E");
        open();
        chooseFile(QStringLiteral("big.gba"));
        QVERIFY(window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QVERIFY(!window_->noRomSelected());
        QCOMPARE(label("Lab_ROMSize")->text(), QStringLiteral(" 32Mb"));
        QCOMPARE(label("Lab_CartName")->text(), QStringLiteral("QUARVENDTEST"));
        QCOMPARE(label("Lab_GameCode")->text(), QStringLiteral("BPEE"));
        QCOMPARE(label("Lab_MakerCode")->text(), QStringLiteral("01"));
        QCOMPARE(label("Lab_MainUnitCode")->text(), QStringLiteral("0"));
        QCOMPARE(label("Lab_DeviceType")->text(), QStringLiteral("8A"));
        QCOMPARE(label("Lab_GameVersion")->text(), QStringLiteral("2"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("FlashROM"));
        QCOMPARE(textColour(saveMethodLabel()), QColor(0, 0, 128));
        QVERIFY(check("Chk_DetectSave")->isEnabled());
        QVERIFY(!check("Chk_DetectSave")->isChecked());
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).contains("\r\nSAVEMETHOD=FLASH\r\n"));

        chooseFile(QStringLiteral("half.gba"));
        QCOMPARE(label("Lab_ROMSize")->text(), QStringLiteral("<1Mb"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("SRAM"));
        QCOMPARE(textColour(saveMethodLabel()), QColor(0, 0, 255));
        chooseFile(QStringLiteral("mid.gba"));
        QCOMPARE(label("Lab_ROMSize")->text(), QStringLiteral(" 2Mb"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("EEPROM"));
        QCOMPARE(textColour(saveMethodLabel()), QColor(0, 255, 128));
        // Checking the box again asks the emulator to detect the method itself.
        check("Chk_DetectSave")->setChecked(true);
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).contains("\r\nSAVEMETHOD=UNKNOWN\r\n"));
    }

    void firstListedRecordGivesTheMethod() {
        QList<std::pair<QByteArray, int>> records;
        for (int record = 1; record <= 600; ++record) {
            records.append({"R" + QByteArray::number(record).rightJustified(3, '0'), 1});
        }
        records[2] = {"CODE", 3};
        records[499] = {"CODE", 2};
        writeBytes(QStringLiteral("RIDIravu.DAT"), saveList(records));
        writeRom(QStringLiteral("listed.gba"), 0x400, "CODE");
        writeRom(QStringLiteral("unlisted.gba"), 0x400, "NONE");
        open();
        chooseFile(QStringLiteral("listed.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("EEPROM"));
        chooseFile(QStringLiteral("unlisted.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));
        QCOMPARE(textColour(saveMethodLabel()), QColor(255, 0, 0));
        QVERIFY(!check("Chk_DetectSave")->isEnabled());
        QVERIFY(check("Chk_DetectSave")->isChecked());
    }

    void shortAndEmptyFiles() {
        writeRom(QStringLiteral("a_good.gba"), 0x400, "AWRE");
        writeRom(QStringLiteral("b_short.gba"), 100);
        writeBytes(QStringLiteral("c_empty.gba"), "");
        open();
        chooseFile(QStringLiteral("b_short.gba"));
        QVERIFY(window_->noRomSelected());
        QVERIFY(!window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());

        chooseFile(QStringLiteral("a_good.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("FlashROM"));
        chooseFile(QStringLiteral("c_empty.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));
        QCOMPARE(textColour(saveMethodLabel()), QColor(255, 0, 0));
        QVERIFY(!check("Chk_DetectSave")->isEnabled());
        QVERIFY(check("Chk_DetectSave")->isChecked());
        // The previous cartridge stays on show.
        QVERIFY(window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QCOMPARE(label("Lab_GameCode")->text(), QStringLiteral("AWRE"));
        QVERIFY(!window_->noRomSelected());
    }

    void unreadableRomIsReportedNotFatal() {
        writeRom(QStringLiteral("gone.gba"), 0x400, "AWRE");
        open();
        QFile::remove(QStringLiteral("gone.gba"));
        chooseFile(QStringLiteral("gone.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));
        QVERIFY(window_->noRomSelected());
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("gone.gba")));
    }

    void startBeforeChoosingARomDoesNothing() {
        open();
        QFile::remove(QStringLiteral("Quarvend.CFG"));
        QTest::mouseClick(control<QPushButton>(window_.get(), "Command1"), Qt::LeftButton);
        QVERIFY(!QFile::exists(QStringLiteral("Quarvend.CFG")));
    }

    // The emulator gets the ROM path, spaces and all, as its one argument and runs in the
    // settings program's current directory, where the settings were just written.
    void startLaunchesTheEmulatorOnTheRom() {
        QDir().mkpath(QStringLiteral("my roms"));
        writeRom(QStringLiteral("my roms/a b.gba"), 0x400, "AWRE");
        QDir().mkpath(QStringLiteral("bin"));
        const QString script = QDir::current().filePath(QStringLiteral("bin/Quarvend"));
        writeBytes(script, "#!/bin/sh\n"
                           "{ pwd; printf '%s\\n' \"$#\" \"$@\"; } > launched.tmp\n"
                           "mv launched.tmp launched.txt\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
        open();
        window_->setEmulatorDirectory(QDir::current().filePath(QStringLiteral("bin")));
        showTab(1);
        click(option("Opt_Res", 1));
        auto* dirs = window_->findChild<QListWidget*>(QStringLiteral("Dir1"));
        emit dirs->itemActivated(dirs->findItems(QStringLiteral("my roms"), Qt::MatchEndsWith)[0]);
        chooseFile(QStringLiteral("a b.gba"));
        QTest::mouseClick(control<QPushButton>(window_.get(), "Command1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("launched.txt")), 10000);
        const QString expected = QDir::currentPath() + QStringLiteral("\n1\n") +
                                 QDir::currentPath() + QStringLiteral("/my roms/a b.gba\n");
        QCOMPARE(QString::fromLocal8Bit(readBytes(QStringLiteral("launched.txt"))), expected);
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).startsWith("RES=1\r\n"));
    }

    void missingEmulatorIsReported() {
        writeRom(QStringLiteral("game.gba"), 0x400);
        open();
        window_->setEmulatorDirectory(QDir::current().filePath(QStringLiteral("nowhere")));
        chooseFile(QStringLiteral("game.gba"));
        QTest::mouseClick(control<QPushButton>(window_.get(), "Command1"), Qt::LeftButton);
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("Quarvend")));
    }

    void keysAreTakenOnRelease_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("Up") << int{Qt::Key_Up} << 0 << 200 << "Up";
        QTest::newRow("Z") << int{Qt::Key_Z} << 0 << 44 << "Z";
        QTest::newRow("main-row 1") << int{Qt::Key_1} << 0 << 0 << "";
        QTest::newRow("keypad 1") << int{Qt::Key_1} << int{Qt::KeypadModifier} << 79 << "Num1";
        QTest::newRow("semicolon") << int{Qt::Key_Semicolon} << 0 << 39 << ";";
        // Shift is released last, and Shift has no code.
        QTest::newRow("shifted A") << int{Qt::Key_A} << int{Qt::ShiftModifier} << 0 << "";
        QTest::newRow("keypad point")
            << int{Qt::Key_Period} << int{Qt::KeypadModifier} << 83 << "Num.";
        QTest::newRow("Space") << int{Qt::Key_Space} << 0 << 0 << "";
    }

    void keysAreTakenOnRelease() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        writeBytes(QStringLiteral("Quarvend.CFG"), "INPUT=KEYBOARD\r\nKEYB=45\r\n");
        open();
        showTab(2);
        QLineEdit* keyBox = box("Txt_Inkey", 5);
        QCOMPARE(keyBox->text(), QStringLiteral("X"));
        const auto mods = Qt::KeyboardModifiers(modifiers);
        QTest::keyPress(keyBox, Qt::Key(key), mods);
        QCOMPARE(keyBox->text(), QString()); // cleared while the key is down
        QCOMPARE(window_->keyCode(5), 45);
        QTest::keyRelease(keyBox, Qt::Key(key), mods);
        QCOMPARE(window_->keyCode(5), code);
        QTEST(keyBox->text(), "name");
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG"))
                    .contains("\r\nKEYB=" + QByteArray::number(code) + "\r\n"));
    }

    void keyBoxesTurnWhileFocused() {
        open();
        showTab(2);
        activate();
        QLineEdit* up = box("Txt_Inkey", 0);
        QLineEdit* down = box("Txt_Inkey", 1);
        up->setFocus(Qt::TabFocusReason);
        QCOMPARE(boxColour(up), QColor(255, 255, 255));
        // A Tab released in the next box is not taken as its key.
        QTest::keyRelease(down, Qt::Key_Tab);
        down->setFocus(Qt::TabFocusReason);
        QTest::keyRelease(down, Qt::Key_Tab);
        QCOMPARE(boxColour(up), QColor(192, 192, 192));
        QCOMPARE(boxColour(down), QColor(255, 255, 255));
        QCOMPARE(window_->keyCode(1), 0);
        QTest::keyClick(down, Qt::Key_Down);
        QCOMPARE(window_->keyCode(1), 208);
    }

    void joystickButtonsAreCaptured() {
        open();
        showTab(2);
        activate();
        std::deque<std::uint32_t> masks = {0, 0, 0, 0b11};
        window_->setJoystickReader([&masks] {
            std::uint32_t mask = masks.size() > 1 ? masks.front() : masks.back();
            if (masks.size() > 1) {
                masks.pop_front();
            }
            return JoystickReading{JoystickStatus::ok, mask};
        });
        QLineEdit* start = box("Txt_Joy", 3);
        start->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(start->text(), QStringLiteral("Joy 3"));
        QCOMPARE(window_->joyButton(3), 3);
        QCOMPARE(boxColour(start), QColor(192, 192, 192));

        masks = {1u << 3};
        QLineEdit* l = box("Txt_Joy", 4);
        l->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(window_->joyButton(4), 4);
        QCOMPARE(l->text(), QStringLiteral("Joy 4"));
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).contains("\r\nJOYSTART=3\r\nJOYL=4\r\n"));
    }

    void joystickFailuresAreShown_data() {
        QTest::addColumn<int>("firstStatus");
        QTest::addColumn<int>("laterStatus");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("none at start")
            << int(JoystickStatus::unplugged) << int(JoystickStatus::unplugged)
            << "Fail to initialize joystick"
            << "Your joystick has not been installed correctly!";
        QTest::newRow("no driver at start")
            << int(JoystickStatus::noDriver) << int(JoystickStatus::noDriver)
            << "Fail to initialize joystick"
            << "Your joystick has not been installed correctly!";
        QTest::newRow("pulled out while waiting")
            << int(JoystickStatus::ok) << int(JoystickStatus::unplugged)
            << QStringLiteral("读取游戏杆状态失败")
            << QStringLiteral("游戏杆没有正确连接到接口上！");
        QTest::newRow("driver lost while waiting")
            << int(JoystickStatus::ok) << int(JoystickStatus::noDriver)
            << QStringLiteral("读取游戏杆状态失败")
            << QStringLiteral("您的游戏控制器驱动安装不正确！");
    }

    void joystickFailuresAreShown() {
        QFETCH(int, firstStatus);
        QFETCH(int, laterStatus);
        writeBytes(QStringLiteral("Quarvend.CFG"), "JOYA=2\r\n");
        open();
        showTab(2);
        activate();
        int reads = 0;
        window_->setJoystickReader([&] {
            const int status = reads++ == 0 ? firstStatus : laterStatus;
            return JoystickReading{JoystickStatus(status), 0};
        });
        MessageBoxCatcher catcher;
        catcher.arm();
        box("Txt_Joy", 0)->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!catcher.title.isEmpty());
        QTEST(catcher.title, "title");
        QTEST(catcher.text, "text");
        QCOMPARE(window_->joyButton(0), 2);
        QCOMPARE(box("Txt_Joy", 0)->text(), QStringLiteral("Joy 2"));
    }

    void closingWritesTheSettings() {
        open();
        showTab(0);
        click(check("Chk_EnableSound"));
        window_->close();
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).contains("\r\nENABLESOUND=YES\r\n"));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("Quarvend")),
                 QStringList({"Quarvend.CFG"}));
    }

    // A file that cannot be replaced is reported and left as it was.
    void failedWriteKeepsTheOldFile() {
        open();
        const QByteArray before = readBytes(QStringLiteral("Quarvend.CFG"));
        QFile::remove(QStringLiteral("Quarvend.CFG"));
        QVERIFY(QDir().mkdir(QStringLiteral("Quarvend.CFG")));
        QVERIFY(!window_->writeConfig());
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("Quarvend.CFG")));
        QVERIFY(QFileInfo(QStringLiteral("Quarvend.CFG")).isDir());
        QVERIFY(!before.isEmpty());
    }

  private:
    void open() {
        window_ = std::make_unique<QuarvendCfg>();
        window_->resize(900, 600);
        window_->show();
    }

    void activate() {
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void showTab(int index) {
        window_->findChild<QTabBar*>(QStringLiteral("TabStrip1"))->setCurrentIndex(index);
    }

    // Radio buttons and check boxes react to a click on their indicator or caption only, which
    // fill a part of their width that depends on the style.
    static void click(QAbstractButton* button) { button->click(); }

    void chooseFile(const QString& name) {
        auto* files = window_->findChild<QListWidget*>(QStringLiteral("File1"));
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(found[0]).center());
        QCOMPARE(files->currentItem(), found[0]);
    }

    QStringList listed() const {
        QStringList names;
        auto* files = window_->findChild<QListWidget*>(QStringLiteral("File1"));
        for (int i = 0; i < files->count(); ++i) {
            names.append(files->item(i)->text());
        }
        return names;
    }

    QRadioButton* option(const char* name, int index) const {
        return control<QRadioButton>(window_.get(), name, index);
    }
    QCheckBox* check(const char* name) const { return control<QCheckBox>(window_.get(), name); }
    QLineEdit* box(const char* name, int index) const {
        return control<QLineEdit>(window_.get(), name, index);
    }
    QLabel* label(const char* name) const { return control<QLabel>(window_.get(), name); }
    QLabel* saveMethodLabel() const { return label("Label_SaveMethod"); }

    std::unique_ptr<QTemporaryDir> scratch_;
    std::unique_ptr<QuarvendCfg> window_;
};

QTEST_MAIN(QuarvendCfgTest)
#include "quarvend_cfg_test.moc"
