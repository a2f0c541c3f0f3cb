#pragma once
// An import of applications from a file: each row judged as Save judges a form, against the
// open application table, and every accepted row written in one commit.

#include "log/activity_log.h"
#include "maintenance/import_file.h"
#include "records/application_table.h"

#include <cstdint>
#include <string>
#include <vector>

// A file larger than this is no list of applications.
inline constexpr std::uintmax_t ImportFileLimit = 10 * 1024 * 1024;
// What the file chooser offers.
inline constexpr const char* ImportFilterName = "Text and CSV files";
inline constexpr const char* ImportFilterPatterns = "*.csv *.txt";

enum class ImportVerdict { Added, Overwrites, Unchanged, Refused };

struct ImportLine {
    int line = 0;             // of the file
    ApplicationRecord record; // as it would be stored, its request flag settled
    ImportVerdict verdict = ImportVerdict::Refused;
    std::string reason;   // why it is refused
    int storedNumber = 0; // the record an overwrite replaces
};

struct ImportPlan {
    std::string description; // how the file was read
    std::vector<ImportLine> lines;
    int Count(ImportVerdict verdict) const;
};

// Judges every row of `file`: the reader's problems; then the checks of Save (a blank name,
// code or e-mail address, then what the store will not hold, as the table's buffer takes it);
// a name an earlier row already has (as the index compares names); then the look-up of Save
// decides between a new application, an overwrite and a row that changes nothing. A row
// without a request flag keeps the stored application's, or asks for a request when new.
ImportPlan JudgeImport(const ImportFile& file);

// The row's line in the import dialog: its line number, verdict and name.
std::string ImportLineText(const ImportLine& line);

// Writes every added and overwritten row in one durable commit: all or, after any failure,
// none (the store's error is then pending). Nothing to write is no failure.
bool WriteImport(const ImportPlan& plan);

// The log entry of a written row: the one Save writes.
LogEntry ImportLogEntry(const ImportLine& line);

// What the user is told.
std::string ImportedText(const ImportPlan& plan);
// "Nothing was imported from the file <name>." and why.
std::string ImportRefusedText(const std::string& fileName, const std::string& why);
inline constexpr const char* NothingToImportText =
    "No row of the file can be imported: each is refused for the reason given.";
