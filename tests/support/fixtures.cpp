#include "support/fixtures.h"

#include "store/tables.h"
#include "store/xdb.h"

#include <gtest/gtest.h>

namespace {

// The fixtures must not leave an error pending for the code under test.
struct ErrorCheck {
    ErrorCheck() { XDBRESETERROR(); }
    ~ErrorCheck() {
        EXPECT_EQ(XDBERROR(), 0) << "the store reported an error while setting up";
        XDBRESETERROR();
    }
};

} // namespace

void AddApplications(const std::vector<ApplicationRow>& rows) {
    ErrorCheck check;
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    for (const auto& row : rows) {
        XDBCLEARBUFFER(table);
        XDBASSIGNFIELD(table, "", 1, row.name);
        XDBASSIGNFIELD(table, "", 2, row.code);
        XDBASSIGNFIELD(table, "", 3, row.email);
        XDBASSIGNFIELD(table, "", 4, row.request);
        XDBADDRECORD(table);
    }
    XDBCLOSE(table);
}

std::vector<ApplicationRow> StoredApplications() {
    ErrorCheck check;
    std::vector<ApplicationRow> rows;
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    const int count = XDBRECORDCOUNT(table);
    for (int record = 1; record <= count; ++record) {
        XDBGETRECORD(table, record);
        rows.push_back({XDBFIELDVALUE(table, "APPNAME", 0), XDBFIELDVALUE(table, "REGCODE", 0),
                        XDBFIELDVALUE(table, "VEMAIL", 0), XDBFIELDVALUE(table, "REQUEST", 0)});
    }
    XDBCLOSE(table);
    return rows;
}

void StoreUser(const UserRow& user) {
    ErrorCheck check;
    const int table = XDBOPENEX(UserTableFile, 2, 1, TableKey);
    const std::string values[] = {user.firstName, user.lastName,  user.email,
                                  user.pin,       user.newPin,    user.server,
                                  user.password,  user.loginName, user.loginPassword};
    XDBCLEARBUFFER(table);
    for (int field = 1; field <= 9; ++field)
        XDBASSIGNFIELD(table, "", field, values[field - 1]);
    if (XDBRECORDCOUNT(table) == 0) {
        XDBADDRECORD(table);
    } else {
        int record = 1;
        XDBPUTRECORD(table, record);
    }
    XDBCLOSE(table);
}

UserRow StoredUser(int* count) {
    ErrorCheck check;
    UserRow user;
    const int table = XDBOPENEX(UserTableFile, 2, 1, TableKey);
    const int records = XDBRECORDCOUNT(table);
    if (count != nullptr)
        *count = records;
    if (records > 0) {
        XDBGETRECORD(table, 1);
        const auto field = [&](const char* name) { return XDBFIELDVALUE(table, name, 0); };
        user = {field("FNAME"),    field("LNAME"),     field("MYEMAIL"),
                field("PIN"),      field("NEWPIN"),    field("SERVER"),
                field("PASSWORD"), field("LOGINNAME"), field("LOGINPSWD")};
    }
    XDBCLOSE(table);
    return user;
}

ui::Dialog MainWindowStandIn() {
    ui::Dialog dialog{.title = "Ombrelay", .width = 475, .height = 249};
    dialog.controls = {ui::MakeControl(1001, ui::ControlKind::StatusBar, "", 0, 236, 475, 13)};
    return dialog;
}
