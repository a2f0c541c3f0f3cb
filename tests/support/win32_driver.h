#pragma once
// The Win32 backend's driver (MakeDriver) and what the tests of its windows share with it.

#include <string>

#include <windows.h>

// The text of a window: its title, or what a control shows.
std::string WindowTitle(HWND window);
