#pragma once
// Little-endian numbers in the store's own file formats (the index and the journal).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Appends the `size` low bytes of `value`, least significant first.
inline void AppendLittleEndian(std::string& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Reads from the front of a byte range, failing once it runs out.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    bool Take(std::size_t count, std::string_view& out) {
        if (count > bytes_.size() - at_)
            return false;
        out = bytes_.substr(at_, count);
        at_ += count;
        return true;
    }
    template <typename T> bool Number(std::size_t size, T& value) {
        std::string_view raw;
        if (!Take(size, raw))
            return false;
        std::uint64_t number = 0;
        for (std::size_t i = size; i-- > 0;)
            number = number << 8 | static_cast<unsigned char>(raw[i]);
        value = static_cast<T>(number);
        return true;
    }
    std::size_t Left() const { return bytes_.size() - at_; }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};
