// The application rules on values, and the operations of the Application Information dialog
// on the headless backend, each scenario's transcript held in tests/golden/applications/.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "applications/application_rules.h"
#include "support/fixtures.h"
#include "support/operations.h"
#include "ui/windows.h"

namespace {

std::string Said(const std::optional<ApplicationRefusal>& refusal) {
    return refusal ? "box " + std::to_string(int(refusal->field)) + ": " + refusal->text : "-";
}
std::string Said(const std::optional<std::string>& text) {
    return text.value_or("-");
}

TEST(ApplicationRules, ChecksQuestionsRowsAndCounts) {
    std::string out;
    const ApplicationRecord forms[] = {
        {"   ", "", "", ""}, {"\tT", " ", "", ""}, {"A", "k", " ", ""}, {" a ", "k", "e", ""}};
    for (const auto& form : forms)
        out += "[" + form.name + "] name " + Said(CheckApplicationName(form)) + "; form " +
               Said(CheckApplicationForm(form)) + "\n";
    const ApplicationRecord stored{"ABC", "key-1", "a@x", "Yes"};
    for (const char* code : {"KEY-1", "KEY-2"}) {
        out += std::string("overwrite with ") + code + ":\n";
        for (const auto& question : OverwriteQuestions({"abc", code, "e", "No"}, stored))
            out += question + "\n";
        out += "delete with " + std::string(code) + ": " + Said(DeleteCodeQuestion(code, "key-1")) +
               "\n";
    }
    for (const char* name : {"", " "})
        out += std::string("delete [") + name + "]: " + Said(CheckDeleteName(name)) + "\n";
    for (const LogEntry& entry : {SavedLogEntry(stored, false), SavedLogEntry(stored, true),
                                  DeletedLogEntry("Grünes", "k-é")})
        out += entry.heading + "|" + entry.detail + "\n";
    out +=
        ApplicationList({{std::string(26, 'n'), std::string(21, 'c'), std::string(26, 'e'), "Yes!"},
                         {"é", "", "", "No"}});
    for (const int count : {0, 1, 12})
        out += ApplicationCountText(count) + "\n";
    ExpectGolden("applications/rules.txt", out);
}

class ApplicationDialog : public Operations {
protected:
    void Fill(const ApplicationRecord& form) {
        ui.SetControlText(d, ApplicationNameBox, form.name);
        ui.SetControlText(d, RegistrationCodeBox, form.code);
        ui.SetControlText(d, VendorEmailBox, form.vendorEmail);
        ui.SetChecked(d, RequestYesButton, form.request.find('Y') != std::string::npos);
        ui.SetChecked(d, RequestNoButton, form.request.find('N') != std::string::npos);
        ui.SetFocus(d, ApplicationCancelButton);
    }
    // Presses a button with the form filled in and the questions answered so.
    void Press(void (*operation)(), const ApplicationRecord& form, std::deque<int> answers = {}) {
        Fill(form);
        Run(operation, std::move(answers));
        NoteForm();
    }
    void NoteForm() {
        NoteBoxes(d, {ApplicationNameBox, RegistrationCodeBox, VendorEmailBox});
        ui.Note("yes/no", std::to_string(ui.IsChecked(d, RequestYesButton)) + "/" +
                              std::to_string(ui.IsChecked(d, RequestNoButton)));
    }
    void NoteTable() {
        ui.Note("list", "\n" + ui.ControlText(d, ApplicationListBox));
        ui.Note("count", ui.ControlText(d, ApplicationCountLine) + " | status " +
                             ui.ControlText(main, ui::MainStatusBar));
    }

    ui::WindowHandle main = ui.OpenWindow(MainWindowStandIn());
    ui::WindowHandle d = ui.OpenWindow(ApplicationInformationLayout());
    const int Y = ui::IdYes, N = ui::IdNo;
};

// Questions, refusals (the store's among them, from a table of the DOS code page 850, which
// has no euro sign) and failed writes leave table, log and form as they were; then an add and
// an overwrite.
TEST_F(ApplicationDialog, SaveAddsOrOverwritesAfterItsQuestionsAndRefusesWhatItCannotStore) {
    AddApplications({{"ABC", "KEY-1", "old@abc.org", "Yes"}, {"Zed", "Z", "z@x.org", "yes"}});
    std::string dos = ReadFile("Application.dbf");
    dos[29] = 0x02;
    WriteFile("Application.dbf", dos);
    ShowApplicationList();
    Press(SaveApplication, {"abc", "key-1", "n@x.org", ""}, {N});
    Press(SaveApplication, {"abc", "key-1", "n@x.org", ""}, {Y, N});
    Press(SaveApplication, {"abc", "KEY-9", " ", ""}, {Y});
    Press(SaveApplication, {"\tT", " ", "", ""});
    Press(SaveApplication, {std::string(255, 'x'), "k", "e", ""});
    Press(SaveApplication, {"A", "k", "€@x.example", ""});
    FailWrites();
    Press(SaveApplication, {"ABC", "K", "e", ""}, {Y});
    Press(SaveApplication, {"New", "K", "e", ""});
    FailWrites(false);
    Press(SaveApplication, {" Viewer ", "k-1", "s@v.example", "Y"});
    Press(SaveApplication, {"abc", "key-1", "n@x.org", "N"}, {Y, Y});
    NoteTable();
    ExpectTranscript("applications/save.txt");
}

// From a blank name box to the first or the last; names alike in their first 25 characters
// each in turn; an unknown name from where it would stand; round at the ends.
TEST_F(ApplicationDialog, BrowsingFollowsNameOrderWrapsAroundAndKeysOn25Characters) {
    const std::string one = "Application number one is long", two = one + "er still";
    Press(NextApplication, {});
    AddApplications({{"charlie", "C", "c@x.org", "Yes"},
                     {"BRAVO", "B", "b@x.org", "yes"},
                     {two, "2", "2@x.org", "No"},
                     {one, "1", "1@x.org", "No"}});
    for (const auto& [browse, typed] : std::vector<std::pair<void (*)(), std::string>>{
             {NextApplication, ""},
             {NextApplication, ""},
             {NextApplication, ""},
             {NextApplication, ""},
             {NextApplication, ""},
             {PreviousApplication, ""},
             {PreviousApplication, ""},
             {PreviousApplication, ""},
             {PreviousApplication, " "},
             {PreviousApplication, "b"},
             {NextApplication, "application number one is"},
             {NextApplication, ""},
             {NextApplication, ""},
             {NewApplication, ""}}) {
        if (!typed.empty())
            ui.SetControlText(d, ApplicationNameBox, typed);
        browse();
        NoteForm();
    }
    ExpectTranscript("applications/browse.txt");
}

TEST_F(ApplicationDialog, DeleteRemovesExactlyTheNamedApplicationAfterItsWarnings) {
    AddApplications({{"ABC Reader", "R-1", "r@x.org", "Yes"}, {"Vue", "v-1", "v@x.org", "No"}});
    ShowApplicationList();
    Press(DeleteApplication, {"", "v-1", "e", ""});
    Press(DeleteApplication, {"   ", "v-1", "e", ""}, {Y});
    Press(DeleteApplication, {"ABC", "R-1", "e", ""}, {Y});
    Press(DeleteApplication, {"Vue", "v-1", "e", ""}, {N});
    Press(DeleteApplication, {"Vue", "v-1", "e", ""}, {Y, N});
    FailWrites();
    Press(DeleteApplication, {"Vue", "x", "e", ""}, {Y});
    FailWrites(false);
    Press(DeleteApplication, {"vue", "V-1", "e", "YN"}, {Y, Y});
    NoteTable();
    Press(DeleteApplication, {"abc reader", "x", "", ""}, {Y});
    NoteTable();
    Press(DeleteApplication, {});
    Press(NextApplication, {});
    ExpectTranscript("applications/delete.txt");
}

} // namespace
