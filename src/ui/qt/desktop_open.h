#pragma once
// Handing a link or a file to the desktop on Linux and other freedesktop systems, through
// GIO: the handler the desktop names for it (mimeapps.list), or the desktop portal when the
// program runs in a sandbox. Kept apart from Qt, whose keywords GIO's headers do not bear.

#include <string>

namespace ui {

// Starts the default handler of `uri` (a link, or a file:// URI) and returns as soon as it
// is started, never waiting on it: 42 when handed over, 2 when a file is not there, 31 when
// nothing takes it (Windows' ShellExecute results).
int OpenWithDesktop(const std::string& uri);

} // namespace ui
