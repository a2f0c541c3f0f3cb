#include "support/temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

TempFolder::TempFolder() : previous_(fs::current_path()) {
    std::random_device random;
    for (;;) {
        path_ = fs::temp_directory_path() / ("ombrelay-test-" + std::to_string(random()));
        if (fs::create_directory(path_))
            break;
    }
    fs::current_path(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    // A test may have taken write permission away; give it back so the folder can go.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
