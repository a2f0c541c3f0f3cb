#pragma once
// Reads a mailto: link back the way a mail program does, written apart from the encoder so
// that the two cannot share a mistake.

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

using MailtoFields = std::vector<std::pair<std::string, std::string>>;

// {"to", recipient}, then every header field in link order, all decoded. Empty unless the link
// holds only URI characters, each '%' before two hex digits, no delimiter in the recipient,
// and each field with its '='.
inline MailtoFields ParseMailto(const std::string& link) {
    const std::string uri =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~%@:?&=";
    if (link.rfind("mailto:", 0) != 0 || link.find_first_not_of(uri) != std::string::npos)
        return {};
    for (std::size_t i = link.find('%'); i != std::string::npos; i = link.find('%', i + 1))
        if (i + 2 >= link.size() || !std::isxdigit(link[i + 1]) || !std::isxdigit(link[i + 2]))
            return {};
    const auto decode = [](std::string text) {
        for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 1))
            text.replace(i, 3, 1, static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
        return text;
    };
    const std::string rest = link.substr(7);
    const std::size_t query = std::min(rest.find('?'), rest.size());
    bool ok = rest.find_first_of("&=") >= query; // delimiters only in the query
    MailtoFields fields{{"to", decode(rest.substr(0, query))}};
    for (std::size_t from = query + 1, end; from <= rest.size(); from = end + 1) {
        end = std::min(rest.find('&', from), rest.size());
        const std::string field = rest.substr(from, end - from);
        const std::size_t equals = std::min(field.find('='), field.size());
        ok = ok && equals < field.size();
        fields.emplace_back(decode(field.substr(0, equals)),
                            decode(field.substr(std::min(equals + 1, field.size()))));
    }
    return ok ? fields : MailtoFields{};
}
