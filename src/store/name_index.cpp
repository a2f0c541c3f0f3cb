// The name index file ("Application.idx").
//
// The index is derived data: the table is always the truth. The file records which state of
// the table it was built from, and the library rebuilds it whenever it is missing, damaged
// or does not match the table. Layout (integers little-endian):
//
//   offset  size  content
//   0       8     magic "OMBRIDX" followed by 0x1A
//   8       2     format version, 2
//   10      2     minimum key width in characters, 25
//   12      2     length E of the key expression
//   14      E     key expression, e.g. "UPPER(APPNAME)"
//   14+E    4     record count of the table file it was built from (deleted records too)
//   18+E    4     that table header's count of writes
//   22+E    4     number N of entries (one per record that is not deleted)
//   26+E    ...   N entries, in key order: 2 key length K, K key bytes, 4 record number
//   end-4   4     CRC-32 of every byte before it
//
// A key is the field value upper-cased (Unicode rules) and padded with blanks to at least 25
// characters. Entries are ordered by key bytes, then by record number.

#include "store/name_index.h"

#include "common/text.h"
#include "store/crc32.h"
#include "store/little_endian.h"

#include <algorithm>

namespace {

constexpr std::string_view Magic("OMBRIDX\x1A", 8);
constexpr std::uint32_t Version = 2;
constexpr std::size_t MaxExpression = 64;
constexpr std::size_t MaxKeyBytes = 4096; // keys come from fields of at most 255 bytes

} // namespace

std::string IndexKey(std::string_view value) {
    std::string key = ToUpper(value);
    const std::size_t characters = CharacterCount(key);
    if (characters < IndexKeyCharacters)
        key.append(IndexKeyCharacters - characters, ' ');
    return key;
}

std::string IndexExpression(std::string_view fieldName) {
    return "UPPER(" + std::string(fieldName) + ")";
}

bool EntryBefore(const IndexEntry& a, const IndexEntry& b) {
    const int order = a.key.compare(b.key);
    return order < 0 || (order == 0 && a.record < b.record);
}

NameIndex BuildNameIndex(const DbfTable& table, std::size_t field, std::string_view fieldName,
                         const TableFingerprint& fingerprint) {
    NameIndex index;
    index.expression = IndexExpression(fieldName);
    index.fingerprint = fingerprint;
    index.entries.reserve(table.records.size());
    for (std::size_t i = 0; i < table.records.size(); ++i) {
        if (table.records[i].deleted)
            continue;
        const auto& values = table.records[i].values;
        index.entries.push_back({IndexKey(field < values.size() ? values[field] : ""),
                                 static_cast<std::uint32_t>(i + 1)});
    }
    std::sort(index.entries.begin(), index.entries.end(), EntryBefore);
    return index;
}

std::string SerializeNameIndex(const NameIndex& index) {
    std::string out(Magic);
    AppendLittleEndian(out, Version, 2);
    AppendLittleEndian(out, index.keyCharacters, 2);
    AppendLittleEndian(out, static_cast<std::uint32_t>(index.expression.size()), 2);
    out += index.expression;
    AppendLittleEndian(out, index.fingerprint.recordCount, 4);
    AppendLittleEndian(out, index.fingerprint.writeCount, 4);
    AppendLittleEndian(out, static_cast<std::uint32_t>(index.entries.size()), 4);
    for (const auto& entry : index.entries) {
        AppendLittleEndian(out, static_cast<std::uint32_t>(entry.key.size()), 2);
        out += entry.key;
        AppendLittleEndian(out, entry.record, 4);
    }
    AppendLittleEndian(out, Crc32(out), 4);
    return out;
}

XdbError ParseNameIndex(std::string_view bytes, NameIndex& index) {
    index = NameIndex{};
    if (bytes.size() < Magic.size() + 4)
        return XdbDamaged;
    const std::string_view body = bytes.substr(0, bytes.size() - 4);
    ByteReader trailer(bytes.substr(body.size()));
    std::uint32_t checksum = 0;
    if (!trailer.Number(4, checksum) || checksum != Crc32(body))
        return XdbDamaged;

    ByteReader in(body);
    std::string_view magic;
    std::string_view expression;
    std::uint32_t version = 0;
    std::uint32_t keyCharacters = 0;
    std::uint32_t expressionLength = 0;
    NameIndex parsed;
    std::uint32_t count = 0;
    if (!in.Take(Magic.size(), magic) || magic != Magic || !in.Number(2, version) ||
        version != Version || !in.Number(2, keyCharacters) || !in.Number(2, expressionLength) ||
        expressionLength > MaxExpression || !in.Take(expressionLength, expression) ||
        !in.Number(4, parsed.fingerprint.recordCount) ||
        !in.Number(4, parsed.fingerprint.writeCount) || !in.Number(4, count))
        return XdbDamaged;
    // At most one entry per record, and each entry takes at least six bytes.
    const std::uint32_t records = parsed.fingerprint.recordCount;
    if (count > records || count > in.Left() / 6)
        return XdbDamaged;
    parsed.expression = std::string(expression);
    parsed.keyCharacters = keyCharacters;
    parsed.entries.reserve(count);
    std::vector<std::uint32_t> numbers;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t keyLength = 0;
        std::string_view key;
        IndexEntry entry;
        if (!in.Number(2, keyLength) || keyLength > MaxKeyBytes || !in.Take(keyLength, key) ||
            !in.Number(4, entry.record))
            return XdbDamaged;
        if (entry.record == 0 || entry.record > records)
            return XdbDamaged;
        numbers.push_back(entry.record);
        entry.key = std::string(key);
        if (!parsed.entries.empty() && !EntryBefore(parsed.entries.back(), entry))
            return XdbDamaged;
        parsed.entries.push_back(std::move(entry));
    }
    if (in.Left() != 0)
        return XdbDamaged;
    std::sort(numbers.begin(), numbers.end());
    if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end())
        return XdbDamaged;
    index = std::move(parsed);
    return XdbOk;
}

namespace {

std::string_view WithoutTrailingBlanks(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

} // namespace

std::size_t KeyInsertionPoint(const std::vector<IndexEntry>& entries, std::string_view key) {
    const auto at = std::partition_point(entries.begin(), entries.end(), [&](const IndexEntry& e) {
        return std::string_view(e.key) < key;
    });
    return static_cast<std::size_t>(at - entries.begin());
}

std::size_t FindExactKey(const std::vector<IndexEntry>& entries, std::string_view key) {
    const std::string_view wanted = WithoutTrailingBlanks(key);
    // Keys equal to `wanted` but for trailing blanks sort together, each behind the others
    // that begin with `wanted` and continue with a byte below the blank.
    for (std::size_t i = KeyInsertionPoint(entries, wanted); i < entries.size(); ++i) {
        const std::string_view candidate = entries[i].key;
        if (candidate.substr(0, wanted.size()) != wanted)
            break;
        const std::string_view rest = candidate.substr(wanted.size());
        const auto nonBlank = rest.find_first_not_of(' ');
        if (nonBlank == std::string_view::npos)
            return i;
        if (static_cast<unsigned char>(rest[nonBlank]) > ' ')
            break;
    }
    return NoEntry;
}

std::size_t FindKeyPrefix(const std::vector<IndexEntry>& entries, std::string_view key) {
    const std::size_t at = KeyInsertionPoint(entries, key);
    if (at < entries.size() && std::string_view(entries[at].key).substr(0, key.size()) == key)
        return at;
    return NoEntry;
}
