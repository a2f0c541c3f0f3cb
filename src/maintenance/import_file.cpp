#include "maintenance/import_file.h"

#include "common/codepage.h"
#include "common/text.h"
#include "maintenance/csv_records.h"
#include "maintenance/export_rules.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <utility>

namespace {

using namespace csv;

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
// Records looked at to choose the delimiter.
constexpr int DelimiterSample = 100;

// Spreadsheets and editors write no other control characters; a NUL is UTF-16 or binary.
bool IsControlByte(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r') || c == 0x7F;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// A value inside a message: one line, and not so long that it hides the message.
std::string Shown(std::string_view value) {
    constexpr std::size_t Width = 30;
    std::string shown(value);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return IsLineEnd(c) || c == '\t'; }, ' ');
    if (CharacterCount(shown) > Width)
        shown = LeftJustify(shown, Width - 3) + "...";
    return '"' + shown + '"';
}

// Header words, the stronger first: "Vendor Email" is the e-mail, "Registration Code" and
// "Application Key" the code, "Reregistration" the request. Parts of words count, so
// "E-mail", "Email" and "RegCode" are found too.
enum Kind { NameKind, CodeKind, EmailKind, RequestKind, Kinds };
struct HeaderWord {
    std::string_view word;
    Kind kind;
};
constexpr HeaderWord HeaderWords[] = {
    {"request", RequestKind}, {"rereg", RequestKind}, {"mail", EmailKind},
    {"code", CodeKind},       {"key", CodeKind},      {"registration", CodeKind},
    {"name", NameKind},       {"vendor", EmailKind},  {"application", NameKind},
};
constexpr int NoWord = static_cast<int>(std::size(HeaderWords));

// The header word a cell holds (its place in HeaderWords), or NoWord.
int HeaderWordOf(std::string_view cell) {
    const std::string lower = Lower(cell);
    // The vendor's name is none of the columns read.
    if (lower.find("vendor") != std::string::npos && lower.find("name") != std::string::npos &&
        lower.find("mail") == std::string::npos)
        return NoWord;
    for (int word = 0; word < NoWord; ++word)
        if (lower.find(HeaderWords[word].word) != std::string::npos)
            return word;
    return NoWord;
}

// The columns a first record names, when it is a header: it names at least the name and
// the code and holds no address (an "@" means it is an application's row). Of two cells of
// one kind, the stronger word wins, then the first.
bool ReadHeader(const Record& record, ImportColumns& columns) {
    if (!record.problem.empty())
        return false;
    std::array<int, Kinds> column, strength;
    column.fill(-1);
    strength.fill(NoWord);
    for (int i = 0; i < static_cast<int>(record.cells.size()); ++i) {
        const std::string& cell = record.cells[static_cast<std::size_t>(i)];
        if (cell.find('@') != std::string::npos)
            return false;
        const int word = HeaderWordOf(cell);
        if (word == NoWord)
            continue;
        const Kind kind = HeaderWords[word].kind;
        if (word < strength[kind]) {
            strength[kind] = word;
            column[kind] = i;
        }
    }
    columns = {column[NameKind], column[CodeKind], column[EmailKind], column[RequestKind]};
    return columns.name >= 0 && columns.code >= 0;
}

// The most usual number of cells and how many records have it; the smaller number on a tie.
std::pair<int, int> Usual(const std::map<int, int>& counts) {
    std::pair<int, int> usual{0, 0};
    for (const auto& [count, times] : counts)
        if (times > usual.second)
            usual = {count, times};
    return usual;
}

// The delimiter that gives most of the first records one number of cells, three or more
// before two; comma, then semicolon, then tab on a tie.
char ChooseDelimiter(std::string_view text) {
    char best = ',';
    std::pair<int, int> bestScore{0, 0};
    for (const char delimiter : {',', ';', '\t'}) {
        CsvRecords records(text, delimiter);
        Record record;
        std::map<int, int> counts;
        for (int seen = 0; seen < DelimiterSample && records.Next(record);) {
            if (record.Skipped())
                continue;
            ++counts[record.count];
            ++seen;
        }
        const auto [usual, agreeing] = Usual(counts);
        // One cell a record means the delimiter is not in the file at all.
        if (usual < 2)
            continue;
        const std::pair<int, int> score{std::min(usual, 3), agreeing};
        if (score > bestScore) {
            bestScore = score;
            best = delimiter;
        }
    }
    return best;
}

std::string ReadRequest(std::string_view cell, std::optional<std::string>& request) {
    const auto first = cell.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::string value(cell.substr(first, cell.find_last_not_of(" \t") + 1 - first));
    const std::string lower = Lower(value);
    if (lower == "yes")
        request = "Yes";
    else if (lower == "no")
        request = "No";
    else
        return "the request column holds " + Shown(value) + ", not Yes or No";
    return {};
}

// A row has the layout's number of cells; more only when the extra ones are blank.
ImportRow MakeRow(const Record& record, const ImportLayout& layout) {
    const auto cell = [&record](int column) {
        return column >= 0 && column < static_cast<int>(record.cells.size())
                   ? record.cells[static_cast<std::size_t>(column)]
                   : std::string();
    };
    const ImportColumns& columns = layout.columns;
    ImportRow row{record.line,         cell(columns.name), cell(columns.code),
                  cell(columns.email), std::nullopt,       record.problem};
    if (!row.problem.empty())
        return row;
    if (record.count < layout.cellCount || record.filled > layout.cellCount)
        row.problem = "wrong number of columns: " + std::to_string(record.count) + ", expected " +
                      std::to_string(layout.cellCount);
    else if (columns.request >= 0)
        row.problem = ReadRequest(cell(columns.request), row.request);
    return row;
}

bool AddRow(ImportFile& file, const Record& record) {
    if (file.rows.size() >= static_cast<std::size_t>(ImportRowLimit)) {
        file.rows.clear();
        file.error = "The file holds more than " + std::to_string(ImportRowLimit) + " rows.";
        return false;
    }
    file.rows.push_back(MakeRow(record, file.layout));
    return true;
}

// Where the export's warning line starts, when the text ends with it (blank lines aside).
std::size_t ExportWarningAt(std::string_view text) {
    const std::string_view warning = ExportWarningLine;
    const std::size_t end = text.find_last_not_of(" \t\f\r\n");
    if (end == std::string_view::npos || end + 1 < warning.size())
        return std::string_view::npos;
    const std::size_t start = end + 1 - warning.size();
    if (text.substr(start, warning.size()) != warning || (start > 0 && !IsLineEnd(text[start - 1])))
        return std::string_view::npos;
    return start;
}

Record ExportRecord(std::string_view text, int line) {
    Record record;
    record.Start(line);
    for (std::size_t at = 0;; ++at) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        record.Add(std::string(text.substr(at, comma - at)));
        at = comma;
        if (at == text.size())
            return record;
    }
}

// The export writes each record's line and an empty line, values unchanged: a record is a
// run of lines between empty lines. Several lines that hold the three values only together
// are one record whose value holds a line break; otherwise each line is a record.
void ReadExport(std::string_view text, ImportFile& file) {
    file.layout.exportFile = true;
    file.layout.columns = {0, 1, 2, -1};
    file.layout.cellCount = 3;
    Lines lines(text);
    int runLine = 0, runLines = 0;
    std::size_t runStart = 0, runEnd = 0, runCommas = 0;
    const auto endRun = [&]() {
        if (runLines == 0)
            return true;
        const std::string_view run = text.substr(runStart, runEnd - runStart);
        runLines = 0;
        if (runCommas == 2)
            return AddRow(file, ExportRecord(run, runLine));
        for (Lines each(run); each.Next();)
            if (!AddRow(file, ExportRecord(each.line, runLine + each.number - 1)))
                return false;
        return true;
    };
    while (lines.Next()) {
        if (IsBlankText(lines.line)) {
            if (!endRun())
                return;
            continue;
        }
        if (runLines++ == 0) {
            runLine = lines.number;
            runStart = lines.start;
            runCommas = 0;
        }
        runEnd = lines.start + lines.line.size();
        runCommas +=
            static_cast<std::size_t>(std::count(lines.line.begin(), lines.line.end(), ','));
    }
    endRun();
}

void ReadCsv(std::string_view text, ImportFile& file) {
    ImportLayout& layout = file.layout;
    layout.delimiter = ChooseDelimiter(text);
    Record record;
    // The header, and without one the usual number of cells.
    std::map<int, int> counts;
    bool first = true;
    int records = 0;
    for (CsvRecords all(text, layout.delimiter); all.Next(record) && records <= ImportRowLimit;) {
        if (record.Skipped())
            continue;
        if (first && ReadHeader(record, layout.columns)) {
            layout.header = true;
            layout.headerCells = record.cells;
            layout.cellCount = record.count;
            break;
        }
        first = false;
        ++records;
        if (record.problem.empty())
            ++counts[record.count];
    }
    if (!layout.header) {
        layout.cellCount = Usual(counts).first;
        // Without a header the columns are the export's, and a fourth gives the request.
        if (layout.cellCount != 4)
            layout.cellCount = 3;
        layout.columns = {0, 1, 2, layout.cellCount == 4 ? 3 : -1};
    }
    bool header = layout.header;
    for (CsvRecords all(text, layout.delimiter); all.Next(record);) {
        if (record.Skipped())
            continue;
        if (header) {
            header = false;
            continue;
        }
        if (!AddRow(file, record))
            return;
    }
}

// The text as UTF-8, or the whole-file problem in file.error.
std::string Decode(std::string_view bytes, ImportFile& file) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        file.error = "The file is UTF-16 text, which cannot be read: save it as CSV in UTF-8.";
        return {};
    }
    // An end-of-file mark of DOS programs (dBASE among them) is not part of the text.
    if (bytes.ends_with('\x1A'))
        bytes.remove_suffix(1);
    for (Lines lines(bytes); lines.Next();) {
        const auto control = std::find_if(lines.line.begin(), lines.line.end(), [](char c) {
            return IsControlByte(static_cast<unsigned char>(c));
        });
        if (control != lines.line.end()) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(*control));
            file.error = "The file is not text: line " + std::to_string(lines.number) +
                         " holds a control character (byte " + byte + ").";
            return {};
        }
    }
    if (bytes.starts_with(ByteOrderMark)) {
        file.layout.charset = ImportCharset::Utf8WithByteOrderMark;
        bytes.remove_prefix(ByteOrderMark.size());
        for (Lines lines(bytes); lines.Next();)
            if (!IsUtf8(lines.line)) {
                file.error = "The file is marked as UTF-8, but line " +
                             std::to_string(lines.number) + " is not UTF-8 text.";
                return {};
            }
        return std::string(bytes);
    }
    if (IsUtf8(bytes))
        return std::string(bytes);
    file.layout.charset = ImportCharset::Windows1252;
    std::string text;
    if (!CodePageToUtf8(Windows1252, bytes, text))
        file.error = "The file is neither UTF-8 nor Windows-1252 text.";
    return text;
}

} // namespace

ImportFile ReadImportFile(std::string_view bytes) {
    ImportFile file;
    const std::string text = Decode(bytes, file);
    if (!file.error.empty())
        return file;
    const std::size_t warning = ExportWarningAt(text);
    if (warning != std::string::npos)
        ReadExport(std::string_view(text).substr(0, warning), file);
    else
        ReadCsv(text, file);
    if (file.error.empty() && file.rows.empty())
        file.error = file.layout.header ? "The file holds a header row but no rows under it."
                                        : "The file holds no rows.";
    return file;
}

std::string DescribeImportLayout(const ImportLayout& layout) {
    // A byte order mark means nothing to the user.
    const char* charset = layout.charset == ImportCharset::Windows1252 ? "Windows-1252" : "UTF-8";
    std::string text = "Read as ";
    if (layout.exportFile)
        text += std::string("an export file of this program in ") + charset + " text: ";
    else
        text += std::string(layout.delimiter == '\t'  ? "tab"
                            : layout.delimiter == ';' ? "semicolon"
                                                      : "comma") +
                "-separated " + charset + " text " +
                (layout.header ? "with a header row: " : "without a header row: ");
    const std::pair<std::string, int> columns[] = {{"name", layout.columns.name},
                                                   {"code", layout.columns.code},
                                                   {"e-mail", layout.columns.email},
                                                   {"request", layout.columns.request}};
    const char* separator = "";
    for (const auto& [what, column] : columns) {
        text += std::exchange(separator, ", ");
        if (column < 0) {
            text += "no " + what + " column";
            continue;
        }
        text += what + " in column " + std::to_string(column + 1);
        if (layout.header && column < static_cast<int>(layout.headerCells.size()))
            text += " (" + Shown(layout.headerCells[static_cast<std::size_t>(column)]) + ")";
    }
    return text + ".";
}
