#pragma once
// One application record: the only place that knows how it lies in the application table.
// Each function works on the table opened into applicationTable and applicationIndex.

#include "records/tables.h"

#include <optional>
#include <string>
#include <vector>

struct ApplicationRecord {
    std::string name;        // APPNAME
    std::string code;        // REGCODE
    std::string vendorEmail; // VEMAIL
    std::string request;     // REQUEST: "Yes" or "No"
    friend bool operator==(const ApplicationRecord&, const ApplicationRecord&) = default;
};

// The record in the application table's buffer, each field exactly as stored.
ApplicationRecord ReadApplicationRecord();

// Puts `record` into the table's buffer, field by number; the first field the store refuses
// stops it, and nothing is written.
std::optional<FieldRefusal> AssignApplicationRecord(const ApplicationRecord& record);

// Writes `record` over record `number`, or appends it when `number` is 0. Afterwards the
// store's pending error tells how it went; a refused field is that error too.
void WriteApplicationRecord(const ApplicationRecord& record, int number);

// Marks record `number` deleted and packs the table; the pending error tells how it went.
void DeleteApplicationRecord(int number);

// The stored application whose name is `name` in upper case (the index's look-up), with its
// record number; it becomes the current record.
struct StoredApplication {
    int number = 0;
    ApplicationRecord record;
};
std::optional<StoredApplication> FindApplication(const std::string& name);

// Every record, in record-number order or in the index's (upper-case name) order.
std::vector<ApplicationRecord> ApplicationsInRecordOrder();
std::vector<ApplicationRecord> ApplicationsInNameOrder();
