#pragma once
// What the Application Information dialog decides, on plain values: the checks of a form and
// their order, the questions before an overwrite or a delete, the log entries, the list and
// the count. The dialog's operations (application_records.h) show what these return; the
// import takes the same checks.

#include "log/activity_log.h"
#include "records/application_table.h"

#include <optional>
#include <string>
#include <vector>

// The form's values, numbered as the table's fields.
enum class ApplicationField { Name = 1, Code = 2, VendorEmail = 3, Request = 4 };

// A value that cannot be saved: what the user is told, and the box to correct.
struct ApplicationRefusal {
    std::string text;
    ApplicationField field = ApplicationField::Name;
    friend bool operator==(const ApplicationRefusal&, const ApplicationRefusal&) = default;
};

// Width of the name part of the browsing key.
inline constexpr int ApplicationKeyWidth = 25;

// The first check of Save, made before the name is looked up: a blank name.
std::optional<ApplicationRefusal> CheckApplicationName(const ApplicationRecord& form);
// The checks before a write, one problem at a time: a blank name, code or e-mail address.
std::optional<ApplicationRefusal> CheckApplicationForm(const ApplicationRecord& form);
// A value the store refused (too long for its field, not in an older table's code page).
ApplicationRefusal ApplicationFieldRefusal(const FieldRefusal& refusal);

// The Yes/No questions (exclamation, No by default) before `form` overwrites `stored`, in the
// order they are asked; any No stops the save.
std::vector<std::string> OverwriteQuestions(const ApplicationRecord& form,
                                            const ApplicationRecord& stored);

std::string NotSavedText(const ApplicationRecord& form);
LogEntry SavedLogEntry(const ApplicationRecord& form, bool overwritten);

// Delete: the refusal of an empty name box, the question before anything is looked up, the
// refusal when no application has the name, and the question when the code box holds the
// stored code (in any letter case).
std::optional<std::string> CheckDeleteName(const std::string& name);
extern const std::string DeleteBackupQuestion;
std::string NoSuchApplicationText(const std::string& name);
std::optional<std::string> DeleteCodeQuestion(const std::string& typedCode,
                                              const std::string& storedCode);
std::string NotDeletedText(const std::string& name);
LogEntry DeletedLogEntry(const std::string& name, const std::string& typedCode);

// What an empty table answers to Next, Previous and Delete.
inline constexpr const char* NothingToBrowseText = "There are no Application records to display";
inline constexpr const char* NothingToDeleteText =
    "There are no Applications in the database to delete";

// The application after (or before) the one named `shownName` in name order, wrapping round
// at the ends; a blank name starts from the first (or the last). The open table must hold
// records.
ApplicationRecord BrowseApplications(const std::string& shownName, bool forward);

// One line of the application list: name (25), code (20), flag (3) and e-mail (25) in
// columns separated by two blanks, 79 characters, ending in CR LF.
std::string ApplicationListRow(const ApplicationRecord& record);
std::string ApplicationList(const std::vector<ApplicationRecord>& recordsInNameOrder);
// The count line and the main window's status bar.
std::string ApplicationCountText(int count);
