#pragma once
// The user record, record 1 of the user table: the only place that knows how it lies there.

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

// Writes `record` over record `number`, or appends it when `number` is 0, field by field
// number. The store's pending error is cleared first and afterwards tells how it went
// (StoreSucceeded); a field it refuses stops the write before anything is stored.
void WriteUserRecord(const UserRecord& record, int number);
