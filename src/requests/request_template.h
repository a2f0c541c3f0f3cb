#pragma once
// The template files of the requests and the user's values put into them.

#include "records/user_table.h"

#include <string>
#include <string_view>

// "Template.txt" and "template.txt" are one file; a missing one is created with this name.
inline constexpr const char* RequestTemplateFile = "Template.txt";
inline constexpr const char* TestTemplateFile = "Email Test Template.txt";
inline constexpr std::size_t TemplateLimit = 1000; // bytes read from a template

// The first 1000 bytes of the template `name` in the current folder, matched without regard
// to letter case, less a character cut at the end. A missing file is created empty; a file
// that cannot be read gives an empty text.
std::string ReadTemplate(std::string_view name);

// "fname", "lname", "XXXXXXXX" and "emailaddress", in that order, by the user's values.
std::string FillTemplate(std::string_view text, const UserRecord& user);
