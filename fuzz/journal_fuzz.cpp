// Journal files from anywhere (a lock file another program scribbled over, a torn record, an
// older version's journal): each reader must answer every input with one record (or one old
// journal) or XdbDamaged, never name a file outside its folder, never accept a range beyond the
// table's length, and what it accepts is exactly what writing it again gives, its tail aside.
// Each input is tried as given and once more with its length and checksum made right, so that
// the fuzzer reaches the checks behind them.
//   journal_fuzz corpus-journal seeds/journal -max_total_time=600

#include "store/journal.h"
#include "with_checksum.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Fail(bool failed) {
    if (failed)
        std::abort();
}

bool InFolder(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name != ".." && name != ".";
}

void Check(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, JournalHeaderSize);
    JournalRecord record;
    std::size_t length = 0;
    if (ParseJournalRecord(bytes, record, length) != XdbOk) {
        Fail(!record.ranges.empty() || !record.tableName.empty() || length != 0);
    } else {
        Fail(length != JournalLength(head) || length > bytes.size() ||
             SerializeJournalRecord(record) != bytes.substr(0, length) ||
             !InFolder(record.tableName));
        for (const auto& range : record.ranges)
            Fail(range.offset + range.bytes.size() > record.newLength);
    }
    OldJournal old;
    if (ParseOldJournal(bytes, old) != XdbOk) {
        Fail(!old.ranges.empty() || !old.tableName.empty());
    } else {
        const std::size_t oldLength = OldJournalLength(head);
        Fail(oldLength == 0 || oldLength > bytes.size() ||
             SerializeOldJournal(old) != bytes.substr(0, oldLength) || !InFolder(old.tableName));
        for (const auto& range : old.ranges)
            Fail(range.offset + range.bytes.size() > old.oldLength);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    if (size >= JournalHeaderSize + 4) {
        // The length the header gives, too.
        std::string length;
        AppendLittleEndian(length, size, 4);
        Check(WithChecksum(std::string(bytes).replace(10, 4, length)));
    }
    return 0;
}
