// Ombrelay: asks every vendor of a BlackBerry application for a new registration code.

#include "app/startup.h"
#include "ui/win32/win32_platform.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::Win32Platform platform;
    return ProgramStart();
}
