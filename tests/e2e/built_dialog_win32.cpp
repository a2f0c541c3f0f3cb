// The dialogs as Windows builds them from their templates (under Wine here): each control
// where Windows' own dialog units put it, in its face and weight, and each caption measured
// in Windows' own "MS Sans Serif".

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
    OnEveryDialogShown([&](ui::WindowHandle handle) {
        const auto dialog = reinterpret_cast<HWND>(handle);
        wrong.Expect(WindowTitle(dialog) == table.title, "title");
        wrong.Expect(((GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0) == table.closeBox,
                     "close box");
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
            // The status bar lays itself out; the picture takes its bitmap's size. Frames and
            // pictures show no text and keep no font.
            if (row.kind == ui::ControlKind::StatusBar || row.kind == ui::ControlKind::Picture ||
                row.kind == ui::ControlKind::EtchedFrame)
                continue;
            RECT at{};
            GetWindowRect(control, &at);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
            // Windows converts the place and the size each on its own.
            RECT wanted{row.x, row.y, row.width, row.height};
            MapDialogRect(dialog, &wanted);
            wrong.Expect(at.left == wanted.left && at.top == wanted.top &&
                             at.right == wanted.left + wanted.right &&
                             at.bottom == wanted.top + wanted.bottom,
                         id + " geometry");
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            const ui::Font& asked = row.font < 0 ? table.font : table.fonts[row.font];
            wrong.Expect(Narrow(font.lfFaceName) == asked.face &&
                             (font.lfWeight >= 700) == (asked.weight >= 700),
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
    OnEveryDialogShown({});
    return wrong;
}
