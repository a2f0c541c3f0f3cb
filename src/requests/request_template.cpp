#include "requests/request_template.h"

#include "common/codepage.h"
#include "common/files.h"
#include "common/text.h"

#include <filesystem>

std::string ReadTemplate(std::string_view name) {
    const std::filesystem::path path = ResolveFileName(name);
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) {
        // A missing template is created empty so that the user finds where to write one.
        AppendToFile(path, "", error);
    }
    // A template that is not a plain file (a FIFO, a device) reads as empty, never waited on.
    std::string bytes;
    if (!ReadFileStart(path, TemplateLimit, bytes, error))
        bytes.clear();
    // The box holds text: a character cut in two at the limit is dropped whole. A template
    // that is not UTF-8 was written for the older Windows program, in Windows-1252.
    const std::string_view utf8 = WithoutPartialCharacterAtEnd(bytes);
    std::string text;
    if (IsUtf8(utf8) || !CodePageToUtf8(Windows1252, bytes, text))
        return std::string(utf8);
    return text;
}

std::string FillTemplate(std::string_view text, const UserRecord& user) {
    std::string filled = ReplaceAll(text, "fname", user.firstName);
    filled = ReplaceAll(filled, "lname", user.lastName);
    filled = ReplaceAll(filled, "XXXXXXXX", user.pin);
    return ReplaceAll(filled, "emailaddress", user.email);
}
