#pragma once
// The user record, record 1 of the user table: the only place that knows how it lies there.
// Each function works on the table opened into userTable.

#include "records/tables.h"

#include <optional>
#include <string>

struct UserRecord {
    std::string firstName;     // FNAME
    std::string lastName;      // LNAME
    std::string email;         // MYEMAIL
    std::string pin;           // PIN
    std::string newPin;        // NEWPIN
    std::string server;        // SERVER
    std::string password;      // PASSWORD, of the mail server
    std::string loginName;     // LOGINNAME
    std::string loginPassword; // LOGINPSWD
    friend bool operator==(const UserRecord&, const UserRecord&) = default;
};

// Record 1 of the user table, each field exactly as stored; all empty when there is none.
UserRecord ReadUserRecord();

// Puts `record` into the table's buffer, field by number; the first field the store refuses
// stops it, and nothing is written.
std::optional<FieldRefusal> AssignUserRecord(const UserRecord& record);

// Writes `record` over record `number`, or appends it when `number` is 0. Afterwards the
// store's pending error tells how it went; a refused field is that error too.
void WriteUserRecord(const UserRecord& record, int number);
