#pragma once
// Golden files: what a user or a vendor meets (message boxes, links, log and export bytes,
// table rows) is kept under tests/golden/ and compared byte for byte.
//
// After an intended change, write them again and review the difference with git:
//   OMBRELAY_UPDATE_GOLDEN=1 ctest --test-dir build-tests

#include <filesystem>
#include <string>
#include <string_view>

// A file under the source tree's tests/ folder (tests/golden/..., tests/data/...).
std::filesystem::path TestsFile(std::string_view relative);

// Compares `actual` with tests/golden/<name>; on a difference the test fails with the first
// lines that differ, control characters shown as \r, \t, \xNN. With OMBRELAY_UPDATE_GOLDEN set
// the file is written instead.
void ExpectGolden(std::string_view name, const std::string& actual);

// Text with its control characters (but line feeds) shown as \r, \t, \xNN, so that a golden
// transcript is readable and keeps CR LF visible.
std::string Visible(std::string_view text);
