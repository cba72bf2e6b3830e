// The settings program's one window in Qt Widgets: the ROM browser with the cartridge header
// panel, the three tabs of emulator settings and the start button. The window draws a
// CentreForm (core/centre_form.h) and hands every event to the core's procedures, which hold
// the rules. Each control keeps its control name as its object name; the elements of a control
// array share the name and carry an "index" property.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QSettings>
#include <QString>

#include <functional>

#include "configcentre/core/centre_form.h"
#include "configcentre/core/program_start.h"
#include "configcentre/core/rom_browser.h"
#include "configcentre/qt/joystick.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class CaptureBox;
class DirList;
class FileList;

// The window's colours on every desktop, light or dark: black text on the light grey, and
// disabled text a darker grey that stays readable on it.
QPalette centrePalette();

class QuarvendCfg : public QMainWindow {
    Q_OBJECT

  public:
    // Builds the window and loads it: reads "Quarvend.CFG" (writing the first-start file when
    // there is none) and "RIDIravu.DAT" from the current directory, and shows the folder and
    // ROM chosen last time (remembered with QSettings), else the current directory.
    explicit QuarvendCfg(QWidget* parent = nullptr);
    ~QuarvendCfg() override;

    const CentreForm& form() const { return form_; }
    QString folder() const;

    // Shows the folder in the lists; false, with a status-line message and the lists as they
    // were, when it cannot be read.
    bool showFolder(const QString& folder);
    // Moves the lists to a typed or pasted folder or ROM path (the path field's Enter).
    void goToPath(const QString& text);
    bool writeConfig();

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
                               const QStringList& captions, QList<QRadioButton*>& options,
                               void (*select)(CentreForm&, int));
    QCheckBox* addCheck(const QString& name, const QString& caption, bool CentreSettings::*setting,
                        const QString& toolTip = {});

    // Draws the form into the controls.
    void showForm();
    void showStatus(const std::string& message);
    void showEventStatus(const std::string& message);
    void showMessage(const QString& text);
    // Runs an event of the ROM List and draws what it left: the lists, the path field (kept as
    // typed when the event changed nothing) and the form; remembers the folder and ROM.
    void browseEvent(const std::function<std::string()>& event);
    void chooseDrive(int index);
    void applyFilePattern();
    void showFiles();
    void browse();
    void startClicked();
    void watchEmulator();

    void startJoystickCapture(int index);
    void pollJoystick();
    void showJoystickStep(const JoystickCaptureStep& step);
    void stopJoystickCapture();

    // ROM List
    QGroupBox* frame1_ = nullptr;
    QComboBox* drive1_ = nullptr;
    QLineEdit* txtPath_ = nullptr;
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
    QStackedWidget* tabPages_ = nullptr;
    QList<std::pair<QCheckBox*, bool CentreSettings::*>> switches_;
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

    CentreForm form_;
    SaveMethodTable saveMethods_;
    RomBrowser browser_;
    // The last folder and ROM, kept for the next run.
    QSettings remembered_{QStringLiteral("Quarvend"), QStringLiteral("QuarvendCfg")};
    QString emulatorDirectory_;

    StartedProgram emulator_;
    QTimer* emulatorWatch_ = nullptr;
    QElapsedTimer emulatorWatched_;

    std::function<JoystickReading()> readJoystick_ = readFirstJoystick;
    QTimer* joystickTimer_ = nullptr;
};
