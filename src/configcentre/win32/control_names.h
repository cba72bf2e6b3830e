// The settings window's controls by their control names, and their Windows control identifiers:
// 1000 + 16 x the control's place in the list + the index within a control array (Opt_Res,
// Txt_Inkey, ...). Tools that read the window (its tests) find the controls by these names.
#pragma once

#define CENTRE_CONTROLS(X)                                                                         \
    X(Frame1)                                                                                      \
    X(Txt_Path) X(Cmd_Browse) X(Drive1) X(Dir1) X(File1) X(Check_ListBIN) X(Check_ListGBA)         \
        X(Command1) X(Frame2) X(Lab_CartName) X(Lab_ROMSize) X(Lab_GameCode) X(Lab_MakerCode)      \
            X(Lab_MainUnitCode) X(Lab_DeviceType) X(Lab_GameVersion) X(Frame3) X(TabStrip1)        \
                X(Frame_General) X(Label31) X(Chk_DisableWSCNT) X(Chk_DisableColorSF)              \
                    X(Chk_DisableFIFO) X(Chk_EnableSound) X(Chk_BootFromBIOS) X(Chk_DetectSave)    \
                        X(Label32) X(Label_SaveMethod) X(Frame_Video) X(Opt_Res) X(Opt_Zoom)       \
                            X(Opt_FrameSkip) X(Chk_AutoFrameSkip) X(Chk_HalfSpeed) X(Chk_RealGBA)  \
                                X(Chk_Window) X(Chk_IntegerScale) X(Frame_Controller)              \
                                    X(Opt_Controller1) X(Txt_Inkey) X(Txt_Joy) X(StatusBar)

#define CENTRE_CONTROL_ENUM(name) ctl_##name,
#define CENTRE_CONTROL_NAME(name) #name,

enum CentreControl : int { CENTRE_CONTROLS(CENTRE_CONTROL_ENUM) centreControlCount };

inline constexpr const char* centreControlNames[centreControlCount] = {
    CENTRE_CONTROLS(CENTRE_CONTROL_NAME)};

inline constexpr int centreFirstControlId = 1000;
inline constexpr int centreArrayLimit = 16;

constexpr int controlId(CentreControl control, int index = 0) {
    return centreFirstControlId + control * centreArrayLimit + index;
}

// The main window's class and caption.
inline constexpr const char* centreWindowClass = "QuarvendCfg";
inline constexpr const char* centreWindowTitle = "Quarvend Configuration Center";
