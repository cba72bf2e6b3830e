#include "configcentre/quarvend_cfg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStorageInfo>
#include <QTabBar>
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

const char* const keyCaptions[centreKeyCount] = {
    "Up:", "Down:", "Left:", "Right:", "A:", "B:", "Select:", "Start:", "L:", "R:"};
const char* const joyCaptions[centreJoyCount] = {"A:", "B:", "Select:", "Start:", "L:", "R:"};

QLabel* namedLabel(const QString& name, const QString& text = {}) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

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

QWidget* QuarvendCfg::buildRomList() {
    frame1_ = new QGroupBox(QStringLiteral("ROM List"));
    frame1_->setObjectName(QStringLiteral("Frame1"));
    drive1_ = new QComboBox;
    drive1_->setObjectName(QStringLiteral("Drive1"));
    dir1_ = new DirList;
    dir1_->setObjectName(QStringLiteral("Dir1"));
    file1_ = new FileList;
    file1_->setObjectName(QStringLiteral("File1"));
    checkListBin_ = new QCheckBox(QStringLiteral("List .BIN files"));
    checkListBin_->setObjectName(QStringLiteral("Check_ListBIN"));
    checkListBin_->setChecked(true);
    checkListGba_ = new QCheckBox(QStringLiteral("List .GBA files"));
    checkListGba_->setObjectName(QStringLiteral("Check_ListGBA"));
    checkListGba_->setChecked(true);
    command1_ = new QPushButton(QStringLiteral("Start Quarvend!"));
    command1_->setObjectName(QStringLiteral("Command1"));

    auto* layout = new QVBoxLayout(frame1_);
    layout->addWidget(drive1_);
    layout->addWidget(dir1_, 1);
    layout->addWidget(file1_, 2);
    layout->addWidget(checkListBin_);
    layout->addWidget(checkListGba_);
    layout->addWidget(command1_);

    const QString current = QDir::currentPath();
    const QString currentRoot = QStorageInfo(current).rootPath();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            drive1_->addItem(volume.rootPath());
        }
    }
    drive1_->setCurrentIndex(drive1_->findText(currentRoot));

    connect(drive1_, &QComboBox::activated, this, &QuarvendCfg::chooseDrive);
    connect(dir1_, &DirList::pathChanged, file1_, &FileList::setPath);
    connect(file1_, &FileList::fileChosen, this, &QuarvendCfg::inspectRom);
    connect(checkListBin_, &QCheckBox::clicked, this, &QuarvendCfg::applyFilePattern);
    connect(checkListGba_, &QCheckBox::clicked, this, &QuarvendCfg::applyFilePattern);
    connect(command1_, &QPushButton::clicked, this, &QuarvendCfg::startClicked);
    dir1_->setPath(current);
    return frame1_;
}

QWidget* QuarvendCfg::buildRomInfo() {
    frame2_ = new QGroupBox(QStringLiteral("ROM Infomation"));
    frame2_->setObjectName(QStringLiteral("Frame2"));
    labCartName_ = namedLabel(QStringLiteral("Lab_CartName"));
    labRomSize_ = namedLabel(QStringLiteral("Lab_ROMSize"));
    labGameCode_ = namedLabel(QStringLiteral("Lab_GameCode"));
    labMakerCode_ = namedLabel(QStringLiteral("Lab_MakerCode"));
    labMainUnitCode_ = namedLabel(QStringLiteral("Lab_MainUnitCode"));
    labDeviceType_ = namedLabel(QStringLiteral("Lab_DeviceType"));
    labGameVersion_ = namedLabel(QStringLiteral("Lab_GameVersion"));
    const std::pair<const char*, QLabel*> rows[] = {
        {"Cart Name:", labCartName_},        {"ROM Size:", labRomSize_},
        {"GameCode:", labGameCode_},         {"MakerCode:", labMakerCode_},
        {"MainUnitCode:", labMainUnitCode_}, {"DeviceType:", labDeviceType_},
        {"GameVersion:", labGameVersion_},
    };
    auto* grid = new QGridLayout(frame2_);
    int row = 0;
    for (const auto& [caption, value] : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, 0);
        grid->addWidget(value, row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    // The panel keeps its place while hidden, so the settings below do not move.
    QSizePolicy policy = frame2_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    frame2_->setSizePolicy(policy);
    frame2_->hide();
    return frame2_;
}

QWidget* QuarvendCfg::buildSettings() {
    auto* frame3 = new QGroupBox(QStringLiteral("Emulator Setting"));
    frame3->setObjectName(QStringLiteral("Frame3"));
    tabStrip1_ = new QTabBar;
    tabStrip1_->setObjectName(QStringLiteral("TabStrip1"));
    tabStrip1_->addTab(QStringLiteral("General"));
    tabStrip1_->addTab(QStringLiteral("Video"));
    tabStrip1_->addTab(QStringLiteral("Controller"));
    tabStrip1_->setExpanding(false);
    tabFrames_[0] = buildGeneralTab();
    tabFrames_[1] = buildVideoTab();
    tabFrames_[2] = buildControllerTab();

    // The three frames share one place, sized for the largest, so the window keeps its size.
    tabPages_ = new QStackedWidget;
    for (QFrame* frame : tabFrames_) {
        frame->setFrameShape(QFrame::StyledPanel);
        tabPages_->addWidget(frame);
    }
    auto* layout = new QVBoxLayout(frame3);
    layout->addWidget(tabStrip1_);
    layout->addWidget(tabPages_, 1);
    connect(tabStrip1_, &QTabBar::currentChanged, this, &QuarvendCfg::showTab);
    showTab(0);
    return frame3;
}

QCheckBox* QuarvendCfg::addCheck(const QString& name, const QString& caption,
                                 const QString& toolTip) {
    auto* check = new QCheckBox(caption);
    check->setObjectName(name);
    check->setToolTip(toolTip);
    return check;
}

QFrame* QuarvendCfg::buildGeneralTab() {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame_General"));
    chkDisableWscnt_ = addCheck(QStringLiteral("Chk_DisableWSCNT"),
                                QStringLiteral("ROM WaitState Setting Fixed to 4/2 (FASTER!)"));
    chkDisableColorSf_ = addCheck(QStringLiteral("Chk_DisableColorSF"),
                                  QStringLiteral("Disable All Color Special Effects"),
                                  QStringLiteral("Fast/Wrong Graphic"));
    chkDisableFifo_ = addCheck(QStringLiteral("Chk_DisableFIFO"),
                               QStringLiteral("Disable GBA DirectSound FIFO Transfer"),
                               QStringLiteral("Fast/PCM Channel silenced/Some Game may corrupt"));
    chkEnableSound_ =
        addCheck(QStringLiteral("Chk_EnableSound"), QStringLiteral("Enable Sound Emulation"),
                 QStringLiteral("Enable AutoFrameSkip to have clear sound"));
    chkBootFromBios_ =
        addCheck(QStringLiteral("Chk_BootFromBIOS"), QStringLiteral("Boot from BIOS"));
    chkDetectSave_ = addCheck(QStringLiteral("Chk_DetectSave"),
                              QStringLiteral("Force Auto Detect Catridge Save Method"));
    chkDetectSave_->setChecked(true);
    labelSaveMethod_ = namedLabel(QStringLiteral("Label_SaveMethod"));

    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(
        namedLabel(QStringLiteral("Label31"), QStringLiteral("Optimization/Speed up option")));
    for (QCheckBox* check : {chkDisableWscnt_, chkDisableColorSf_, chkDisableFifo_, chkEnableSound_,
                             chkBootFromBios_, chkDetectSave_}) {
        layout->addWidget(check);
    }
    auto* method = new QHBoxLayout;
    method->addWidget(
        namedLabel(QStringLiteral("Label32"), QStringLiteral("Save Method Identified As:")));
    method->addWidget(labelSaveMethod_, 1);
    layout->addLayout(method);
    layout->addStretch(1);
    return frame;
}

QWidget* QuarvendCfg::buildOptionColumn(const QString& caption, const QString& name,
                                        const QStringList& captions,
                                        QList<QRadioButton*>& options) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption));
    // Each option array is its own group: choosing a zoom does not clear the resolution.
    auto* group = new QButtonGroup(column);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i]);
        option->setObjectName(name);
        option->setProperty("index", i);
        group->addButton(option, i);
        options.append(option);
        layout->addWidget(option);
    }
    layout->addStretch(1);
    return column;
}

QFrame* QuarvendCfg::buildVideoTab() {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame_Video"));
    auto* options = new QHBoxLayout;
    options->addWidget(buildOptionColumn(
        QStringLiteral("Resolution:"), QStringLiteral("Opt_Res"),
        {QStringLiteral("640X480"), QStringLiteral("800X600"), QStringLiteral("1024X768")},
        optRes_));
    options->addWidget(buildOptionColumn(QStringLiteral("Screen Size:"), QStringLiteral("Opt_Zoom"),
                                         {QStringLiteral("No Zooming"), QStringLiteral("2X"),
                                          QStringLiteral("3X"), QStringLiteral("4X")},
                                         optZoom_));
    options->addWidget(
        buildOptionColumn(QStringLiteral("Always Skip:"), QStringLiteral("Opt_FrameSkip"),
                          {QStringLiteral("Draw every frame"), QStringLiteral("Frame Skip 1"),
                           QStringLiteral("Frame Skip 2"), QStringLiteral("Frame Skip 3")},
                          optFrameSkip_));
    chkAutoFrameSkip_ =
        addCheck(QStringLiteral("Chk_AutoFrameSkip"), QStringLiteral("Enable AutoFrame Skipping"));
    chkHalfSpeed_ = addCheck(QStringLiteral("Chk_HalfSpeed"), QStringLiteral("Run in 1/2 speed"));
    chkRealGba_ = addCheck(QStringLiteral("Chk_RealGBA"),
                           QStringLiteral("Enable Real GBA Mode(3X and Above)"));

    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(options);
    layout->addWidget(chkAutoFrameSkip_);
    layout->addWidget(chkHalfSpeed_);
    layout->addWidget(chkRealGba_);
    layout->addStretch(1);

    // Selecting an option from code counts as a click, as the rules expect.
    for (QRadioButton* option : optRes_) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                applyResolutionRule();
            }
        });
    }
    for (int i = 0; i < optZoom_.size(); ++i) {
        connect(optZoom_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                applyRealDisplayRule(i);
            }
        });
    }
    connect(chkAutoFrameSkip_, &QCheckBox::toggled, this, &QuarvendCfg::applyHalfSpeedRule);
    return frame;
}

QFrame* QuarvendCfg::buildControllerTab() {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame_Controller"));
    auto* layout = new QVBoxLayout(frame);
    auto* input = new QHBoxLayout;
    input->addWidget(new QLabel(QStringLiteral("GameBoy Build-in Controller:")));
    auto* inputGroup = new QButtonGroup(frame);
    const QString inputCaptions[] = {QStringLiteral("Keyboard"), QStringLiteral("GamePad")};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(inputCaptions[i]);
        option->setObjectName(QStringLiteral("Opt_Controller1"));
        option->setProperty("index", i);
        inputGroup->addButton(option, i);
        optController1_.append(option);
        input->addWidget(option);
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                showKeyNames();
            }
        });
    }
    input->addStretch(1);
    layout->addLayout(input);

    layout->addWidget(new QLabel(QStringLiteral("Keyboard Setting:")));
    auto* keys = new QGridLayout;
    for (int i = 0; i < centreKeyCount; ++i) {
        auto* box = new CaptureBox(QStringLiteral("Txt_Inkey"), i);
        txtInkey_.append(box);
        keys->addWidget(new QLabel(QString::fromLatin1(keyCaptions[i])), i / 2, (i % 2) * 2);
        keys->addWidget(box, i / 2, (i % 2) * 2 + 1);
        connect(box, &CaptureBox::gotFocus, box, [box] { box->setCapturing(true); });
        connect(box, &CaptureBox::lostFocus, box, [box] { box->setCapturing(false); });
        connect(box, &CaptureBox::keyDown, box, &QLineEdit::clear);
        connect(box, &CaptureBox::keyUp, this, [this, i](int key) { keyBoxKeyUp(i, key); });
    }
    layout->addLayout(keys);

    layout->addWidget(new QLabel(QStringLiteral("GamePad Setting:")));
    auto* buttons = new QGridLayout;
    for (int i = 0; i < centreJoyCount; ++i) {
        auto* box = new CaptureBox(QStringLiteral("Txt_Joy"), i);
        txtJoy_.append(box);
        buttons->addWidget(new QLabel(QString::fromLatin1(joyCaptions[i])), i / 2, (i % 2) * 2);
        buttons->addWidget(box, i / 2, (i % 2) * 2 + 1);
        connect(box, &CaptureBox::gotFocus, this, [this, box, i] {
            box->setCapturing(true);
            // Started after the focus change has finished, since it may show a message box.
            QTimer::singleShot(0, this, [this, i] { startJoystickCapture(i); });
        });
        connect(box, &CaptureBox::lostFocus, box, [box] { box->setCapturing(false); });
    }
    layout->addLayout(buttons);
    layout->addStretch(1);
    return frame;
}

// Shows the selected tab's frame and hides the other two.
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
