// Import files from anywhere: the reader must answer every input with rows or one whole-file
// problem, in UTF-8, with the lines the rows start on rising through the file. When every
// row reads cleanly and no value holds a comma or a line break, the rows written out as this
// program's export must read back as the same values.
//   import_fuzz corpus-import seeds/import -max_total_time=600

#include "common/codepage.h"
#include "maintenance/export.h"
#include "maintenance/import_file.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

bool Plain(const std::string& value) {
    return value.find_first_of(",\r\n") == std::string::npos;
}

void CheckExportRoundTrip(const ImportFile& file) {
    std::string exported;
    for (const ImportRow& row : file.rows) {
        if (!row.problem.empty() || !Plain(row.name) || !Plain(row.code) || !Plain(row.email))
            return;
        exported += row.name + "," + row.code + "," + row.email + "\r\n\r\n";
    }
    // A leading byte order mark would be taken for the file's, not the name's.
    if (exported.starts_with("\xEF\xBB\xBF"))
        return;
    exported += std::string("\r\n\r\n\r\n") + ExportWarningLine + "\r\n";
    const ImportFile again = ReadImportFile(exported);
    Require(again.layout.exportFile && again.rows.size() == file.rows.size());
    for (std::size_t i = 0; i < again.rows.size(); ++i) {
        const ImportRow &before = file.rows[i], &after = again.rows[i];
        Require(after.problem.empty() && after.line == static_cast<int>(2 * i + 1));
        Require(after.name == before.name && after.code == before.code &&
                after.email == before.email);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ImportFile file = ReadImportFile(bytes);
    const std::string description = DescribeImportLayout(file.layout);
    Require(!description.empty() && IsUtf8(description));
    Require(file.error.empty() != file.rows.empty());
    // A line end of any kind, CR LF counted once, starts a line.
    const auto lines = 1 + std::count(bytes.begin(), bytes.end(), '\n') +
                       std::count(bytes.begin(), bytes.end(), '\r');
    int previous = 0;
    for (const ImportRow& row : file.rows) {
        Require(row.line > previous && row.line <= lines);
        previous = row.line;
        Require(IsUtf8(row.name) && IsUtf8(row.code) && IsUtf8(row.email) && IsUtf8(row.problem));
        Require(!row.request || *row.request == "Yes" || *row.request == "No");
    }
    const ImportColumns& columns = file.layout.columns;
    if (file.layout.header)
        Require(columns.name >= 0 && columns.code >= 0 && columns.name != columns.code);
    if (file.error.empty())
        CheckExportRoundTrip(file);
    return 0;
}
