// The dialogs as Windows builds them from their templates (under Wine here): each control
// where Windows' own dialog units put it, in its face, weight and size, the icon, the
// picture filling its place, the status bar and the hand over links, and each caption
// measured in Windows' own "MS Sans Serif".

#include "common/wide_text.h"
#include "e2e/built_dialog.h"
#include "support/win32_driver.h"

#include <windows.h>

// The layout gives this bold frame title 88 units, 132 pixels, and Windows' own face needs a
// few more: the title runs into the frame's right edge, as it always has.
const std::vector<std::string> KnownCutCaptions = {"\"Request Reregistration?\" needs"};

namespace {

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

} // namespace

Differences DifferencesFromTable(const ui::Dialog& table, std::vector<std::string>& cut) {
    Differences wrong;
    ui::Win32Platform::SetDialogShownHook([&](ui::WindowHandle handle) {
        const auto dialog = reinterpret_cast<HWND>(handle);
        wrong.Expect(WindowTitle(dialog) == table.title, "title");
        wrong.Expect(((GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0) == table.closeBox,
                     "close box");
        wrong.Expect(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) != 0, "icon");
        // Windows' own dialog units, from Wine's raster "MS Sans Serif" 8 at 96 dots per inch:
        // 6 x 13 pixels. The program is told the real resolution, and runs at any.
        const HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        RECT units{0, 0, 4, 8};
        MapDialogRect(dialog, &units);
        wrong.Expect(dpi != 96 || (units.right == 6 && units.bottom == 13), "dialog units");
        RECT client{};
        GetClientRect(dialog, &client);
        for (const ui::Control& row : table.controls) {
            const std::string id = std::to_string(row.id);
            const HWND control = GetDlgItem(dialog, row.id);
            if (control == nullptr) {
                wrong.found.push_back(id + " missing");
                continue;
            }
            wrong.Expect(((GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0) ==
                             !(row.style & ui::Hidden),
                         id + " visibility");
            // Each kind as the Windows class that the dialog manager and screen readers know.
            static const wchar_t* const classes[] = {
                L"Edit",   L"Button",           L"Static", L"Button",
                L"Button", L"Button",           L"Static", L"msctls_statusbar32",
                L"Static", L"msctls_progress32"};
            wchar_t kind[32] = {};
            GetClassNameW(control, kind, 32);
            wrong.Expect(lstrcmpiW(kind, classes[static_cast<int>(row.kind)]) == 0, id + " class");
            // The hand over a link, and only there.
            SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            wrong.Expect((GetCursor() == LoadCursorW(nullptr, IDC_HAND)) ==
                             bool(row.style & ui::Link),
                         id + " cursor");
            RECT at{};
            GetWindowRect(control, &at);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
            wrong.Expect(at.left >= 0 && at.top >= 0 && at.right <= client.right &&
                             at.bottom <= client.bottom,
                         id + " inside the dialog");
            // The status bar lays itself out along the bottom edge. Frames and pictures show no
            // text and keep no font.
            if (row.kind == ui::ControlKind::StatusBar) {
                wrong.Expect(at.left == 0 && at.right == client.right && at.bottom == client.bottom,
                             id + " geometry");
                continue;
            }
            if (row.kind == ui::ControlKind::EtchedFrame)
                continue;
            // Windows converts the place and the size each on its own.
            RECT wanted{row.x, row.y, row.width, row.height};
            MapDialogRect(dialog, &wanted);
            wrong.Expect(at.left == wanted.left && at.top == wanted.top &&
                             at.right == wanted.left + wanted.right &&
                             at.bottom == wanted.top + wanted.bottom,
                         id + " geometry");
            if (row.kind == ui::ControlKind::Picture) { // bitmap 127 drawn to fill it
                BITMAP bitmap{};
                GetObjectW(
                    reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                    sizeof bitmap, &bitmap);
                RECT inside{};
                GetClientRect(control, &inside);
                wrong.Expect(bitmap.bmWidth == inside.right && bitmap.bmHeight == inside.bottom,
                             id + " bitmap");
                continue;
            }
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            const ui::Font& asked = row.font < 0 ? table.font : table.fonts[row.font];
            // A font of the table's own is made at -(points * dpi / 72), truncated; the
            // dialog font is Windows' own.
            wrong.Expect(Narrow(font.lfFaceName) == asked.face &&
                             (font.lfWeight >= 700) == (asked.weight >= 700) &&
                             (row.font < 0 || font.lfHeight == -(asked.points * dpi / 72)),
                         id + " font");
            if (row.caption.empty() || row.kind == ui::ControlKind::Edit)
                continue;
            const Room room = CaptionRoom(control, row);
            if (room.needed.cx > room.given.cx || room.needed.cy > room.given.cy) {
                cut.push_back('"' + row.caption + "\" needs " + std::to_string(room.needed.cx) +
                              "x" + std::to_string(room.needed.cy) + " px, has " +
                              std::to_string(room.given.cx) + "x" + std::to_string(room.given.cy));
            }
        }
        ui::Ui().EndDialog(handle, 0);
    });
    ui::Ui().RunDialog(table, 0, {});
    ui::Win32Platform::SetDialogShownHook({});
    return wrong;
}
