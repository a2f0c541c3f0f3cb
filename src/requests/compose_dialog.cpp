#include "requests/compose_dialog.h"

#include "common/text.h"
#include "requests/request_preparation.h"
#include "requests/send_requests.h"
#include "ui/dialog_support.h"

#include <string>
#include <vector>

namespace {

constexpr const char* MainWindow = "Ombrelay";

constexpr int FontA = 0; // 8 points bold
constexpr int FontB = 1; // 10 points, the message box
constexpr ui::Rgb FlagGrey{192, 192, 192};

// The control that had the focus when the dialog was last deactivated.
int rememberedFocus = 0;

ui::Control Edit(int id, int x, int y, int w, int h, unsigned style, int font = FontA) {
    return ui::MakeControl(id, ui::ControlKind::Edit, "", x, y, w, h, style, font);
}

ui::Control Button(int id, const char* caption, int x) {
    return ui::MakeControl(id, ui::ControlKind::PushButton, caption, x, 230, 50, 15, ui::TabStop,
                           FontA);
}

// Labels show the dialog's colour by letting it through: painted over, they would stand out
// as patches inside a frame, which the style tints a shade darker.
ui::Control Label(int id, const char* caption, int x, int y, int w, int font = FontA) {
    return ui::MakeControl(id, ui::ControlKind::Label, caption, x, y, w, 10, ui::NoStyle, font);
}

ui::Control Frame(int id, const char* caption, int y, int h, int font) {
    ui::Control frame =
        ui::MakeControl(id, ui::ControlKind::GroupBox, caption, 8, y, 460, h, ui::NoStyle, font);
    frame.background = ui::LightBlue;
    return frame;
}

void Warn(const std::string& text) {
    ui::Message(text, ui::MbIconExclamation);
}

void SetFlagAndPrepare(const char* flag, const std::string& kind, void (*prepare)()) {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ComposeEmailTitle);
    if (dialog == 0) {
        Warn("Unable to set flag for \"" + kind + "\"");
        return;
    }
    ui::Ui().SetControlText(dialog, compose::MailTypeFlag, flag);
    prepare();
}

void ComposeEmailCallback(ui::WindowHandle dialog, const ui::DialogEvent& event) {
    if (event.kind == ui::DialogEventKind::Init) {
        EmailMessage();
        return;
    }
    if (ui::HandleStandardEvent(dialog, event, rememberedFocus))
        return;
    if (ui::IsButtonPress(event, compose::Send))
        EmailVendorsSend();
    else if (ui::IsButtonPress(event, compose::EmailTest))
        SetFlagEmailTest();
    else if (ui::IsButtonPress(event, compose::Select))
        SetFlagEmailSelectVendors();
    else if (ui::IsButtonPress(event, compose::EmailAll))
        SetFlagEmailAllVendors();
    else if (ui::IsButtonPress(event, compose::Cancel))
        ui::Ui().EndDialog(dialog, 0);
}

} // namespace

ui::Dialog ComposeEmailLayout() {
    const unsigned textBox = ui::TabStop | ui::AutoHScroll | ui::ClientEdge;
    ui::Dialog dialog{.title = ComposeEmailTitle, .x = 70, .y = 70, .width = 475, .height = 249};
    ui::Font bold;
    bold.weight = 700;
    ui::Font large;
    large.points = 10;
    dialog.fonts = {bold, large}; // FontA, FontB
    ui::Control ccTo = Edit(compose::CcTo, 332, 21, 128, 13, ui::ReadOnly | textBox);
    ccTo.background = ui::White;
    ui::Control flag = Label(compose::MailTypeFlag, "", 8, 220, 1);
    flag.textColor = FlagGrey;
    dialog.controls = {
        Edit(compose::SendTo, 16, 21, 284, 13, ui::Multiline | ui::VerticalScroll | ui::ClientEdge),
        ccTo,
        Edit(compose::Subject, 16, 66, 128, 13, textBox),
        Edit(compose::YourEmail, 174, 66, 128, 13, textBox),
        Edit(compose::MailServer, 332, 66, 128, 13, textBox),
        Button(compose::Send, "&Send", 88),
        Button(compose::EmailTest, "Email &Test", 150),
        Button(compose::Select, "&Select", 212),
        Button(compose::EmailAll, "Email &All", 274),
        Button(compose::Cancel, "&Cancel", 336),
        Edit(compose::Message, 16, 100, 444, 100,
             ui::Multiline | ui::VerticalScroll | ui::TabStop | ui::ClientEdge, FontB),
        Label(1082, "Send To:", 17, 10, 100),
        Label(1083, "Subject:", 17, 55, 100),
        Label(1084, "Your Email Address:", 175, 55, 100),
        Label(1085, "Your Mail Server Name:", 333, 55, 100),
        Label(1090, "CC To:", 333, 10, 100),
        Frame(1091, "", 1, 83, -1),
        Frame(1093, "Message to Vendors:", 88, 124, FontA),
        Label(compose::StatusLine, "", 16, 41, 284, -1),
        flag,
    };
    return dialog;
}

int ComposeEmailDialog(ui::WindowHandle owner) {
    owner = ui::OwnerOrWarn(MainWindow, "wHandle Error in Compose Email Dialog Function", owner);
    rememberedFocus = 0; // nothing of a former dialog survives its closing
    return ui::Ui().RunDialog(ComposeEmailLayout(), owner, ComposeEmailCallback);
}

std::string InstructionText() {
    const std::string margin(19, ' ');
    const std::string stars(39, '*');
    const std::vector<std::string> lines = {
        std::string(21, ' ') + stars + "  READ THIS FIRST!  " + stars,
        "",
        "Clicking the \"Email Test\" button will send a test email to every vendor to verify "
        "you can",
        "reach them via email (this email won't contain actual Reregistration Request "
        "information,",
        "and you should use this infrequently).  Your email address will be automatically "
        "copied on",
        "each message.",
        "",
        "Clicking the \"Select\" button sends an email only to those vendors where you selected "
        "the",
        "YES option in the Request Reregistration section of the Application Information "
        "window.",
        "Your email address will be automatically copied on each message.",
        "",
        "Clicking the \"Email All\" button sends an email to every application vendor "
        "requesting",
        "a new registration code/key, even if you selected NO for the Request Reregistration "
        "option.",
        "Your email address will be automatically copied on each message.",
    };
    std::string text(CRLF);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += CRLF;
        // Text lines are indented by 19 blanks; the heading carries its own 21.
        if (i > 0 && !lines[i].empty())
            text += margin;
        text += lines[i];
    }
    return text;
}

void EmailMessage() {
    const std::string text = InstructionText();
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ComposeEmailTitle);
    if (dialog == 0) {
        ui::Message("Error in the EmailMessage Function\r\nThis will not affect Ombrelay "
                    "performance",
                    ui::MbIconInformation);
        return;
    }
    ui::Ui().SetControlText(dialog, compose::Message, text);
}

void SetFlagEmailTest() {
    SetFlagAndPrepare("1", "Email Test", EmailVendorsTest);
}

void SetFlagEmailSelectVendors() {
    SetFlagAndPrepare("2", "Email Select Vendors", EmailSelectVendors);
}

void SetFlagEmailAllVendors() {
    SetFlagAndPrepare("3", "Email All Vendors", EmailAllVendors);
}

void EmailVendorsSend() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ComposeEmailTitle);
    if (dialog == 0) {
        Warn("Cannot locate the Email Vendors Dialog!");
        return;
    }
    const std::string flag = ui::Ui().ControlText(dialog, compose::MailTypeFlag);
    if (flag.empty()) {
        Warn("First select the type of mail message to send");
        return;
    }
    if (flag == "1")
        EmailVendorsTestSend();
    else if (flag == "2")
        EmailSelectVendorsSend();
    else if (flag == "3")
        EmailAllVendorsSend();
}
