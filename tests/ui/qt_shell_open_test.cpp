// The shell open of the Qt backend on Linux: GIO hands a link or file to the handler the
// desktop names for it and returns once the handler is started. Stand-in handlers are
// registered as a desktop registers them: a .desktop file and mimeapps.list under a private
// XDG_DATA_HOME and XDG_CONFIG_HOME, with no other applications in sight.

#include "support/golden.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_platform.h"

#include <QDir>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)

namespace fs = std::filesystem;

namespace {

const char* const Link =
    "mailto:v@x.org?cc=me@x.org&subject=PIN: 2A3B&body=Caf\xC3\xA9 & co\r\nBye";

class StandInDesktop : public InTempFolder {
protected:
    // GIO reads the XDG folders once per process: one desktop for every test here. Mail links
    // go to a mail program and plain text to an editor; nothing takes web links.
    static void SetUpTestSuite() {
        desktop = new TempFolder;
        const fs::path home = desktop->path();
        for (const char* folder : {"data/applications", "config", "system"})
            fs::create_directories(home / folder);
        fs::create_symlink("/usr/share/mime", home / "system/mime"); // file types only
        Handler("mail", "%u", "x-scheme-handler/mailto");
        Handler("editor", "%f", "text/plain");
        WriteFile(home / "config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/mailto=mail.desktop\n"
                  "text/plain=editor.desktop\n");
        for (const auto& [name, value] : {std::pair{"XDG_DATA_HOME", "data"},
                                          {"XDG_CONFIG_HOME", "config"},
                                          {"XDG_DATA_DIRS", "system"},
                                          {"XDG_CONFIG_DIRS", "system"}})
            setenv(name, (home / value).c_str(), 1);
        unsetenv("GTK_USE_PORTAL");
    }
    static void TearDownTestSuite() { delete desktop; }

    // A handler (tests/data/desktop/handler.sh) that writes what it was given into
    // "<name>.opened", one argument a line, and then waits for a file "release" before it ends,
    // as a mail program stays open.
    static void Handler(const std::string& name, const std::string& field,
                        const std::string& type) {
        WriteFile(desktop->path() / "data/applications" / (name + ".desktop"),
                  "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=sh \"" +
                      TestsFile("data/desktop/handler.sh").string() + "\" \"" +
                      desktop->path().string() + "\" " + name + " " + field + "\nMimeType=" + type +
                      ";\n");
    }
    // What the handler was given, once it has written it; empty after a few seconds without.
    static std::string Opened(const std::string& name) {
        const fs::path file = desktop->path() / (name + ".opened");
        for (int i = 0; i < 100 && !fs::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return fs::exists(file) ? ReadFile(file) : std::string();
    }

    static inline TempFolder* desktop = nullptr;
    ui::QtPlatform platform;
};

} // namespace

TEST_F(StandInDesktop, TheDesktopsHandlerGetsTheLinkOrFileAndTheCallDoesNotWaitForIt) {
    EXPECT_EQ(platform.ShellOpen(Link, ui::ShowState::Normal), 42);
    EXPECT_FALSE(fs::exists(desktop->path() / "mail.ended"))
        << "returned only once the mail program had ended";
    EXPECT_EQ(Opened("mail"), std::string(Link) + "\n") << "the link as it is, one argument";

    WriteFile("12-06-2024 data.txt", "a\r\n");
    EXPECT_EQ(platform.ShellOpen("12-06-2024 data.txt", ui::ShowState::Normal), 42);
    EXPECT_EQ(Opened("editor"),
              QDir::current().absoluteFilePath("12-06-2024 data.txt").toStdString() + "\n")
        << "the file by its full path";
    WriteFile(desktop->path() / "release", "");
}

TEST_F(StandInDesktop, WhatNothingTakesIsNotHandedOver) {
    // A missing file never reaches the desktop; a link nothing takes is refused at once.
    std::vector<int> results;
    for (const char* target : {"missing.txt", "", "https://ombrelay.org"})
        results.push_back(platform.ShellOpen(target, ui::ShowState::Normal));
    EXPECT_EQ(results, (std::vector<int>{2, 2, 31}));
}

#endif
