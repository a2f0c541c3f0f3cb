#include "ui/qt/desktop_open.h"

#include <gio/gio.h>

#include <cstdio>

namespace ui {

int OpenWithDesktop(const std::string& uri) {
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error))
        return 42;
    // The operation names the request that was not handed over; why is told here.
    const bool missing = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND);
    std::fprintf(stderr, "ombrelay: no program of the desktop took %s: %s\n",
                 uri.substr(0, uri.find(':') + 1).c_str(),
                 error != nullptr ? error->message : "no reason given");
    g_clear_error(&error);
    return missing ? 2 : 31;
}

} // namespace ui
