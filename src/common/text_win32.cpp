// Windows' side of the text rules: UTF-16 at the boundary and Windows' own upper-casing.

#include "common/text.h"
#include "common/wide_text.h"

#include <windows.h>

std::wstring Widen(std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

// The invariant locale, not the user's: upper-casing decides whether a login is "NO LOGIN"
// and whether two file names are one, and under a Turkish user locale "no login" would
// become "NO LOGİN" (dotted capital I) and never match. Windows maps one character to one,
// so "ß" stays as it is, where ICU gives "SS".
std::string ToUpper(std::string_view text) {
    const std::wstring wide = Widen(text);
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), size,
                                     nullptr, 0, nullptr, nullptr, 0);
    std::wstring upper(static_cast<std::size_t>(length), L'\0');
    if (length == 0 || LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), size,
                                     upper.data(), length, nullptr, nullptr, 0) == 0)
        return std::string(text);
    return Narrow(upper);
}
