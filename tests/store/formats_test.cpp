// The two file formats on their own: the bytes written and the bytes that are refused.

#include "store/crc32.h"
#include "store/dbf_file.h"
#include "store/name_index.h"

#include <gtest/gtest.h>

namespace {

const TableDefinition TwoFields{"T.dbf", {{"NAME", 5}, {"CODE", 3}}, "", ""};
const LocalDateTime Date{2026, 3, 7, 9, 5, 2};

DbfTable Sample() {
    DbfTable table = EmptyTable(TwoFields);
    table.records.push_back({false, {"ab", "x "}});
    table.records.push_back({true, {" ", ""}});
    return table;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

} // namespace

TEST(DbfFormat, WritesAPlainDbaseThreeFile) {
    const std::string bytes = SerializeDbf(Sample(), Date);
    std::string expected = Bytes({0x03, 126, 3, 7, 2, 0, 0, 0, 97, 0, 9, 0});
    expected.append(17, '\0'); // reserved; language driver (byte 29) 0
    expected.append(3, '\0');
    expected += std::string("NAME") + std::string(7, '\0') + "C" + std::string(4, '\0') +
                Bytes({5, 0}) + std::string(14, '\0');
    expected += std::string("CODE") + std::string(7, '\0') + "C" + std::string(4, '\0') +
                Bytes({3, 0}) + std::string(14, '\0');
    expected += "\x0D";
    expected += std::string(" ab   x \0", 9);      // "x " keeps its blank, then a NUL
    expected += std::string("* \0   ", 6) + "   "; // a single blank, then an empty value
    expected += "\x1A";
    EXPECT_EQ(bytes, expected);

    DbfTable back;
    ASSERT_EQ(ParseDbf(bytes, back), XdbOk);
    ASSERT_EQ(back.records.size(), 2u);
    EXPECT_EQ(back.records[0].values, (std::vector<std::string>{"ab", "x "}));
    EXPECT_TRUE(back.records[1].deleted);
    EXPECT_EQ(back.records[1].values, (std::vector<std::string>{" ", ""}));
}

TEST(DbfFormat, ReadsWhatOtherWritersMake) {
    std::string bytes = SerializeDbf(Sample(), Date);
    // No end marker.
    DbfTable table;
    EXPECT_EQ(ParseDbf(bytes.substr(0, bytes.size() - 1), table), XdbOk);
    EXPECT_EQ(table.records.size(), 2u);

    // A longer header (as some writers leave room after the field list), a numeric field
    // read as text, a value cut short by a NUL and padded with anything after it.
    std::string longer = bytes;
    longer[8] = static_cast<char>(97 + 32);
    longer.insert(97, 32, '\0');
    longer[32 + 11] = 'N';
    longer[97 + 32 + 1 + 2] = '\0';
    longer[97 + 32 + 1 + 3] = 'Z';
    ASSERT_EQ(ParseDbf(longer, table), XdbOk);
    EXPECT_EQ(table.fields[0].type, 'N');
    EXPECT_EQ(table.records[0].values[0], "ab");
    // Written back, the field keeps its type.
    EXPECT_EQ(SerializeDbf(table, Date)[32 + 11], 'N');
}

TEST(DbfFormat, RefusesWhatItCannotMakeSenseOf) {
    const std::string good = SerializeDbf(Sample(), Date);
    const auto with = [&](std::size_t at, int value) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(value);
        return bytes;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"header only", good.substr(0, 32)},
        {"last record cut short", good.substr(0, good.size() - 4)},
        {"more records counted than present", with(4, 3)},
        {"record length disagrees with the fields", with(10, 10)},
        {"header longer than the file", with(9, 0x7F)},
        {"header too short for a field", with(8, 40)},
        {"deletion flag neither blank nor star", with(97, 'X')},
        {"no fields", with(32, 0x0D)},
    };
    for (const auto& [what, bytes] : cases) {
        DbfTable table;
        EXPECT_EQ(ParseDbf(bytes, table), XdbDamaged) << what;
        EXPECT_TRUE(table.fields.empty() && table.records.empty()) << what;
    }
}

TEST(IndexFormat, KeysAreUpperCasedAndPaddedToTwentyFiveCharacters) {
    EXPECT_EQ(IndexKey("abc"), "ABC" + std::string(22, ' '));
    EXPECT_EQ(IndexKey("straße"), "STRASSE" + std::string(18, ' '));
    EXPECT_EQ(IndexKey("é"), "É" + std::string(24, ' ')); // characters, not bytes
    const std::string longName(30, 'q');
    EXPECT_EQ(IndexKey(longName), std::string(30, 'Q'));
}

TEST(IndexFormat, RoundTripsAndRefusesEveryDamage) {
    DbfTable table = EmptyTable({"A.dbf", {{"APPNAME", 40}}, "A.idx", "APPNAME"});
    for (const char* name : {"beta", "Alpha", "alpha", "Gamma ray"})
        table.records.push_back({false, {name}});
    const NameIndex index = BuildNameIndex(table, 0, "APPNAME", {4, 0x12345678});
    EXPECT_EQ(index.expression, "UPPER(APPNAME)");
    ASSERT_EQ(index.entries.size(), 4u);
    EXPECT_EQ(index.entries[0].record, 2u); // equal keys in record order
    EXPECT_EQ(index.entries[1].record, 3u);
    EXPECT_EQ(index.entries[3].record, 4u);

    const std::string bytes = SerializeNameIndex(index);
    EXPECT_EQ(bytes.substr(0, 8), std::string("OMBRIDX\x1A"));
    NameIndex back;
    ASSERT_EQ(ParseNameIndex(bytes, back), XdbOk);
    EXPECT_EQ(back.fingerprint, index.fingerprint);
    EXPECT_EQ(back.keyCharacters, 25u);
    EXPECT_EQ(SerializeNameIndex(back), bytes);

    // Any changed byte, any cut and any extra byte is caught.
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
        EXPECT_EQ(ParseNameIndex(damaged, back), XdbDamaged) << at;
        EXPECT_EQ(ParseNameIndex(bytes.substr(0, at), back), XdbDamaged) << at;
    }
    EXPECT_EQ(ParseNameIndex(bytes + "x", back), XdbDamaged);
}

TEST(IndexFormat, AConsistentChecksumDoesNotMakeAnInconsistentIndexAcceptable) {
    DbfTable table = EmptyTable({"A.dbf", {{"APPNAME", 40}}, "A.idx", "APPNAME"});
    for (const char* name : {"b", "a", "c"})
        table.records.push_back({false, {name}});
    const NameIndex good = BuildNameIndex(table, 0, "APPNAME", {3, 1});
    const auto parses = [](NameIndex index) {
        NameIndex back;
        return ParseNameIndex(SerializeNameIndex(index), back);
    };
    ASSERT_EQ(parses(good), XdbOk);

    NameIndex unordered = good;
    std::swap(unordered.entries[0], unordered.entries[1]);
    EXPECT_EQ(parses(unordered), XdbDamaged);
    NameIndex twice = good;
    twice.entries[1].record = twice.entries[0].record;
    EXPECT_EQ(parses(twice), XdbDamaged);
    NameIndex outside = good;
    outside.entries[2].record = 4;
    EXPECT_EQ(parses(outside), XdbDamaged);
    NameIndex zero = good;
    zero.entries[0].record = 0;
    EXPECT_EQ(parses(zero), XdbDamaged);
    NameIndex missing = good;
    missing.entries.pop_back();
    EXPECT_EQ(parses(missing), XdbDamaged);
}

TEST(IndexFormat, SeekHelpersFollowKeyOrder) {
    std::vector<IndexEntry> entries = {{"A\t", 1}, {"A   ", 2}, {"A  B", 3}, {"AB", 4}};
    EXPECT_EQ(FindExactKey(entries, "A"), 1u);     // behind a key with a byte below blank
    EXPECT_EQ(FindExactKey(entries, "A    "), 1u); // trailing blanks aside on both sides
    EXPECT_EQ(FindExactKey(entries, "A  B  "), 2u);
    EXPECT_EQ(FindExactKey(entries, "B"), NoEntry);
    EXPECT_EQ(FindKeyPrefix(entries, "A "), 1u);
    EXPECT_EQ(FindKeyPrefix(entries, "AB"), 3u);
    EXPECT_EQ(FindKeyPrefix(entries, "AC"), NoEntry);
    EXPECT_EQ(KeyInsertionPoint(entries, "AC"), 4u);
    EXPECT_EQ(KeyInsertionPoint(entries, ""), 0u);
}

TEST(Crc32, MatchesTheStandardCheckValue) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32("56789", Crc32("1234")), 0xCBF43926u);
}
