#pragma once
// The journal that makes a write in place all or nothing, and durable once it returns.
//
// A commit appends to the folder's journal one record holding the new bytes of every range the
// write touches and the table's new length, and syncs the journal: that one sync is the commit.
// Then the table is written in place, without a sync: the file itself holds the committed state
// at once for any program that reads it, and a power cut that loses those writes leaves the
// record, which the next open plays again. The tables are synced and the journal emptied only
// at a checkpoint: when the journal has grown large, when a table was changed by another
// program since this process wrote it, before Backup and Restore copy files, and when the
// process ends.
//
// Records follow each other from the start of the file; the journal's epoch, which a
// checkpoint changes, tells them from what an earlier journal left further on. A record that is
// torn (its checksum fails) was never synced whole: its commit never returned, and its table was
// not touched. Playing back is safe only over the file the records were made for, as they left
// it: the table must be the same file (device and node), its header one that the records'
// commits wrote (or the one before the first), and its time of last change no later than the
// last commit's (with a margin). Otherwise another program wrote it since, and its bytes win:
// the records are dropped, never written over them.
//
// The journal lives in the folder's lock file (folder_lock.h): that file is there whenever a
// write is, it is never replaced, and only the holder of the lock may write or play back.
//
// Record layout (integers little-endian):
//
//   offset  size  content
//   0       8     magic "OMBRLOG" followed by 0x1A
//   8       2     format version, 2
//   10      4     length J of the record, these bytes included
//   14      8     epoch of the journal
//   22      4     sequence number of the record in its epoch, from 0
//   26      8     time of the commit, nanoseconds of the file system's clock
//   34      2     length L of the table's file name in its folder (UTF-8)
//   36      L     that name
//   36+L    8     the table file's device number   } which file it belongs to: a file put in
//   44+L    8     the table file's node number     } its place since (a restore) is left alone
//   52+L    8     the table file's length before the write
//   60+L    8     its length after the write
//   68+L    2     length H (at most 32) of the table's header before the write
//   70+L    H     that header
//   ...     4     number R of ranges
//   ...     ...   R ranges: 8 offset, 4 length N, 4 length M, and in M bytes the N new bytes packed
//                 (ranges end within the new length). Packed bytes are runs, each led by a
//                 byte c: below 128, c + 1 bytes as they are; from 128 on, c - 124 blanks.
//   J-4     4     CRC-32 of every byte before it
//
// Version 1 journals, which older versions of the program left (the old bytes of one write
// whose table may be half written, "OMBRJNL" 0x1A, version 1), are still played back as they
// were: the table returns to its old bytes.

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

struct JournalRecord {
    std::uint64_t epoch = 0;
    std::uint32_t sequence = 0;
    std::int64_t time = 0;
    std::string tableName;
    FileIdentity table;
    std::uint64_t oldLength = 0;
    std::uint64_t newLength = 0;
    std::string oldHeader;
    std::vector<ByteRange> ranges; // the new bytes
};

std::string SerializeJournalRecord(const JournalRecord& record);
// XdbOk, with the record's length, or XdbDamaged for anything that does not begin with one
// whole record (a torn or spent one included).
XdbError ParseJournalRecord(std::string_view bytes, JournalRecord& record, std::size_t& length);

// A version 1 journal: the old bytes of one write.
struct OldJournal {
    std::string tableName;
    FileIdentity table;
    std::uint64_t oldLength = 0;
    std::vector<ByteRange> ranges; // the old bytes
};
std::string SerializeOldJournal(const OldJournal& journal);
XdbError ParseOldJournal(std::string_view bytes, OldJournal& journal);

// From the first JournalHeaderSize bytes of a record (or of a version 1 journal): its length,
// or 0 when they begin none (a spent journal, or no journal at all).
inline constexpr std::size_t JournalHeaderSize = 14;
std::size_t JournalLength(std::string_view header);
std::size_t OldJournalLength(std::string_view header);

// Writes `ranges` into the table file at `table` and sets its length to `newLength`, all or
// nothing and durably, through the journal in the table's folder. The caller holds the
// folder's lock. One sync, the journal's; two when a checkpoint falls due first. Fails with
// XdbWriteFailed, the file then holding its old bytes.
XdbError WriteInPlace(const std::filesystem::path& table, std::vector<ByteRange> ranges,
                      std::uint64_t newLength);

// At an open, holding the folder's lock: plays back what a stopped process or a power cut left
// in the journal of `folder`, or checkpoints when a table this process wrote was changed by
// another program since. `durably` also syncs the emptied journal (before files are copied).
// XdbOk when there was nothing to do or it was done; XdbWriteFailed when the tables could not
// be written back or synced.
XdbError FinishJournal(const std::filesystem::path& folder, bool durably = false);
