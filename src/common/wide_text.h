#pragma once
// Windows takes and gives text as UTF-16; the program keeps UTF-8. These convert at every
// Windows call. A byte that is not valid UTF-8 becomes U+FFFD.

#ifdef _WIN32

#include <string>
#include <string_view>

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

#endif
