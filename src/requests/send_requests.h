#pragma once
// Sending the requests: one mailto: link per vendor, handed to the desktop one after the
// other while a small window shows the request under way and offers to stop, each logged
// once the desktop took it. The subject and message come from the Compose Email dialog, the
// copy address (and, for the test, the current PIN) from the current user values that the
// preparation loaded.

#include "requests/request_rules.h"
#include "ui/dialog.h"
#include "ui/platform.h"

#include <optional>
#include <vector>

namespace sending {
inline constexpr int Counter = 1200; // "Request 1 of 3"
inline constexpr int Vendor = 1201;
inline constexpr int Progress = 1202;
inline constexpr int Stop = 1203;
} // namespace sending

ui::Dialog SendingRequestsLayout();

void EmailAllVendorsSend();
void EmailSelectVendorsSend();
void EmailVendorsTestSend();

// The requests of a run of `kind`, made from the records and from the Compose Email dialog's
// boxes as they are now, once the run's warnings are shown; nothing when the run stops before
// its first request, the user told why. The runs and the message preview take them alike.
std::optional<std::vector<Request>> RequestsOfRun(RequestKind kind);

// Whether the desktop took a request, from the result of its hand-over (above 32); a request
// taken is logged. The runs and the preview's Send This do it alike.
bool LogIfTaken(const Request& request, int shellResult);
