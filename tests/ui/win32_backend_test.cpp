// The Win32 backend on real windows where it must do more than every backend does alike
// (platform_contract_test.cpp): the table's colours as drawn, the resources, message boxes
// with their style flags, the focus behind a box, the shell's own answer, and titles of
// other programs' windows. Every real dialog's controls, fonts, icon and cursors against its
// table: tests/e2e.

#include "support/win32_driver.h"
#include "ui/dialog_support.h"
#include "ui/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using ui::ControlKind;
using ui::WindowHandle;

HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

class Win32Dialog : public ::testing::Test {
protected:
    void TearDown() override { ui::Win32Platform::SetDialogShownHook({}); }
    ui::Win32Platform platform;
};

TEST_F(Win32Dialog, DrawsTheDialogAndALabelInTheirTableColours) {
    ui::Dialog table{.title = "Table", .width = 200, .height = 60};
    table.controls = {ui::MakeControl(11, ControlKind::Label, "&Name", 5, 5, 40, 8, ui::NoStyle,
                                      ui::DialogFont, ui::White, ui::Blue)};
    ui::Win32Platform::SetDialogShownHook([&](WindowHandle handle) {
        const HDC dc = GetDC(Hwnd(handle));
        // In pixels of Windows' units (6 x 13): the light blue dialog, and the label's
        // bottom right corner, white behind its text.
        EXPECT_EQ(GetPixel(dc, 195 * 6 / 4, 55 * 13 / 8), RGB(134, 185, 240));
        EXPECT_EQ(GetPixel(dc, 45 * 6 / 4 - 1, 13 * 13 / 8 - 1), RGB(255, 255, 255));
        ReleaseDC(Hwnd(handle), dc);
        platform.EndDialog(handle, 5);
    });
    EXPECT_EQ(platform.RunDialog(table, 0, {}), 5);
}

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

// Task-modal boxes from their style flags; behind them the dialog names the control it will
// give the focus back to, and gives it back.
TEST_F(Win32Dialog, MessageBoxesFollowTheirStyleFlagsAndKeepTheProgramWaiting) {
    struct Case {
        unsigned style;
        LPCWSTR icon;
        int defaultButton;
        int expected;
    };
    const Case cases[] = {
        {0x2030, IDI_WARNING, IDOK, ui::IdOk},     {0x2010, IDI_ERROR, IDOK, ui::IdOk},
        {0x2040, IDI_INFORMATION, IDOK, ui::IdOk}, {0x2024, IDI_QUESTION, IDYES, ui::IdYes},
        {0x2134, IDI_WARNING, IDNO, ui::IdNo},
    };
    ui::Dialog table{.title = "Behind", .width = 120, .height = 60};
    table.controls = {
        ui::MakeControl(31, ControlKind::Edit, "", 5, 5, 100, 12, ui::TabStop | ui::Border),
        ui::MakeControl(32, ControlKind::Edit, "", 5, 25, 100, 12, ui::TabStop | ui::Border),
    };
    // Run as the program runs its dialogs, which give the focus back on activation.
    ui::Win32Platform::SetDialogShownHook([&](WindowHandle handle) {
        platform.SetFocus(handle, 32);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style);
            OnNextMessageBox("Caption", [&](HWND box) {
                EXPECT_FALSE(IsWindowEnabled(Hwnd(handle))) << "task-modal";
                EXPECT_EQ(platform.FocusedControl(handle), 32);
                wchar_t text[64] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 64);
                EXPECT_STREQ(text, L"Line 1\r\nZoë");
                EXPECT_EQ(GetDlgItem(box, IDYES) != nullptr, c.defaultButton != IDOK);
                EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.defaultButton);
                EXPECT_EQ(SendDlgItemMessageW(box, 0x0440, STM_GETICON, 0, 0),
                          reinterpret_cast<LRESULT>(LoadIconW(nullptr, c.icon)));
                PressButton(box, c.defaultButton);
            });
            EXPECT_EQ(platform.ShowMessage("Line 1\r\nZoë", "Caption", c.style), c.expected);
        }
        EXPECT_TRUE(IsWindowEnabled(Hwnd(handle)));
        EXPECT_EQ(GetFocus(), GetDlgItem(Hwnd(handle), 32));
        platform.EndDialog(handle, 0);
    });
    ui::RunDialog(table, 0, {});
}

// The shell's answer is Windows' own: 32 or below is a failure. Another program's window of
// the same title is not this program's: never found.
TEST_F(Win32Dialog, TheShellAndOtherProgramsAnswerForThemselves) {
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

} // namespace
