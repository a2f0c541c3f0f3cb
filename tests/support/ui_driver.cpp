#include "support/ui_driver.h"

#include "support/take_first.h"

#include <chrono>
#include <thread>

void UiDriver::When(const std::string& title, Step step) {
    steps_[title].push_back(std::move(step));
}

void UiDriver::Shown(const std::string& title, ui::WindowHandle dialog) {
    if (const auto table = tables.find(title); table != tables.end()) {
        measured_ = title;
        Measure(table->second, dialog);
        tables.erase(table);
    }
    auto& queue = steps_[title];
    if (queue.empty()) {
        unexpected.push_back(title);
        CloseBox(dialog);
        return;
    }
    TakeFirst(queue)(dialog);
}

void UiDriver::Expect(bool ok, const std::string& difference) {
    if (!ok)
        differences.push_back(measured_ + ": " + difference);
}

UiDriver::Answer UiDriver::Met(const std::string& icon, bool yesNo, bool noByDefault,
                               const std::string& text) {
    boxes.push_back(icon + (!yesNo ? " OK*" : noByDefault ? " Yes No*" : " Yes* No") + ": " + text);
    if (whileBox)
        whileBox();
    if (!yesNo || answers.empty())
        return Answer::Default;
    return TakeFirst(answers) ? Answer::Yes : Answer::No;
}

void UiDriver::Opened(const std::string& target) {
    opened.push_back(target);
    // A mail program takes a while to start: longer than a mnemonic's click.
    if (target.starts_with("mailto:"))
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
}
