// The settings program's one window: the ROM browser with the cartridge header panel, the
// three tabs of emulator settings, the writer and reader of "Quarvend.CFG", and the launcher
// that starts the emulator on the chosen ROM. Each control keeps its control name as its
// object name; the elements of a control array share the name and carry an "index" property.
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>

#include "configcentre/config_text.h"
#include "configcentre/joystick.h"
#include "configcentre/rom_header.h"
#include "configcentre/save_method_list.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class CaptureBox;
class DirList;
class FileList;

class QuarvendCfg : public QMainWindow {
    Q_OBJECT

  public:
    // Builds the window and loads it: reads "Quarvend.CFG" (writing it first when there is
    // none) and "RIDIravu.DAT" from the current directory.
    explicit QuarvendCfg(QWidget* parent = nullptr);
    ~QuarvendCfg() override;

    void readConfig();
    // False, with a status-line message, when the file could not be written; the file on
    // disk is then the one from before.
    bool writeConfig();
    void applyFilePattern();
    void launchEmulator(const QString& fileName);
    void inspectRom();
    void showRomInfo();
    void showKeyNames();

    bool noRomSelected() const { return noRomSelected_; }
    int keyCode(int index) const { return keyCodes_[index]; }
    int joyButton(int index) const { return joyButtons_[index]; }
    const SaveMethodTable& saveMethods() const { return saveMethods_; }

    // The folder the emulator "Quarvend" is started from: the program's own folder.
    void setEmulatorDirectory(const QString& directory) { emulatorDirectory_ = directory; }
    // Where joystick readings come from: the first SDL joystick.
    void setJoystickReader(std::function<JoystickReading()> reader);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildRomList();
    QWidget* buildRomInfo();
    QWidget* buildSettings();
    QFrame* buildGeneralTab();
    QFrame* buildVideoTab();
    QFrame* buildControllerTab();
    QWidget* buildOptionColumn(const QString& caption, const QString& name,
                               const QStringList& captions, QList<QRadioButton*>& options);
    QCheckBox* addCheck(const QString& name, const QString& caption, const QString& toolTip = {});

    void chooseDrive(int index);
    void startClicked();
    void showTab(int index);
    void applyHalfSpeedRule();
    void applyRealDisplayRule(int zoomIndex);
    void applyResolutionRule();
    void applyConfigText(const QByteArray& text);
    void readSaveMethodList();
    void showUnknownMethod();
    void showStatus(const QString& message);
    CentreSettings currentSettings() const;
    int saveMethodIndex() const;

    void keyBoxKeyUp(int index, int virtualKey);
    void startJoystickCapture(int index);
    void pollJoystick();
    bool joystickFailed(const JoystickReading& reading);
    void finishJoystickCapture(std::uint32_t buttons);
    void stopJoystickCapture();

    // ROM List
    QGroupBox* frame1_ = nullptr;
    QComboBox* drive1_ = nullptr;
    DirList* dir1_ = nullptr;
    FileList* file1_ = nullptr;
    QCheckBox* checkListBin_ = nullptr;
    QCheckBox* checkListGba_ = nullptr;
    QPushButton* command1_ = nullptr;
    // ROM Infomation
    QGroupBox* frame2_ = nullptr;
    QLabel* labCartName_ = nullptr;
    QLabel* labRomSize_ = nullptr;
    QLabel* labGameCode_ = nullptr;
    QLabel* labMakerCode_ = nullptr;
    QLabel* labMainUnitCode_ = nullptr;
    QLabel* labDeviceType_ = nullptr;
    QLabel* labGameVersion_ = nullptr;
    // Emulator Setting
    QTabBar* tabStrip1_ = nullptr;
    QFrame* tabFrames_[3] = {};
    QStackedWidget* tabPages_ = nullptr;
    QCheckBox* chkDisableWscnt_ = nullptr;
    QCheckBox* chkDisableColorSf_ = nullptr;
    QCheckBox* chkDisableFifo_ = nullptr;
    QCheckBox* chkEnableSound_ = nullptr;
    QCheckBox* chkBootFromBios_ = nullptr;
    QCheckBox* chkDetectSave_ = nullptr;
    QLabel* labelSaveMethod_ = nullptr;
    QList<QRadioButton*> optRes_;
    QList<QRadioButton*> optZoom_;
    QList<QRadioButton*> optFrameSkip_;
    QList<QRadioButton*> optController1_;
    QCheckBox* chkAutoFrameSkip_ = nullptr;
    QCheckBox* chkHalfSpeed_ = nullptr;
    QCheckBox* chkRealGba_ = nullptr;
    QList<CaptureBox*> txtInkey_;
    QList<CaptureBox*> txtJoy_;

    bool noRomSelected_ = true;
    int keyCodes_[centreKeyCount] = {};
    int joyButtons_[centreJoyCount] = {};
    RomHeader header_;
    QString sizeText_;
    SaveMethodTable saveMethods_;
    QString emulatorDirectory_;
    bool romMessageShown_ = false;

    std::function<JoystickReading()> readJoystick_ = readFirstJoystick;
    QTimer* joystickTimer_ = nullptr;
    int captureIndex_ = -1;
};
