#pragma once
// The program's two tables and the discipline around them: every operation opens the table
// it needs at its start and closes it (XDBCLOSE) on every way out.

#include <string>

// Program-wide handles; each open replaces the previous value.
extern int applicationTable;
extern int applicationIndex;
extern int userTable;

inline constexpr const char* ApplicationTableFile = "Application.dbf";
inline constexpr const char* ApplicationIndexFile = "Application.idx";
inline constexpr const char* UserTableFile = "User.dbf";
inline constexpr const char* TableKey = "Hq4WnT7cKz2RbX9mLp5VdJ8sGf3YtE6aNw1ZkQ";

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

// Opens "Application.dbf" and "Application.idx" and rebuilds the index. An open error is
// shown to the user; the caller goes on with the handles it got.
void OpenApplicationTable();
// Opens "User.dbf". An open error is shown to the user.
void OpenUserTable();

// The table of one operation: opened when made, closed (XDBCLOSE) on every way out, or
// earlier by Close() before the operation calls one that opens the table itself.
class TableScope {
public:
    ~TableScope() { Close(); }
    TableScope(const TableScope&) = delete;
    TableScope& operator=(const TableScope&) = delete;
    void Close();

protected:
    explicit TableScope(int handle) : handle_(handle) {}

private:
    int handle_;
    bool open_ = true;
};

struct ApplicationTableScope : TableScope {
    ApplicationTableScope();
};

struct UserTableScope : TableScope {
    UserTableScope();
};

// The open-error text: "Error: " + the code (" 3", "-1") + " opening database." or
// " opening index.".
std::string OpenErrorText(int errorCode, const std::string& what);

// Whether `value` can be stored in a field of `width` bytes without losing anything: its
// UTF-8 bytes fit, plus one byte when it ends in a blank (the store marks the end of such a
// value so that the blanks survive).
bool FitsField(const std::string& value, int width);

// The message for a value that does not fit its field, naming the field and its limit:
// "The <field> is too long to be stored: it can hold at most <width> characters (fewer
// accented or non-Latin ones). Please shorten it."
std::string FieldTooLongText(const std::string& field, int width);

// Why a write failed, in the user's words, from the library's error code; the operation
// puts it after its own sentence ("The application was not saved. " + reason).
std::string WriteFailureReason(int errorCode);
