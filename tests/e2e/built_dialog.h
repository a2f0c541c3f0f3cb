#pragma once
// What the backend this test program is built for makes of a dialog table, measured its own
// way: see dialog_tables_test.cpp.

#include "ui/dialog.h"

#include <string>
#include <vector>

// Each way the built dialog differs from its table (title, size, close box, a control's
// place, font or tab order), in words; empty when it is as the table says. Captions that do
// not fit their controls are added to `cut`.
std::vector<std::string> DifferencesFromTable(const ui::Dialog& table,
                                              std::vector<std::string>& cut);

// The beginnings of the captions this backend is known to cut.
extern const std::vector<std::string> KnownCutCaptions;
