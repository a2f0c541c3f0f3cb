#pragma once
// Test data set up through the store, and stand-ins for windows of other layers.

#include "records/application_table.h"
#include "records/user_table.h"
#include "ui/dialog.h"

#include <vector>

// Appends records to "Application.dbf" in the current folder (created when missing).
void AddApplications(const std::vector<ApplicationRecord>& rows);
// Every application record in record-number order, read back through the store.
std::vector<ApplicationRecord> StoredApplications();
// Adds the user record to an empty "User.dbf" (or overwrites record 1).
void StoreUser(const UserRecord& user);
// Record 1 of "User.dbf"; all empty when there is none.
UserRecord StoredUser();

// A window titled "Ombrelay" with its status bar, standing in for the main window.
ui::Dialog MainWindowStandIn();
