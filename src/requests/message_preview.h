#pragma once
// The message preview: the requests of the chosen kind, one at a time, exactly as the run
// makes them and the mail program will show them, each of which can be sent on its own.

#include "ui/dialog.h"

namespace preview {
inline constexpr int Counter = 1180; // "Message 1 of 3"
inline constexpr int HandedOver = 1181;
inline constexpr int To = 1183;
inline constexpr int Cc = 1185;
inline constexpr int Subject = 1187;
inline constexpr int Body = 1188;
inline constexpr int LongLinks = 1189;
inline constexpr int Previous = 1190;
inline constexpr int Next = 1191;
inline constexpr int SendThis = 1192;
inline constexpr int Close = 1193;
} // namespace preview

ui::Dialog MessagePreviewLayout();

// Behind the Compose Email dialog's "Pre&view": made from its boxes as the user left them,
// with the run's own warnings; Send This hands the message shown over as the run would.
void PreviewMessages();
