// Table files from anywhere: the reader must answer every input with a table or XdbDamaged,
// and a table it accepts must survive being written and read again unchanged.
//   dbf_fuzz corpus-dbf seeds/dbf -max_total_time=300

#include "store/dbf_file.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DbfTable table;
    const XdbError result = ParseDbf(bytes, table);
    if (result != XdbOk) {
        if (result != XdbDamaged || !table.fields.empty() || !table.records.empty())
            std::abort();
        return 0;
    }
    for (auto& field : table.fields)
        field.name.resize(std::min<std::size_t>(field.name.size(), 10)); // what is written
    DbfTable again;
    if (ParseDbf(SerializeDbf(table, {2026, 1, 2, 3, 4, 5}), again) != XdbOk)
        std::abort();
    if (again.fields.size() != table.fields.size() || again.records.size() != table.records.size())
        std::abort();
    for (std::size_t f = 0; f < table.fields.size(); ++f) {
        const auto& a = table.fields[f];
        const auto& b = again.fields[f];
        if (a.name.substr(0, a.name.find('\0')) != b.name || a.type != b.type ||
            a.width != b.width || a.decimals != b.decimals)
            std::abort();
    }
    for (std::size_t r = 0; r < table.records.size(); ++r) {
        if (table.records[r].deleted != again.records[r].deleted ||
            table.records[r].values != again.records[r].values)
            std::abort();
    }
    return 0;
}
