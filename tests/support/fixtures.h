#pragma once
// Test data set up through the store, and stand-ins for windows of other layers.

#include "ui/dialog.h"

#include <string>
#include <vector>

struct ApplicationRow {
    std::string name, code, email, request;
    friend bool operator==(const ApplicationRow&, const ApplicationRow&) = default;
};

struct UserRow {
    std::string firstName, lastName, email, pin, newPin, server, password, loginName, loginPassword;
};

// Appends records to "Application.dbf" in the current folder (created when missing).
void AddApplications(const std::vector<ApplicationRow>& rows);
// Every application record in record-number order, read back through the store.
std::vector<ApplicationRow> StoredApplications();
// Adds the user record to an empty "User.dbf" (or overwrites record 1).
void StoreUser(const UserRow& user);
// Record 1 of "User.dbf"; all empty when there is none. `count` receives the record count.
UserRow StoredUser(int* count = nullptr);

// A window titled "Ombrelay" with the status bar 1001, standing in for the main window.
ui::Dialog MainWindowStandIn();
