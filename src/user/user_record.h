#pragma once
// The user record (record 1 of the user table) and the current user values that the
// request preparation and sending read.

#include "records/user_table.h"

// Fields 1 to 7 of the user record, as last loaded by DisplayUserInformation; the login
// name and password stay empty here.
extern UserRecord currentUser;

// Loads the user record into the current user values and, when the User Setup dialog is
// open, into its controls.
void DisplayUserInformation();
// Validates the User Setup dialog and adds or overwrites the user record.
void SaveUserInformation();
