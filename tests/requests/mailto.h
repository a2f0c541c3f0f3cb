#pragma once
// Reads a mailto: link back the way a mail program does, written apart from the encoder so
// that the two cannot share a mistake.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// What the request footer says once a mail program has decoded it: two blank lines, the note,
// a line break, another line break (written line feed first) and the copyright line.
inline const std::string DecodedRequestFooter =
    "\n\r\n\rThis Reregistration related request was sent by Ombrelay - the original Mobile "
    "Device Application Reregistration Request Tool\r\n\n\rCopyright (c) 2026 The Ombrelay "
    "developers";

struct Mailto {
    bool wellFormed = false; // only URI characters, every '%' followed by two hex digits
    std::string to;
    std::vector<std::pair<std::string, std::string>> fields; // in link order, decoded
};

inline std::string PercentDecode(const std::string& text, bool& ok) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            ok = false;
            return out;
        }
        const int high = hex(text[i + 1]), low = hex(text[i + 2]);
        if (high < 0 || low < 0) {
            ok = false;
            return out;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

inline Mailto ParseMailto(const std::string& link) {
    Mailto result;
    const std::string scheme = "mailto:";
    if (link.compare(0, scheme.size(), scheme) != 0)
        return result;
    bool ok = true;
    for (const char c : link) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') ||
                             std::string("-._~%@:?&=").find(c) != std::string::npos;
        ok = ok && allowed;
    }
    const std::string rest = link.substr(scheme.size());
    const auto question = rest.find('?');
    const std::string to = rest.substr(0, question);
    ok = ok && to.find_first_of("&=") == std::string::npos; // delimiters only in the query
    result.to = PercentDecode(to, ok);
    if (question != std::string::npos) {
        std::string query = rest.substr(question + 1);
        std::size_t from = 0;
        while (from <= query.size()) {
            const auto amp = std::min(query.find('&', from), query.size());
            const std::string pair = query.substr(from, amp - from);
            const auto equals = pair.find('=');
            if (equals == std::string::npos)
                ok = false;
            else
                result.fields.emplace_back(PercentDecode(pair.substr(0, equals), ok),
                                           PercentDecode(pair.substr(equals + 1), ok));
            from = amp + 1;
        }
    }
    result.wellFormed = ok;
    return result;
}
