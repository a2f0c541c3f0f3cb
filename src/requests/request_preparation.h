#pragma once
// Preparing a request: load the user's values, check a request can be made, fill the Compose
// Email dialog and load the template with the user's data in place of its placeholders.

void EmailAllVendors();
void EmailSelectVendors();
void EmailVendorsTest();
