#include "store/crc32.h"
#include "store/journal.h"
#include "store/little_endian.h"

#include <algorithm>

namespace {

constexpr std::string_view Magic("OMBRLOG\x1A", 8);
constexpr std::uint32_t Version = 2;
constexpr std::string_view OldMagic("OMBRJNL\x1A", 8);
constexpr std::uint32_t OldVersion = 1;
constexpr std::size_t MaxName = 1024;
constexpr std::size_t MaxHeader = 32;

// Sets the length at offset 10 and appends the checksum.
std::string Sealed(std::string out) {
    const auto length = static_cast<std::uint32_t>(out.size() + 4);
    for (int i = 0; i < 4; ++i)
        out[10 + static_cast<std::size_t>(i)] = static_cast<char>((length >> (8 * i)) & 0xFF);
    AppendLittleEndian(out, Crc32(out), 4);
    return out;
}

// Records are mostly blanks (the padding of wide fields): a record's new bytes go packed, as
// runs each led by a byte c: below 128, c + 1 bytes as they are; from 128 on, c - 124 blanks.
constexpr std::size_t ShortestBlanks = 4, LongestBlanks = 131, LongestLiteral = 128;

void AppendPacked(std::string& out, std::string_view bytes) {
    const auto literal = [&](std::size_t from, std::size_t to) {
        for (std::size_t count; from < to; from += count) {
            count = std::min(to - from, LongestLiteral);
            out.push_back(static_cast<char>(count - 1));
            out.append(bytes.substr(from, count));
        }
    };
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t run = std::min(bytes.find("    ", at), bytes.size());
        literal(at, run);
        const std::size_t end = std::min(bytes.find_first_not_of(' ', run), bytes.size());
        for (at = run; end - at >= ShortestBlanks;) {
            const std::size_t count = std::min(end - at, LongestBlanks);
            out.push_back(static_cast<char>(count + 124));
            at += count;
        }
        literal(at, end);
        at = end;
    }
}

bool Unpacked(std::string_view packed, std::size_t length, std::string& bytes) {
    bytes.clear();
    if (length > packed.size() * LongestBlanks)
        return false; // more than the packed bytes can hold
    bytes.reserve(length);
    for (std::size_t at = 0; at < packed.size();) {
        const auto c = static_cast<unsigned char>(packed[at++]);
        const std::size_t count = c < 128 ? c + 1u : c - 124u;
        if (bytes.size() + count > length || (c < 128 && count > packed.size() - at))
            return false;
        if (c < 128) {
            bytes.append(packed.substr(at, count));
            at += count;
        } else {
            bytes.append(count, ' ');
        }
    }
    return bytes.size() == length;
}

void AppendRanges(std::string& out, const std::vector<ByteRange>& ranges, bool packed) {
    AppendLittleEndian(out, ranges.size(), 4);
    for (const auto& range : ranges) {
        AppendLittleEndian(out, range.offset, 8);
        AppendLittleEndian(out, range.bytes.size(), 4);
        if (!packed) {
            out += range.bytes;
            continue;
        }
        const std::size_t at = out.size();
        AppendLittleEndian(out, 0, 4);
        AppendPacked(out, range.bytes);
        const auto length = static_cast<std::uint32_t>(out.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<char>((length >> (8 * i)) & 0xFF);
    }
}

// The body of one whole record of `magic` and `version` at the start of `bytes` (its checksum
// checked), after the 14 bytes of magic, version and length; false for anything else.
bool Unsealed(std::string_view bytes, std::string_view magic, std::uint32_t version,
              std::string_view& body) {
    ByteReader head(bytes);
    std::string_view found;
    std::uint32_t foundVersion = 0, length = 0;
    if (!head.Take(magic.size(), found) || found != magic || !head.Number(2, foundVersion) ||
        foundVersion != version || !head.Number(4, length) || length < 18 || length > bytes.size())
        return false;
    const std::string_view sealed = bytes.substr(0, length - 4);
    ByteReader trailer(bytes.substr(length - 4, 4));
    std::uint32_t checksum = 0;
    if (!trailer.Number(4, checksum) || checksum != Crc32(sealed))
        return false;
    body = sealed.substr(14);
    return true;
}

// A name in the folder, never a path elsewhere.
bool NameInFolder(ByteReader& in, std::string& name) {
    std::string_view taken;
    std::uint32_t length = 0;
    if (!in.Number(2, length) || length == 0 || length > MaxName || !in.Take(length, taken))
        return false;
    if (taken.find('/') != std::string_view::npos || taken.find('\\') != std::string_view::npos ||
        taken.find('\0') != std::string_view::npos || taken == "." || taken == "..")
        return false;
    name = std::string(taken);
    return true;
}

// Ranges that all end within `limit`.
bool Ranges(ByteReader& in, std::uint64_t limit, bool packed, std::vector<ByteRange>& ranges) {
    std::uint32_t count = 0;
    if (!in.Number(4, count) || count > in.Left() / 12)
        return false;
    ranges.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        ByteRange range;
        std::uint32_t length = 0, stored = 0;
        std::string_view bytes;
        if (!in.Number(8, range.offset) || !in.Number(4, length) || range.offset > limit ||
            length > limit - range.offset)
            return false;
        if (packed ? !in.Number(4, stored) || !in.Take(stored, bytes) ||
                         !Unpacked(bytes, length, range.bytes)
                   : !in.Take(length, bytes))
            return false;
        if (!packed)
            range.bytes = std::string(bytes);
        ranges.push_back(std::move(range));
    }
    return in.Left() == 0;
}

std::size_t LengthIn(std::string_view header, std::string_view magic, std::uint32_t version) {
    ByteReader in(header);
    std::string_view found;
    std::uint32_t foundVersion = 0, length = 0;
    if (!in.Take(magic.size(), found) || found != magic || !in.Number(2, foundVersion) ||
        foundVersion != version || !in.Number(4, length))
        return 0;
    return length;
}

} // namespace

std::size_t JournalLength(std::string_view header) {
    return LengthIn(header, Magic, Version);
}

std::size_t OldJournalLength(std::string_view header) {
    return LengthIn(header, OldMagic, OldVersion);
}

std::string SerializeJournalRecord(const JournalRecord& record) {
    std::string out(Magic);
    AppendLittleEndian(out, Version, 2);
    AppendLittleEndian(out, 0, 4); // the length, once known
    AppendLittleEndian(out, record.epoch, 8);
    AppendLittleEndian(out, record.sequence, 4);
    AppendLittleEndian(out, static_cast<std::uint64_t>(record.time), 8);
    AppendLittleEndian(out, record.tableName.size(), 2);
    out += record.tableName;
    AppendLittleEndian(out, record.table.device, 8);
    AppendLittleEndian(out, record.table.node, 8);
    AppendLittleEndian(out, record.oldLength, 8);
    AppendLittleEndian(out, record.newLength, 8);
    AppendLittleEndian(out, record.oldHeader.size(), 2);
    out += record.oldHeader;
    std::size_t size = out.size() + 8;
    for (const auto& range : record.ranges)
        size += 16 + range.bytes.size() / 4;
    out.reserve(size);
    AppendRanges(out, record.ranges, true);
    return Sealed(std::move(out));
}

XdbError ParseJournalRecord(std::string_view bytes, JournalRecord& record, std::size_t& length) {
    record = JournalRecord{};
    length = 0;
    std::string_view body;
    if (!Unsealed(bytes, Magic, Version, body))
        return XdbDamaged;
    ByteReader in(body);
    JournalRecord parsed;
    std::uint64_t time = 0;
    std::uint32_t headerLength = 0;
    std::string_view header;
    if (!in.Number(8, parsed.epoch) || !in.Number(4, parsed.sequence) || !in.Number(8, time) ||
        !NameInFolder(in, parsed.tableName) || !in.Number(8, parsed.table.device) ||
        !in.Number(8, parsed.table.node) || !in.Number(8, parsed.oldLength) ||
        !in.Number(8, parsed.newLength) || !in.Number(2, headerLength) ||
        headerLength > MaxHeader || !in.Take(headerLength, header) ||
        !Ranges(in, parsed.newLength, true, parsed.ranges))
        return XdbDamaged;
    parsed.time = static_cast<std::int64_t>(time);
    parsed.oldHeader = std::string(header);
    length = body.size() + 18;
    record = std::move(parsed);
    return XdbOk;
}

std::string SerializeOldJournal(const OldJournal& journal) {
    std::string out(OldMagic);
    AppendLittleEndian(out, OldVersion, 2);
    AppendLittleEndian(out, 0, 4);
    AppendLittleEndian(out, journal.tableName.size(), 2);
    out += journal.tableName;
    AppendLittleEndian(out, journal.table.device, 8);
    AppendLittleEndian(out, journal.table.node, 8);
    AppendLittleEndian(out, journal.oldLength, 8);
    AppendRanges(out, journal.ranges, false);
    return Sealed(std::move(out));
}

XdbError ParseOldJournal(std::string_view bytes, OldJournal& journal) {
    journal = OldJournal{};
    std::string_view body;
    if (!Unsealed(bytes, OldMagic, OldVersion, body))
        return XdbDamaged;
    ByteReader in(body);
    OldJournal parsed;
    if (!NameInFolder(in, parsed.tableName) || !in.Number(8, parsed.table.device) ||
        !in.Number(8, parsed.table.node) || !in.Number(8, parsed.oldLength) ||
        !Ranges(in, parsed.oldLength, false, parsed.ranges))
        return XdbDamaged;
    journal = std::move(parsed);
    return XdbOk;
}
