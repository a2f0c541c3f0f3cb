// Windows' side of code page conversion: its own code page functions, through UTF-16.

#include "common/codepage.h"
#include "common/wide_text.h"

#include <windows.h>

bool IsKnownCodePage(unsigned codePage) {
    return IsValidCodePage(codePage) != 0;
}

bool CodePageToUtf8(unsigned codePage, std::string_view bytes, std::string& text) {
    text.clear();
    if (bytes.empty())
        return IsKnownCodePage(codePage);
    // Windows reads the bytes that Windows-1252 leaves undefined as C1 controls already.
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length == 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    text = Narrow(wide);
    return true;
}

bool Utf8ToCodePage(unsigned codePage, std::string_view text, std::string& bytes) {
    bytes.clear();
    if (!IsUtf8(text))
        return false;
    if (text.empty())
        return IsKnownCodePage(codePage);
    const std::wstring wide = Widen(text);
    const int size = static_cast<int>(wide.size());
    if (codePage == CP_UTF8) {
        bytes = std::string(text);
        return true;
    }
    // No best fit: a character the page lacks is refused, never turned into a look-alike.
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                           nullptr, 0, nullptr, &lost);
    if (length == 0 || lost)
        return false;
    bytes.assign(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), length,
                        nullptr, &lost);
    return !lost;
}
