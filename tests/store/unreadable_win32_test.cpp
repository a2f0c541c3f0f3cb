// Windows' counterpart of the unreadable-file cases: there another program holding a table
// or its index open without sharing it is what makes a file unreadable. The open reports it
// and never writes over it.

#include "store_test.h"
#include "support/headless_platform.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(XdbOnWindows, AFileAnotherProgramHoldsIsShownWithItsCodeAndNeverOverwritten) {
    const std::string cannotRead = "Error:  1 opening database./Ombrelay ";
    const std::tuple<const wchar_t*, void (*)(), void (*)(), std::string> cases[] = {
        {L"User.dbf", [] { StoreUser({"Ann"}); }, OpenUserTable, cannotRead + "User Database"},
        {L"Application.dbf", [] { AddApplications({{"Alpha"}}); }, OpenApplicationTable,
         cannotRead + "Application Database"},
        {L"Application.idx",
         [] {
             AddApplications({{"Alpha"}});
             OpenApplicationTable();
             XDBCLOSE(XDBOPENEX(ApplicationTableFile, 2, 1, TableKey));
         },
         OpenApplicationTable, "Error:  1 opening index./Application Name Index"},
    };
    for (const auto& [file, make, open, message] : cases) {
        TempFolder folder;
        {
            HeadlessPlatform quiet;
            make();
        }
        XDBRESETERROR();
        const std::string before = ReadFile(file);
        const HANDLE other = CreateFileW(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        HeadlessPlatform platform;
        open();
        CloseHandle(other);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text + "/" + platform.messages[0].caption, message);
        EXPECT_EQ(ReadFile(file), before);
        XDBRESETERROR();
    }
}

} // namespace
