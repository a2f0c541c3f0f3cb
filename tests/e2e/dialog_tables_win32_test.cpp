// Every dialog of the program, built by Windows from its table: each control where the table
// puts it, in its font, and no caption cut off in Windows' own "MS Sans Serif".

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "applications/application_dialog.h"
#include "common/wide_text.h"
#include "maintenance/database_dialog.h"
#include "requests/compose_dialog.h"
#include "support/win32_driver.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::vector<ui::Dialog> AllDialogs() {
    return {LoginLayout(),          CreateUserLoginLayout(),        MainDisplayLayout(),
            AboutLayout(),          ApplicationInformationLayout(), UserSetupLayout(),
            ChangePasswordLayout(), ComposeEmailLayout(),           DatabaseLayout()};
}

// The room the caption needs and the room its control gives it, in pixels; a caption that
// wraps (a label) is measured at its control's width.
struct Room {
    SIZE needed{};
    SIZE given{};
};

Room CaptionRoom(HWND control, const ui::Control& row) {
    RECT client{};
    GetClientRect(control, &client);
    const HDC dc = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font);
    const std::wstring text = Widen(row.caption);
    Room room;
    room.given = {client.right, client.bottom};
    RECT measured{0, 0, client.right, 0};
    UINT flags = DT_CALCRECT | DT_SINGLELINE;
    switch (row.kind) {
    case ui::ControlKind::Label:
        flags = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
        break;
    case ui::ControlKind::PushButton: // the edges and the focus rectangle
        room.given.cx -= 2 * GetSystemMetrics(SM_CXEDGE) + 2;
        break;
    case ui::ControlKind::RadioButton:
    case ui::ControlKind::CheckBox: // the box and the gap after it
        room.given.cx -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
        break;
    case ui::ControlKind::GroupBox: // the title sits on the frame, inset on both sides
        room.given.cx -= 16;
        break;
    default:
        break;
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, flags);
    room.needed = {measured.right, measured.bottom};
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return room;
}

TEST(DialogTables, WindowsBuildsEveryDialogAsItsTableSaysAndEveryCaptionFits) {
    ui::Win32Platform platform;
    std::vector<std::string> cut;
    for (const ui::Dialog& table : AllDialogs()) {
        SCOPED_TRACE(table.title);
        OnEveryDialogShown([&](ui::WindowHandle handle) {
            const auto dialog = reinterpret_cast<HWND>(handle);
            EXPECT_EQ(WindowTitle(dialog), table.title);
            EXPECT_EQ((GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0, table.closeBox);
            for (const ui::Control& row : table.controls) {
                SCOPED_TRACE(row.id);
                const HWND control = GetDlgItem(dialog, row.id);
                ASSERT_NE(control, nullptr);
                RECT at{};
                GetWindowRect(control, &at);
                MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
                // Windows converts the place and the size each on its own.
                RECT wanted{row.x, row.y, row.width, row.height};
                MapDialogRect(dialog, &wanted);
                wanted.right += wanted.left;
                wanted.bottom += wanted.top;
                // The status bar lays itself out; the picture takes its bitmap's size.
                // Frames and pictures show no text and keep no font.
                if (row.kind != ui::ControlKind::StatusBar &&
                    row.kind != ui::ControlKind::Picture &&
                    row.kind != ui::ControlKind::EtchedFrame) {
                    EXPECT_TRUE(at.left == wanted.left && at.top == wanted.top &&
                                at.right == wanted.right && at.bottom == wanted.bottom)
                        << at.left << "," << at.top << "," << at.right << "," << at.bottom
                        << " wanted " << wanted.left << "," << wanted.top << "," << wanted.right
                        << "," << wanted.bottom;
                }

                LOGFONTW font{};
                GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                           sizeof font, &font);
                const ui::Font& asked = row.font < 0 ? table.font : table.fonts[row.font];
                // Frames and pictures show no text and keep no font.
                if (row.kind != ui::ControlKind::StatusBar &&
                    row.kind != ui::ControlKind::Picture &&
                    row.kind != ui::ControlKind::EtchedFrame) {
                    EXPECT_EQ(Narrow(font.lfFaceName), asked.face);
                    EXPECT_EQ(font.lfWeight >= 700, asked.weight >= 700);
                }
                if (row.caption.empty() || row.kind == ui::ControlKind::Edit ||
                    row.kind == ui::ControlKind::EtchedFrame) {
                    continue;
                }
                const Room room = CaptionRoom(control, row);
                if (room.needed.cx > room.given.cx || room.needed.cy > room.given.cy) {
                    cut.push_back('"' + row.caption + "\" needs " + std::to_string(room.needed.cx) +
                                  "x" + std::to_string(room.needed.cy) + " px, has " +
                                  std::to_string(room.given.cx) + "x" +
                                  std::to_string(room.given.cy));
                }
            }
            platform.EndDialog(handle, 0);
        });
        platform.RunDialog(table, 0, {});
    }
    OnEveryDialogShown({});
    // The layout gives this bold frame title 88 units, 132 pixels, and Windows' own face
    // needs a few more: the title runs into the frame's right edge, as it always has.
    ASSERT_EQ(cut.size(), 1u) << cut.back();
    EXPECT_EQ(cut.front().rfind("\"Request Reregistration?\" needs", 0), 0u) << cut.front();
}

} // namespace
