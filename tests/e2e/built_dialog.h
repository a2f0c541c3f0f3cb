#pragma once
// What the backend this test program is built for makes of a dialog table, measured its own
// way: see dialog_tables_test.cpp.

#include "ui/dialog.h"

#include <string>
#include <vector>

// Each way a built dialog differs from its table, in words.
struct Differences {
    std::vector<std::string> found;
    void Expect(bool ok, const std::string& what) {
        if (!ok)
            found.push_back(what);
    }
};

// How the built dialog differs from its table (title, size, close box, a control's place,
// font or tab order). Captions that do not fit their controls are added to `cut`.
Differences DifferencesFromTable(const ui::Dialog& table, std::vector<std::string>& cut);

// The beginnings of the captions this backend is known to cut.
extern const std::vector<std::string> KnownCutCaptions;
