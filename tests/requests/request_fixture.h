#pragma once
// The set-up shared by the request tests: a user record, a main window stand-in, the Compose
// Email dialog opened from its table, a fixed clock, and a platform that notes what the
// activity log held each time a link went to the shell.

#include "applications/activity_log.h"
#include "common/clock.h"
#include "requests/compose_dialog.h"
#include "store/tables.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "support/temp_folder.h"
#include "user/user_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class LinkCapturingPlatform : public HeadlessPlatform {
public:
    std::vector<std::string> logAtOpen; // the log's bytes as each link was opened
    std::function<void()> onShellOpen;

    int ShellOpen(const std::string& target, ui::ShowState show) override {
        logAtOpen.push_back(std::filesystem::exists(ActivityLogFile) ? ReadFile(ActivityLogFile)
                                                                     : std::string());
        if (onShellOpen)
            onShellOpen();
        return HeadlessPlatform::ShellOpen(target, show);
    }
};

inline const UserRow TestUser{
    "Ann", "Lee", "ann@home.example", "2100ABCD", "2200EF01", "smtp.home", "secret", "ann", "pw"};

// One activity log entry as written at the fixed time of the tests.
inline std::string LogEntry(const std::string& heading, const std::string& detail) {
    return "\"\r\n" + heading + "01-02-2026   03:04:05\r\n" + detail + "\"\r\n";
}

class RequestTest : public InTempFolder {
protected:
    LinkCapturingPlatform ui;
    ui::WindowHandle main = 0;
    ui::WindowHandle compose = 0;

    void SetUp() override {
        SetClockForTesting([] { return LocalDateTime{2026, 1, 2, 3, 4, 5}; });
        currentUser = {};
        StoreUser(TestUser);
        main = ui.OpenWindow(MainWindowStandIn());
        compose = ui.OpenWindow(ComposeEmailLayout());
    }
    void TearDown() override { SetClockForTesting({}); }

    // The current user values as a preparation leaves them.
    void LoadUser() {
        DisplayUserInformation();
        ASSERT_EQ(currentUser.email, TestUser.email);
    }

    void Compose(const std::string& subject, const std::string& address,
                 const std::string& message) {
        ui.SetControlText(compose, compose::Subject, subject);
        ui.SetControlText(compose, compose::YourEmail, address);
        ui.SetControlText(compose, compose::Message, message);
    }

    std::vector<std::string> Links() const {
        std::vector<std::string> links;
        for (const auto& open : ui.shellOpens)
            links.push_back(open.target);
        return links;
    }

    std::string Log() const {
        return std::filesystem::exists(ActivityLogFile) ? ReadFile(ActivityLogFile) : "";
    }

    std::string MainStatus() { return ui.ControlText(main, 1001); }
    std::string DialogStatus() { return ui.ControlText(compose, compose::StatusLine); }

    // The operation closed the application table behind it: the handle answers no more.
    static bool TableClosed() {
        XDBRESETERROR();
        XDBRECORDCOUNT(applicationTable);
        const bool closed = XDBERROR() == XdbBadHandle;
        XDBRESETERROR();
        return closed;
    }

    // A task-modal OK box with the program's caption and the exclamation icon.
    static void ExpectWarning(const HeadlessPlatform::MessageRecord& message,
                              const std::string& text) {
        EXPECT_EQ(message.text, text);
        EXPECT_EQ(message.caption, "Ombrelay System Message");
        EXPECT_EQ(message.style, ui::MbTaskModal | ui::MbIconExclamation);
    }
};
