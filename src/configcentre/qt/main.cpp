// QuarvendCfg: the settings program. Reads and writes "Quarvend.CFG" in the current
// directory and starts the emulator on the chosen ROM.
#include <QApplication>
#include <QStyleFactory>

#include "configcentre/qt/joystick.h"
#include "configcentre/qt/quarvend_cfg.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // One look on every desktop, which also honours the window's grey palette.
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    int result = 0;
    {
        QuarvendCfg window;
        window.show();
        result = application.exec();
    }
    closeJoystick();
    return result;
}
