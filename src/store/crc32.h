#pragma once
// CRC-32 (the zlib/PNG polynomial), for the index's checksum and its table fingerprint.

#include <cstdint>
#include <string_view>

std::uint32_t Crc32(std::string_view bytes, std::uint32_t previous = 0);
