#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

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

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The first difference, with two lines of context either side.
std::string Difference(const std::string& expected, const std::string& actual) {
    const auto want = Lines(expected), got = Lines(actual);
    std::size_t at = 0;
    while (at < want.size() && at < got.size() && want[at] == got[at])
        ++at;
    std::ostringstream out;
    const std::size_t from = at > 2 ? at - 2 : 0;
    out << "first difference at line " << at + 1 << "\n";
    for (std::size_t i = from; i < at; ++i)
        out << "  " << want[i] << "\n";
    for (std::size_t i = at; i < want.size() && i < at + 3; ++i)
        out << "- " << want[i] << "\n";
    for (std::size_t i = at; i < got.size() && i < at + 3; ++i)
        out << "+ " << got[i] << "\n";
    if (want.size() == got.size() && at == want.size())
        out << "(the lines agree; the difference is in the last line's end)\n";
    return out.str();
}

} // namespace

void ExpectGolden(std::string_view name, const std::string& text) {
    const std::string actual = Visible(text);
    const fs::path path = TestsFile("golden") / fs::path(std::string(name));
    if (std::getenv("OMBRELAY_UPDATE_GOLDEN") != nullptr) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "no golden file " << path.string()
                      << " (OMBRELAY_UPDATE_GOLDEN=1 writes it)";
        return;
    }
    const std::string expected{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (expected != actual)
        ADD_FAILURE() << "differs from " << path.string() << " (- golden, + now):\n"
                      << Difference(expected, actual);
}
