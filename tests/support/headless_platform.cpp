#include "support/headless_platform.h"

#include "common/files.h"
#include "support/take_first.h"

#include <algorithm>
#include <filesystem>
#include <utility>

using ui::DialogEventKind;
using ui::WindowHandle;

WindowHandle HeadlessPlatform::OpenWindow(const ui::Dialog& dialog, ui::DialogCallback callback) {
    Window& window = windows_[next_] = {.title = dialog.title, .callback = std::move(callback)};
    for (const auto& control : dialog.controls)
        window.controls[control.id] = {
            .kind = control.kind,
            .text = control.kind == ui::ControlKind::Edit ? "" : control.caption,
            .enabled = (control.style & ui::Disabled) == 0};
    stack_.push_back(next_);
    return next_++;
}

HeadlessPlatform::Window* HeadlessPlatform::Open(WindowHandle window) {
    const auto it = windows_.find(window);
    return it == windows_.end() || !it->second.open ? nullptr : &it->second;
}

HeadlessPlatform::ControlState& HeadlessPlatform::ControlOf(WindowHandle window, int control) {
    Window* open = Open(window);
    return open && open->controls.contains(control) ? open->controls[control] : blank_ = {};
}

void HeadlessPlatform::Send(WindowHandle window, const ui::DialogEvent& event) {
    if (Window* open = Open(window); open && open->callback) {
        auto callback = open->callback; // the callback may close the window
        callback(window, event);
    }
}

void HeadlessPlatform::Click(WindowHandle window, int control) {
    ControlState& state = ControlOf(window, control);
    if (&state == &blank_ || !state.enabled)
        return;
    if (state.kind == ui::ControlKind::CheckBox)
        state.checked = !state.checked;
    if (state.kind != ui::ControlKind::Label)
        SetFocus(window, control);
    Send(window, {DialogEventKind::Command, control, ui::Clicked});
}

int HeadlessPlatform::RunDialog(const ui::Dialog& dialog, WindowHandle,
                                ui::DialogCallback callback) {
    Note("dialog", dialog.title);
    const WindowHandle handle = OpenWindow(dialog, std::move(callback));
    Window& window = WindowOf(handle);
    Send(handle, {DialogEventKind::Init});
    while (!window.ended) {
        if (!actions.empty()) {
            TakeFirst(actions)(handle);
        } else if (!pendingHandOvers.empty()) {
            DeliverHandOvers(1);
        } else {
            ranOutOfActions = true;
            EndDialog(handle, 0);
        }
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
    const auto it = std::find_if(stack_.rbegin(), stack_.rend(),
                                 [&](WindowHandle w) { return WindowOf(w).title == title; });
    return it == stack_.rend() ? 0 : *it;
}

int HeadlessPlatform::FocusedControl(WindowHandle dialog) {
    const Window* open = Open(dialog);
    return open ? open->focus : 0;
}

void HeadlessPlatform::SetFocus(WindowHandle dialog, int control) {
    if (const ControlState& state = ControlOf(dialog, control); &state != &blank_ && state.enabled)
        WindowOf(dialog).focus = control;
}

namespace {

std::string Marked(const std::string& text, const std::string& caption, unsigned style) {
    const std::map<unsigned, std::string> marks = {
        {0x2030, "!"}, {0x2040, "i"}, {0x2104, "?"}, {0x2134, "?!"}};
    const auto mark = marks.find(style);
    return caption == "Ombrelay System Message" && mark != marks.end()
               ? mark->second + text
               : caption + "|" + std::to_string(style) + "|" + text;
}

} // namespace

int HeadlessPlatform::ShowMessage(const std::string& text, const std::string& caption,
                                  unsigned style) {
    Note("box", Marked(text, caption, style));
    if (onMessage)
        onMessage(style);
    if ((style & 0xF) != ui::MbYesNo)
        return ui::IdOk;
    const int answer = TakeFirst(answers, (style & ui::MbDefaultButton2) ? ui::IdNo : ui::IdYes);
    Note("answer", answer == ui::IdYes ? "Yes" : "No");
    return answer;
}

int HeadlessPlatform::ShellOpen(const std::string& target, ui::ShowState show) {
    // A file of the test's own folder is noted by its name there, the same on every run.
    const std::string folder = PathToUtf8(std::filesystem::current_path());
    Note(show == ui::ShowState::Maximized ? "open maximized" : "open",
         target.starts_with(folder) ? "<folder>" + target.substr(folder.size()) : target);
    return shellResult;
}

void HeadlessPlatform::ShellOpenThen(const std::string& target, ui::ShowState show,
                                     std::function<void(int)> done) {
    const int result = ShellOpen(target, show);
    pendingHandOvers.push_back([done = std::move(done), result] { done(result); });
}

void HeadlessPlatform::DeliverHandOvers(std::size_t count) {
    for (; count > 0 && !pendingHandOvers.empty(); --count)
        TakeFirst(pendingHandOvers)();
}

std::string HeadlessPlatform::ChooseFileToOpen(WindowHandle, const std::string& title,
                                               const std::string& filterName,
                                               const std::string& patterns) {
    const std::string chosen = TakeFirst(chosenFiles);
    Note("file chooser", title + " | " + filterName + " (" + patterns + ") | " +
                             (chosen.empty() ? "cancelled" : chosen));
    return chosen;
}

void HeadlessPlatform::SetProgress(WindowHandle dialog, int control, int done, int total) {
    ControlOf(dialog, control).text = std::to_string(done) + "/" + std::to_string(total);
}

void HeadlessPlatform::Note(const std::string& label, const std::string& value) {
    transcript += label + ": " + value + "\n";
}
