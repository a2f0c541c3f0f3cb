#pragma once
// What a run of requests is, on plain values: which vendors, in which order, each request's
// addresses, subject, body and link, the log entry it leaves, and the texts of the run. The
// send, the message preview and anything later build a run here, so they cannot differ.

#include "log/activity_log.h"
#include "records/application_table.h"
#include "records/user_table.h"

#include <optional>
#include <string>
#include <vector>

// The kinds of request, numbered as the Compose Email dialog's mail type flag holds them.
enum class RequestKind { Test = 1, Select = 2, All = 3 };

// The mail type flag's text ("1", "2", "3") and back; nothing for any other text.
std::string FlagOf(RequestKind kind);
std::optional<RequestKind> KindOfFlag(const std::string& flag);

// The texts of one kind of run.
struct RequestKindTexts {
    const char* function;      // names the send in the messages of a missing window
    const char* emptyTable;    // when there is no application record
    const char* missingDialog; // when the Compose Email dialog cannot be found
    const char* logHeading;
};
const RequestKindTexts& TextsOf(RequestKind kind);

// What the Compose Email dialog holds when Send is pressed.
struct ComposeValues {
    std::string subject;
    std::string address; // the Your Email Address box
    std::string message;
};

// One request, as the mail program will show it once it has read the link.
struct Request {
    std::string to;
    std::string cc;
    std::string subject;
    std::string body; // the message after the record's replacements, then the footer
    std::string link;
    LogEntry log; // written once the desktop has taken the link
    friend bool operator==(const Request&, const Request&) = default;
};

struct RequestRun {
    std::vector<std::string> warnings; // shown one by one before the run goes on
    std::optional<std::string> stop;   // the run ends before any request, with this warning
    std::vector<Request> requests;     // in the order they are handed over
};

// The run of `kind` over the records (in record-number order), from the dialog's boxes and
// the current user values (the copy address and, for the test, the PIN). An empty table stops
// it with the kind's own text; an empty message stops it once there is a vendor to write to.
RequestRun PlanRequests(RequestKind kind, const std::vector<ApplicationRecord>& records,
                        const ComposeValues& boxes, const UserRecord& user);

// The summary of a run that went through `vendors` vendors, and of one stopped after `done`
// of its `total` requests.
std::string RunSummary(RequestKind kind, int vendors);
std::string StoppedSummary(int done, int total);

// The message preview and the window of a run under way: "Message 1 of 3", "Request 1 of 3".
std::string MessageCounter(int number, int total);
std::string RequestCounter(int number, int total);
// Some mail programs on Windows cut links longer than this.
inline constexpr std::size_t LongLinkLength = 2000;
// Which messages (from 1) of the run have such links, said in a line; "" when none has.
std::string LongLinksNote(const RequestRun& run);
// The preview before a kind of request was chosen, and of a run without a vendor to write to.
inline constexpr const char* ChooseKindFirstText =
    "Choose the kind of request first, with Email Test, Select or Email All: the preview shows "
    "the messages of that kind.";
inline constexpr const char* NoVendorText =
    "There is no vendor to write to: no application has Yes under Request Reregistration.";
inline constexpr const char* HandedOverText = "handed over";
// A body in the preview's box: every line break (CR LF, LF CR, or a lone CR or LF) as CR LF.
std::string PreviewText(const std::string& body);
// The warning after a run whose requests to these vendors no mail program took.
std::string NotReachedText(const std::vector<std::string>& vendors);

// The preparation of a run: the check of the new PIN and what goes into the dialog.
extern const std::string NoApplicationRecordsText;
extern const std::string NoNewPinText;
bool NewPinMissing(const UserRecord& user); // blank: empty or only spaces
struct ComposeBoxes {
    std::string email, server, subject, sendTo, cc;
    std::string message;        // the template with the user's values in place
    bool focusOnServer = false; // else the message box gets the focus
};
// `templateText` as ReadTemplate gave it.
ComposeBoxes PreparedBoxes(RequestKind kind, const UserRecord& user,
                           const std::string& templateText);
// The template file of a kind of request.
const char* TemplateFileOf(RequestKind kind);
