// Ombrelay: asks every vendor of a BlackBerry application for a new registration code.

#include "app/startup.h"
#include "ui/qt/qt_platform.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char* const Usage =
    "Usage: ombrelay [--help | --version]\n"
    "\n"
    "Ombrelay keeps your BlackBerry applications and asks their vendors for new\n"
    "registration codes, one e-mail request per vendor, through your mail program.\n"
    "\n"
    "It works on the files of the folder it is started in: Application.dbf, User.dbf,\n"
    "Application.idx, the activity log Ombrelay.dat, the request texts Template.txt and\n"
    "Email Test Template.txt, and the backup folder BNG. The ombrelay command and the\n"
    "menu entry start it in ${XDG_DATA_HOME:-~/.local/share}/ombrelay, made for you,\n"
    "readable only by you, with example request texts, the first time.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

// Answers the options that need no window. Returns the exit code, or -1 to go on and open
// the program.
int Options(int argc, char** argv) {
    if (argc < 2)
        return -1;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("Ombrelay " OMBRELAY_VERSION);
        return 0;
    }
    // The first argument that is not one of the two, or what follows one of them.
    const bool known =
        std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "--version") == 0;
    std::fprintf(stderr, "ombrelay: unexpected argument '%s'; ombrelay --help lists the options\n",
                 known ? argv[2] : argv[1]);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (const int exitCode = Options(argc, argv); exitCode >= 0)
        return exitCode;
    if (!ui::DisplayAvailable()) {
        std::fputs("ombrelay: no display found (DISPLAY or WAYLAND_DISPLAY is not set); "
                   "to run it without one, use a virtual display: xvfb-run -a ombrelay\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Ombrelay");
    QApplication::setApplicationVersion(OMBRELAY_VERSION);
    QApplication::setDesktopFileName("org.ombrelay.Ombrelay"); // its desktop entry
    ui::QtPlatform platform;
    return ProgramStart();
}
