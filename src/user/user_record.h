#pragma once
// The user record (record 1 of the user table) and the current user values that the
// request preparation and sending read.

#include <string>

// Fields 1 to 7 of the user record, as last loaded by DisplayUserInformation.
struct CurrentUserValues {
    std::string firstName; // FNAME
    std::string lastName;  // LNAME
    std::string email;     // MYEMAIL
    std::string pin;       // PIN
    std::string newPin;    // NEWPIN
    std::string server;    // SERVER
    std::string password;  // PASSWORD
};

extern CurrentUserValues currentUser;

// Loads the user record into the current user values and, when the User Setup dialog is
// open, into its controls.
void DisplayUserInformation();
// Validates the User Setup dialog and adds or overwrites the user record.
void SaveUserInformation();
