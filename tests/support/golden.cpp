#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

fs::path TestsFile(std::string_view relative) {
    return fs::path(OMBRELAY_SOURCE_DIR) / "tests" / fs::path(std::string(relative));
}

std::string Visible(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 0x20 && c != '\n') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += ch;
    }
    return out;
}

void ExpectGolden(std::string_view name, const std::string& text) {
    const std::string actual = Visible(text);
    const fs::path path = TestsFile("golden") / fs::path(std::string(name));
    if (std::getenv("OMBRELAY_UPDATE_GOLDEN") != nullptr) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary); // none reads as empty
    const std::string expected{std::istreambuf_iterator<char>(in), {}};
    // The first line that differs, as the golden file has it and as it is now.
    std::istringstream want(expected), now(actual);
    for (int line = 1; expected != actual; ++line) {
        std::string a, b;
        std::getline(want, a);
        std::getline(now, b);
        if (a != b || (!want && !now)) {
            ADD_FAILURE() << "differs from " << path.string()
                          << " (OMBRELAY_UPDATE_GOLDEN=1 writes it) at line " << line
                          << " (- golden, + now):\n- " << a << "\n+ " << b;
            return;
        }
    }
}
