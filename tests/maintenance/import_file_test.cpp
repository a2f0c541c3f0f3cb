// The import reader on small files, each read compared with its golden file: how the file was
// taken (kind, delimiter, character set, header, columns), then every row with its line, its
// values and what is wrong with it, or the whole file's problem.

#include "maintenance/import_file.h"
#include "support/golden.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

// A value on the row's line: its line feeds shown as "⏎" (the golden file shows every other
// control character escaped).
std::string Quoted(const std::string& value) {
    std::string shown = value;
    for (std::size_t at = 0; (at = shown.find('\n', at)) != std::string::npos;)
        shown.replace(at, 1, "⏎");
    return '"' + shown + '"';
}

std::string Reading(const ImportFile& file) {
    if (!file.error.empty())
        return "error: " + file.error + "\n";
    std::string text = DescribeImportLayout(file.layout) + "\n";
    for (const ImportRow& row : file.rows) {
        text += "line " + std::to_string(row.line) + ": " + Quoted(row.name) + " " +
                Quoted(row.code) + " " + Quoted(row.email) + " request " +
                row.request.value_or("not given");
        text += row.problem.empty() ? "\n" : " -- " + row.problem + "\n";
    }
    return text;
}

// Every file of tests/data/import (its README says what each one shows).
TEST(ImportFile, ReadsEachFileAsItsGoldenFileSays) {
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(TestsFile("data/import")))
        if (entry.path().filename() != "README")
            files.insert(entry.path());
    ASSERT_EQ(files.size(), 15u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        ExpectGolden("import/" + file.filename().string() + ".txt",
                     Reading(ReadImportFile(ReadFile(file))));
    }
}

// A file of more rows than anyone has applications is refused whole, not read in part.
TEST(ImportFile, RefusesMoreRowsThanTheLimitAsAWhole) {
    std::string rows;
    for (int i = 0; i < ImportRowLimit; ++i)
        rows += "App,Code,a@b.example\n";
    EXPECT_EQ(ReadImportFile(rows).rows.size(), static_cast<std::size_t>(ImportRowLimit));
    const ImportFile tooMany = ReadImportFile(rows + "App,Code,a@b.example\n");
    EXPECT_TRUE(tooMany.rows.empty());
    EXPECT_EQ(tooMany.error, "The file holds more than 100000 rows.");
}

} // namespace
