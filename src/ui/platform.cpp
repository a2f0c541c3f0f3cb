#include "ui/platform.h"

#include "ui/dialog_support.h"

#include <memory>
#include <stdexcept>

namespace ui {

namespace {
Platform* installed = nullptr;
} // namespace

Platform& Ui() {
    if (installed == nullptr)
        throw std::logic_error("no platform backend installed");
    return *installed;
}

void SetUi(Platform* platform) {
    installed = platform;
}

int Message(const std::string& text, unsigned style) {
    return Ui().ShowMessage(text, SystemMessageCaption, style | MbTaskModal);
}

void Warn(const std::string& text) {
    Message(text, MbIconExclamation);
}

void Inform(const std::string& text) {
    Message(text, MbIconInformation);
}

void Refuse(WindowHandle dialog, const std::string& text, int focus) {
    Warn(text);
    Ui().SetFocus(dialog, focus);
}

bool AskYesNo(const std::string& text, unsigned icon) {
    return Message(text, MbYesNo | MbDefaultButton2 | icon) == IdYes;
}

void RunGuarded(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const std::exception& error) {
        Warn(std::string("The operation was stopped by an unexpected error (") + error.what() +
             "); nothing more of it was done.");
    }
}

namespace {

// What every dialog does with an event besides its own actions.
void Dispatch(const DialogActions& actions, int& rememberedFocus, bool closeBox,
              WindowHandle dialog, const DialogEvent& event) {
    switch (event.kind) {
    case DialogEventKind::Init:
        if (actions.init)
            RunGuarded([&] { actions.init(dialog); });
        return;
    case DialogEventKind::Deactivate:
        rememberedFocus = Ui().FocusedControl(dialog);
        return;
    case DialogEventKind::Activate:
        if (rememberedFocus != 0) {
            Ui().SetFocus(dialog, rememberedFocus);
            rememberedFocus = 0;
        }
        return;
    case DialogEventKind::Close:
        if (actions.close)
            RunGuarded([&] { actions.close(dialog); });
        else if (closeBox)
            Ui().EndDialog(dialog, 0);
        return;
    case DialogEventKind::Command:
        for (const auto& button : actions.buttons) {
            if (IsButtonPress(event, button.first))
                return RunGuarded([&] { button.second(dialog); });
        }
        if (actions.otherCommand)
            RunGuarded([&] { actions.otherCommand(dialog, event); });
        return;
    }
}

} // namespace

int RunDialog(const Dialog& layout, WindowHandle owner, DialogActions actions) {
    // The remembered focus lives as long as this run of the dialog.
    auto rememberedFocus = std::make_shared<int>(0);
    const bool closeBox = layout.closeBox;
    return Ui().RunDialog(layout, owner,
                          [rememberedFocus, closeBox, actions = std::move(actions)](
                              WindowHandle dialog, const DialogEvent& event) {
                              Dispatch(actions, *rememberedFocus, closeBox, dialog, event);
                          });
}

void EndDialogWithZero(WindowHandle dialog) {
    Ui().EndDialog(dialog, 0);
}

bool IsButtonPress(const DialogEvent& event, int control) {
    return event.kind == DialogEventKind::Command && event.control == control &&
           (event.code == Clicked || event.code == Accelerator);
}

WindowHandle MainWindowOrWarn(const std::string& errorText, WindowHandle fallback) {
    const WindowHandle owner = Ui().FindWindowByTitle(MainWindowTitle);
    if (owner != 0)
        return owner;
    Warn(errorText);
    return fallback;
}

} // namespace ui
