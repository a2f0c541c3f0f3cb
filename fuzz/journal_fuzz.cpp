// Journal files from anywhere (a lock file another program scribbled over, a torn journal):
// the reader must answer every input with one journal or XdbDamaged, never name a file outside
// its folder, and a journal it accepts is exactly what writing it again gives, its tail aside.
// Each input is tried as given and once more with its length and checksum made right, so that
// the fuzzer reaches the checks behind them.
//   journal_fuzz corpus-journal seeds/journal -max_total_time=600

#include "store/journal.h"
#include "with_checksum.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(std::string_view bytes) {
    Journal journal;
    const XdbError result = ParseJournal(bytes, journal);
    const std::size_t length =
        bytes.size() >= JournalHeaderSize ? JournalLength(bytes.substr(0, JournalHeaderSize)) : 0;
    if (result != XdbOk) {
        if (result != XdbDamaged || !journal.ranges.empty() || !journal.tableName.empty())
            std::abort();
        return;
    }
    if (length == 0 || length > bytes.size() ||
        SerializeJournal(journal) != bytes.substr(0, length))
        std::abort();
    if (journal.tableName.find('/') != std::string::npos || journal.tableName == "..")
        std::abort();
    for (const auto& range : journal.ranges) {
        if (range.offset + range.bytes.size() > journal.oldLength)
            std::abort();
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
