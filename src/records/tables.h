#pragma once
// The program's two tables over the record-database library: their handles, what opening
// them may go wrong with, and the words in which a refused or failed write is told. Nothing
// here shows anything; the opens that show their errors are in table_scope.h.

#include "store/schema.h"

#include <initializer_list>
#include <optional>
#include <string>

// Program-wide handles; each open replaces the previous value.
extern int applicationTable;
extern int applicationIndex;
extern int userTable;

inline constexpr const char* TableKey = "Hq4WnT7cKz2RbX9mLp5VdJ8sGf3YtE6aNw1ZkQ";

// An open that failed: the message and the caption it is shown under.
struct OpenFailure {
    std::string text;
    std::string caption;
};

// Opens "Application.dbf" into applicationTable, then "Application.idx" into
// applicationIndex, and rebuilds the index. Stops at the first open that fails and says
// which; the handles got so far stay as they are (they answer harmlessly).
std::optional<OpenFailure> OpenApplicationFiles();
// Opens "User.dbf" into userTable.
std::optional<OpenFailure> OpenUserFile();

// The open-error text: "Error: " + the code (" 3", "-1") + " opening database." or
// " opening index.".
std::string OpenErrorText(int errorCode, const std::string& what);

// A value the store would not take into its field: the field's number (from 1) and the
// store's error (XdbValueTooLong, XdbNotInCodePage, XdbBadValue). Any other error (a table
// that did not open) is no fault of the value: it stays pending for the write to report.
struct FieldRefusal {
    int field = 0;
    int error = 0;
    friend bool operator==(const FieldRefusal&, const FieldRefusal&) = default;
};

// Assigns `values` to the buffer of `table`, field by number from 1, and stops at the first
// one the store refuses; the pending error is cleared first, and then holds what stopped it.
std::optional<FieldRefusal> AssignFields(int table,
                                         std::initializer_list<const std::string*> values);

// What the user is told of a refused value: `label` is the field as the form names it,
// `width` its size in bytes.
std::string FieldRefusalText(const FieldRefusal& refusal, const std::string& label, int width);

// Writes the buffer of `table` over record `number`, or appends it when `number` is 0,
// unless an error is already pending.
void StoreBuffer(int table, int number);

// Why a write failed, in the user's words, from the library's error code.
std::string WriteFailureReason(int errorCode);

// The same for one field: whether the store would take `value` into field `number`.
std::optional<FieldRefusal> AssignField(int table, int number, const std::string& value);
