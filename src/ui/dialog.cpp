#include "ui/dialog.h"

#include <algorithm>

namespace ui {

namespace {

bool IsOptionButton(const Control& control) {
    return control.kind == ControlKind::RadioButton;
}

} // namespace

std::vector<int> OptionGroup(const Dialog& dialog, int id) {
    const auto& controls = dialog.controls;
    const auto self = std::find_if(controls.begin(), controls.end(),
                                   [id](const Control& control) { return control.id == id; });
    if (self == controls.end() || !IsOptionButton(*self))
        return {};
    auto first = self;
    while (!(first->style & GroupStart) && first != controls.begin() &&
           IsOptionButton(*std::prev(first)))
        --first;
    std::vector<int> group{first->id};
    for (auto next = std::next(first);
         next != controls.end() && IsOptionButton(*next) && !(next->style & GroupStart); ++next)
        group.push_back(next->id);
    return group;
}

} // namespace ui
