#include "ui/platform.h"

#include "ui/dialog_support.h"

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

bool HandleStandardEvent(WindowHandle dialog, const DialogEvent& event, int& rememberedFocus,
                         bool closeBoxEnds) {
    switch (event.kind) {
    case DialogEventKind::Deactivate:
        rememberedFocus = Ui().FocusedControl(dialog);
        return true;
    case DialogEventKind::Activate:
        if (rememberedFocus != 0) {
            Ui().SetFocus(dialog, rememberedFocus);
            rememberedFocus = 0;
        }
        return true;
    case DialogEventKind::Close:
        if (closeBoxEnds)
            Ui().EndDialog(dialog, 0);
        return true;
    default:
        return false;
    }
}

bool IsButtonPress(const DialogEvent& event, int control) {
    return event.kind == DialogEventKind::Command && event.control == control &&
           (event.code == Clicked || event.code == Accelerator);
}

WindowHandle OwnerOrWarn(const std::string& ownerTitle, const std::string& errorText,
                         WindowHandle fallback) {
    const WindowHandle owner = Ui().FindWindowByTitle(ownerTitle);
    if (owner != 0)
        return owner;
    Message(errorText, MbIconExclamation);
    return fallback;
}

} // namespace ui
