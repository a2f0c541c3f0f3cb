#include "requests/request_link.h"

#include "common/text.h"

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendEncoded(std::string& out, unsigned char c) {
    static constexpr char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 0xF];
}

constexpr std::string_view EncodedLineBreak = "%0D%0A";
constexpr std::string_view FooterLineBreak = "%0A%0D";

// Encodes text[i] and returns the index behind what it consumed.
std::size_t EncodeTextAt(std::string& out, std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
        out += EncodedLineBreak;
        const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        return i + (crlf ? 2 : 1);
    }
    if (IsUnreserved(c))
        out += static_cast<char>(c);
    else
        AppendEncoded(out, c);
    return i + 1;
}

} // namespace

std::string EncodeMailtoAddress(std::string_view address) {
    std::string out;
    out.reserve(address.size());
    for (const char ch : address) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c) || c == '@')
            out += ch;
        else
            AppendEncoded(out, c);
    }
    return out;
}

std::string EncodeMailtoText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size();)
        i = EncodeTextAt(out, text, i);
    return out;
}

std::string EncodeFooter(std::string_view footer) {
    std::string out;
    out.reserve(footer.size() + footer.size() / 2);
    for (std::size_t i = 0; i < footer.size();) {
        if (footer.substr(i, FooterLineBreak.size()) == FooterLineBreak) {
            out += FooterLineBreak;
            i += FooterLineBreak.size();
        } else {
            i = EncodeTextAt(out, footer, i);
        }
    }
    return out;
}

std::string RequestLink(const std::string& vendor, const std::string& copy,
                        const std::string& subject, const std::string& message) {
    static const std::string footer = EncodeFooter(RequestFooter);
    return "mailto:" + EncodeMailtoAddress(vendor) + "?cc=" + EncodeMailtoAddress(copy) +
           "&subject=" + EncodeMailtoText(subject) + "&body=" + EncodeMailtoText(message) + footer;
}

std::string ShownBody(std::string_view message) {
    std::string body;
    body.reserve(message.size() + RequestFooter.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '\r' || message[i] == '\n') {
            body += CRLF;
            i += message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n';
        } else {
            body += message[i];
        }
    }
    return body + ReplaceAll(RequestFooter, FooterLineBreak, "\n\r");
}
