#include "support/ui_driver.h"

void UiDriver::When(const std::string& title, Step step) {
    steps_[title].push_back(std::move(step));
}

void UiDriver::Shown(const std::string& title, ui::WindowHandle dialog) {
    shown.push_back(title);
    auto& queue = steps_[title];
    if (queue.empty()) {
        unexpected.push_back(title);
        CloseBox(dialog);
        return;
    }
    Step step = std::move(queue.front());
    queue.pop_front();
    step(dialog);
}
