#include "common/text.h"

#ifndef _WIN32
#include <unicode/locid.h>
#include <unicode/unistr.h>
#endif

namespace {

// Length of the UTF-8 sequence that starts at text[i], or 1 when the bytes there do not
// form a complete, valid sequence.
// How long a sequence starting with `lead` is meant to be: 1 for ASCII and for bytes that
// cannot start one.
std::size_t ExpectedLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const std::size_t length = ExpectedLength(static_cast<unsigned char>(text[i]));
    if (length == 1 || i + length > text.size())
        return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

} // namespace

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += SequenceLength(text, i))
        ++count;
    return count;
}

std::string LeftJustify(std::string_view text, std::size_t width) {
    std::size_t i = 0;
    std::size_t count = 0;
    while (i < text.size() && count < width) {
        i += SequenceLength(text, i);
        ++count;
    }
    std::string result(text.substr(0, i));
    result.append(width - count, ' ');
    return result;
}

std::string SignedNumber(long long value) {
    return (value < 0 ? "" : " ") + std::to_string(value);
}

std::string ReplaceAll(std::string_view text, std::string_view placeholder,
                       std::string_view value) {
    if (placeholder.empty())
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (auto at = text.find(placeholder); at != std::string_view::npos;
         at = text.find(placeholder, from)) {
        result.append(text.substr(from, at - from));
        result.append(value);
        from = at + placeholder.size();
    }
    result.append(text.substr(from));
    return result;
}

#ifndef _WIN32 // Windows upper-cases with its own rules: text_win32.cpp
std::string ToUpper(std::string_view text) {
    auto unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    unicode.toUpper(icu::Locale::getRoot());
    std::string result;
    unicode.toUTF8String(result);
    return result;
}
#endif

std::string_view WithoutPartialCharacterAtEnd(std::string_view bytes) {
    // Walk back over at most three continuation bytes to the last lead byte.
    std::size_t start = bytes.size();
    for (int k = 0; k < 4 && start > 0; ++k) {
        --start;
        if ((static_cast<unsigned char>(bytes[start]) & 0xC0) != 0x80)
            break;
    }
    if (start == bytes.size())
        return bytes;
    const std::size_t expected = ExpectedLength(static_cast<unsigned char>(bytes[start]));
    if (expected > 1 && bytes.size() - start < expected)
        return bytes.substr(0, start);
    return bytes;
}

std::string JoinLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const auto line : lines) {
        if (!text.empty())
            text += CRLF;
        text += line;
    }
    return text;
}
