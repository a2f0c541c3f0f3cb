#pragma once
// The opens as every operation makes them, with their errors shown to the user, and the
// discipline around them: every operation opens the table it needs at its start and closes
// it (XDBCLOSE) on every way out.

#include <string>

// Open "Application.dbf" and "Application.idx" (rebuilding the index), or "User.dbf". An
// open error is shown; the caller goes on with the handles it got.
void OpenApplicationTable();
void OpenUserTable();

// The table of one operation: opened when made, closed on every way out, or earlier by
// Close() before the operation calls one that opens the table itself.
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

// After a write (or a read that must be whole): when the store reported an error, tells the
// user `whatWasNotDone` followed by the reason (exclamation), clears the error and returns
// false. The one place that reads the error an operation's store calls left behind.
bool StoreSucceeded(const std::string& whatWasNotDone);
