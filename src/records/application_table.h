#pragma once
// One application record: the only place that knows how it lies in the application table.

#include <string>

struct ApplicationRecord {
    std::string name;        // APPNAME
    std::string code;        // REGCODE
    std::string vendorEmail; // VEMAIL
    std::string request;     // REQUEST: "Yes" or "No"
    friend bool operator==(const ApplicationRecord&, const ApplicationRecord&) = default;
};

// The record in the application table's buffer, each field exactly as stored.
ApplicationRecord ReadApplicationRecord();

// Writes `record` over record `number`, or appends it when `number` is 0, field by field
// number. The store's pending error is cleared first and afterwards tells how it went
// (StoreSucceeded); a field it refuses stops the write before anything is stored.
void WriteApplicationRecord(const ApplicationRecord& record, int number);

// Marks record `number` deleted and packs the table; the pending error tells how it went.
void DeleteApplicationRecord(int number);
