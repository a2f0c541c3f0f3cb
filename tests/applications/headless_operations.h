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

class HeadlessOperations : public InTempFolder {
protected:
    HeadlessOperations() {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
    }
    ~HeadlessOperations() override { SetWriteStepHookForTesting({}); }
    // Runs the operation with these answers to its questions; returns what it told.
    Texts Run(void (*operation)(), std::deque<int> answers = {}) {
        ui.Told();
        ui.answers = std::move(answers);
        operation();
        return ui.Told();
    }
    // From now on every table write fails.
    static void FailWrites() {
        SetWriteStepHookForTesting([](WriteStep step) { return step != WriteStep::DataWritten; });
    }

    HeadlessPlatform ui;
};
