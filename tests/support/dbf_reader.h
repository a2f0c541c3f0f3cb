#pragma once
// The tables as other programs see them: read by independent dBASE readers, the npm package
// dbffile (installed by `npm ci --prefix tests/interop` in the source folder) and Python's
// dbfread (Debian's python3-dbfread).

#include <filesystem>
#include <string>
#include <vector>

struct DbfContents {
    std::vector<std::string> fieldNames;
    std::vector<std::vector<std::string>> records; // one value per field, deleted ones too
    std::vector<bool> deleted;
};

// Fail the calling test (and return nothing) when the reader is missing or cannot read, with
// its output (which names a missing package).
// dbffile reads in `encoding` (it looks at no declaration); dbfread in the one the language
// driver names unless given one, and shows only the records that are not deleted.
DbfContents ReadWithDbffile(const std::filesystem::path& table,
                            const std::string& encoding = "utf-8");
DbfContents ReadWithDbfread(const std::filesystem::path& table, const std::string& encoding = "");
