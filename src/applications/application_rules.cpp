#include "applications/application_rules.h"

#include "common/text.h"
#include "store/xdb.h"

namespace {

struct FormField {
    ApplicationField field;
    std::string ApplicationRecord::*value;
    const char* blankText;
    const char* label; // as the dialog names the box
    int width;
};

const FormField FormFields[] = {
    {ApplicationField::Name, &ApplicationRecord::name, "You must enter a name for the application",
     "Application Name", ApplicationNameWidth},
    {ApplicationField::Code, &ApplicationRecord::code,
     "You must enter a registration code for the application", "Code/Key", RegistrationCodeWidth},
    {ApplicationField::VendorEmail, &ApplicationRecord::vendorEmail,
     "You must enter a valid email address for the vendor", "Vendor Email", VendorEmailWidth},
};

std::string Detail(const ApplicationRecord& form) {
    return "App name = " + form.name + "   Code/Key = " + form.code +
           "   Vendor Email = " + form.vendorEmail + "   Rereg = " + form.request;
}

} // namespace

std::optional<ApplicationRefusal> CheckApplicationName(const ApplicationRecord& form) {
    if (!IsBlank(form.name))
        return std::nullopt;
    return ApplicationRefusal{FormFields[0].blankText, ApplicationField::Name};
}

std::optional<ApplicationRefusal> CheckApplicationForm(const ApplicationRecord& form) {
    for (const auto& box : FormFields) {
        if (IsBlank(form.*box.value))
            return ApplicationRefusal{box.blankText, box.field};
    }
    return std::nullopt;
}

ApplicationRefusal ApplicationFieldRefusal(const FieldRefusal& refusal) {
    for (const auto& box : FormFields) {
        if (static_cast<int>(box.field) == refusal.field)
            return {FieldRefusalText(refusal, box.label, box.width), box.field};
    }
    // The flag is "Yes" or "No", which every table holds.
    return {FieldRefusalText(refusal, "Request Reregistration", RequestWidth),
            ApplicationField::Request};
}

std::vector<std::string> OverwriteQuestions(const ApplicationRecord& form,
                                            const ApplicationRecord& stored) {
    std::vector<std::string> questions;
    if (ToUpper(form.code) == ToUpper(stored.code))
        questions.push_back(
            JoinLines({"It appears you are trying to save a record that is already",
                       "in the Ombrelay Application Database.  Do you really want to ",
                       "overwrite the Application record?"}));
    questions.push_back(JoinLines({"If you continue, you will overwrite the application  ",
                                   "record.  Do you want to overwrite the application?"}));
    return questions;
}

std::string NotSavedText(const ApplicationRecord& form) {
    return "The application \"" + form.name + "\" was not saved.";
}

LogEntry SavedLogEntry(const ApplicationRecord& form, bool overwritten) {
    return {overwritten ? "Application Record Edited " : "Application Record Added ", Detail(form)};
}

std::optional<std::string> CheckDeleteName(const std::string& name) {
    if (!name.empty())
        return std::nullopt;
    return JoinLines({"No application record data has been selected for deletion.",
                      "Use the NEXT or PREVIOUS buttons to select an application"});
}

const std::string DeleteBackupQuestion =
    JoinLines({"!!! BEFORE DELETING APPLICATION DATA YOU SHOULD PERFORM A BACKUP !!!", "",
               "            Choose NO to exit without deleting data, YES to proceed."});

std::string NoSuchApplicationText(const std::string& name) {
    return "There is no application named \"" + name + "\" in Ombrelay - nothing was deleted";
}

std::optional<std::string> DeleteCodeQuestion(const std::string& typedCode,
                                              const std::string& storedCode) {
    if (ToUpper(typedCode) != ToUpper(storedCode))
        return std::nullopt;
    return JoinLines({"WARNING! CAUTION! You are about to delete Application",
                      "Registration data.  If you select YES, the data will",
                      "permanently deleted!  Do you want to delete the data?"});
}

std::string NotDeletedText(const std::string& name) {
    return "The application \"" + name + "\" was not deleted.";
}

LogEntry DeletedLogEntry(const std::string& name, const std::string& typedCode) {
    return {"Application Deleted by User ",
            "Application Deleted was " + ToUpper(name) + "   Code/Key was " + ToUpper(typedCode)};
}

ApplicationRecord BrowseApplications(const std::string& shownName, bool forward) {
    const int table = applicationTable;
    const int index = applicationIndex;
    const std::string name = ToUpper(shownName);
    const std::string key = LeftJustify(name, ApplicationKeyWidth);
    const auto toEnd = [&] {
        if (forward)
            XDBMOVEFIRST(table, index);
        else
            XDBMOVELAST(table, index);
    };
    if (key == std::string(ApplicationKeyWidth, ' ')) {
        toEnd();
    } else {
        // The whole name first: names that share their first 25 characters would otherwise
        // all be found as the first of them, and browsing would stick there.
        if (XDBSEEK(table, index, name) != 1)
            XDBSEEKPARTIAL(table, index, key);
        if (forward)
            XDBMOVENEXT(table, index);
        else
            XDBMOVEPREV(table, index);
        if ((forward ? XDBEOF(table) : XDBBOF(table)) == 1)
            toEnd();
    }
    return ReadApplicationRecord();
}

std::string ApplicationListRow(const ApplicationRecord& record) {
    return LeftJustify(record.name, 25) + "  " + LeftJustify(record.code, 20) + "  " +
           LeftJustify(record.request, 3) + "  " + LeftJustify(record.vendorEmail, 25) +
           std::string(CRLF);
}

std::string ApplicationList(const std::vector<ApplicationRecord>& recordsInNameOrder) {
    std::string rows;
    for (const auto& record : recordsInNameOrder)
        rows += ApplicationListRow(record);
    return rows;
}

std::string ApplicationCountText(int count) {
    if (count == 0)
        return "No Application Data stored in Ombrelay";
    return "  Data for " + SignedNumber(count) + "  Applications stored in Ombrelay";
}
