#pragma once
// For the tests of the operations: each in a fresh folder, at a fixed time, on the headless
// backend, whose transcript of what the user met is compared with a golden file.

#include "common/clock.h"
#include "common/files.h"
#include "support/golden.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"

#include <initializer_list>

class Operations : public InTempFolder {
protected:
    Operations() {
        SetClockForTesting([] { return LocalDateTime{2026, 3, 4, 5, 6, 7}; });
        FailWrites(false);
    }
    ~Operations() override { SetWriteStepHookForTesting({}); }

    // Runs the operation with these answers to its questions, and notes how many files its
    // writes synced: a write that returned synced one, its durable commit. (Folder syncs are
    // left out: a folder is synced only after a new file, whose own sync counts, and not on
    // Windows, where the move itself writes through.)
    void Run(void (*operation)(), std::deque<int> answers = {}) {
        ui.answers = std::move(answers);
        syncs_ = 0;
        operation();
        ui.Note("syncs", std::to_string(syncs_));
    }
    // From now on every table write fails, or (false) succeeds again.
    void FailWrites(bool fail = true) {
        SetWriteStepHookForTesting([this, fail](WriteStep step) {
            syncs_ += step == WriteStep::DataSynced || step == WriteStep::TableSynced;
            return !fail || step != WriteStep::DataWritten;
        });
    }
    // A line of the transcript: the texts of these boxes of `window`, and which has the focus.
    void NoteBoxes(ui::WindowHandle window, std::initializer_list<int> boxes) {
        std::string line;
        for (const int box : boxes)
            line += "[" + ui.ControlText(window, box) + "]";
        ui.Note("boxes", line + " focus " + std::to_string(ui.FocusedControl(window)));
    }
    // The transcript, then the activity log, against tests/golden/<name>.
    void ExpectTranscript(std::string_view name) {
        ExpectGolden(name, ui.transcript + "---- activity log\n" + ReadFile("Ombrelay.dat"));
    }

    HeadlessPlatform ui;

private:
    int syncs_ = 0;
};
