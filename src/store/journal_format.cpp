#include "store/crc32.h"
#include "store/journal.h"
#include "store/little_endian.h"

namespace {

constexpr std::string_view Magic("OMBRJNL\x1A", 8);
constexpr std::uint32_t Version = 1;
constexpr std::size_t MaxName = 1024;

} // namespace

std::string SerializeJournal(const Journal& journal) {
    std::string out(Magic);
    AppendLittleEndian(out, Version, 2);
    AppendLittleEndian(out, 0, 4); // the length, once known
    AppendLittleEndian(out, journal.tableName.size(), 2);
    out += journal.tableName;
    AppendLittleEndian(out, journal.table.device, 8);
    AppendLittleEndian(out, journal.table.node, 8);
    AppendLittleEndian(out, journal.oldLength, 8);
    AppendLittleEndian(out, journal.ranges.size(), 4);
    for (const auto& range : journal.ranges) {
        AppendLittleEndian(out, range.offset, 8);
        AppendLittleEndian(out, range.bytes.size(), 4);
        out += range.bytes;
    }
    const auto length = static_cast<std::uint32_t>(out.size() + 4);
    for (int i = 0; i < 4; ++i)
        out[10 + static_cast<std::size_t>(i)] = static_cast<char>((length >> (8 * i)) & 0xFF);
    AppendLittleEndian(out, Crc32(out), 4);
    return out;
}

std::size_t JournalLength(std::string_view header) {
    ByteReader in(header);
    std::string_view magic;
    std::uint32_t version = 0, length = 0;
    if (!in.Take(Magic.size(), magic) || magic != Magic || !in.Number(2, version) ||
        version != Version || !in.Number(4, length))
        return 0;
    return length;
}

XdbError ParseJournal(std::string_view bytes, Journal& journal) {
    journal = Journal{};
    ByteReader head(bytes);
    std::string_view magic;
    std::uint32_t version = 0, length = 0;
    if (!head.Take(Magic.size(), magic) || magic != Magic || !head.Number(2, version) ||
        version != Version || !head.Number(4, length) || length < 18 || length > bytes.size())
        return XdbDamaged;
    bytes = bytes.substr(0, length);
    const std::string_view body = bytes.substr(0, bytes.size() - 4);
    ByteReader trailer(bytes.substr(body.size()));
    std::uint32_t checksum = 0;
    if (!trailer.Number(4, checksum) || checksum != Crc32(body))
        return XdbDamaged;

    ByteReader in(body.substr(14));
    Journal parsed;
    std::string_view name;
    std::uint32_t nameLength = 0, count = 0;
    if (!in.Number(2, nameLength) || nameLength == 0 || nameLength > MaxName ||
        !in.Take(nameLength, name) || !in.Number(8, parsed.table.device) ||
        !in.Number(8, parsed.table.node) || !in.Number(8, parsed.oldLength) ||
        !in.Number(4, count) || count > in.Left() / 12)
        return XdbDamaged;
    // A name in the folder, never a path elsewhere.
    if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos || name == "." || name == "..")
        return XdbDamaged;
    parsed.tableName = std::string(name);
    parsed.ranges.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        ByteRange range;
        std::uint32_t length = 0;
        std::string_view old;
        if (!in.Number(8, range.offset) || !in.Number(4, length) || !in.Take(length, old))
            return XdbDamaged;
        if (range.offset > parsed.oldLength || length > parsed.oldLength - range.offset)
            return XdbDamaged;
        range.bytes = std::string(old);
        parsed.ranges.push_back(std::move(range));
    }
    if (in.Left() != 0)
        return XdbDamaged;
    journal = std::move(parsed);
    return XdbOk;
}
