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

// Compares `text` with tests/golden/<name>, which holds it as Visible() shows it, so that every
// byte is there to read and review (CR LF as "\r" and a line break). On a difference the test
// fails with the first line that differs. With OMBRELAY_UPDATE_GOLDEN set the file is written
// instead.
void ExpectGolden(std::string_view name, const std::string& text);

// Text with its control characters (but line feeds) and backslashes shown as \r, \t, \xNN,
// \\.
std::string Visible(std::string_view text);
