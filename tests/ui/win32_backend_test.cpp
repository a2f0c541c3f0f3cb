// The Win32 backend where it must do more than every backend does alike
// (platform_contract_test.cpp): the resources, the shell's own answer, and titles of other
// programs' windows. Every real dialog's controls, fonts, colours, icon and cursors against
// its table: tests/e2e.

#include "sample.h"
#include "support/ui_driver.h"
#include "support/win32_driver.h"
#include "ui/dialog_support.h"
#include "ui/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The resources as the program carries them: bitmap 127 of 370 x 128 at 24 bits,
// uncompressed; icon 126 of 32 x 32 in 16 colours.
TEST(Win32Resources, PictureAndIconAreStoredAsTheProgramNeedsThem) {
    const HMODULE program = GetModuleHandleW(nullptr);
    const HRSRC picture = FindResourceW(program, MAKEINTRESOURCEW(127), MAKEINTRESOURCEW(2));
    ASSERT_NE(picture, nullptr);
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(program, picture)));
    EXPECT_EQ(header->biWidth * 1000 + header->biHeight, 370128);
    EXPECT_EQ(header->biBitCount * 10 + header->biCompression, 24 * 10 + BI_RGB);

    const HRSRC group = FindResourceW(program, MAKEINTRESOURCEW(126), MAKEINTRESOURCEW(14));
    ASSERT_NE(group, nullptr);
    const auto* entries = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
    // One image: 32 x 32, 16 colours, 4 bits per pixel.
    EXPECT_EQ(entries[4] + entries[5] * 256, 1);
    EXPECT_EQ(entries[6] * 10000 + entries[7] * 100 + entries[8], 32 * 10000 + 32 * 100 + 16);
    EXPECT_EQ(entries[12], 4);
}

// The shell's answer is Windows' own: 32 or below is a failure. Another program's window of
// the same title is not this program's: never found.
TEST(Win32Platform, TheShellAndOtherProgramsAnswerForThemselves) {
    ui::Win32Platform platform;
    EXPECT_LE(platform.ShellOpen("C:\\no such folder\\nothing.txt", ui::ShowState::Normal), 32);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other{};
    wchar_t command[] = L"notepad.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &other));
    WaitForInputIdle(other.hProcess, 10000);
    HWND window = nullptr;
    for (int i = 0; i < 100 && window == nullptr; ++i, Sleep(50))
        window = FindWindowW(L"Notepad", nullptr);
    ASSERT_NE(window, nullptr);
    const std::string title = WindowTitle(window);
    EXPECT_EQ(platform.FindWindowByTitle(title), 0) << title;
    TerminateProcess(other.hProcess, 0);
    WaitForSingleObject(other.hProcess, 10000);
    CloseHandle(other.hProcess);
    CloseHandle(other.hThread);
}

// While another program has the keyboard, the program has no active window: a message box
// still belongs to the dialog it speaks for, which takes no input until it is answered.
TEST(Win32Platform, AMessageBoxHoldsItsDialogWhileAnotherProgramIsActive) {
    const auto backend = MakeBackend();
    const auto user = MakeDriver();
    bool held = false;
    user->When("Ombrelay Sample", [&](ui::WindowHandle dialog) {
        SetActiveWindow(nullptr);
        ASSERT_EQ(GetActiveWindow(), nullptr);
        user->whileBox = [&] { held = !user->Enabled(dialog); };
        ui::Ui().ShowMessage("Line", "Ombrelay Application Database", 0);
        ui::Ui().EndDialog(dialog, 0);
    });
    ui::RunDialog(Sample("Ombrelay Sample"), 0, {});
    EXPECT_TRUE(held);
}

} // namespace
