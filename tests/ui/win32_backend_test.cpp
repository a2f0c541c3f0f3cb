// The Win32 backend on real windows: tables become native controls, the resources, message
// boxes with their style flags, focus behind a box, titles; what every backend does alike:
// platform_contract_test.cpp.

#include "support/win32_driver.h"
#include "ui/dialog_support.h"
#include "ui/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

namespace {

using ui::ControlKind;
using ui::WindowHandle;

HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

RECT ChildRect(HWND dialog, int id) {
    RECT rect{};
    const HWND child = GetDlgItem(dialog, id);
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ClassOf(HWND dialog, int id) {
    wchar_t name[64] = {};
    GetClassNameW(GetDlgItem(dialog, id), name, 64);
    return name;
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
    return font;
}

COLORREF PixelAt(HWND dialog, int x, int y) {
    const HDC dc = GetDC(dialog);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(dialog, dc);
    return color;
}

class Win32Dialog : public ::testing::Test {
protected:
    void TearDown() override { OnEveryDialogShown({}); }
    ui::Win32Platform platform;
};

TEST_F(Win32Dialog, TablesBecomeNativeControlsInDialogUnitsOfTheDialogFont) {
    ui::Dialog table{.title = "Table", .x = 10, .y = 10, .width = 200, .height = 130};
    table.fonts = {ui::Font{ui::SansSerif, 8, 700}};
    table.controls = {
        ui::MakeControl(11, ControlKind::Label, "&Name", 5, 5, 40, 8, ui::NoStyle, 0, ui::White,
                        ui::Blue),
        ui::MakeControl(12, ControlKind::Edit, "", 50, 5, 100, 12,
                        ui::TabStop | ui::Border | ui::Uppercase),
        ui::MakeControl(13, ControlKind::PushButton, "&Go", 5, 20, 50, 14, ui::TabStop, 0),
        ui::MakeControl(17, ControlKind::Picture, "", 5, 40, 126, 42, ui::StaticEdge,
                        ui::DialogFont, {}, {}, ui::ProgramPicture),
        ui::MakeControl(18, ControlKind::StatusBar, "", 0, 117, 200, 13),
        ui::MakeControl(19, ControlKind::Label, "https://example.org", 140, 40, 55, 8,
                        ui::Notify | ui::Link),
    };

    OnEveryDialogShown([&](WindowHandle handle) {
        const HWND dialog = Hwnd(handle);
        // Windows' own dialog units, from Wine's raster "MS Sans Serif" 8: 6 x 13 pixels.
        RECT units{0, 0, 4, 8};
        MapDialogRect(dialog, &units);
        EXPECT_EQ(units.right * 100 + units.bottom, 613);
        EXPECT_STREQ(FontOf(dialog).lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(ClassOf(dialog, 11) + ClassOf(dialog, 12) + ClassOf(dialog, 13) +
                      ClassOf(dialog, 18),
                  L"StaticEditButtonmsctls_statusbar32");

        // The table's font is made at -(points * dpi / 72), truncated, and bold.
        const HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        const LOGFONTW bold = FontOf(GetDlgItem(dialog, 13));
        EXPECT_EQ(bold.lfHeight, -(8 * dpi / 72));
        EXPECT_EQ(bold.lfWeight, 700);
        EXPECT_STREQ(bold.lfFaceName, L"MS Sans Serif");

        // Colours: the light blue dialog, the label's white behind its text.
        const RECT label = ChildRect(dialog, 11);
        EXPECT_EQ(PixelAt(dialog, 195 * 6 / 4, 35 * 13 / 8), RGB(134, 185, 240));
        EXPECT_EQ(PixelAt(dialog, label.right - 1, label.bottom - 1), RGB(255, 255, 255));

        // The picture shows bitmap 127 at its own size; the window has icon 126.
        const auto bitmap = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageW(dialog, 17, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP picture{};
        ASSERT_NE(GetObjectW(bitmap, sizeof picture, &picture), 0);
        EXPECT_EQ(picture.bmWidth * 1000 + picture.bmHeight, 370128);
        EXPECT_NE(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), 0);

        // The status bar lies along the bottom edge and shows what is written to it.
        RECT client{};
        GetClientRect(dialog, &client);
        const RECT status = ChildRect(dialog, 18);
        EXPECT_EQ(status.bottom * 10000 + status.right, client.bottom * 10000 + client.right);
        platform.SetControlText(handle, 18, "3 applications, één €");
        EXPECT_EQ(platform.ControlText(handle, 18), "3 applications, één €");

        // Typed letters become capitals, accented ones too.
        platform.SetFocus(handle, 12);
        PostCharacter(dialog, L'a');
        PostCharacter(dialog, L'\u00e9');
        HandlePendingMessages(dialog);
        EXPECT_EQ(platform.ControlText(handle, 12), "AÉ");

        // The hand over the link label, the arrow over any other.
        const auto cursorOver = [&](int id) {
            SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            return GetCursor();
        };
        EXPECT_EQ(cursorOver(19), LoadCursorW(nullptr, IDC_HAND));
        EXPECT_EQ(cursorOver(11), LoadCursorW(nullptr, IDC_ARROW));
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
    ui::Dialog table{.title = "Behind", .width = 100, .height = 40};
    OnEveryDialogShown([&](WindowHandle handle) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style);
            OnNextMessageBox("Caption", [&](HWND box) {
                EXPECT_FALSE(IsWindowEnabled(Hwnd(handle))) << "task-modal";
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
        platform.EndDialog(handle, 0);
    });
    platform.RunDialog(table, 0, {});
}

// While a message box is up, the dialog names the control it will give the focus back to.
TEST_F(Win32Dialog, BehindAMessageBoxTheDialogNamesTheControlItWillFocusAgain) {
    ui::Dialog table{.title = "Outer", .width = 120, .height = 60};
    table.controls = {
        ui::MakeControl(31, ControlKind::Edit, "", 5, 5, 100, 12, ui::TabStop | ui::Border),
        ui::MakeControl(32, ControlKind::Edit, "", 5, 25, 100, 12, ui::TabStop | ui::Border),
    };
    int named = 0;
    OnEveryDialogShown([&](WindowHandle handle) {
        platform.SetFocus(handle, 32);
        OnNextMessageBox("Note", [&](HWND box) {
            named = platform.FocusedControl(handle);
            PressButton(box, IDOK);
        });
        platform.ShowMessage("x", "Note", 0x2040);
        EXPECT_EQ(GetFocus(), GetDlgItem(Hwnd(handle), 32));
        platform.EndDialog(handle, 0);
    });
    ui::RunDialog(table, 0, {});
    EXPECT_EQ(named, 32);

    // The shell's answer is Windows' own: 32 or below is a failure.
    EXPECT_LE(platform.ShellOpen("C:\\no such folder\\nothing.txt", ui::ShowState::Normal), 32);
}

// Another program's window of the same title is not this program's: never found.
TEST_F(Win32Dialog, AnotherProgramsWindowIsNotFoundByItsTitle) {
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
