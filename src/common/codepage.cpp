#include "common/codepage.h"

#ifndef _WIN32
#include <cerrno>
#include <iconv.h>
#endif

namespace {

unsigned Byte(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

// Length of the valid UTF-8 sequence at text[i], or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const unsigned lead = Byte(text, i);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    unsigned code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned next = Byte(text, i + k);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (next & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

#ifndef _WIN32 // Windows converts with its own functions: codepage_win32.cpp

namespace {

std::string IconvName(unsigned codePage) {
    return codePage == Utf8CodePage ? "UTF-8" : "CP" + std::to_string(codePage);
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (ok())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts from `at` on until the end or the first sequence it cannot convert; returns
    // where it stopped.
    std::size_t Run(std::string_view in, std::size_t at, std::string& out) {
        char buffer[256];
        char* from = const_cast<char*>(in.data()) + at;
        std::size_t left = in.size() - at;
        while (left > 0) {
            char* to = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(handle_, &from, &left, &to, &room);
            out.append(buffer, static_cast<std::size_t>(to - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
                break;
        }
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        return in.size() - left;
    }

private:
    iconv_t handle_;
};

// Whether `byte` is one that a single-byte `codePage` leaves undefined.
bool IsUndefinedByte(unsigned codePage, unsigned char byte) {
    Converter decode("UTF-8", IconvName(codePage));
    std::string ignored;
    const char one[] = {static_cast<char>(byte)};
    return decode.ok() && decode.Run(std::string_view(one, 1), 0, ignored) == 0;
}

} // namespace

bool IsKnownCodePage(unsigned codePage) {
    return Converter("UTF-8", IconvName(codePage)).ok();
}

bool CodePageToUtf8(unsigned codePage, std::string_view bytes, std::string& text) {
    text.clear();
    Converter decode("UTF-8", IconvName(codePage));
    if (!decode.ok())
        return false;
    for (std::size_t at = 0; (at = decode.Run(bytes, at, text)) < bytes.size(); ++at) {
        // An undefined byte of 0x80 to 0x9F reads as the C1 control of its number.
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (codePage == Utf8CodePage || byte < 0x80 || byte > 0x9F ||
            !IsUndefinedByte(codePage, byte))
            return false;
        text += static_cast<char>(0xC2);
        text += static_cast<char>(byte);
    }
    return true;
}

bool Utf8ToCodePage(unsigned codePage, std::string_view text, std::string& bytes) {
    bytes.clear();
    if (!IsUtf8(text))
        return false;
    Converter encode(IconvName(codePage), "UTF-8");
    if (!encode.ok())
        return false;
    for (std::size_t at = 0; (at = encode.Run(text, at, bytes)) < text.size(); at += 2) {
        // Back to its byte, the C1 control that stands for an undefined one.
        if (codePage == Utf8CodePage || at + 1 >= text.size() || Byte(text, at) != 0xC2 ||
            Byte(text, at + 1) > 0x9F || !IsUndefinedByte(codePage, text[at + 1]))
            return false;
        bytes += text[at + 1];
    }
    return true;
}

#endif
