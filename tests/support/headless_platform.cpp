#include "support/headless_platform.h"

#include "common/text.h"

#include <algorithm>

using ui::DialogEvent;
using ui::DialogEventKind;
using ui::WindowHandle;

WindowHandle HeadlessPlatform::OpenWindow(const ui::Dialog& dialog, ui::DialogCallback callback) {
    auto window = std::make_unique<Window>(Window{.dialog = dialog, .callback = callback});
    for (const auto& control : dialog.controls) {
        const bool holdsCaption = control.kind != ui::ControlKind::Edit;
        window->controls[control.id] = {.row = control,
                                        .text = holdsCaption ? control.caption : "",
                                        .enabled = (control.style & ui::Disabled) == 0};
    }
    const WindowHandle handle = next_++;
    windows_[handle] = std::move(window);
    stack_.push_back(handle);
    return handle;
}

HeadlessPlatform::Window& HeadlessPlatform::WindowOf(WindowHandle window) {
    return *windows_.at(window);
}

HeadlessPlatform::Window* HeadlessPlatform::Open(WindowHandle window) {
    auto it = windows_.find(window);
    return it == windows_.end() || !it->second->open ? nullptr : it->second.get();
}

HeadlessPlatform::ControlState& HeadlessPlatform::ControlOf(WindowHandle window, int control) {
    auto* state = Find(window, control);
    if (state == nullptr)
        throw std::out_of_range("no control " + std::to_string(control));
    return *state;
}

HeadlessPlatform::ControlState* HeadlessPlatform::Find(WindowHandle window, int control) {
    Window* open = Open(window);
    if (open == nullptr || !open->controls.contains(control))
        return nullptr;
    return &open->controls[control];
}

void HeadlessPlatform::Send(WindowHandle window, const DialogEvent& event) {
    if (Window* open = Open(window); open && open->callback) {
        auto callback = open->callback; // the callback may close the window
        callback(window, event);
    }
}

void HeadlessPlatform::Click(WindowHandle window, int control) {
    auto* state = Find(window, control);
    if (state == nullptr || !state->enabled)
        return;
    switch (state->row.kind) {
    case ui::ControlKind::PushButton:
        break;
    case ui::ControlKind::CheckBox:
        state->checked = !state->checked;
        break;
    case ui::ControlKind::RadioButton:
        // An automatic option button clears the others of its group.
        for (int member : ui::OptionGroup(WindowOf(window).dialog, control))
            ControlOf(window, member).checked = member == control;
        break;
    case ui::ControlKind::Label:
        if (!(state->row.style & ui::Notify))
            return;
        break;
    default:
        return;
    }
    state = Find(window, control);
    if (state != nullptr && state->row.kind != ui::ControlKind::Label)
        SetFocus(window, control);
    Send(window, {DialogEventKind::Command, control, ui::Clicked});
}

void HeadlessPlatform::Type(WindowHandle window, int control, const std::string& text) {
    auto* state = Find(window, control);
    if (state == nullptr || !state->enabled || state->row.kind != ui::ControlKind::Edit ||
        (state->row.style & ui::ReadOnly))
        return;
    state->text = (state->row.style & ui::Uppercase) ? ToUpper(text) : text;
    WindowOf(window).focus = control;
}

void HeadlessPlatform::ClickClose(WindowHandle window) {
    if (WindowOf(window).dialog.closeBox)
        Send(window, {DialogEventKind::Close, 0, 0});
}

int HeadlessPlatform::RunDialog(const ui::Dialog& dialog, WindowHandle,
                                ui::DialogCallback callback) {
    dialogsRun.push_back(dialog.title);
    const WindowHandle handle = OpenWindow(dialog, std::move(callback));
    Window& window = WindowOf(handle);
    Send(handle, {DialogEventKind::Init, 0, 0});
    while (!window.ended) {
        if (actions.empty()) {
            ranOutOfActions = true;
            ClickClose(handle);
            if (!window.ended)
                EndDialog(handle, 0);
            break;
        }
        Action action = std::move(actions.front());
        actions.pop_front();
        action(handle);
    }
    window.open = false;
    std::erase(stack_, handle);
    return window.result;
}

void HeadlessPlatform::EndDialog(WindowHandle dialog, int result) {
    if (Window* open = Open(dialog)) {
        open->ended = true;
        open->result = result;
    }
}

WindowHandle HeadlessPlatform::FindWindowByTitle(const std::string& title) {
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
        if (WindowOf(*it).dialog.title == title)
            return *it;
    }
    return 0;
}

std::string HeadlessPlatform::ControlText(WindowHandle dialog, int control) {
    auto* state = Find(dialog, control);
    return state ? state->text : std::string();
}

void HeadlessPlatform::SetControlText(WindowHandle dialog, int control, const std::string& text) {
    if (auto* state = Find(dialog, control))
        state->text = text;
}

bool HeadlessPlatform::IsChecked(WindowHandle dialog, int control) {
    auto* state = Find(dialog, control);
    return state && state->checked;
}

void HeadlessPlatform::SetChecked(WindowHandle dialog, int control, bool checked) {
    if (auto* state = Find(dialog, control))
        state->checked = checked;
}

int HeadlessPlatform::FocusedControl(WindowHandle dialog) {
    Window* open = Open(dialog);
    return open ? open->focus : 0;
}

void HeadlessPlatform::SetFocus(WindowHandle dialog, int control) {
    auto* state = Find(dialog, control);
    if (state != nullptr && state->enabled)
        WindowOf(dialog).focus = control;
}

void HeadlessPlatform::EnableControl(WindowHandle dialog, int control, bool enabled) {
    if (auto* state = Find(dialog, control))
        state->enabled = enabled;
}

int HeadlessPlatform::ShowMessage(const std::string& text, const std::string& caption,
                                  unsigned style) {
    messages.push_back({text, caption, style});
    if (onMessage)
        onMessage(messages.back());
    if ((style & 0xF) != ui::MbYesNo)
        return ui::IdOk;
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (style & ui::MbDefaultButton2) ? ui::IdNo : ui::IdYes;
}

int HeadlessPlatform::ShellOpen(const std::string& target, ui::ShowState show) {
    shellOpens.push_back({target, show});
    return shellResult;
}
