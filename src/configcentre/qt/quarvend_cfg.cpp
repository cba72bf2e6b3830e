// The settings window's events; quarvend_cfg_controls.cpp builds its controls.
#include "configcentre/qt/quarvend_cfg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
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

#include "configcentre/core/file_access.h"
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
    std::string message = readConfig(form_);
    const std::string listMessage = readSaveMethodList(saveMethods_);
    message += (message.empty() || listMessage.empty() ? "" : "; ") + listMessage;
    applyFilePattern();
    restoreLastChoice();
    showForm();
    if (!message.empty()) {
        showStatus(message);
    }
}

QuarvendCfg::~QuarvendCfg() {
    stopJoystickCapture();
}

void QuarvendCfg::showStatus(const std::string& message) {
    statusBar()->showMessage(localPath(message));
    eventMessageShown_ = false;
}

// A message about the user's last action (a ROM, a folder, a key) goes with the next action
// of that kind that succeeds; the messages about the files read at start stay.
void QuarvendCfg::showEventStatus(const std::string& message) {
    if (!message.empty()) {
        showStatus(message);
        eventMessageShown_ = true;
    } else if (eventMessageShown_) {
        statusBar()->clearMessage();
        eventMessageShown_ = false;
    }
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
    }
    for (int i = 0; i < centreJoyCount; ++i) {
        if (i != captureIndex_) {
            txtJoy_[i]->setText(text(joyBoxText(form_, i)));
        }
    }
}

void QuarvendCfg::chooseDrive(int index) {
    showFolder(drive1_->itemText(index));
}

bool QuarvendCfg::showFolder(const QString& folder) {
    const std::string path = nativePath(QDir(folder).absolutePath());
    const FolderListing listing = listFolder(path);
    if (!listing.readable) {
        showEventStatus("Cannot open the folder " + path + " (" + listing.error + ")");
        return false;
    }
    showEventStatus({});
    const QString shown = localPath(path);
    if (shown != folder_) {
        leaveRom(form_);
    }
    folder_ = shown;
    dir1_->showFolders(foldersDownTo(path), listing.folders);
    QStringList files;
    for (const std::string& name : listing.files) {
        files.append(localPath(name));
    }
    folderFiles_ = files;
    showFiles();
    txtPath_->setText(folder_);
    drive1_->setCurrentIndex(drive1_->findText(QStorageInfo(folder_).rootPath()));
    remembered_.setValue(QLatin1String(lastFolderKey), folder_);
    showForm();
    return true;
}

void QuarvendCfg::applyFilePattern() {
    pattern_ = filePattern(checkListBin_->isChecked(), checkListGba_->isChecked(), pattern_);
    showFiles();
}

// The folder's files that match the pattern; the chosen ROM stays marked when it is listed.
void QuarvendCfg::showFiles() {
    QStringList shown;
    for (const QString& name : folderFiles_) {
        if (matchesPattern(nativePath(name), pattern_)) {
            shown.append(name);
        }
    }
    file1_->showFiles(shown);
    if (!form_.romPath.empty()) {
        file1_->markChosen(QFileInfo(localPath(form_.romPath)).fileName());
    }
}

void QuarvendCfg::fileClicked() {
    chooseRom(QDir(folder_).filePath(file1_->fileName()));
}

void QuarvendCfg::chooseRom(const QString& path) {
    showEventStatus(::chooseRom(form_, saveMethods_, nativePath(path)));
    if (!form_.noRomSelected) {
        txtPath_->setText(path);
        remembered_.setValue(QLatin1String(lastRomKey), path);
    }
    showForm();
}

void QuarvendCfg::goToPath(const QString& typed) {
    const TypedPath path = resolveTypedPath(nativePath(typed), nativePath(folder_));
    if (!path.found) {
        showEventStatus(path.error);
        return;
    }
    if (!showFolder(localPath(path.folder)) || path.fileName.empty()) {
        return;
    }
    const QString name = localPath(path.fileName);
    file1_->markChosen(name);
    chooseRom(QDir(folder_).filePath(name));
}

void QuarvendCfg::browse() {
    const QString filter = QStringLiteral("ROM files (%1);;All files (*)")
                               .arg(QString::fromLatin1(pattern_).replace(';', ' '));
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Choose a ROM"), folder_, filter);
    if (!path.isEmpty()) {
        goToPath(path);
    }
}

void QuarvendCfg::restoreLastChoice() {
    const QString folder = remembered_.value(QLatin1String(lastFolderKey)).toString();
    // A folder that has gone since is forgotten without a word.
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || !showFolder(folder)) {
        showFolder(QDir::currentPath());
        return;
    }
    const QString rom = remembered_.value(QLatin1String(lastRomKey)).toString();
    const QFileInfo romFile(rom);
    if (!rom.isEmpty() && romFile.absolutePath() == folder_ && romFile.isFile()) {
        file1_->markChosen(romFile.fileName());
        chooseRom(rom);
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
    if (form_.noRomSelected) {
        return;
    }
    // The emulator reads the file at start, so it must not start with settings not written.
    if (!writeConfig()) {
        return;
    }
    const EmulatorLaunch launch = launchEmulator(form_, nativePath(emulatorDirectory_));
    if (!launch.started) {
        showMessage(localPath(launch.message));
        return;
    }
    emulator_ = launch.program;
    emulatorWatched_.start();
    emulatorWatch_->start();
}

// An emulator that cannot start ends at once; its exit code and log say why.
void QuarvendCfg::watchEmulator() {
    const ProgramEnd end = checkProgram(emulator_);
    if (end.ended || emulatorWatched_.elapsed() >= launchWatchMilliseconds) {
        emulatorWatch_->stop();
    }
    const std::string message = emulatorEndMessage(end);
    if (!message.empty()) {
        showMessage(localPath(message));
    }
}

void QuarvendCfg::keyBoxKeyUp(int index, int virtualKey, bool keypad) {
    showEventStatus(takeKey(form_, index, static_cast<std::uint16_t>(virtualKey), keypad));
    txtInkey_[index]->setText(text(keyBoxText(form_, index)));
}

void QuarvendCfg::setJoystickReader(std::function<JoystickReading()> reader) {
    readJoystick_ = std::move(reader);
}

void QuarvendCfg::startJoystickCapture(int index) {
    // One capture at a time: a box left waiting shows its button again.
    stopJoystickCapture();
    captureIndex_ = index;
    showJoystickStep(beginJoystickCapture(form_, index, readJoystick_()));
}

void QuarvendCfg::pollJoystick() {
    showJoystickStep(continueJoystickCapture(form_, captureIndex_, readJoystick_()));
}

void QuarvendCfg::showJoystickStep(const JoystickCaptureStep& step) {
    const int index = captureIndex_;
    if (step.result == CaptureResult::waiting) {
        txtJoy_[index]->clear();
        joystickTimer_->start();
        return;
    }
    stopJoystickCapture();
    if (step.result == CaptureResult::taken) {
        txtJoy_[index]->setCapturing(false);
    } else {
        showMessageBox(this, QString::fromUtf8(step.title), QString::fromUtf8(step.text));
    }
}

void QuarvendCfg::stopJoystickCapture() {
    if (captureIndex_ >= 0) {
        joystickTimer_->stop();
        txtJoy_[captureIndex_]->setText(text(joyBoxText(form_, captureIndex_)));
        captureIndex_ = -1;
    }
}

void QuarvendCfg::closeEvent(QCloseEvent* event) {
    stopJoystickCapture();
    if (!writeConfig()) {
        showMessage(statusBar()->currentMessage());
    }
    event->accept();
}
