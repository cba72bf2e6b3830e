// Construction of the settings window's controls, with their names, captions and the signals
// that carry their events to the window.
#include "configcentre/qt/quarvend_cfg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStorageInfo>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "configcentre/qt/capture_box.h"
#include "configcentre/qt/file_lists.h"

namespace {

// The joystick boxes are the key boxes' last six buttons.
constexpr int firstJoyButton = centreKeyCount - centreJoyCount;

QLabel* namedLabel(const QString& name, const QString& text = {}) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

// A key or joystick box with its button's caption, in two columns of the grid.
CaptureBox* addCaptureBox(QGridLayout* grid, const QString& name, int index, const char* button) {
    auto* box = new CaptureBox(name, index);
    grid->addWidget(new QLabel(QString::fromLatin1(button) + ':'), index / 2, (index % 2) * 2);
    grid->addWidget(box, index / 2, (index % 2) * 2 + 1);
    return box;
}

} // namespace

QWidget* QuarvendCfg::buildRomList() {
    frame1_ = new QGroupBox(QStringLiteral("ROM List"));
    frame1_->setObjectName(QStringLiteral("Frame1"));
    drive1_ = new QComboBox;
    drive1_->setObjectName(QStringLiteral("Drive1"));
    txtPath_ = new QLineEdit;
    txtPath_->setObjectName(QStringLiteral("Txt_Path"));
    txtPath_->setPlaceholderText(QStringLiteral("Type or paste a folder or ROM path"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."));
    browse->setObjectName(QStringLiteral("Cmd_Browse"));
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
    auto* path = new QHBoxLayout;
    path->addWidget(txtPath_, 1);
    path->addWidget(browse);
    layout->addLayout(path);
    layout->addWidget(drive1_);
    layout->addWidget(dir1_, 1);
    layout->addWidget(file1_, 2);
    layout->addWidget(checkListBin_);
    layout->addWidget(checkListGba_);
    layout->addWidget(command1_);

    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            drive1_->addItem(volume.rootPath());
        }
    }

    connect(drive1_, &QComboBox::activated, this, &QuarvendCfg::chooseDrive);
    connect(txtPath_, &QLineEdit::returnPressed, this, [this] { goToPath(txtPath_->text()); });
    connect(browse, &QPushButton::clicked, this, &QuarvendCfg::browse);
    connect(dir1_, &DirList::folderOpened, this, &QuarvendCfg::showFolder);
    connect(file1_, &FileList::fileChosen, this, [this] {
        const std::string name = QFile::encodeName(file1_->fileName()).toStdString();
        browseEvent([&] { return chooseListedRom(form_, browser_, saveMethods_, name); });
    });
    connect(checkListBin_, &QCheckBox::clicked, this, &QuarvendCfg::applyFilePattern);
    connect(checkListGba_, &QCheckBox::clicked, this, &QuarvendCfg::applyFilePattern);
    connect(command1_, &QPushButton::clicked, this, &QuarvendCfg::startClicked);
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
    QFrame* tabFrames[] = {buildGeneralTab(), buildVideoTab(), buildControllerTab()};

    // The three frames share one place, sized for the largest, so the window keeps its size.
    tabPages_ = new QStackedWidget;
    for (QFrame* frame : tabFrames) {
        frame->setFrameShape(QFrame::StyledPanel);
        tabPages_->addWidget(frame);
    }
    auto* layout = new QVBoxLayout(frame3);
    layout->addWidget(tabStrip1_);
    layout->addWidget(tabPages_, 1);
    connect(tabStrip1_, &QTabBar::currentChanged, tabPages_, &QStackedWidget::setCurrentIndex);
    return frame3;
}

// A check box that stands for one switch of the file.
QCheckBox* QuarvendCfg::addCheck(const QString& name, const QString& caption,
                                 bool CentreSettings::*setting, const QString& toolTip) {
    auto* check = new QCheckBox(caption);
    check->setObjectName(name);
    check->setToolTip(toolTip);
    if (setting) {
        switches_.append({check, setting});
        connect(check, &QCheckBox::clicked, this, [this, setting](bool on) {
            form_.settings.*setting = on;
            showForm();
        });
    }
    return check;
}

QFrame* QuarvendCfg::buildGeneralTab() {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("Frame_General"));
    QCheckBox* checks[] = {
        addCheck(QStringLiteral("Chk_DisableWSCNT"),
                 QStringLiteral("ROM WaitState Setting Fixed to 4/2 (FASTER!)"),
                 &CentreSettings::disableWscnt),
        addCheck(QStringLiteral("Chk_DisableColorSF"),
                 QStringLiteral("Disable All Color Special Effects"), &CentreSettings::disableAlpha,
                 QStringLiteral("Fast/Wrong Graphic")),
        addCheck(QStringLiteral("Chk_DisableFIFO"),
                 QStringLiteral("Disable GBA DirectSound FIFO Transfer"),
                 &CentreSettings::disableFifo,
                 QStringLiteral("Fast/PCM Channel silenced/Some Game may corrupt")),
        addCheck(QStringLiteral("Chk_EnableSound"), QStringLiteral("Enable Sound Emulation"),
                 &CentreSettings::enableSound,
                 QStringLiteral("Enable AutoFrameSkip to have clear sound")),
        addCheck(QStringLiteral("Chk_BootFromBIOS"), QStringLiteral("Boot from BIOS"),
                 &CentreSettings::bootFromBios),
        chkDetectSave_ =
            addCheck(QStringLiteral("Chk_DetectSave"),
                     QStringLiteral("Force Auto Detect Catridge Save Method"), nullptr),
    };
    connect(chkDetectSave_, &QCheckBox::clicked, this, [this](bool on) {
        form_.detectSave = on;
        showForm();
    });
    labelSaveMethod_ = namedLabel(QStringLiteral("Label_SaveMethod"));

    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(
        namedLabel(QStringLiteral("Label31"), QStringLiteral("Optimization/Speed up option")));
    for (QCheckBox* check : checks) {
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
                                        const QStringList& captions, QList<QRadioButton*>& options,
                                        void (*select)(CentreForm&, int)) {
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
        connect(option, &QRadioButton::clicked, this, [this, select, i] {
            select(form_, i);
            showForm();
        });
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
        {QStringLiteral("640X480"), QStringLiteral("800X600"), QStringLiteral("1024X768")}, optRes_,
        selectResolution));
    options->addWidget(buildOptionColumn(QStringLiteral("Screen Size:"), QStringLiteral("Opt_Zoom"),
                                         {QStringLiteral("No Zooming"), QStringLiteral("2X"),
                                          QStringLiteral("3X"), QStringLiteral("4X")},
                                         optZoom_, selectZoom));
    options->addWidget(
        buildOptionColumn(QStringLiteral("Always Skip:"), QStringLiteral("Opt_FrameSkip"),
                          {QStringLiteral("Draw every frame"), QStringLiteral("Frame Skip 1"),
                           QStringLiteral("Frame Skip 2"), QStringLiteral("Frame Skip 3")},
                          optFrameSkip_, selectFrameSkip));
    chkAutoFrameSkip_ = addCheck(QStringLiteral("Chk_AutoFrameSkip"),
                                 QStringLiteral("Enable AutoFrame Skipping"), nullptr);
    connect(chkAutoFrameSkip_, &QCheckBox::clicked, this, [this](bool on) {
        setAutoFrameSkip(form_, on);
        showForm();
    });
    chkHalfSpeed_ = addCheck(QStringLiteral("Chk_HalfSpeed"), QStringLiteral("Run in 1/2 speed"),
                             &CentreSettings::halfSpeed);
    chkRealGba_ =
        addCheck(QStringLiteral("Chk_RealGBA"),
                 QStringLiteral("Enable Real GBA Mode(3X and Above)"), &CentreSettings::realGba);
    QCheckBox* window = addCheck(QStringLiteral("Chk_Window"), QStringLiteral("Play in a window"),
                                 &CentreSettings::window);
    QCheckBox* integerScale =
        addCheck(QStringLiteral("Chk_IntegerScale"), QStringLiteral("Whole-number scaling only"),
                 &CentreSettings::integerScale);

    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(options);
    for (QCheckBox* check : {chkAutoFrameSkip_, chkHalfSpeed_, chkRealGba_, window, integerScale}) {
        layout->addWidget(check);
    }
    layout->addStretch(1);
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
        connect(option, &QRadioButton::clicked, this, [this, i] {
            form_.settings.keyboardInput = i == 0;
            showForm();
        });
    }
    input->addStretch(1);
    layout->addLayout(input);

    layout->addWidget(new QLabel(QStringLiteral("Keyboard Setting:")));
    auto* keys = new QGridLayout;
    for (int i = 0; i < centreKeyCount; ++i) {
        CaptureBox* box = addCaptureBox(keys, QStringLiteral("Txt_Inkey"), i, centreButtonNames[i]);
        txtInkey_.append(box);
        connect(box, &CaptureBox::gotFocus, this, [this, i] {
            focusKeyBox(form_, i);
            showForm();
        });
        connect(box, &CaptureBox::lostFocus, this, [this, i] {
            leaveKeyBox(form_, i);
            showForm();
        });
        connect(box, &CaptureBox::keyDown, this, [this, box] {
            pressKeyInBox(form_);
            box->clear();
        });
        connect(box, &CaptureBox::keyUp, this, [this, i](int key, bool keypad) {
            showEventStatus(releaseKeyInBox(form_, i, static_cast<std::uint16_t>(key), keypad));
            showForm();
        });
    }
    layout->addLayout(keys);

    layout->addWidget(new QLabel(QStringLiteral("GamePad Setting:")));
    auto* buttons = new QGridLayout;
    for (int i = 0; i < centreJoyCount; ++i) {
        CaptureBox* box = addCaptureBox(buttons, QStringLiteral("Txt_Joy"), i,
                                        centreButtonNames[firstJoyButton + i]);
        txtJoy_.append(box);
        connect(box, &CaptureBox::gotFocus, this, [this, i] {
            focusJoyBox(form_, i);
            showForm();
            // Started after the focus change has finished, since it may show a message box.
            QTimer::singleShot(0, this, [this, i] { startJoystickCapture(i); });
        });
        connect(box, &CaptureBox::lostFocus, this, [this, i] {
            leaveJoyBox(form_, i);
            showForm();
        });
    }
    layout->addLayout(buttons);
    layout->addStretch(1);
    return frame;
}
