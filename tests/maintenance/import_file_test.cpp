// The import reader on small files, each read compared with its golden file: how the file was
// taken (kind, delimiter, character set, header, columns), then every row with its line, its
// values and what is wrong with it, or the whole file's problem.

#include "maintenance/import_file.h"
#include "support/golden.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

// Each file shows what its name says; the golden files say how it reads.
const char* const Files[] = {
    "export.txt",             // quotes are not special, a comma or a line break in a value
    "export_windows1252.txt", // an older export, not UTF-8
    "header_any_order.csv",   // byte order mark, quoted cells, line numbers after line breaks
    "header_words.csv",       // header cells with words of two kinds; semicolons
    "no_header_request.tsv",  // a fourth column without a header is the request
    "semicolon_commas.csv",   // three cells a row by semicolons beat two by commas
    "column_counts.csv",      // CR line ends; rows too short or too long, blank lines
    "dbase_delimited.txt",    // every cell quoted, ending in DOS's end-of-file mark
    "quotes.csv",             // a quote opens a value only at the start of a cell
    "first_row_data.csv",     // a first row of header words that holds an address
    "not_text.csv",
    "utf16.txt",
    "header_only.csv",
    "bom_not_utf8.csv",
    "blank.csv",
};

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

TEST(ImportFile, ReadsEachFileAsItsGoldenFileSays) {
    for (const char* name : Files) {
        SCOPED_TRACE(name);
        std::ifstream in(TestsFile(std::string("data/import/") + name), std::ios::binary);
        ASSERT_TRUE(in);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        ExpectGolden(std::string("import/") + name + ".txt", Reading(ReadImportFile(bytes)));
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
