#pragma once
// The tables as another program sees them: read by an independent dBASE reader (the npm
// package dbffile, installed by `npm ci --prefix tests/interop` in the source folder).

#include <filesystem>
#include <string>
#include <vector>

struct DbfContents {
    std::vector<std::string> fieldNames;
    std::vector<std::vector<std::string>> records; // one value per field, deleted ones too
    std::vector<bool> deleted;
};

// Fails the calling test (and returns nothing) when the reader is missing or cannot read.
DbfContents ReadWithDbffile(const std::filesystem::path& table);
