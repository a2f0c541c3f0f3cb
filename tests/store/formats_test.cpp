// The table file's bytes: what other dBASE readers rely on, and what other writers make; and the
// journal's records, of which only whole ones for a file in their folder are played.

#include "store/dbf_file.h"
#include "store/journal.h"

#include <gtest/gtest.h>

TEST(DbfFormat, WritesPlainDbaseThreeAndReadsWhatOtherWritersMake) {
    DbfTable table = EmptyTable({"T.dbf", {{"NAME", 5}, {"CODE", 3}}, "", ""});
    table.records = {{false, {"ab", "x "}}, {true, {" ", ""}}};
    const LocalDateTime date{2026, 3, 7, 9, 5, 2};
    const std::string bytes = SerializeDbf(table, date);
    // Version, date, record count, header and record lengths; language driver 0 (UTF-8).
    EXPECT_EQ(bytes.substr(0, 32),
              std::string("\x03\x7E\x03\x07\x02\0\0\0\x61\0\x09\0", 12) + std::string(20, '\0'));

    // A longer header, a numeric field, a value cut short by a NUL, no end marker.
    std::string other = bytes.substr(0, bytes.size() - 1);
    other[8] = static_cast<char>(97 + 32);
    other.insert(97, 32, '\0');
    other[32 + 11] = 'N';
    other.replace(97 + 32 + 3, 2, std::string("\0Z", 2));
    DbfTable back;
    ASSERT_EQ(ParseDbf(other, back), XdbOk);
    EXPECT_EQ(back.records[0].values, (std::vector<std::string>{"ab", "x "}));
    EXPECT_TRUE(back.records[1].deleted);
    EXPECT_EQ(SerializeDbf(back, date)[32 + 11], 'N'); // written back as it was
    // A table cut short is refused, never half read; so is a header that counts fewer records than
    // the file holds (the next write would drop the others).
    EXPECT_EQ(ParseDbf(bytes.substr(0, bytes.size() - 4), back), XdbDamaged);
    EXPECT_EQ(ParseDbf(std::string(bytes).replace(4, 1, "\x01"), back), XdbDamaged);
    EXPECT_TRUE(back.records.empty());
}

TEST(JournalFormat, OnlyWholeRecordsForAFileInItsFolderAreAccepted) {
    const FileIdentity file{8, 1234};
    const std::vector<ByteRange> ranges = {{0, "new header"}, {4000, "x"}};
    const JournalRecord record{
        7, 3, 1234, "Application.dbf", file, 4000, 4100, std::string(32, 'h'), ranges};
    const std::string bytes = SerializeJournalRecord(record);
    JournalRecord back;
    std::size_t length = 0;
    // Whatever follows a record is no part of it.
    ASSERT_EQ(ParseJournalRecord(bytes + std::string(50, '\0'), back, length), XdbOk);
    EXPECT_EQ(SerializeJournalRecord(back), bytes);
    EXPECT_EQ(length, bytes.size());
    EXPECT_EQ(JournalLength(bytes.substr(0, JournalHeaderSize)), bytes.size());
    // Torn, spent, changed after its checksum, naming a file elsewhere, or writing past the new
    // length: refused.
    const auto named = [&](const char* name) {
        JournalRecord other = record;
        other.tableName = name;
        return SerializeJournalRecord(other);
    };
    JournalRecord past = record;
    past.ranges.push_back({4099, "xy"});
    std::string flipped = bytes;
    flipped[20] ^= 1;
    for (const std::string& bad :
         {bytes.substr(0, bytes.size() - 1), std::string(bytes.size(), '\0'), flipped,
          named("../User.dbf"), named("sub\\x.dbf"), named(".."), SerializeJournalRecord(past)}) {
        EXPECT_EQ(ParseJournalRecord(bad, back, length), XdbDamaged);
        EXPECT_TRUE(back.ranges.empty());
    }
    // An older version's journal is read only as that.
    const std::string old = SerializeOldJournal({"Application.dbf", file, 4000, {{0, "x"}}});
    OldJournal oldBack;
    EXPECT_EQ(ParseJournalRecord(old, back, length) + ParseOldJournal(bytes, oldBack),
              2 * XdbDamaged);
    EXPECT_EQ(ParseOldJournal(old, oldBack), XdbOk);
}
