#pragma once
// The reader of an import file: this program's own export, or CSV as spreadsheets write it,
// told apart by the bytes alone. It turns bytes into rows and says what is wrong with each;
// whether a row may be stored is decided above it, where the table and its rules are.
//
// - Text: UTF-8 with or without a byte order mark, else Windows-1252. A control character
//   other than tab, CR, LF and form feed (NUL among them) makes the whole file "not text";
//   one end-of-file mark (0x1A) at the very end is dropped.
// - Export: a file whose last line (blank ones aside) is the export's warning line. Its
//   values are unquoted and may hold commas; lines between empty lines that hold the three
//   values only together are one record whose value held a line break.
// - CSV: the delimiter (comma, semicolon or tab) is the one that gives most of the first
//   rows one number of cells, three or more before two.
// - Header: a first row that names a name and a code column and holds no "@". Cells are
//   matched by the words in them (see import_file.cpp); without a header the columns are
//   name, code, e-mail and, in a file of four columns, the request.
// - A row must have the header's number of cells, or without a header the number most rows
//   have (3 or 4, else 3). Extra cells are allowed when blank. Rows of blank cells are skipped.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ImportCharset { Utf8, Utf8WithByteOrderMark, Windows1252 };

// Columns of the file, from 0; -1 when the file has none of that kind.
struct ImportColumns {
    int name = -1, code = -1, email = -1, request = -1;
};

struct ImportLayout {
    bool exportFile = false; // this program's own export: no quoting, no header
    char delimiter = ',';
    ImportCharset charset = ImportCharset::Utf8;
    bool header = false;
    std::vector<std::string> headerCells;
    ImportColumns columns;
    int cellCount = 0; // the cells a row has: the header's, or most rows' without one
};

struct ImportRow {
    int line = 0;                       // where the row starts in the file, from 1
    std::string name, code, email;      // UTF-8, exactly as in the file (no trimming)
    std::optional<std::string> request; // "Yes" or "No"; empty when the file gives none
    std::string problem;                // why the row cannot be imported; empty when it can
};

struct ImportFile {
    ImportLayout layout;
    std::vector<ImportRow> rows;
    std::string error; // a whole-file problem, as a sentence; rows is then empty
};

// More rows than this are refused as a whole: no one has that many applications.
inline constexpr int ImportRowLimit = 100000;

// Reads the rows of an import file, given whole. Never throws on any bytes.
ImportFile ReadImportFile(std::string_view bytes);

// One sentence on how the file was read: its kind, character set and which column is which.
std::string DescribeImportLayout(const ImportLayout& layout);
