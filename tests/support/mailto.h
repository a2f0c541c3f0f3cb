#pragma once
// Reads a mailto: link back the way a mail program does, with Qt's URL parser rather than
// anything of ours, so that encoder and reader cannot share a mistake.

#include <QString>
#include <QUrl>

#include <string>
#include <utility>
#include <vector>

// The request footer as a mail program shows it: its line breaks are written line feed first.
inline const std::string DecodedRequestFooter =
    "\n\r\n\rThis Reregistration related request was sent by Ombrelay - the original Mobile "
    "Device Application Reregistration Request Tool\r\n\n\rCopyright (c) 2026 The Ombrelay "
    "developers";

using MailtoFields = std::vector<std::pair<std::string, std::string>>;

// {"to", recipient}, then every header field in link order, all decoded. Empty unless the link
// is a strict URI of unreserved characters, '%' escapes and the delimiters "@:?&=", with no
// delimiter in the recipient and each field with its '='.
inline MailtoFields ParseMailto(const std::string& link) {
    const QUrl url(QString::fromStdString(link), QUrl::StrictMode);
    const QString to = url.path(QUrl::FullyEncoded);
    if (!url.isValid() || url.scheme() != "mailto" || to.contains('&') || to.contains('=') ||
        link.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                               "0123456789-._~%@:?&=") != std::string::npos)
        return {};
    const auto decode = [](const QString& text) {
        return QUrl::fromPercentEncoding(text.toUtf8()).toStdString();
    };
    MailtoFields fields{{"to", decode(to)}};
    for (const QString& field : url.query(QUrl::FullyEncoded).split('&')) {
        if (!field.contains('='))
            return {};
        fields.emplace_back(decode(field.section('=', 0, 0)), decode(field.section('=', 1)));
    }
    return fields;
}

// The fields of a request link that carries exactly these texts.
inline MailtoFields RequestFields(std::string to, std::string subject, std::string message,
                                  std::string cc = "ann@home.example") {
    return {{"to", to}, {"cc", cc}, {"subject", subject}, {"body", message + DecodedRequestFooter}};
}
