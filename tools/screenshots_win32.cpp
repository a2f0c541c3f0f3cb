// Renders every dialog of the Windows build, filled with sample data, into BMP files (one
// per dialog, frame and title bar included), for the README and for looking at the layouts
// as Windows draws them.
//
//   ombrelay-screenshots.exe <output folder>

#include "app/about_dialog.h"
#include "app/login_dialogs.h"
#include "app/main_window.h"
#include "applications/application_records.h"
#include "common/files.h"
#include "common/wide_text.h"
#include "maintenance/database_dialog.h"
#include "maintenance/import.h"
#include "requests/compose_dialog.h"
#include "requests/message_preview.h"
#include "requests/send_requests.h"
#include "sample_data.h"
#include "ui/win32/win32_platform.h"
#include "user/change_password.h"
#include "user/user_setup_dialog.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

namespace fs = std::filesystem;

namespace {

fs::path outputFolder;
int failures = 0;

HWND Hwnd(ui::WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

// The whole window, as it is on the screen, into a 24-bit BMP.
void Save(ui::WindowHandle dialog, const char* name) {
    const HWND window = Hwnd(dialog);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // What was drawn reaches the screen once the program waits (under Wine, at least).
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    SelectObject(memory, previous);

    const DWORD row = ((width * 3 + 3) / 4) * 4;
    const DWORD size = row * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(14 + 40 + size), 0, 0, 14 + 40};
    const fs::path path = outputFolder / (std::string(name) + ".bmp");
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), 14);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), 40);
    out.write(static_cast<const char*>(bits), size);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!out) {
        std::fprintf(stderr, "could not write %s\n", PathToUtf8(path).c_str());
        ++failures;
        return;
    }
    std::printf("%s\n", PathToUtf8(path).c_str());
}

void Press(ui::WindowHandle dialog, int control) {
    SendDlgItemMessageW(Hwnd(dialog), control, BM_CLICK, 0, 0);
}

void Fill(ui::WindowHandle dialog, const std::vector<std::pair<int, std::string>>& values) {
    for (const auto& [control, text] : values)
        ui::Ui().SetControlText(dialog, control, text);
}

// Every message box is answered with its default button, which has the focus.
BOOL CALLBACK AnswerMessageBox(HWND window, LPARAM) {
    if (IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) != nullptr) {
        const HWND focus = GetFocus();
        const int button =
            focus != nullptr && GetParent(focus) == window ? GetDlgCtrlID(focus) : IDOK;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    return TRUE;
}

void CALLBACK AnswerMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &AnswerMessageBox, 0);
}

// What to do when a dialog of a given title is shown.
std::map<std::string, std::function<void(ui::WindowHandle)>> whenShown;

// The Win32 backend, with the sample file chosen in the file chooser.
class SamplePlatform : public ui::Win32Platform {
public:
    std::string ChooseFileToOpen(ui::WindowHandle, const std::string&, const std::string&,
                                 const std::string&) override {
        return WriteSampleImport();
    }
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ombrelay-screenshots <output folder>\n");
        return 2;
    }
    outputFolder = fs::absolute(argv[1]);
    std::error_code error;
    fs::create_directories(outputFolder, error);
    const fs::path work = fs::temp_directory_path(error) /
                          ("ombrelay-screenshots-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(work, error);
    fs::current_path(work, error);
    if (error) {
        std::fprintf(stderr, "cannot make a working folder\n");
        return 1;
    }

    SamplePlatform platform;
    SetTimer(nullptr, 0, 50, &AnswerMessageBoxes);
    // Nothing leaves the program: the links go nowhere, each a moment later as a desktop takes
    // it (a run's on a thread of its own).
    ui::Win32Platform::SetShellOpenHook([](const std::string&, ui::ShowState) {
        Sleep(300);
        return 42;
    });
    ui::Win32Platform::SetDialogShownHook([](ui::WindowHandle dialog) {
        wchar_t title[256] = {};
        GetWindowTextW(Hwnd(dialog), title, 256);
        auto found = whenShown.find(Narrow(title));
        if (found != whenShown.end())
            found->second(dialog);
        if (found == whenShown.end() || found->first != ui::SendingRequestsTitle)
            ui::Ui().EndDialog(dialog, 0); // a run ends by itself once stopped
    });

    whenShown[ui::CreateUserLoginTitle] = [](ui::WindowHandle dialog) {
        Fill(dialog, {{NewNameBox, "Ann"},
                      {NewLoginPasswordBox, "secret"},
                      {RepeatLoginPasswordBox, "secret"}});
        Save(dialog, "create-user-login");
    };
    CreateUserLoginDialog(0);

    WriteSampleData();
    whenShown[ui::LoginTitle] = [](ui::WindowHandle dialog) {
        Fill(dialog, {{PasswordBox, "secret"}});
        Save(dialog, "login");
    };
    LoginDialog(0);

    whenShown[ui::UserSetupTitle] = [](ui::WindowHandle dialog) {
        Save(dialog, "user-setup");
        Press(dialog, ChangePasswordButton);
    };
    whenShown[ui::ChangePasswordTitle] = [](ui::WindowHandle dialog) {
        Fill(dialog, {{NewPasswordBox, "new secret"}, {RepeatPasswordBox, "new secret"}});
        Save(dialog, "change-password");
    };
    whenShown["Ombrelay Application Information"] = [](ui::WindowHandle dialog) {
        Press(dialog, ApplicationNextButton); // Next: the first application in name order
        Save(dialog, "application-information");
    };
    whenShown[ui::ComposeEmailTitle] = [](ui::WindowHandle dialog) {
        Save(dialog, "compose-email");
        Press(dialog, compose::EmailAll);
        Save(dialog, "compose-email-all");
        Press(dialog, compose::Preview);
        Press(dialog, compose::Send);
    };
    // The first message handed over from the preview, and shown again.
    whenShown[ui::PreviewTitle] = [](ui::WindowHandle dialog) {
        Press(dialog, preview::SendThis);
        Press(dialog, preview::Previous);
        Save(dialog, "message-preview");
    };
    // Mid-run: two requests handed over, the third under way; then stopped.
    whenShown[ui::SendingRequestsTitle] = [](ui::WindowHandle dialog) {
        MSG message;
        while (ui::Ui().ControlText(dialog, sending::Counter) != "Request 3 of 4" &&
               GetMessageW(&message, nullptr, 0, 0)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Save(dialog, "sending-requests");
        Press(dialog, sending::Stop);
    };
    whenShown[ui::DatabaseDialogTitle] = [](ui::WindowHandle dialog) {
        Save(dialog, "databases");
        Press(dialog, ImportButton);
    };
    whenShown[ui::ImportTitle] = [](ui::WindowHandle dialog) {
        Save(dialog, "import-applications");
    };
    whenShown[ui::AboutTitle] = [](ui::WindowHandle dialog) { Save(dialog, "about"); };
    whenShown[ui::MainWindowTitle] = [](ui::WindowHandle dialog) {
        Save(dialog, "main-window-empty");
        // Applications after Email: the status bar ends with their count, not the run's end.
        for (int button :
             {UserInfoButton, EmailButton, ApplicationsButton, DatabasesButton, AboutButton})
            Press(dialog, button);
        Save(dialog, "main-window");
    };
    MainDisplayDialog(0);

    fs::current_path(outputFolder, error);
    fs::remove_all(work, error);
    return failures == 0 ? 0 : 1;
}
