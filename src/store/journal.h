#pragma once
// The journal that makes a write in place all or nothing.
//
// Before a table file is changed, the old bytes of every range the write touches (and the
// file's old length) go to the folder's journal, which is synced; then the
// table is written and synced; then the journal is emptied. A process stopped anywhere leaves
// either a spent (zeroed) or torn journal (the table was not touched yet) or a whole one, which
// the next taker of the folder's lock plays back: the table returns to its old bytes. A spent
// journal is overwritten with zeros, not truncated: the next one is written over the same
// blocks, which syncs faster, and no old value is left behind in it.
//
// The journal lives in the folder's lock file (folder_lock.h): that file is there whenever a
// write is, it is never replaced, and only the holder of the lock may write or play back.
//
// Journal layout (integers little-endian):
//
//   offset  size  content
//   0       8     magic "OMBRJNL" followed by 0x1A
//   8       2     format version, 1
//   10      4     length J of the journal, these bytes included (the file may go on after it)
//   14      2     length L of the table's file name in its folder (UTF-8)
//   16      L     that name
//   16+L    8     the table file's device number   } which file it belongs to: a file put in
//   24+L    8     the table file's node number     } its place since (a restore) is left alone
//   32+L    8     the table file's length before the write
//   40+L    4     number R of ranges
//   44+L    ...   R ranges: 8 offset, 4 length N, N old bytes (ranges end within the old length)
//   J-4     4     CRC-32 of every byte before it

#include "store/folder_lock.h"
#include "store/xdb.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* JournalFileName = LockFileName;

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t node = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct ByteRange {
    std::uint64_t offset = 0;
    std::string bytes;
};

struct Journal {
    std::string tableName;
    FileIdentity table;
    std::uint64_t oldLength = 0;
    std::vector<ByteRange> ranges; // the old bytes
};

std::string SerializeJournal(const Journal& journal);
// XdbOk, or XdbDamaged for anything that does not begin with one whole journal (a torn or
// spent one included).
XdbError ParseJournal(std::string_view bytes, Journal& journal);

// From the first JournalHeaderSize bytes of a journal file: the length of the journal they
// begin, or 0 when they begin none (a spent journal, or no journal at all).
inline constexpr std::size_t JournalHeaderSize = 14;
std::size_t JournalLength(std::string_view header);

// Writes `ranges` into the table file at `table` and sets its length to `newLength`, all or
// nothing, through the journal in the table's folder. The caller holds the folder's lock.
// Two syncs: the journal's and the table's. Fails with XdbWriteFailed, the file then holding its
// old bytes.
XdbError WriteInPlace(const std::filesystem::path& table, const std::vector<ByteRange>& ranges,
                      std::uint64_t newLength);

// Plays back a journal left in `folder` by a stopped write, then empties it. The caller holds
// the folder's lock. XdbOk when there was nothing to do or it was done; XdbWriteFailed when a
// whole journal is left that could not be played back (its table cannot be written).
XdbError RollBackJournal(const std::filesystem::path& folder);
