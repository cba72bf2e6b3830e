// What the settings window shows for a ROM, as the core computes it, in the lines that
// centre_window_driver prints for the Windows window, so the Wine tests can compare the two:
//   centre_rom_fields SAVE_METHOD_LIST ROM
#include <cstdio>

#include "configcentre/core/centre_form.h"
#include "configcentre/core/file_access.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: centre_rom_fields SAVE_METHOD_LIST ROM\n");
        return 2;
    }
    SaveMethodTable methods;
    clearSaveMethodTable(methods);
    parseSaveMethodList(readRegularFile(argv[1], 1 << 20).bytes, methods);
    CentreForm form;
    showEventStatus(form.status, chooseRom(form, methods, argv[2]));
    const std::pair<const char*, const std::string*> fields[] = {
        {"Lab_CartName", &form.rom.cartName},         {"Lab_ROMSize", &form.rom.romSize},
        {"Lab_GameCode", &form.rom.gameCode},         {"Lab_MakerCode", &form.rom.makerCode},
        {"Lab_MainUnitCode", &form.rom.mainUnitCode}, {"Lab_DeviceType", &form.rom.deviceType},
        {"Lab_GameVersion", &form.rom.gameVersion},
    };
    std::printf("Frame2.visible=%d\n", form.romInfoShown ? 1 : 0);
    for (const auto& [name, value] : fields) {
        std::printf("%s=%s\n", name, value->c_str());
    }
    std::printf("Chk_DetectSave.checked=%d\nChk_DetectSave.enabled=%d\n", form.detectSave ? 1 : 0,
                form.detectSaveEnabled ? 1 : 0);
    std::printf("Label_SaveMethod=%s\nStatusBar=%s\n", saveMethodText(form).c_str(),
                form.status.text.c_str());
    return 0;
}
