#pragma once
// Sending the requests: one mailto: link per vendor, handed to the shell, each logged. They
// read the subject and message from the Compose Email dialog and the copy address (and, for
// the test, the current PIN) from the current user values that the preparation loaded.

void EmailAllVendorsSend();
void EmailSelectVendorsSend();
void EmailVendorsTestSend();
