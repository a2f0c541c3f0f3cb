#pragma once
// Text rules shared by every layer. Texts are UTF-8; widths and cuts count characters
// (code points), never bytes, so a cut never falls inside a character.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

inline constexpr std::string_view CRLF = "\r\n";

// The lines joined by CR LF, with none after the last.
std::string JoinLines(std::initializer_list<std::string_view> lines);

// Empty, or nothing but U+0020. Tabs and other white space count as content.
bool IsBlank(std::string_view text);

// Removes U+0020 (and nothing else) from both ends.
std::string TrimBlanks(std::string_view text);

// Number of characters; a byte that does not start a valid UTF-8 sequence counts as one.
std::size_t CharacterCount(std::string_view text);

// Cut after `width` characters, or padded with blanks to `width` characters.
std::string LeftJustify(std::string_view text, std::size_t width);

// A signed decimal with a blank in the sign position: 5 -> " 5", -3 -> "-3".
std::string SignedNumber(long long value);

// Every occurrence of `placeholder`, left to right, byte for byte and case-sensitive; the scan
// resumes behind each match and never looks into the inserted `value`. An empty placeholder
// leaves the text as it is.
std::string ReplaceAll(std::string_view text, std::string_view placeholder, std::string_view value);

// Unicode upper case (language-neutral rules), so "é" becomes "É" and "ß" becomes "SS".
std::string ToUpper(std::string_view text);

// The longest prefix of `bytes` that does not end inside a UTF-8 character: a character cut
// off at the end is dropped rather than left as invalid text.
std::string_view WithoutPartialCharacterAtEnd(std::string_view bytes);
