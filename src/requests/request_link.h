#pragma once
// The mailto: link of one vendor request.
//
// The link carries exactly what the Compose Email dialog held: every byte of the addresses,
// the subject and the message that is not an unreserved URI character (and not '@' in an
// address) is percent-encoded, so that "&", "#", "?", "%", blanks, line breaks or
// "x@y.com&bcc=someone@else" can neither cut the message nor add recipients.

#include <string>
#include <string_view>

// Appended to every message. Its "%0A%0D" pieces are line breaks already in encoded form (line
// feed before carriage return) and stay as they are; the raw CR LF is a line break too.
inline constexpr std::string_view RequestFooter =
    "%0A%0D%0A%0DThis Reregistration related request was sent by Ombrelay - the original "
    "Mobile Device Application Reregistration Request Tool\r\n"
    "%0A%0DCopyright (c) 2026 The Ombrelay developers";

// Per-record placeholders of the all-vendors and select runs, replaced in this order.
inline constexpr std::string_view ApplicationNamePlaceholder = "applicationname";
inline constexpr std::string_view RegistrationCodePlaceholder = "regcode";

// The placeholders are replaced in the message only and the footer is encoded on its own.
// That gives the same text as replacing in message + footer only while the footer holds no
// placeholder and none can reach into it across the join.
static_assert(RequestFooter.find(ApplicationNamePlaceholder) == std::string_view::npos);
static_assert(RequestFooter.find(RegistrationCodePlaceholder) == std::string_view::npos);
static_assert(RequestFooter.front() == '%');

// An address: everything but A-Z a-z 0-9 - . _ ~ and '@' as %XX (upper-case hex, UTF-8 bytes).
std::string EncodeMailtoAddress(std::string_view address);
// A subject or message: as an address, but '@' encoded too, and every line break (CR LF, or a
// lone CR or LF) written as %0D%0A.
std::string EncodeMailtoText(std::string_view text);
// The footer: its "%0A%0D" pieces as they stand, everything else as in EncodeMailtoText.
std::string EncodeFooter(std::string_view footer);

// The body a mail program shows for a link made from `message`: its line breaks as CR LF, then
// the footer, whose encoded "%0A%0D" pieces are line feed and carriage return.
std::string ShownBody(std::string_view message);

// "mailto:" vendor "?cc=" copy "&subject=" subject "&body=" message and footer, each encoded.
// `message` is the text after any per-record replacements; the footer is added here.
std::string RequestLink(const std::string& vendor, const std::string& copy,
                        const std::string& subject, const std::string& message);
