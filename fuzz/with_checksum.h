#pragma once
// Most random bytes fail the trailing checksum at once; the fuzz targets also feed each input
// with its last four bytes made the CRC-32 of the rest, so the readers get past that check.

#include "store/crc32.h"
#include "store/little_endian.h"

#include <string>
#include <string_view>

inline std::string WithChecksum(std::string_view bytes) {
    std::string fixed(bytes.substr(0, bytes.size() - 4));
    AppendLittleEndian(fixed, Crc32(fixed), 4);
    return fixed;
}
