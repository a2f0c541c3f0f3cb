#include "requests/compose_dialog.h"

#include "common/text.h"
#include "requests/message_preview.h"
#include "requests/request_preparation.h"
#include "requests/request_rules.h"
#include "requests/send_requests.h"
#include "ui/dialog_support.h"

#include <string>
#include <vector>

namespace {

constexpr int FontA = 0; // 8 points bold
constexpr int FontB = 1; // 10 points, the message box
constexpr ui::Rgb FlagGrey{192, 192, 192};

void SetFlagAndPrepare(RequestKind kind, const std::string& name, void (*prepare)()) {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0)
        return ui::Warn("Unable to set flag for \"" + name + "\"");
    ui::Ui().SetControlText(dialog, compose::MailTypeFlag, FlagOf(kind));
    prepare();
}

} // namespace

ui::Dialog ComposeEmailLayout() {
    ui::Dialog dialog{
        .title = ui::ComposeEmailTitle, .x = 70, .y = 70, .width = 475, .height = 249};
    dialog.fonts = {{ui::SansSerif, 8, 700}, {ui::SansSerif, 10, 400}}; // FontA, FontB
    const unsigned textBox = ui::TabStop | ui::AutoHScroll | ui::ClientEdge;
    const unsigned message = ui::Multiline | ui::VerticalScroll | ui::TabStop | ui::ClientEdge;
    const unsigned none = ui::NoStyle;
    const auto blue = ui::LightBlue;
    using enum ui::ControlKind;
    using namespace compose;
    // Labels let the dialog's colour through: painted over, they would stand out as patches
    // inside a frame, which the style tints a shade darker.
    // "&Send" and "&Select" share the letter S on purpose: the dialog has always had them so,
    // and users know its keys; do not give one of them another letter.
    // The mail-type flag is a label one unit wide, in grey and hidden: the kind of request
    // chosen lives there, out of sight and out of screen readers' way, and the send reads it
    // back.
    // clang-format off
    dialog.controls = {
        ui::MakeControl(SendTo,       Edit,       "",                       16,  21,  284, 13,  ui::Multiline | ui::VerticalScroll | ui::ClientEdge, FontA),
        ui::MakeControl(CcTo,         Edit,       "",                       332, 21,  128, 13,  ui::ReadOnly | textBox, FontA, ui::White),
        ui::MakeControl(Subject,      Edit,       "",                       16,  66,  128, 13,  textBox, FontA),
        ui::MakeControl(YourEmail,    Edit,       "",                       174, 66,  128, 13,  textBox, FontA),
        ui::MakeControl(MailServer,   Edit,       "",                       332, 66,  128, 13,  textBox, FontA),
        ui::MakeControl(Send,         PushButton, "&Send",                  88,  230, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(EmailTest,    PushButton, "Email &Test",            150, 230, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(Select,       PushButton, "&Select",                212, 230, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(EmailAll,     PushButton, "Email &All",             274, 230, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(Cancel,       PushButton, "&Cancel",                336, 230, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(Preview,      PushButton, "Pre&view",               398, 230, 50,  15,  ui::TabStop, FontA),
        ui::MakeControl(Message,      Edit,       "",                       16,  100, 444, 100, message, FontB).Named("Message to Vendors"),
        ui::MakeControl(1082,         Label,      "Send To:",               17,  10,  100, 10,  none, FontA),
        ui::MakeControl(1083,         Label,      "Subject:",               17,  55,  100, 10,  none, FontA),
        ui::MakeControl(1084,         Label,      "Your Email Address:",    175, 55,  100, 10,  none, FontA),
        ui::MakeControl(1085,         Label,      "Your Mail Server Name:", 333, 55,  100, 10,  none, FontA),
        ui::MakeControl(1090,         Label,      "CC To:",                 333, 10,  100, 10,  none, FontA),
        ui::MakeControl(1091,         GroupBox,   "",                       8,   1,   460, 83,  none, ui::DialogFont, blue),
        ui::MakeControl(1093,         GroupBox,   "Message to Vendors:",    8,   88,  460, 124, none, FontA, blue),
        ui::MakeControl(StatusLine,   Label,      "",                       16,  41,  284, 10,  none, ui::DialogFont),
        ui::MakeControl(MailTypeFlag, Label,      "",                       8,   220, 1,   10,  ui::Hidden, FontA, {}, FlagGrey),
    };
    // clang-format on
    return dialog;
}

int ComposeEmailDialog(ui::WindowHandle owner) {
    owner = ui::MainWindowOrWarn("wHandle Error in Compose Email Dialog Function", owner);
    return ui::RunDialog(
        ComposeEmailLayout(), owner,
        {.init = [](ui::WindowHandle) { EmailMessage(); },
         .buttons = {{compose::Send, [](ui::WindowHandle) { EmailVendorsSend(); }},
                     {compose::EmailTest, [](ui::WindowHandle) { SetFlagEmailTest(); }},
                     {compose::Select, [](ui::WindowHandle) { SetFlagEmailSelectVendors(); }},
                     {compose::EmailAll, [](ui::WindowHandle) { SetFlagEmailAllVendors(); }},
                     {compose::Cancel, ui::EndDialogWithZero},
                     {compose::Preview, [](ui::WindowHandle) { PreviewMessages(); }}}});
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
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0) {
        ui::Inform("Error in the EmailMessage Function\r\nThis will not affect Ombrelay "
                   "performance");
        return;
    }
    ui::Ui().SetControlText(dialog, compose::Message, text);
}

void SetFlagEmailTest() {
    SetFlagAndPrepare(RequestKind::Test, "Email Test", EmailVendorsTest);
}

void SetFlagEmailSelectVendors() {
    SetFlagAndPrepare(RequestKind::Select, "Email Select Vendors", EmailSelectVendors);
}

void SetFlagEmailAllVendors() {
    SetFlagAndPrepare(RequestKind::All, "Email All Vendors", EmailAllVendors);
}

void EmailVendorsSend() {
    const ui::WindowHandle dialog = ui::Ui().FindWindowByTitle(ui::ComposeEmailTitle);
    if (dialog == 0)
        return ui::Warn("Cannot locate the Email Vendors Dialog!");
    const std::string flag = ui::Ui().ControlText(dialog, compose::MailTypeFlag);
    if (flag.empty())
        return ui::Warn("First select the type of mail message to send");
    const auto kind = KindOfFlag(flag);
    if (!kind)
        return; // any other text: nothing happens
    switch (*kind) {
    case RequestKind::Test:
        return EmailVendorsTestSend();
    case RequestKind::Select:
        return EmailSelectVendorsSend();
    case RequestKind::All:
        return EmailAllVendorsSend();
    }
}
