// The settings window's events and procedures; quarvend_cfg_controls.cpp builds its controls.
#include "configcentre/quarvend_cfg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRadioButton>
#include <QSaveFile>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "configcentre/capture_box.h"
#include "configcentre/file_lists.h"
#include "configcentre/key_codes.h"

namespace {

const QColor windowGrey(192, 192, 192);

// Label_SaveMethod for each method, with its colour.
struct MethodLook {
    const char* text;
    QColor colour;
};
const MethodLook methodLooks[] = {
    {"Unknown", QColor(255, 0, 0)},
    {"SRAM", QColor(0, 0, 255)},
    {"FlashROM", QColor(0, 0, 128)},
    {"EEPROM", QColor(0, 255, 128)},
};

constexpr int joystickPollMilliseconds = 16;

QString latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
}

int checkedIndex(const QList<QRadioButton*>& options) {
    for (int i = 0; i < options.size(); ++i) {
        if (options[i]->isChecked()) {
            return i;
        }
    }
    return -1;
}

void showMessageBox(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

QuarvendCfg::QuarvendCfg(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("QuarvendCfg"));
    setWindowTitle(QStringLiteral("Quarvend Configuration Center"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, windowGrey);
    colours.setColor(QPalette::Button, windowGrey);
    setPalette(colours);
    emulatorDirectory_ = QCoreApplication::applicationDirPath();
    clearSaveMethodTable(saveMethods_);

    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);
    columns->addWidget(buildRomList(), 1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildRomInfo());
    right->addWidget(buildSettings(), 1);
    columns->addLayout(right, 2);
    setCentralWidget(central);
    statusBar()->setSizeGripEnabled(false);

    joystickTimer_ = new QTimer(this);
    joystickTimer_->setInterval(joystickPollMilliseconds);
    connect(joystickTimer_, &QTimer::timeout, this, &QuarvendCfg::pollJoystick);

    // Form_Load
    noRomSelected_ = true;
    readConfig();
    applyFilePattern();
    applyHalfSpeedRule();
}

QuarvendCfg::~QuarvendCfg() {
    stopJoystickCapture();
}

void QuarvendCfg::showTab(int index) {
    tabPages_->setCurrentIndex(index);
}

void QuarvendCfg::chooseDrive(int index) {
    const QString root = drive1_->itemText(index);
    if (!dir1_->setPath(root)) {
        showStatus(QStringLiteral("Cannot open %1").arg(root));
    }
}

void QuarvendCfg::applyFilePattern() {
    const bool bin = checkListBin_->isChecked();
    const bool gba = checkListGba_->isChecked();
    if (bin && gba) {
        file1_->setPattern(QStringLiteral("*.BIN;*.GBA"));
    } else if (bin) {
        file1_->setPattern(QStringLiteral("*.BIN"));
    } else if (gba) {
        file1_->setPattern(QStringLiteral("*.GBA"));
    }
}

void QuarvendCfg::applyHalfSpeedRule() {
    if (chkAutoFrameSkip_->isChecked()) {
        chkHalfSpeed_->setEnabled(true);
    } else {
        chkHalfSpeed_->setEnabled(false);
        chkHalfSpeed_->setChecked(false);
    }
}

void QuarvendCfg::applyRealDisplayRule(int zoomIndex) {
    if (zoomIndex < 2) {
        chkRealGba_->setEnabled(false);
        chkRealGba_->setChecked(false);
    } else {
        chkRealGba_->setEnabled(true);
    }
}

// The largest zoom a resolution can show: 2X at 640X480, 3X at 800X600, 4X at 1024X768.
void QuarvendCfg::applyResolutionRule() {
    const int largestZoom = checkedIndex(optRes_) + 1;
    for (int i = 2; i < optZoom_.size(); ++i) {
        optZoom_[i]->setEnabled(i <= largestZoom);
    }
    if (checkedIndex(optZoom_) > largestZoom) {
        optZoom_[largestZoom]->setChecked(true);
    }
}

void QuarvendCfg::showStatus(const QString& message) {
    statusBar()->showMessage(message);
}

void QuarvendCfg::readConfig() {
    if (!QFileInfo::exists(QString::fromLatin1(configFileName))) {
        writeConfig();
    }
    QFile file(QString::fromLatin1(configFileName));
    if (file.open(QIODevice::ReadOnly)) {
        applyConfigText(file.readAll());
    } else {
        showStatus(QStringLiteral("%1 could not be read (%2): the settings shown are not from it")
                       .arg(QString::fromLatin1(configFileName), file.errorString()));
    }
    showKeyNames();
    readSaveMethodList();
}

void QuarvendCfg::applyConfigText(const QByteArray& text) {
    QStringList ignored;
    const QList<QByteArray> lines = text.split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        const CentreLine setting = parseCentreLine(std::string_view(line.data(), line.size()));
        if (setting.outOfRange) {
            ignored.append(QString::fromLatin1(line));
            continue;
        }
        const int value = setting.value;
        switch (setting.key) {
        case configKeyRes: optRes_[value]->setChecked(true); break;
        case configKeyZoom: optZoom_[value]->setChecked(true); break;
        case configKeySkip: optFrameSkip_[value]->setChecked(true); break;
        case configKeyInput: optController1_[value]->setChecked(true); break;
        case configKeyAutoSkip: chkAutoFrameSkip_->setChecked(value); break;
        case configKeyRealGba: chkRealGba_->setChecked(value); break;
        case configKeyHalfSpeed: chkHalfSpeed_->setChecked(value); break;
        case configKeyEnableSound: chkEnableSound_->setChecked(value); break;
        case configKeyDisableWscnt: chkDisableWscnt_->setChecked(value); break;
        case configKeyDisableFifo: chkDisableFifo_->setChecked(value); break;
        case configKeyDisableAlpha: chkDisableColorSf_->setChecked(value); break;
        case configKeyBootFromBios: chkBootFromBios_->setChecked(value); break;
        default:
            if (setting.key >= centreFirstKey && setting.key < centreFirstKey + centreKeyCount) {
                keyCodes_[setting.key - centreFirstKey] = value;
            } else if (setting.key >= centreFirstJoy &&
                       setting.key < centreFirstJoy + centreJoyCount) {
                joyButtons_[setting.key - centreFirstJoy] = value;
            }
            break;
        }
    }
    if (!ignored.isEmpty()) {
        showStatus(QStringLiteral("%1: ignored the out-of-range line%2 %3")
                       .arg(QString::fromLatin1(configFileName),
                            ignored.size() > 1 ? QStringLiteral("s") : QString(),
                            ignored.join(QStringLiteral(", "))));
    }
}

void QuarvendCfg::readSaveMethodList() {
    const QString name = QString::fromLatin1(saveMethodListFileName);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        showStatus(QStringLiteral("%1 could not be read (%2): no save method will be identified")
                       .arg(name, file.errorString()));
        return;
    }
    const QByteArray text = file.readAll();
    const SaveMethodListRead read =
        parseSaveMethodList(std::string_view(text.data(), text.size()), saveMethods_);
    if (read.malformed) {
        showStatus(QStringLiteral("%1: record %2 has no number as its save method: no save "
                                  "method will be identified")
                       .arg(name)
                       .arg(read.records + 1));
    } else if (read.records < saveMethodRecordCount) {
        showStatus(QStringLiteral("%1 holds %2 of its %3 records: no save method will be "
                                  "identified")
                       .arg(name)
                       .arg(read.records)
                       .arg(saveMethodRecordCount));
    }
}

int QuarvendCfg::saveMethodIndex() const {
    if (chkDetectSave_->isChecked()) {
        return 0;
    }
    const QString text = labelSaveMethod_->text();
    for (int i = 0; i < 4; ++i) {
        if (text == QLatin1String(methodLooks[i].text)) {
            return i;
        }
    }
    return -1;
}

CentreSettings QuarvendCfg::currentSettings() const {
    CentreSettings settings;
    settings.resolution = checkedIndex(optRes_);
    settings.zoom = checkedIndex(optZoom_);
    settings.frameSkip = checkedIndex(optFrameSkip_);
    settings.autoSkip = chkAutoFrameSkip_->isChecked();
    settings.realGba = chkRealGba_->isChecked();
    settings.halfSpeed = chkHalfSpeed_->isChecked();
    settings.enableSound = chkEnableSound_->isChecked();
    settings.disableWscnt = chkDisableWscnt_->isChecked();
    settings.disableFifo = chkDisableFifo_->isChecked();
    settings.disableAlpha = chkDisableColorSf_->isChecked();
    settings.keyboardInput = optController1_[0]->isChecked();
    settings.bootFromBios = chkBootFromBios_->isChecked();
    settings.saveMethod = saveMethodIndex();
    std::copy(std::begin(keyCodes_), std::end(keyCodes_), settings.keyCodes);
    std::copy(std::begin(joyButtons_), std::end(joyButtons_), settings.joyButtons);
    return settings;
}

bool QuarvendCfg::writeConfig() {
    // The new file replaces the old one only when it is complete.
    QSaveFile file(QString::fromLatin1(configFileName));
    const std::string text = configText(currentSettings());
    if (file.open(QIODevice::WriteOnly) &&
        file.write(text.data(), static_cast<qint64>(text.size())) ==
            static_cast<qint64>(text.size()) &&
        file.commit()) {
        return true;
    }
    showStatus(QStringLiteral("%1 could not be written (%2): the settings were not saved")
                   .arg(QString::fromLatin1(configFileName), file.errorString()));
    return false;
}

void QuarvendCfg::startClicked() {
    if (noRomSelected_) {
        return;
    }
    // The emulator reads the file at start, so it must not start with settings not written.
    if (writeConfig()) {
        launchEmulator(file1_->fileName());
    }
}

void QuarvendCfg::launchEmulator(const QString& fileName) {
    if (fileName.isEmpty()) {
        showStatus(QStringLiteral("Choose a ROM file in the list first"));
        return;
    }
    QString romPath = dir1_->path();
    if (!romPath.endsWith(QLatin1Char('/'))) {
        romPath += QLatin1Char('/');
    }
    romPath += fileName;
    const QString program = QDir(emulatorDirectory_).filePath(QStringLiteral("Quarvend"));
    // The whole path is one argument, spaces included; the emulator takes it as the ROM path.
    if (!QProcess::startDetached(program, {romPath}, QDir::currentPath())) {
        showStatus(QStringLiteral("%1 could not be started").arg(program));
    }
}

void QuarvendCfg::showUnknownMethod() {
    labelSaveMethod_->setText(QLatin1String(methodLooks[0].text));
    setTextColour(labelSaveMethod_, methodLooks[0].colour);
    chkDetectSave_->setEnabled(false);
    chkDetectSave_->setChecked(true);
}

void QuarvendCfg::inspectRom() {
    QString path = dir1_->path();
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    path += file1_->fileName();
    const RomInspection rom = inspectRomFile(QFile::encodeName(path).toStdString());
    if (rom.state == RomFileState::unreadable) {
        noRomSelected_ = true;
        frame2_->hide();
        showUnknownMethod();
        showStatus(QStringLiteral("%1 could not be read (%2)")
                       .arg(path, QString::fromLocal8Bit(rom.error.c_str())));
        romMessageShown_ = true;
        return;
    }
    if (romMessageShown_) {
        statusBar()->clearMessage();
        romMessageShown_ = false;
    }
    if (rom.state == RomFileState::empty) {
        showUnknownMethod();
        return;
    }
    sizeText_ = QString::fromLatin1(romSizeText(rom.size).c_str());
    noRomSelected_ = rom.tooShort;
    header_ = rom.header;
    showRomInfo();
}

void QuarvendCfg::showRomInfo() {
    if (noRomSelected_) {
        frame2_->hide();
        return;
    }
    frame2_->show();
    labCartName_->setText(latin1(header_.title));
    labRomSize_->setText(sizeText_);
    labGameCode_->setText(latin1(header_.gameCode));
    labMakerCode_->setText(latin1(header_.makerCode));
    labMainUnitCode_->setText(QString::fromLatin1(hexText(header_.mainUnitCode).c_str()));
    labDeviceType_->setText(QString::fromLatin1(hexText(header_.deviceType).c_str()));
    labGameVersion_->setText(QString::fromLatin1(hexText(header_.version).c_str()));
    labelSaveMethod_->clear();
    const int method = lookUpSaveMethod(saveMethods_, header_.gameCode);
    if (method < 0 || method > 3) {
        return;
    }
    labelSaveMethod_->setText(QLatin1String(methodLooks[method].text));
    setTextColour(labelSaveMethod_, methodLooks[method].colour);
    // Only a listed method may be written instead of detection.
    chkDetectSave_->setEnabled(method != 0);
    chkDetectSave_->setChecked(method == 0);
}

void QuarvendCfg::showKeyNames() {
    for (int i = 0; i < centreKeyCount; ++i) {
        txtInkey_[i]->setText(QString::fromLatin1(TranslateSTR(keyCodes_[i]).c_str()));
    }
    for (int i = 0; i < centreJoyCount; ++i) {
        txtJoy_[i]->setText(QStringLiteral("Joy %1").arg(joyButtons_[i]));
    }
}

void QuarvendCfg::keyBoxKeyUp(int index, int virtualKey) {
    keyCodes_[index] = TranslateDIK(static_cast<std::uint16_t>(virtualKey));
    txtInkey_[index]->setText(QString::fromLatin1(TranslateSTR(keyCodes_[index]).c_str()));
}

void QuarvendCfg::setJoystickReader(std::function<JoystickReading()> reader) {
    readJoystick_ = std::move(reader);
}

void QuarvendCfg::startJoystickCapture(int index) {
    const JoystickReading reading = readJoystick_();
    if (reading.status != JoystickStatus::ok) {
        showMessageBox(this, QStringLiteral("Fail to initialize joystick"),
                       QStringLiteral("Your joystick has not been installed correctly!"));
        return;
    }
    // One capture at a time: a box left waiting shows its button again.
    stopJoystickCapture();
    captureIndex_ = index;
    if (reading.buttons != 0) {
        finishJoystickCapture(reading.buttons);
        return;
    }
    txtJoy_[index]->clear();
    joystickTimer_->start();
}

bool QuarvendCfg::joystickFailed(const JoystickReading& reading) {
    if (reading.status == JoystickStatus::ok) {
        return false;
    }
    stopJoystickCapture();
    const QString title = QStringLiteral("读取游戏杆状态失败");
    if (reading.status == JoystickStatus::noDriver) {
        showMessageBox(this, title, QStringLiteral("您的游戏控制器驱动安装不正确！"));
    } else {
        showMessageBox(this, title, QStringLiteral("游戏杆没有正确连接到接口上！"));
    }
    return true;
}

void QuarvendCfg::pollJoystick() {
    const JoystickReading reading = readJoystick_();
    if (joystickFailed(reading)) {
        return;
    }
    if (reading.buttons != 0) {
        finishJoystickCapture(reading.buttons);
    } else {
        txtJoy_[captureIndex_]->clear();
    }
}

void QuarvendCfg::finishJoystickCapture(std::uint32_t buttons) {
    const int index = captureIndex_;
    joystickTimer_->stop();
    captureIndex_ = -1;
    joyButtons_[index] = joystickButtonNumber(buttons);
    txtJoy_[index]->setCapturing(false);
    txtJoy_[index]->setText(QStringLiteral("Joy %1").arg(joyButtons_[index]));
}

void QuarvendCfg::stopJoystickCapture() {
    if (captureIndex_ >= 0) {
        joystickTimer_->stop();
        txtJoy_[captureIndex_]->setText(QStringLiteral("Joy %1").arg(joyButtons_[captureIndex_]));
        captureIndex_ = -1;
    }
}

void QuarvendCfg::closeEvent(QCloseEvent* event) {
    stopJoystickCapture();
    if (!writeConfig()) {
        showMessageBox(this, windowTitle(), statusBar()->currentMessage());
    }
    event->accept();
}
