#pragma once
// Text in the code pages of older tables and templates, converted to and from the program's
// UTF-8 by the platform's own converter (iconv, or Windows' code page functions).
//
// A code page is named by its Windows number. In a single-byte page, a byte the page leaves
// undefined (0x81 in Windows-1252) stands for the C1 control of the same number, as Windows
// reads it, so that every byte comes back as it was.

#include <string>
#include <string_view>

inline constexpr unsigned Utf8CodePage = 65001;
inline constexpr unsigned Windows1252 = 1252;

// Whether the platform converts `codePage`.
bool IsKnownCodePage(unsigned codePage);

// `bytes` in `codePage` as UTF-8; false when they are not text in that page.
bool CodePageToUtf8(unsigned codePage, std::string_view bytes, std::string& text);

// UTF-8 `text` in `codePage`; false when a character has no place in it.
bool Utf8ToCodePage(unsigned codePage, std::string_view text, std::string& bytes);

// Whether `bytes` are valid UTF-8.
bool IsUtf8(std::string_view bytes);
