#pragma once
// Whether every caption of a dialog fits its control in the faces the program draws with.

#include "ui/dialog.h"

#include <string>
#include <vector>

// Every caption (labels, buttons, option buttons, check boxes, group box titles) that does
// not fit its control, one line each ("1005 "&User Info": needs 70x11 px, has 62x21 px");
// empty when all fit. Captions set at run time are not known here.
std::vector<std::string> ClippedCaptions(const ui::Dialog& dialog);
