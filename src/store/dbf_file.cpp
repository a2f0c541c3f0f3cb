#include "store/dbf_file.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::size_t HeaderSize = 32;
constexpr std::size_t DescriptorSize = 32;
constexpr char HeaderEnd = 0x0D;
constexpr char FileEnd = 0x1A;

unsigned Byte(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

std::uint32_t Read16(std::string_view bytes, std::size_t at) {
    return Byte(bytes, at) | Byte(bytes, at + 1) << 8;
}

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
    return Byte(bytes, at) | Byte(bytes, at + 1) << 8 | Byte(bytes, at + 2) << 16 |
           static_cast<std::uint32_t>(Byte(bytes, at + 3)) << 24;
}

void Put16(std::string& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

} // namespace

bool IsStorableValue(std::string_view value) {
    return value.find('\0') == std::string_view::npos && IsUtf8(value);
}

unsigned CodePageOfLanguageDriver(unsigned char driver) {
    // The language driver ids of dBASE IV and Visual FoxPro tables, as Microsoft's Visual
    // FoxPro documentation lists them ("Code Pages Supported by Visual FoxPro"), with 0x57
    // (Windows ANSI) as ArcGIS writes it. Only single-byte pages that convert to Unicode and
    // back byte for byte are taken: not the Far East ones (0x78 to 0x7B) nor Hebrew (0x7D,
    // whose converters join and split accents); their tables are read as undeclared ones.
    struct Entry {
        unsigned char driver;
        unsigned short codePage;
    };
    static constexpr Entry entries[] = {
        {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x57, 1252}, {0x64, 852},  {0x65, 866},
        {0x66, 865},  {0x67, 861},  {0x6A, 737},  {0x6B, 857},  {0x6C, 863},  {0x7C, 874},
        {0x7E, 1256}, {0xC8, 1250}, {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253}, {0xCC, 1257},
    };
    for (const auto& entry : entries) {
        if (entry.driver == driver)
            return entry.codePage;
    }
    return 0;
}

bool ToTableBytes(const DbfTable& table, std::string_view value, std::string& bytes) {
    if (table.codePage == Utf8CodePage) {
        bytes = std::string(value);
        return IsUtf8(value);
    }
    return Utf8ToCodePage(table.codePage, value, bytes);
}

std::string DecodeFieldValue(std::string_view bytes) {
    const auto nul = bytes.find('\0');
    if (nul != std::string_view::npos)
        return std::string(bytes.substr(0, nul));
    const auto last = bytes.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(bytes.substr(0, last + 1));
}

XdbError ParseDbf(std::string_view bytes, DbfTable& table) {
    table = DbfTable{};
    if (bytes.size() < HeaderSize + 1)
        return XdbDamaged;
    const std::uint64_t recordCount = Read32(bytes, 4);
    const std::size_t headerLength = Read16(bytes, 8);
    const std::size_t recordLength = Read16(bytes, 10);
    if (headerLength < HeaderSize + DescriptorSize + 1 || headerLength > bytes.size())
        return XdbDamaged;

    DbfTable parsed;
    std::size_t widths = 0;
    for (std::size_t at = HeaderSize; at + DescriptorSize <= headerLength && bytes[at] != HeaderEnd;
         at += DescriptorSize) {
        DbfField field;
        const std::string_view name = bytes.substr(at, 11);
        field.name = std::string(name.substr(0, name.find('\0')));
        field.type = bytes[at + 11];
        field.width = static_cast<int>(Byte(bytes, at + 16));
        field.decimals = static_cast<int>(Byte(bytes, at + 17));
        widths += static_cast<std::size_t>(field.width);
        parsed.fields.push_back(std::move(field));
    }
    if (parsed.fields.empty() || recordLength != 1 + widths)
        return XdbDamaged;
    // Every record the header counts must be there; the end marker may be missing. Whole
    // records beyond the count mean a damaged header: a write would drop them.
    const std::uint64_t held = bytes.size() - headerLength;
    if (recordCount * recordLength > held || held - recordCount * recordLength > recordLength)
        return XdbDamaged;

    parsed.records.resize(static_cast<std::size_t>(recordCount));
    std::size_t at = headerLength;
    bool utf8 = true;
    for (auto& record : parsed.records) {
        const char flag = bytes[at];
        if (flag != ' ' && flag != '*')
            return XdbDamaged;
        record.deleted = flag == '*';
        record.values.reserve(parsed.fields.size());
        std::size_t offset = at + 1;
        for (const auto& field : parsed.fields) {
            const auto width = static_cast<std::size_t>(field.width);
            record.values.push_back(DecodeFieldValue(bytes.substr(offset, width)));
            utf8 = utf8 && IsUtf8(record.values.back());
            offset += width;
        }
        at += recordLength;
    }
    // The code page the language driver names; with none, UTF-8 unless some value is not.
    parsed.codePage = CodePageOfLanguageDriver(static_cast<unsigned char>(bytes[29]));
    if (parsed.codePage == 0)
        parsed.codePage = utf8 ? Utf8CodePage : Windows1252;
    if (parsed.codePage != Utf8CodePage) {
        std::string text;
        for (auto& record : parsed.records) {
            for (auto& value : record.values) {
                if (!CodePageToUtf8(parsed.codePage, value, text))
                    return XdbDamaged;
                value.swap(text);
            }
        }
    }
    parsed.writeCount = Read32(bytes, 16);
    parsed.header = std::string(bytes.substr(0, HeaderSize));
    parsed.headerLength = headerLength;
    table = std::move(parsed);
    return XdbOk;
}

std::size_t DbfHeaderLength(const DbfTable& table) {
    return table.headerLength != 0 ? table.headerLength
                                   : HeaderSize + DescriptorSize * table.fields.size() + 1;
}

std::size_t DbfRecordLength(const DbfTable& table) {
    std::size_t length = 1;
    for (const auto& field : table.fields)
        length += static_cast<std::size_t>(field.width);
    return length;
}

std::uint64_t DbfRecordOffset(const DbfTable& table, std::size_t slot) {
    return DbfHeaderLength(table) + static_cast<std::uint64_t>(slot) * DbfRecordLength(table);
}

std::uint64_t DbfFileLength(const DbfTable& table) {
    return DbfRecordOffset(table, table.records.size()) + 1;
}

std::string DbfHeader(const DbfTable& table, std::size_t recordCount,
                      const LocalDateTime& lastUpdate) {
    // Bytes this library does not write (another program's flags) are kept as they were.
    std::string out =
        table.header.size() == HeaderSize ? table.header : std::string(HeaderSize, '\0');
    out[0] = 0x03;
    out[1] = static_cast<char>(std::clamp(lastUpdate.year - 1900, 0, 255));
    out[2] = static_cast<char>(std::clamp(lastUpdate.month, 1, 12));
    out[3] = static_cast<char>(std::clamp(lastUpdate.day, 1, 31));
    Put32(out, 4, static_cast<std::uint32_t>(recordCount));
    Put16(out, 8, static_cast<std::uint32_t>(DbfHeaderLength(table)));
    Put16(out, 10, static_cast<std::uint32_t>(DbfRecordLength(table)));
    Put32(out, 16, table.writeCount);
    // Byte 29, the language driver, stays as it was: the table keeps its code page.
    return out;
}

namespace {

// Blanks first, then each value and its end mark.
void EncodeRecordInto(const DbfTable& table, const DbfRecord& record, char* row) {
    row[0] = record.deleted ? '*' : ' ';
    char* field = row + 1;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const auto width = static_cast<std::size_t>(table.fields[i].width);
        if (i < record.values.size()) {
            // Values are checked against the code page when assigned (a new reading of the file,
            // which may bring another code page, clears the buffer); those read from the file
            // convert back to the bytes they were read from.
            std::string value;
            ToTableBytes(table, record.values[i], value);
            const std::size_t length = std::min(value.size(), width);
            std::copy_n(value.data(), length, field);
            if (NeedsEndMark(value) && length < width)
                field[length] = '\0';
        }
        field += width;
    }
}

} // namespace

std::string EncodeDbfRecord(const DbfTable& table, const DbfRecord& record) {
    std::string out;
    AppendDbfRecord(table, record, out);
    return out;
}

void AppendDbfRecord(const DbfTable& table, const DbfRecord& record, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + DbfRecordLength(table), ' ');
    EncodeRecordInto(table, record, out.data() + at);
}

std::string SerializeDbf(const DbfTable& table, const LocalDateTime& lastUpdate) {
    const std::size_t recordLength = DbfRecordLength(table);
    const std::size_t headerLength = HeaderSize + DescriptorSize * table.fields.size() + 1;
    std::string out(headerLength, '\0');
    out.reserve(headerLength + recordLength * table.records.size() + 1);
    out.replace(0, HeaderSize, DbfHeader(table, table.records.size(), lastUpdate));
    if (table.header.size() != HeaderSize)
        out[29] = '\0'; // a new table: its text is UTF-8, which no language driver names
    Put16(out, 8, static_cast<std::uint32_t>(headerLength));
    std::size_t at = HeaderSize;
    for (const auto& field : table.fields) {
        std::copy_n(field.name.begin(), std::min<std::size_t>(field.name.size(), 10),
                    out.begin() + static_cast<std::ptrdiff_t>(at));
        out[at + 11] = field.type;
        out[at + 16] = static_cast<char>(field.width);
        out[at + 17] = static_cast<char>(field.decimals);
        at += DescriptorSize;
    }
    out[at] = HeaderEnd;

    const std::size_t dataStart = out.size();
    out.resize(dataStart + recordLength * table.records.size(), ' ');
    char* row = out.data() + dataStart;
    for (const auto& record : table.records) {
        EncodeRecordInto(table, record, row);
        row += recordLength;
    }
    out.push_back(FileEnd);
    return out;
}

DbfTable EmptyTable(const TableDefinition& definition) {
    DbfTable table;
    for (const auto& field : definition.fields)
        table.fields.push_back({field.name, 'C', field.width, 0});
    return table;
}
