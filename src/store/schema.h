#pragma once
// The tables the program defines: their files, fields and widths. The library creates a
// missing table or index from its definition, so that a first start in an empty folder works.

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* ApplicationTableFile = "Application.dbf";
inline constexpr const char* ApplicationIndexFile = "Application.idx";
inline constexpr const char* UserTableFile = "User.dbf";

// Field names, as the tables store them. Writes name fields by number, in this order.
namespace field {
inline constexpr const char* ApplicationName = "APPNAME";
inline constexpr const char* RegistrationCode = "REGCODE";
inline constexpr const char* VendorEmail = "VEMAIL";
inline constexpr const char* Request = "REQUEST";

inline constexpr const char* FirstName = "FNAME";
inline constexpr const char* LastName = "LNAME";
inline constexpr const char* UserEmail = "MYEMAIL";
inline constexpr const char* Pin = "PIN";
inline constexpr const char* NewPin = "NEWPIN";
inline constexpr const char* Server = "SERVER";
inline constexpr const char* MailPassword = "PASSWORD";
inline constexpr const char* LoginName = "LOGINNAME";
inline constexpr const char* LoginPassword = "LOGINPSWD";
} // namespace field

// Field widths in bytes of UTF-8 text. A value that ends in a blank needs one byte more.
inline constexpr int ApplicationNameWidth = 254;
inline constexpr int RegistrationCodeWidth = 254;
inline constexpr int VendorEmailWidth = 254;
inline constexpr int RequestWidth = 3;
inline constexpr int UserNameWidth = 100;  // FNAME, LNAME
inline constexpr int UserEmailWidth = 254; // MYEMAIL
inline constexpr int PinWidth = 32;        // PIN, NEWPIN
inline constexpr int ServerWidth = 254;    // SERVER
inline constexpr int PasswordWidth = 100;  // PASSWORD, LOGINPSWD
inline constexpr int LoginNameWidth = 100; // LOGINNAME

struct FieldDefinition {
    std::string name; // at most 10 characters, upper case
    int width = 0;    // bytes, at most 254
};

struct TableDefinition {
    std::string tableFile;
    std::vector<FieldDefinition> fields;
    std::string indexFile;  // empty: the table has no index
    std::string indexField; // the index key is this field upper-cased, padded to 25
};

// Looked up by file name without regard to letter case.
const std::vector<TableDefinition>& KnownTables();

// Whether `value` can be stored in a field of `width` bytes without losing anything: its
// UTF-8 bytes fit, plus one byte when it ends in a blank (the store marks the end of such a
// value so that the blanks survive).
bool FitsField(std::string_view value, int width);
// A value that ends in a blank is stored followed by one NUL byte.
bool NeedsEndMark(std::string_view value);
