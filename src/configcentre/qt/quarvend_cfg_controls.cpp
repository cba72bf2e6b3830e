// Construction of the settings window's controls, with their names, captions and the signals
// that carry their events to the window.
#include "configcentre/quarvend_cfg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStorageInfo>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "configcentre/capture_box.h"
#include "configcentre/file_lists.h"

namespace {

const char* const keyCaptions[centreKeyCount] = {
    "Up:", "Down:", "Left:", "Right:", "A:", "B:", "Select:", "Start:", "L:", "R:"};
const char* const joyCaptions[centreJoyCount] = {"A:", "B:", "Select:", "Start:", "L:", "R:"};

QLabel* namedLabel(const QString& name, const QString& text = {}) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

} // namespace

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
