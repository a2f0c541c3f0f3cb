// Index files from anywhere: the reader must answer every input with an index or
// XdbDamaged, and an index it accepts is exactly what writing it again gives.
// Each input is tried as given and once more with its checksum made right, so that the
// fuzzer reaches the checks behind the checksum.
//   idx_fuzz corpus-idx seeds/idx -max_total_time=300

#include "store/name_index.h"
#include "with_checksum.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(std::string_view bytes) {
    NameIndex index;
    const XdbError result = ParseNameIndex(bytes, index);
    if (result != XdbOk) {
        if (result != XdbDamaged || !index.entries.empty())
            std::abort();
        return;
    }
    if (SerializeNameIndex(index) != bytes)
        std::abort();
    // The seek helpers on whatever keys it holds.
    const std::string_view probe = bytes.substr(0, std::min<std::size_t>(bytes.size(), 30));
    const std::size_t exact = FindExactKey(index.entries, probe);
    const std::size_t prefix = FindKeyPrefix(index.entries, probe);
    const std::size_t at = KeyInsertionPoint(index.entries, probe);
    if ((exact != NoEntry && exact >= index.entries.size()) ||
        (prefix != NoEntry && prefix != at) || at > index.entries.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    if (size >= 4)
        Check(WithChecksum(bytes));
    return 0;
}
