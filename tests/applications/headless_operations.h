#pragma once
// For the application and user record tests: operations called directly on headless dialogs,
// in a fresh folder, at a fixed time.

#include "common/clock.h"
#include "common/files.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

using Texts = std::vector<std::string>;

// What a refused write adds to the message that names what was not saved.
inline const std::string WriteFailedText =
    " The table file could not be written (the folder may be read-only or the disk full).";

// StyleOf gives the style each message shown should have, by its text.
template <unsigned (*StyleOf)(const std::string&)> class HeadlessOperations : public InTempFolder {
protected:
    HeadlessOperations() {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
    }
    // Runs the operation with these answers; returns the texts of the messages it showed.
    Texts Run(void (*operation)(), std::deque<int> answers = {}) {
        ui.messages.clear();
        ui.answers = std::move(answers);
        operation();
        Texts shown; // a text shown with the wrong caption or style is marked
        for (const auto& [text, caption, style] : ui.messages) {
            const bool ok = caption == "Ombrelay System Message" && style == StyleOf(text);
            shown.push_back(ok ? text : text + " | " + caption + " " + std::to_string(style));
        }
        return shown;
    }

    HeadlessPlatform ui;
};
