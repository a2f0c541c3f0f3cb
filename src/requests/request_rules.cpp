#include "requests/request_rules.h"

#include "common/text.h"
#include "requests/request_link.h"
#include "requests/request_template.h"

namespace {

const RequestKindTexts Texts[] = {
    {"EmailVendorsTestSend", "Record Number = \"0\" Error in EmailVendorsTestSend Function",
     "wHandle Error 301 in EmailVendorsTestSend Function", "Test Email generated "},
    {"EmailSelectVendorsSend", "Record Number = \"0\" Error in EmailSelectVendorsSend Function",
     "wHandle Error 201 in EmailSelectVendorsSend Function",
     "Select Reregistration request generated "},
    {"EmailAllVendorsSend", "Record Number  = \"0\" Error in EmailAllVendorsSend Function",
     "wHandle Error 101 in EmailSelectAllSend Function",
     "Email All Reregistration request generated "},
};

const std::string NoMessageText =
    "There is no vendor message to send -\r\nplease type a message before sending";

std::string ReplaceRecordPlaceholders(const std::string& text, const ApplicationRecord& record) {
    return ReplaceAll(ReplaceAll(text, ApplicationNamePlaceholder, record.name),
                      RegistrationCodePlaceholder, record.code);
}

LogEntry LogOf(RequestKind kind, const ApplicationRecord& record) {
    const std::string heading = TextsOf(kind).logHeading;
    if (kind == RequestKind::Test)
        return {heading, "Test Email to " + record.vendorEmail};
    return {heading,
            "Email to " + record.vendorEmail + "   " + "Application Name = " + record.name};
}

} // namespace

std::string FlagOf(RequestKind kind) {
    return std::to_string(static_cast<int>(kind));
}

std::optional<RequestKind> KindOfFlag(const std::string& flag) {
    for (const RequestKind kind : {RequestKind::Test, RequestKind::Select, RequestKind::All}) {
        if (flag == FlagOf(kind))
            return kind;
    }
    return std::nullopt;
}

const RequestKindTexts& TextsOf(RequestKind kind) {
    return Texts[static_cast<int>(kind) - 1];
}

RequestRun PlanRequests(RequestKind kind, const std::vector<ApplicationRecord>& records,
                        const ComposeValues& boxes, const UserRecord& user) {
    RequestRun run;
    if (records.empty()) {
        run.stop = TextsOf(kind).emptyTable;
        return run;
    }
    if (boxes.subject.empty())
        run.warnings.emplace_back("There is no information in the \"Subject\" box");
    if (boxes.address.empty())
        run.warnings.emplace_back("There is no address in the \"Your Address\" box");
    const bool test = kind == RequestKind::Test;
    // The test goes out under the current PIN, whatever the Subject box holds, and checks its
    // message before the first vendor; the others at the first vendor they write to.
    const std::string subject = test ? "PIN Number " + user.pin : boxes.subject;
    if (test && boxes.message.empty()) {
        run.stop = NoMessageText;
        return run;
    }
    for (const auto& record : records) {
        if (kind == RequestKind::Select && record.request != "Yes")
            continue;
        if (boxes.message.empty()) {
            run.stop = NoMessageText;
            run.requests.clear();
            return run;
        }
        const std::string message =
            test ? boxes.message : ReplaceRecordPlaceholders(boxes.message, record);
        run.requests.push_back({record.vendorEmail, user.email, subject, ShownBody(message),
                                RequestLink(record.vendorEmail, user.email, subject, message),
                                LogOf(kind, record)});
    }
    return run;
}

std::string RunSummary(RequestKind kind, int vendors) {
    const std::string count = SignedNumber(vendors);
    switch (kind) {
    case RequestKind::Test:
        return "Email Test messages generated for all " + count + " application vendors";
    case RequestKind::Select:
        return "Reregistration Request messages generated for " + count +
               " Select application vendors";
    case RequestKind::All:
        break;
    }
    return "Reregistration Request messages generated for all " + count + " application vendors";
}

std::string StoppedSummary(int done, int total) {
    return "Requests stopped after" + SignedNumber(done) + " of" + SignedNumber(total) +
           " application vendors";
}

std::string MessageCounter(int number, int total) {
    return "Message" + SignedNumber(number) + " of" + SignedNumber(total);
}

std::string RequestCounter(int number, int total) {
    return "Request" + SignedNumber(number) + " of" + SignedNumber(total);
}

std::string LongLinksNote(const RequestRun& run) {
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < run.requests.size(); ++i) {
        if (run.requests[i].link.size() > LongLinkLength)
            numbers.push_back(std::to_string(i + 1));
    }
    if (numbers.empty())
        return "";
    std::string list;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        list += (i == 0 ? "" : i + 1 == numbers.size() ? " and " : ", ") + numbers[i];
    return (numbers.size() == 1 ? "The link of message " : "The links of messages ") + list +
           (numbers.size() == 1 ? " is" : " are") +
           " longer than 2,000 characters, which some "
           "mail programs on Windows cut: shorten the message if you use one.";
}

std::string PreviewText(const std::string& body) {
    std::string text;
    text.reserve(body.size() + body.size() / 8);
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c != '\r' && c != '\n') {
            text += c;
            continue;
        }
        text += CRLF;
        const char pair = c == '\r' ? '\n' : '\r';
        if (i + 1 < body.size() && body[i + 1] == pair)
            ++i;
    }
    return text;
}

std::string NotReachedText(const std::vector<std::string>& vendors) {
    std::string text = "No default mail program took the requests to these vendors, so they "
                       "were not made (set one up and send them again):";
    for (const auto& vendor : vendors)
        text += std::string(CRLF) + vendor;
    return text;
}

const std::string NoApplicationRecordsText = "There are no application records in the database";
const std::string NoNewPinText = "You haven't entered your new PIN number in the User\r\n"
                                 "Setup - go to the User Setup and enter your new PIN\r\n"
                                 "PIN number now!";

bool NewPinMissing(const UserRecord& user) {
    return TrimBlanks(user.newPin).empty();
}

ComposeBoxes PreparedBoxes(RequestKind kind, const UserRecord& user,
                           const std::string& templateText) {
    const bool test = kind == RequestKind::Test;
    return {user.email,
            user.server,
            test ? "My PIN: " + user.pin : "New PIN: " + user.newPin,
            "Vendors will be emailed separately",
            user.email,
            FillTemplate(templateText, user),
            test};
}

const char* TemplateFileOf(RequestKind kind) {
    // Both reregistration kinds read the one file "Template.txt" (also spelt "template.txt").
    return kind == RequestKind::Test ? TestTemplateFile : RequestTemplateFile;
}
