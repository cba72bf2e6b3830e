// The settings window driven through its controls: the first start, the rules as the controls
// show them, readable disabled controls, reading and writing "Quarvend.CFG" with the lines it
// keeps, the path field and the remembered folder, the header panel with the save method, key
// and joystick capture (read back by the emulator's own reader), and the launch of the
// emulator with its early failures.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <deque>
#include <functional>
#include <memory>

#include "common/settings.h"
#include "configcentre/qt/quarvend_cfg.h"
#include "shell/config_file.h"

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A ROM of the given size whose header holds the title and game code, with the fixed value and
// the complement byte in place.
void writeRom(const QString& path, qint64 size, const QByteArray& code = "AWRE") {
    QByteArray rom(std::max<qint64>(size, 0xC0), '\0');
    const QByteArray header = QByteArray("QUARVENDTEST") + code + "01";
    std::memcpy(rom.data() + 0xA0, header.data(), header.size());
    rom[0xB2] = char(0x96);
    rom[0xB4] = char(0x8A);
    rom[0xBC] = char(0x2);
    unsigned sum = 0;
    for (int i = 0xA0; i < 0xBD; ++i) {
        sum += static_cast<unsigned char>(rom[i]);
    }
    rom[0xBD] = static_cast<char>(0 - sum - 0x19);
    writeBytes(path, rom.left(size));
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

double luminance(QRgb pixel) {
    auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
           0.0722 * linear(qBlue(pixel));
}

// The largest contrast ratio between the background (the widget's right end) and any pixel of
// its caption, which starts after the indicator.
double captionContrast(QAbstractButton* button) {
    const QImage image = button->grab().toImage();
    const double background = luminance(image.pixel(image.width() - 2, image.height() / 2));
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    const QStyle* style = button->style();
    const int captionStart =
        style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth) +
        style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                 : QStyle::PM_CheckBoxLabelSpacing) +
        2;
    double best = 1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = captionStart; x < image.width(); ++x) {
            const double pixel = luminance(image.pixel(x, y));
            best = std::max(best, (std::max(pixel, background) + 0.05) /
                                      (std::min(pixel, background) + 0.05));
        }
    }
    return best;
}

// A desktop's dark theme as the application's palette.
QPalette darkPalette() {
    QPalette dark;
    const QColor window(53, 53, 53);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    }
    return dark;
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
    void initTestCase() {
        // The remembered folder and ROM go to a place of the test's own.
        QVERIFY(settingsFolder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder_.path());
    }

    void init() {
        QSettings(QStringLiteral("Quarvend"), QStringLiteral("QuarvendCfg")).clear();
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

    void firstStartWritesTheShippedFileAndShowsIt() {
        open();
        const QByteArray firstFile = QByteArray::fromStdString(configText(firstStartSettings()));
        QCOMPARE(readBytes(QStringLiteral("Quarvend.CFG")), firstFile);
        QVERIFY(QDir().mkdir(QStringLiteral("built")));
        QCOMPARE(QProcess::execute(
                     QStringLiteral(QUARVEND_CENTRE_FILES),
                     {QStringLiteral("default-config"), QStringLiteral("built/Quarvend.CFG")}),
                 0);
        QCOMPARE(readBytes(QStringLiteral("built/Quarvend.CFG")), firstFile);

        QVERIFY(option("Opt_Controller1", 0)->isChecked());
        QVERIFY(option("Opt_Res", 2)->isChecked());
        QVERIFY(option("Opt_Zoom", 3)->isChecked());
        QVERIFY(option("Opt_FrameSkip", 0)->isChecked());
        QVERIFY(check("Chk_AutoFrameSkip")->isChecked());
        QVERIFY(check("Chk_HalfSpeed")->isEnabled());
        QVERIFY(check("Chk_RealGBA")->isEnabled());
        QVERIFY(!check("Chk_Window")->isChecked());
        QCOMPARE(box("Txt_Inkey", 0)->text(), QStringLiteral("Up"));
        QCOMPARE(box("Txt_Inkey", 6)->text(), QStringLiteral("Backspace"));
        QCOMPARE(box("Txt_Joy", 5)->text(), QStringLiteral("Joy 6"));
        QVERIFY(check("Chk_DetectSave")->isChecked());
        QVERIFY(!window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QVERIFY(window_->form().noRomSelected);
        QCOMPARE(window_->statusBar()->currentMessage(), QString());
        window_->close();
        QCOMPARE(readBytes(QStringLiteral("Quarvend.CFG")), firstFile);
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
            {"Chk_Window", "Play in a window"},
            {"Chk_IntegerScale", "Whole-number scaling only"},
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
        QCOMPARE(control<QPushButton>(window_.get(), "Cmd_Browse")->text(),
                 QStringLiteral("Browse..."));
        QCOMPARE(window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->title(),
                 QStringLiteral("ROM Infomation"));
        for (const char* name :
             {"Drive1",           "Dir1",           "File1",           "Frame1",
              "Frame3",           "Frame_General",  "Frame_Video",     "Frame_Controller",
              "Lab_CartName",     "Lab_ROMSize",    "Lab_GameCode",    "Lab_MakerCode",
              "Lab_MainUnitCode", "Lab_DeviceType", "Lab_GameVersion", "Label_SaveMethod",
              "Label31",          "Label32",        "TabStrip1",       "Txt_Path"}) {
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

    // The rules themselves are the core's; here their effect on the controls and the file.
    void videoRulesReachTheControls() {
        open();
        showTab(1);
        click(option("Opt_Res", 2));
        click(option("Opt_Zoom", 3));
        click(check("Chk_RealGBA"));
        QVERIFY(check("Chk_RealGBA")->isChecked());
        click(option("Opt_Res", 0));
        QVERIFY(option("Opt_Zoom", 1)->isChecked());
        QVERIFY(!option("Opt_Zoom", 3)->isEnabled());
        QVERIFY(!check("Chk_RealGBA")->isEnabled());
        QVERIFY(!check("Chk_RealGBA")->isChecked());
        click(check("Chk_AutoFrameSkip"));
        QVERIFY(!check("Chk_HalfSpeed")->isEnabled());
        click(check("Chk_Window"));
        QVERIFY(window_->writeConfig());
        const QByteArray written = readBytes(QStringLiteral("Quarvend.CFG"));
        QVERIFY(written.startsWith("RES=0\r\nZOOM=1\r\nSKIP=0\r\nAUTOSKIP=NO\r\nREALGBA=NO\r\n"));
        QVERIFY(written.contains("\r\nWINDOW=YES\r\nINTEGERSCALE=NO\r\n"));
    }

    // Fusion with the window's palette, under the default palette and under a dark desktop
    // theme: a disabled caption is greyed, lighter than an enabled one, and still readable.
    void disabledCaptionsStayReadable_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("default palette") << false;
        QTest::newRow("dark desktop theme") << true;
    }

    void disabledCaptionsStayReadable() {
        QFETCH(bool, dark);
        const QString previousStyle = QApplication::style()->name();
        const QPalette previousPalette = QApplication::palette();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        writeBytes(QStringLiteral("Quarvend.CFG"), "AUTOSKIP=NO\r\nZOOM=0\r\n");
        writeRom(QStringLiteral("unlisted.gba"), 0x400, "NONE");
        open();
        chooseFile(QStringLiteral("unlisted.gba"));
        showTab(0);
        QAbstractButton* detect = check("Chk_DetectSave");
        QVERIFY(!detect->isEnabled());
        const double disabledContrast = captionContrast(detect);
        detect->setEnabled(true);
        const double enabledContrast = captionContrast(detect);
        showTab(1);
        QAbstractButton* disabledOnVideo[] = {check("Chk_HalfSpeed"), check("Chk_RealGBA"),
                                              option("Opt_Zoom", 3)};
        QList<double> contrasts = {disabledContrast};
        for (QAbstractButton* button : disabledOnVideo) {
            QVERIFY(!button->isEnabled());
            contrasts.append(captionContrast(button));
        }
        window_.reset();
        QApplication::setPalette(previousPalette);
        QApplication::setStyle(previousStyle);
        for (double contrast : contrasts) {
            QVERIFY2(contrast >= 3.0, qPrintable(QString::number(contrast)));
        }
        QVERIFY2(enabledContrast > disabledContrast * 1.5,
                 qPrintable(QStringLiteral("%1 / %2").arg(enabledContrast).arg(disabledContrast)));
    }

    void fileSettingsAreShownExactly() {
        writeBytes(QStringLiteral("Quarvend.CFG"),
                   "RES=1\r\nZOOM=2\nSKIP=3\r\nAUTOSKIP=yes\r\nREALGBA=YES\r\nENABLESOUND=YES\r\n"
                   "DISABLEFIFO=YES \r\nINPUT=GAMEPAD\r\nKEYUP=200\r\nKEYA=57\r\nKEYB=84\r\n"
                   "JOYR=7\r\nINTEGERSCALE=YES\r\n");
        open();
        QVERIFY(option("Opt_Res", 1)->isChecked());
        QVERIFY(option("Opt_Zoom", 2)->isChecked());
        QVERIFY(option("Opt_FrameSkip", 3)->isChecked());
        QVERIFY(!check("Chk_AutoFrameSkip")->isChecked()); // compared exactly
        QVERIFY(check("Chk_RealGBA")->isChecked());
        QVERIFY(check("Chk_EnableSound")->isChecked());
        QVERIFY(!check("Chk_DisableFIFO")->isChecked());
        QVERIFY(check("Chk_IntegerScale")->isChecked());
        QVERIFY(option("Opt_Controller1", 1)->isChecked());
        QCOMPARE(box("Txt_Inkey", 0)->text(), QStringLiteral("Up"));
        QCOMPARE(box("Txt_Inkey", 4)->text(), QStringLiteral("Space"));
        QCOMPARE(box("Txt_Inkey", 5)->text(), QString()); // no key sends 84
        QCOMPARE(box("Txt_Joy", 5)->text(), QStringLiteral("Joy 7"));
        QVERIFY(window_->writeConfig());
        const QByteArray written = readBytes(QStringLiteral("Quarvend.CFG"));
        QVERIFY(written.startsWith("RES=1\r\nZOOM=2\r\nSKIP=3\r\nAUTOSKIP=NO\r\nREALGBA=YES\r\n"));
        QVERIFY(written.contains("\r\nKEYUP=200\r\n"));
        QVERIFY(written.contains("\r\nKEYA=57\r\nKEYB=84\r\n"));
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
        QCOMPARE(window_->form().settings.keyCodes[4], 0);
        QCOMPARE(window_->form().settings.keyCodes[5], 45);
        QCOMPARE(readBytes(QStringLiteral("Quarvend.CFG")), file);
    }

    // A comment, a key of a newer emulator and DETECTSAVE (the emulator's own name of the save
    // type) survive the window's writes, after its own lines and in their order.
    void unknownLinesAreKeptAcrossAWrite() {
        writeBytes(QStringLiteral("Quarvend.CFG"),
                   "# set up for the arcade cabinet\r\nENABLESOUND=YES\r\nVOLUME=80\r\n"
                   "WINDOW=YES\r\nDETECTSAVE=E\r\n \r\n");
        open();
        QVERIFY(check("Chk_Window")->isChecked());
        click(check("Chk_BootFromBIOS"));
        window_->close();
        const QByteArray written = readBytes(QStringLiteral("Quarvend.CFG"));
        QVERIFY2(written.endsWith("JOYR=0\r\nWINDOW=YES\r\nINTEGERSCALE=NO\r\n"
                                  "# set up for the arcade cabinet\r\nVOLUME=80\r\nDETECTSAVE=E\r\n"
                                  " \r\n"),
                 written.constData());
        QVERIFY(written.contains("\r\nENABLESOUND=YES\r\n"));
        QVERIFY(written.contains("\r\nBOOTFROMBIOS=YES\r\n"));
        QCOMPARE(written.count("\r\n \r\n"), 1);
    }

    void missingOrShortSaveListLeavesMethodsUnknown() {
        QFile::remove(QStringLiteral("RIDIravu.DAT"));
        writeRom(QStringLiteral("game.gba"), 0x400, "AWRE");
        open();
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("RIDIravu.DAT")));
        chooseFile(QStringLiteral("game.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("RIDIravu.DAT")));

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
        emit dirList()->itemActivated(folderItem(QStringLiteral("roms")));
        QCOMPARE(listed(), QStringList({"x.gba"}));
        QVERIFY(!dirList()->findItems(QStringLiteral("more"), Qt::MatchEndsWith).isEmpty());
        QVERIFY(!control<QComboBox>(window_.get(), "Drive1")->currentText().isEmpty());
    }

    // The path field moves the lists; the folder and ROM are there again in the next run; a
    // new folder clears the ROM's details; a folder that cannot be read changes nothing.
    void pathFieldAndTheRememberedFolder() {
        QVERIFY(QDir().mkpath(QStringLiteral("my roms/more")));
        writeRom(QStringLiteral("my roms/game.gba"), 0x400, "BPEE");
        open();
        QLineEdit* path = box("Txt_Path", -1);
        QCOMPARE(path->text(), QDir::currentPath());
        typePath(QStringLiteral("my roms"));
        QCOMPARE(window_->folder(), QDir::current().filePath(QStringLiteral("my roms")));
        QCOMPARE(listed(), QStringList({"game.gba"}));
        typePath(QStringLiteral("no such place"));
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("no such place")));
        QCOMPARE(listed(), QStringList({"game.gba"}));
        typePath(QDir::current().filePath(QStringLiteral("my roms/game.gba")));
        QVERIFY(window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QCOMPARE(label("Lab_GameCode")->text(), QStringLiteral("BPEE"));
        QCOMPARE(window_->statusBar()->currentMessage(), QString());

        window_.reset();
        QVERIFY(QDir().mkdir(QStringLiteral("elsewhere")));
        QVERIFY(QDir::setCurrent(QStringLiteral("elsewhere")));
        open();
        QCOMPARE(window_->folder(), scratch_->filePath(QStringLiteral("my roms")));
        QCOMPARE(fileList()->currentItem()->text(), QStringLiteral("game.gba"));
        QCOMPARE(label("Lab_GameCode")->text(), QStringLiteral("BPEE"));
        QVERIFY(!window_->form().noRomSelected);

        QListWidgetItem* more = folderItem(QStringLiteral("more"));
        QVERIFY(QDir(scratch_->path()).rmdir(QStringLiteral("my roms/more")));
        emit dirList()->itemActivated(more);
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("more")));
        QCOMPARE(listed(), QStringList({"game.gba"}));
        QVERIFY(!window_->form().noRomSelected);
        emit dirList()->itemActivated(folderItem(QFileInfo(scratch_->path()).fileName()));
        QVERIFY(window_->form().noRomSelected);
        QVERIFY(!window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QCOMPARE(saveMethodLabel()->text(), QString());
    }

    void browseOpensTheChosenRom() {
        QVERIFY(QDir().mkpath(QStringLiteral("far/away")));
        writeRom(QStringLiteral("far/away/pick.gba"), 0x400, "U32E");
        open();
        QString filter;
        std::function<void()> pick = [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                QTimer::singleShot(10, pick);
                return;
            }
            filter = dialog->selectedNameFilter();
            dialog->selectFile(QDir::current().filePath(QStringLiteral("far/away/pick.gba")));
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        };
        QTimer::singleShot(10, pick);
        click(control<QPushButton>(window_.get(), "Cmd_Browse"));
        QVERIFY2(filter.contains(QStringLiteral("*.BIN *.GBA")), qPrintable(filter));
        QCOMPARE(window_->folder(), QDir::current().filePath(QStringLiteral("far/away")));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("EEPROM"));
    }

    void headerPanelShowsTheCartridge() {
        writeRom(QStringLiteral("big.gba"), 4194304, "BPEE");
        writeRom(QStringLiteral("half.gba"), 65536, "V49E");
        writeRom(QStringLiteral("mid.gba"), 196608, "U32E");
        open();
        chooseFile(QStringLiteral("big.gba"));
        QVERIFY(window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QVERIFY(!window_->form().noRomSelected);
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
        click(check("Chk_DetectSave"));
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).contains("\r\nSAVEMETHOD=UNKNOWN\r\n"));
    }

    // A text file is no ROM; the demo game is not in the list but carries the save library's
    // "SRAM_V" marker.
    void notAGbaRomAndTheDetectedSaveMethod() {
        writeBytes(QStringLiteral("readme.gba"), QByteArray(400, 'a'));
        QVERIFY(
            QFile::copy(QStringLiteral(QUARVEND_ROM_DIR "/demo.gba"), QStringLiteral("demo.gba")));
        open();
        chooseFile(QStringLiteral("readme.gba"));
        QVERIFY(window_->statusBar()->currentMessage().startsWith(QStringLiteral("Not a GBA ROM")));
        QVERIFY(!window_->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisible());
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));

        chooseFile(QStringLiteral("demo.gba"));
        QCOMPARE(window_->statusBar()->currentMessage(), QString());
        QCOMPARE(label("Lab_CartName")->text(), QStringLiteral("QUARVENDDEMO"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("SRAM (detected)"));
        QVERIFY(check("Chk_DetectSave")->isEnabled());
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).contains("\r\nSAVEMETHOD=SRAM\r\n"));
    }

    void shortAndEmptyFiles() {
        writeRom(QStringLiteral("a_good.gba"), 0x400, "AWRE");
        writeRom(QStringLiteral("b_short.gba"), 100);
        writeBytes(QStringLiteral("c_empty.gba"), "");
        open();
        chooseFile(QStringLiteral("b_short.gba"));
        QVERIFY(window_->form().noRomSelected);
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
        QVERIFY(!window_->form().noRomSelected);
    }

    void unreadableRomIsReportedNotFatal() {
        writeRom(QStringLiteral("gone.gba"), 0x400, "AWRE");
        open();
        QFile::remove(QStringLiteral("gone.gba"));
        chooseFile(QStringLiteral("gone.gba"));
        QCOMPARE(saveMethodLabel()->text(), QStringLiteral("Unknown"));
        QVERIFY(window_->form().noRomSelected);
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
        standInEmulator("{ pwd; printf '%s\\n' \"$#\" \"$@\"; } > launched.tmp\n"
                        "mv launched.tmp launched.txt\n");
        open();
        window_->setEmulatorDirectory(QDir::current().filePath(QStringLiteral("bin")));
        showTab(1);
        click(option("Opt_Res", 1));
        emit dirList()->itemActivated(folderItem(QStringLiteral("my roms")));
        chooseFile(QStringLiteral("a b.gba"));
        QTest::mouseClick(control<QPushButton>(window_.get(), "Command1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("launched.txt")), 10000);
        const QString expected = QDir::currentPath() + QStringLiteral("\n1\n") +
                                 QDir::currentPath() + QStringLiteral("/my roms/a b.gba\n");
        QCOMPARE(QString::fromLocal8Bit(readBytes(QStringLiteral("launched.txt"))), expected);
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).startsWith("RES=1\r\n"));
    }

    // An emulator that ends at once is explained with its log; a ROM gone since it was chosen
    // and a missing emulator are reported instead of starting.
    void startFailuresAreShown() {
        writeRom(QStringLiteral("game.gba"), 0x400);
        standInEmulator("printf '\\nKeyboard initialized\\n\\nFail to create sound\\n' > DBUG.txt\n"
                        "exit 4\n");
        open();
        window_->setEmulatorDirectory(QDir::current().filePath(QStringLiteral("bin")));
        chooseFile(QStringLiteral("game.gba"));
        MessageBoxCatcher catcher;
        catcher.arm();
        QTest::mouseClick(control<QPushButton>(window_.get(), "Command1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!catcher.text.isEmpty(), 10000);
        QCOMPARE(catcher.title, QStringLiteral("Quarvend Configuration Center"));
        QVERIFY2(catcher.text.startsWith(QStringLiteral(
                     "Quarvend ended at once with exit code 4: the sound output could not be "
                     "set up.")),
                 qPrintable(catcher.text));
        QVERIFY(catcher.text.endsWith(QStringLiteral("Fail to create sound\n")));

        catcher = {};
        catcher.arm();
        window_->setEmulatorDirectory(QDir::current().filePath(QStringLiteral("nowhere")));
        QTest::mouseClick(control<QPushButton>(window_.get(), "Command1"), Qt::LeftButton);
        QTRY_VERIFY(!catcher.text.isEmpty());
        QVERIFY(catcher.text.contains(QStringLiteral("nowhere/Quarvend could not be started")));

        catcher = {};
        catcher.arm();
        QFile::remove(QStringLiteral("game.gba"));
        QTest::mouseClick(control<QPushButton>(window_.get(), "Command1"), Qt::LeftButton);
        QTRY_VERIFY(!catcher.text.isEmpty());
        QVERIFY2(catcher.text.contains(QStringLiteral("game.gba cannot be read")),
                 qPrintable(catcher.text));
    }

    void keysAreTakenOnRelease_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("Up") << int{Qt::Key_Up} << 0 << 200 << "Up";
        QTest::newRow("Z") << int{Qt::Key_Z} << 0 << 44 << "Z";
        QTest::newRow("keypad 1") << int{Qt::Key_1} << int{Qt::KeypadModifier} << 79 << "Num1";
        QTest::newRow("keypad End") << int{Qt::Key_End} << int{Qt::KeypadModifier} << 79 << "Num1";
        QTest::newRow("keypad Enter")
            << int{Qt::Key_Enter} << int{Qt::KeypadModifier} << 156 << "NumEnter";
        QTest::newRow("semicolon") << int{Qt::Key_Semicolon} << 0 << 39 << ";";
        // Shift is released last, and Shift is a key of its own.
        QTest::newRow("shifted A") << int{Qt::Key_A} << int{Qt::ShiftModifier} << 42 << "LShift";
        QTest::newRow("keypad point")
            << int{Qt::Key_Period} << int{Qt::KeypadModifier} << 83 << "Num.";
    }

    void keysAreTakenOnRelease() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        open();
        showTab(2);
        QLineEdit* keyBox = box("Txt_Inkey", 5);
        QCOMPARE(keyBox->text(), QStringLiteral("X"));
        const auto mods = Qt::KeyboardModifiers(modifiers);
        QTest::keyPress(keyBox, Qt::Key(key), mods);
        QCOMPARE(keyBox->text(), QString()); // cleared while the key is down
        QCOMPARE(window_->form().settings.keyCodes[5], 45);
        QTest::keyRelease(keyBox, Qt::Key(key), mods);
        QCOMPARE(window_->form().settings.keyCodes[5], code);
        QTEST(keyBox->text(), "name");
    }

    // Backspace (the Select key of a first start), Space, Tab, Shift, the digit row and the
    // function keys reach the file as the emulator's codes, and its reader maps them.
    void everyKeyTheEmulatorReadsCanBeCaptured() {
        open();
        showTab(2);
        activate();
        const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Space, Qt::Key_Tab,
                                Qt::Key_Shift,     Qt::Key_1,     Qt::Key_F5};
        for (int i = 0; i < 6; ++i) {
            box("Txt_Inkey", i)->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(box("Txt_Inkey", i), keys[i]);
            QVERIFY(box("Txt_Inkey", i)->hasFocus()); // Tab is taken, not used to move on
        }
        QCOMPARE(box("Txt_Inkey", 2)->text(), QStringLiteral("Tab"));
        // The right-hand Shift, told by its X11 key symbol.
        QLineEdit* r = box("Txt_Inkey", 9);
        r->setFocus(Qt::MouseFocusReason);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier, 62, 0xFFE2, 0);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier, 62, 0xFFE2, 0);
        QApplication::sendEvent(r, &press);
        QApplication::sendEvent(r, &release);
        QCOMPARE(r->text(), QStringLiteral("RShift"));
        // Escape and a key the emulator cannot read are refused; the box keeps its key.
        QLineEdit* l = box("Txt_Inkey", 8);
        l->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(l, Qt::Key_VolumeMute);
        QCOMPARE(l->text(), QStringLiteral("A"));
        QVERIFY(window_->statusBar()->currentMessage().startsWith(
            QStringLiteral("Quarvend cannot read that key")));
        QTest::keyClick(l, Qt::Key_Escape);
        QCOMPARE(window_->form().settings.keyCodes[8], 30);

        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG"))
                    .contains("KEYUP=14\r\nKEYDOWN=57\r\nKEYLEFT=15\r\nKEYRIGHT=42\r\nKEYA=2\r\n"
                              "KEYB=63\r\nKEYSELECT=14\r\nKEYSTART=28\r\nKEYL=30\r\nKEYR=54\r\n"));
        std::memset(&settings, 0, sizeof settings);
        QCOMPARE(readConfigFile(), 1);
        const std::pair<int, Button> mapped[] = {
            {0x0E, buttonSelect}, {0x39, buttonDown}, {0x0F, buttonLeft}, {0x2A, buttonRight},
            {0x02, buttonA},      {0x3F, buttonB},    {0x36, buttonR}};
        for (const auto& [code, button] : mapped) {
            QCOMPARE(int{keyMap[code]}, int{button});
        }
    }

    void keyBoxesTurnWhileFocused() {
        open();
        showTab(2);
        activate();
        QLineEdit* up = box("Txt_Inkey", 0);
        QLineEdit* down = box("Txt_Inkey", 1);
        up->setFocus(Qt::TabFocusReason);
        QCOMPARE(boxColour(up), QColor(255, 255, 255));
        // A key released in a box but pressed before it had the focus is not taken.
        down->setFocus(Qt::TabFocusReason);
        QTest::keyRelease(down, Qt::Key_Tab);
        QCOMPARE(boxColour(up), QColor(192, 192, 192));
        QCOMPARE(boxColour(down), QColor(255, 255, 255));
        QCOMPARE(window_->form().settings.keyCodes[1], 208);
        QTest::keyClick(down, Qt::Key_Left);
        QCOMPARE(window_->form().settings.keyCodes[1], 203);
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
        QCOMPARE(window_->form().settings.joyButtons[3], 3);
        QCOMPARE(boxColour(start), QColor(192, 192, 192));

        masks = {1u << 7};
        QLineEdit* l = box("Txt_Joy", 4);
        l->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(window_->form().settings.joyButtons[4], 8);
        QCOMPARE(l->text(), QStringLiteral("Joy 8"));
        QVERIFY(window_->writeConfig());
        QVERIFY(readBytes(QStringLiteral("Quarvend.CFG")).contains("\r\nJOYSTART=3\r\nJOYL=8\r\n"));
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
        QCOMPARE(window_->form().settings.joyButtons[0], 2);
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
        QFile::remove(QStringLiteral("Quarvend.CFG"));
        QVERIFY(QDir().mkdir(QStringLiteral("Quarvend.CFG")));
        QVERIFY(!window_->writeConfig());
        QVERIFY(window_->statusBar()->currentMessage().contains(QStringLiteral("Quarvend.CFG")));
        QVERIFY(QFileInfo(QStringLiteral("Quarvend.CFG")).isDir());
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

    // A shell script in bin/ standing in for the emulator.
    static void standInEmulator(const QByteArray& body) {
        QDir().mkpath(QStringLiteral("bin"));
        const QString script = QDir::current().filePath(QStringLiteral("bin/Quarvend"));
        writeBytes(script, "#!/bin/sh\n" + body);
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    }

    // Radio buttons and check boxes react to a click on their indicator or caption only, which
    // fill a part of their width that depends on the style.
    static void click(QAbstractButton* button) { button->click(); }

    void typePath(const QString& text) {
        QLineEdit* path = box("Txt_Path", -1);
        path->setText(text);
        QTest::keyClick(path, Qt::Key_Return);
    }

    QListWidget* fileList() const {
        return window_->findChild<QListWidget*>(QStringLiteral("File1"));
    }

    QListWidget* dirList() const {
        return window_->findChild<QListWidget*>(QStringLiteral("Dir1"));
    }

    QListWidgetItem* folderItem(const QString& name) const {
        const QList<QListWidgetItem*> found = dirList()->findItems(name, Qt::MatchEndsWith);
        return found.isEmpty() ? nullptr : found.back();
    }

    void chooseFile(const QString& name) {
        QListWidget* files = fileList();
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(found[0]).center());
        QCOMPARE(files->currentItem(), found[0]);
    }

    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < fileList()->count(); ++i) {
            names.append(fileList()->item(i)->text());
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

    QTemporaryDir settingsFolder_;
    std::unique_ptr<QTemporaryDir> scratch_;
    std::unique_ptr<QuarvendCfg> window_;
};

QTEST_MAIN(QuarvendCfgTest)
#include "quarvend_cfg_test.moc"
