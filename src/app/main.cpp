// Ombrelay: asks every vendor of a BlackBerry application for a new registration code.

#include "app/startup.h"
#include "ui/qt/qt_platform.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (!ui::DisplayAvailable()) {
        std::fputs("ombrelay: no display found (DISPLAY or WAYLAND_DISPLAY is not set); "
                   "to run it without one, use a virtual display: xvfb-run -a ombrelay\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Ombrelay");
    QApplication::setDesktopFileName("ombrelay");
    ui::QtPlatform platform;
    return ProgramStart();
}
