#pragma once
// The program's two tables and the discipline around them: every operation opens the table
// it needs at its start and closes it (XDBCLOSE) on every way out.

#include "store/schema.h"

#include <string>

// Program-wide handles; each open replaces the previous value.
extern int applicationTable;
extern int applicationIndex;
extern int userTable;

inline constexpr const char* TableKey = "Hq4WnT7cKz2RbX9mLp5VdJ8sGf3YtE6aNw1ZkQ";

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

// Writes the buffer of `table` over record `number`, or appends it when `number` is 0,
// unless an error is already pending (a field the store refused).
void StoreBuffer(int table, int number);

// The open-error text: "Error: " + the code (" 3", "-1") + " opening database." or
// " opening index.".
std::string OpenErrorText(int errorCode, const std::string& what);

// The message for a value that does not fit its field, naming the field and its limit:
// "The <field> is too long to be stored: it can hold at most <width> characters (fewer
// accented or non-Latin ones). Please shorten it."
std::string FieldTooLongText(const std::string& field, int width);

// The message for a value with a character that an older table's code page cannot hold,
// naming the field.
std::string NotInCodePageText(const std::string& field);

// Why a write failed, in the user's words, from the library's error code.
std::string WriteFailureReason(int errorCode);

// After a write (or a read that must be whole): when the store reported an error, tells the
// user `whatWasNotDone` followed by the reason (exclamation), clears the error and returns
// false. The one place that reads the error an operation's store calls left behind.
bool StoreSucceeded(const std::string& whatWasNotDone);
