#include "maintenance/export_rules.h"

#include "common/text.h"

std::string ExportFileName(const LocalDateTime& day) {
    return FormatDate(day) + "application data.txt";
}

std::string ExportText(const std::vector<ApplicationRecord>& recordsInNameOrder) {
    std::string text;
    for (const auto& record : recordsInNameOrder) {
        text += record.name + "," + record.code + "," + record.vendorEmail;
        text += CRLF;
        text += CRLF;
    }
    for (int i = 0; i < 3; ++i)
        text += CRLF;
    text += ExportWarningLine;
    text += CRLF; // ends the warning line, the last line of the file
    return text;
}
