#include "store/crc32.h"

#include <array>

namespace {

// Slicing by four: the tables are tens of kilobytes large and read on every write.
using Tables = std::array<std::array<std::uint32_t, 256>, 4>;

Tables MakeTables() {
    Tables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i) {
        for (std::size_t t = 1; t < 4; ++t)
            tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    }
    return tables;
}

} // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t previous) {
    static const Tables tables = MakeTables();
    std::uint32_t c = ~previous;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    while (n >= 4) {
        c ^= static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
             static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        c = tables[3][c & 0xFF] ^ tables[2][(c >> 8) & 0xFF] ^ tables[1][(c >> 16) & 0xFF] ^
            tables[0][c >> 24];
        p += 4;
        n -= 4;
    }
    while (n-- > 0)
        c = tables[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    return ~c;
}
