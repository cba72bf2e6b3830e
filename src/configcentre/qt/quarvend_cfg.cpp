// The settings window's events; quarvend_cfg_controls.cpp builds its controls.
#include "configcentre/qt/quarvend_cfg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStorageInfo>
#include <QTimer>
#include <QVBoxLayout>

#include "configcentre/core/joystick_capture.h"
#include "configcentre/core/launcher.h"
#include "configcentre/qt/capture_box.h"
#include "configcentre/qt/file_lists.h"

namespace {

constexpr int joystickPollMilliseconds = 16;
constexpr int emulatorPollMilliseconds = 50;

// QSettings keys of the last folder and ROM.
const char* const lastFolderKey = "lastFolder";
const char* const lastRomKey = "lastRom";

QString text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString localPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QColor qColour(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

// Each option group is exclusive, and after loading one option of each is always selected.
void showOption(const QList<QRadioButton*>& options, int index, const bool* enabled = nullptr) {
    if (index >= 0) {
        options[index]->setChecked(true);
    }
    for (int i = 0; enabled && i < options.size(); ++i) {
        options[i]->setEnabled(enabled[i]);
    }
}

void showMessageBox(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

QPalette centrePalette() {
    const QColor grey = qColour(centreGrey);
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    // 96 on 192 is a contrast of about 3.4 to 1: clearly lighter than black, still readable.
    const QColor greyedText(96, 96, 96);
    QPalette colours;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor foreground = disabled ? greyedText : black;
        colours.setColor(group, QPalette::Window, grey);
        colours.setColor(group, QPalette::WindowText, foreground);
        colours.setColor(group, QPalette::Button, grey);
        colours.setColor(group, QPalette::ButtonText, foreground);
        colours.setColor(group, QPalette::Base, disabled ? grey : white);
        colours.setColor(group, QPalette::AlternateBase, QColor(224, 224, 224));
        colours.setColor(group, QPalette::Text, foreground);
        colours.setColor(group, QPalette::PlaceholderText, greyedText);
        colours.setColor(group, QPalette::BrightText, white);
        colours.setColor(group, QPalette::Light, white);
        colours.setColor(group, QPalette::Midlight, QColor(224, 224, 224));
        colours.setColor(group, QPalette::Mid, QColor(160, 160, 160));
        colours.setColor(group, QPalette::Dark, QColor(128, 128, 128));
        colours.setColor(group, QPalette::Shadow, black);
        colours.setColor(group, QPalette::Highlight, disabled ? greyedText : QColor(0, 0, 128));
        colours.setColor(group, QPalette::HighlightedText, white);
        colours.setColor(group, QPalette::ToolTipBase, QColor(255, 255, 225));
        colours.setColor(group, QPalette::ToolTipText, black);
        colours.setColor(group, QPalette::Link, QColor(0, 0, 255));
    }
    return colours;
}

QuarvendCfg::QuarvendCfg(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("QuarvendCfg"));
    setWindowTitle(QStringLiteral("Quarvend Configuration Center"));
    setPalette(centrePalette());
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
    emulatorWatch_ = new QTimer(this);
    emulatorWatch_->setInterval(emulatorPollMilliseconds);
    connect(emulatorWatch_, &QTimer::timeout, this, &QuarvendCfg::watchEmulator);

    // Form_Load
    const std::string message = loadForm(form_, saveMethods_);
    applyFilePattern();
    const std::string lastFolder = nativePath(remembered_.value(lastFolderKey).toString());
    const std::string lastRom = nativePath(remembered_.value(lastRomKey).toString());
    browseEvent([&] {
        return restoreLastChoice(form_, browser_, saveMethods_, lastFolder, lastRom,
                                 nativePath(QDir::currentPath()));
    });
    if (!message.empty()) {
        showStatus(message);
    }
}

QuarvendCfg::~QuarvendCfg() {
    stopJoystickCapture();
}

QString QuarvendCfg::folder() const {
    return localPath(browser_.folder);
}

void QuarvendCfg::showStatus(const std::string& message) {
    ::showStatus(form_.status, message);
    statusBar()->showMessage(localPath(form_.status.text));
}

void QuarvendCfg::showEventStatus(const std::string& message) {
    ::showEventStatus(form_.status, message);
    statusBar()->showMessage(localPath(form_.status.text));
}

void QuarvendCfg::showMessage(const QString& message) {
    showMessageBox(this, windowTitle(), message);
}

void QuarvendCfg::showForm() {
    const CentreSettings& settings = form_.settings;
    showOption(optRes_, settings.resolution);
    showOption(optZoom_, settings.zoom, form_.zoomEnabled);
    showOption(optFrameSkip_, settings.frameSkip);
    showOption(optController1_, settings.keyboardInput ? 0 : 1);
    for (const auto& [check, setting] : switches_) {
        check->setChecked(settings.*setting);
    }
    chkAutoFrameSkip_->setChecked(settings.autoSkip);
    chkHalfSpeed_->setEnabled(form_.halfSpeedEnabled);
    chkRealGba_->setEnabled(form_.realGbaEnabled);
    chkDetectSave_->setChecked(form_.detectSave);
    chkDetectSave_->setEnabled(form_.detectSaveEnabled);
    labelSaveMethod_->setText(text(saveMethodText(form_)));
    QPalette colours = labelSaveMethod_->palette();
    colours.setColor(QPalette::WindowText, qColour(saveMethodColour(form_)));
    labelSaveMethod_->setPalette(colours);

    frame2_->setVisible(form_.romInfoShown);
    labCartName_->setText(text(form_.rom.cartName));
    labRomSize_->setText(text(form_.rom.romSize));
    labGameCode_->setText(text(form_.rom.gameCode));
    labMakerCode_->setText(text(form_.rom.makerCode));
    labMainUnitCode_->setText(text(form_.rom.mainUnitCode));
    labDeviceType_->setText(text(form_.rom.deviceType));
    labGameVersion_->setText(text(form_.rom.gameVersion));

    for (int i = 0; i < centreKeyCount; ++i) {
        txtInkey_[i]->setText(text(keyBoxText(form_, i)));
        txtInkey_[i]->setColour(qColour(keyBoxColour(form_, i)));
    }
    for (int i = 0; i < centreJoyCount; ++i) {
        txtJoy_[i]->setText(text(joyBoxText(form_, i)));
        txtJoy_[i]->setColour(qColour(joyBoxColour(form_, i)));
    }
}

void QuarvendCfg::browseEvent(const std::function<std::string()>& event) {
    const RomBrowser before = browser_;
    const std::string romBefore = form_.romPath;
    const std::string message = event();
    showEventStatus(message);
    const bool moved = browser_.folder != before.folder;
    if (moved || browser_.subfolders != before.subfolders || browser_.files != before.files ||
        dir1_->count() == 0) {
        dir1_->showFolders(browser_.chain, browser_.subfolders);
        showFiles();
    } else if (form_.romPath != romBefore) {
        file1_->markChosen(localPath(listedRomName(form_, browser_)));
    }
    if (message.empty() || moved || form_.romPath != romBefore) {
        txtPath_->setText(localPath(pathFieldText(form_, browser_)));
    }
    const QString folder = localPath(browser_.folder);
    drive1_->setCurrentIndex(drive1_->findText(QStorageInfo(folder).rootPath()));
    remembered_.setValue(QLatin1String(lastFolderKey), folder);
    if (!form_.noRomSelected) {
        remembered_.setValue(QLatin1String(lastRomKey), localPath(form_.romPath));
    }
    showForm();
}

void QuarvendCfg::chooseDrive(int index) {
    showFolder(drive1_->itemText(index));
}

bool QuarvendCfg::showFolder(const QString& folder) {
    bool opened = false;
    browseEvent([&] {
        std::string message = openFolder(form_, browser_, nativePath(folder));
        opened = message.empty();
        return message;
    });
    return opened;
}

void QuarvendCfg::applyFilePattern() {
    setListedKinds(browser_, checkListBin_->isChecked(), checkListGba_->isChecked());
    showFiles();
}

// The folder's files that match the pattern; the chosen ROM stays marked when it is listed.
void QuarvendCfg::showFiles() {
    QStringList shown;
    for (const std::string& name : listedFiles(browser_)) {
        shown.append(localPath(name));
    }
    file1_->showFiles(shown);
    file1_->markChosen(localPath(listedRomName(form_, browser_)));
}

void QuarvendCfg::goToPath(const QString& typed) {
    browseEvent([&] { return ::goToPath(form_, browser_, saveMethods_, nativePath(typed)); });
}

void QuarvendCfg::browse() {
    const QString filter = QStringLiteral("ROM files (%1);;All files (*)")
                               .arg(QString::fromLatin1(browser_.pattern).replace(';', ' '));
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Choose a ROM"), folder(), filter);
    if (!path.isEmpty()) {
        goToPath(path);
    }
}

bool QuarvendCfg::writeConfig() {
    const std::string error = ::writeConfig(form_);
    if (!error.empty()) {
        showStatus(error);
    }
    return error.empty();
}

void QuarvendCfg::startClicked() {
    const EmulatorLaunch launch = startEmulator(form_, nativePath(emulatorDirectory_));
    if (!launch.started) {
        if (!launch.message.empty()) {
            showMessage(localPath(launch.message));
        }
        return;
    }
    emulator_ = launch.program;
    emulatorWatched_.start();
    emulatorWatch_->start();
}

void QuarvendCfg::watchEmulator() {
    const EmulatorWatch watch = ::watchEmulator(emulator_, emulatorWatched_.elapsed());
    if (watch.over) {
        emulatorWatch_->stop();
    }
    if (!watch.message.empty()) {
        showMessage(localPath(watch.message));
    }
}

void QuarvendCfg::setJoystickReader(std::function<JoystickReading()> reader) {
    readJoystick_ = std::move(reader);
}

void QuarvendCfg::startJoystickCapture(int index) {
    showJoystickStep(beginJoystickCapture(form_, index, readJoystick_()));
}

void QuarvendCfg::pollJoystick() {
    showJoystickStep(continueJoystickCapture(form_, readJoystick_()));
}

void QuarvendCfg::showJoystickStep(const JoystickCaptureStep& step) {
    if (form_.joyBoxWaiting >= 0) {
        joystickTimer_->start();
    } else {
        joystickTimer_->stop();
    }
    showForm();
    if (!step.title.empty()) {
        showMessageBox(this, QString::fromUtf8(step.title), QString::fromUtf8(step.text));
    }
}

void QuarvendCfg::stopJoystickCapture() {
    ::stopJoystickCapture(form_);
    joystickTimer_->stop();
}

void QuarvendCfg::closeEvent(QCloseEvent* event) {
    stopJoystickCapture();
    if (!writeConfig()) {
        showMessage(localPath(form_.status.text));
    }
    event->accept();
}
