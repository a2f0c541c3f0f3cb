// The shell open of the Qt backend on Linux: the desktop's opener (xdg-open) decides whether
// a link or file was handed over. Stand-in openers on PATH succeed, fail as xdg-open
// reports it, or never return.

#include "support/qt_driver.h"
#include "support/temp_folder.h"
#include "ui/qt/qt_platform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)

namespace {

const char* const Link =
    "mailto:v@x.org?cc=me@x.org&subject=PIN%3A%202A3B&body=Caf%C3%A9%20%26%20co";
const std::string LinkLine = std::string(Link) + "\n";
// A stand-in body that writes what it was given, one argument a line, to "arguments".
const std::string Records = "printf '%s\\n' \"$@\" >>\"$here/arguments\"";

class StandInOpener : public InTempFolder {
protected:
    void SetUp() override {
        path_ = qgetenv("PATH");
        std::filesystem::create_directory("bin");
        qputenv("PATH", QByteArray::fromStdString((folder.path() / "bin").string() + ":") + path_);
    }
    void TearDown() override { qputenv("PATH", path_); }

    // The stand-in: a shell script with this body, which finds its folder in $here.
    void Opener(const std::string& body) {
        const auto script = folder.path() / "bin" / "xdg-open";
        WriteFile(script, "#!/bin/sh\nhere='" + folder.path().string() + "'\n" + body + "\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    ui::QtPlatform platform;
    QByteArray path_;
};

} // namespace

TEST_F(StandInOpener, TheOpenersExitStatusSaysWhetherTheLinkOrFileWasHandedOver) {
    Opener(Records + "\nexit \"$(cat \"$here/status\")\"");
    WriteFile("12-06-2024 data.txt", "a\r\n");
    std::vector<int> results;
    for (const char* status : {"0", "3", "4", "2"}) {
        WriteFile("status", status);
        results.push_back(platform.ShellOpen(Link, ui::ShowState::Normal));
    }
    WriteFile("status", "0");
    // A missing file never reaches the opener.
    for (const char* file : {"12-06-2024 data.txt", "missing.txt", ""})
        results.push_back(platform.ShellOpen(file, ui::ShowState::Normal));
    EXPECT_EQ(results, (std::vector<int>{42, 31, 31, 2, 42, 2, 2}));
    const std::string file = QDir::current().absoluteFilePath("12-06-2024 data.txt").toStdString();
    EXPECT_EQ(ReadFile("arguments"), LinkLine + LinkLine + LinkLine + LinkLine + file + "\n")
        << "the link as it is, the file by its full path, one argument each";
    // No opener at all.
    qputenv("PATH", QByteArray::fromStdString((folder.path() / "bin").string()));
    std::filesystem::remove(folder.path() / "bin" / "xdg-open");
    EXPECT_EQ(platform.ShellOpen(Link, ui::ShowState::Normal), 31);
}

TEST_F(StandInOpener, AnOpenerThatHangsFailsAfterABoundedWaitWithoutFreezingTheProgram) {
    Opener("exec sleep 60");
    int ticks = 0;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&ticks] { ++ticks; });
    clock.start(100);
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(platform.ShellOpen(Link, ui::ShowState::Normal), 28);
    EXPECT_GE(waited.elapsed(), 3000) << "an opener gets a few seconds";
    EXPECT_LE(waited.elapsed(), 15000);
    EXPECT_GE(ticks, 20) << "the event loop went on meanwhile";

    Opener(Records);
    EXPECT_EQ(platform.ShellOpen(Link, ui::ShowState::Normal), 42) << "the next one goes through";
    EXPECT_EQ(ReadFile("arguments"), LinkLine);
}

TEST_F(StandInOpener, AHandlerRegisteredForTheSchemeTakesTheLinkInstead) {
    Opener(Records + "\nexit 4");
    UrlCatcher mailto("mailto");
    EXPECT_EQ(platform.ShellOpen(Link, ui::ShowState::Normal), 42);
    ASSERT_EQ(mailto.urls.size(), 1u);
    EXPECT_EQ(mailto.urls[0].toEncoded().toStdString(), std::string(Link));
    EXPECT_EQ(ReadFile("arguments"), "") << "the opener was not run";
}

#endif
