#include "support/fixtures.h"

#include "records/tables.h"
#include "store/xdb.h"
#include "ui/windows.h"

#include <gtest/gtest.h>

namespace {

// The fixtures open the tables without the program's messages, and must not leave an error
// pending for the code under test.
struct FixtureTable {
    int& handle;
    FixtureTable(int& programHandle, const char* file) : handle(programHandle) {
        XDBRESETERROR();
        handle = XDBOPENEX(file, 2, 1, TableKey);
    }
    ~FixtureTable() {
        XDBCLOSE(handle);
        EXPECT_EQ(XDBERROR(), 0) << "the store reported an error while setting up";
        XDBRESETERROR();
    }
};

} // namespace

void AddApplications(const std::vector<ApplicationRecord>& rows) {
    FixtureTable table(applicationTable, ApplicationTableFile);
    for (const auto& row : rows)
        WriteApplicationRecord(row, 0);
}

std::vector<ApplicationRecord> StoredApplications() {
    FixtureTable table(applicationTable, ApplicationTableFile);
    std::vector<ApplicationRecord> rows;
    for (int record = 1; record <= XDBRECORDCOUNT(applicationTable); ++record) {
        XDBGETRECORD(applicationTable, record);
        rows.push_back(ReadApplicationRecord());
    }
    return rows;
}

void StoreUser(const UserRecord& user) {
    FixtureTable table(userTable, UserTableFile);
    WriteUserRecord(user, XDBRECORDCOUNT(userTable) == 0 ? 0 : 1);
}

UserRecord StoredUser() {
    FixtureTable table(userTable, UserTableFile);
    return XDBRECORDCOUNT(userTable) > 0 ? ReadUserRecord() : UserRecord{};
}

ui::Dialog MainWindowStandIn() {
    ui::Dialog dialog{.title = ui::MainWindowTitle, .width = 475, .height = 249};
    dialog.controls = {
        ui::MakeControl(ui::MainStatusBar, ui::ControlKind::StatusBar, "", 0, 236, 475, 13)};
    return dialog;
}
