#pragma once
// A dialog of the Win32 backend while it runs (Win32Platform::Running): its table and callback,
// its window, and the fonts, pictures and brushes made for its controls; and the window
// procedure of every dialog, which gives the controls what a template cannot hold and turns
// Windows' messages into the dialog's events. For the backend's own files.

#include "ui/win32/win32_platform.h"

#include <utility>
#include <vector>

#include <windows.h>

namespace ui {

namespace win32 {

inline HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

inline WindowHandle Handle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

// The hook Win32Platform::SetDialogShownHook sets.
Win32Platform::DialogShownHook& DialogShown();

} // namespace win32

struct Win32Platform::Running {
    Win32Platform* platform = nullptr;
    const Dialog* table = nullptr;
    DialogCallback callback;
    HWND window = nullptr;
    bool ended = false;
    int lastFocus = 0; // the control to give the focus back to, kept when the dialog lost it
    std::vector<HFONT> fonts;
    std::vector<HBITMAP> pictures; // each picture at its control's size
    std::vector<std::pair<COLORREF, HBRUSH>> brushes;

    // The row of control `id`, or null.
    const Control* Find(int id) const;
    // A brush of the colour, made at its first use and kept until the dialog has closed.
    HBRUSH Brush(COLORREF color);
    // Tells the callback of an event, until the dialog has ended.
    void Report(DialogEventKind kind, int control = 0, int code = 0);
    // The close box: the callback decides; a dialog run without one ends with 0.
    void Close();
    // The table's fonts made for `dpi` and given to their controls; those they replace go.
    void MakeFonts(int dpi);
    // Each picture drawn to fill its control as it now is.
    void DrawPictures();
    // The focused control of this dialog, or 0.
    int FocusedChild() const;
    // Keeps the focused control, if one has the focus, as the one to give it back to; gives it
    // back once a message box or a nested dialog has gone. Windows' dialog manager does the
    // same on activation, but under Wine an activation that comes late may find the dialog
    // already disabled, its focus gone, and then picks the first tab stop.
    void KeepFocus();
    void GiveFocusBack();
};

// DialogBoxIndirectParamW's procedure for every dialog; WM_INITDIALOG brings its Running.
struct DialogProcedure {
    static INT_PTR CALLBACK Run(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR Initialise(HWND window, Win32Platform::Running& running);
    static INT_PTR Colours(Win32Platform::Running& running, HDC dc, HWND child);
};

} // namespace ui
