#include "support/dbf_reader.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdio>

namespace fs = std::filesystem;

namespace {

// Runs one of the readers of tests/interop and takes its JSON.
DbfContents ReadWith(const std::string& program, const char* script, const fs::path& table,
                     const std::string& encoding) {
    const fs::path folder = fs::path(OMBRELAY_SOURCE_DIR) / "tests" / "interop";
    const std::string command = program + " \"" + (folder / script).string() + "\" \"" +
                                fs::absolute(table).string() + "\" " + encoding + " 2>&1";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe != nullptr) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            output.append(chunk, n);
    }
    if (pipe == nullptr || ::pclose(pipe) != 0) {
        ADD_FAILURE() << script << " could not read " << table << ":\n" << output;
        return {};
    }
    QJsonParseError error{};
    const QJsonObject root =
        QJsonDocument::fromJson(QByteArray::fromStdString(output), &error).object();
    if (error.error != QJsonParseError::NoError) {
        ADD_FAILURE() << "the reader's output is not JSON:\n" << output;
        return {};
    }
    DbfContents contents;
    for (const auto& field : root["fields"].toArray())
        contents.fieldNames.push_back(field.toObject()["name"].toString().toStdString());
    for (const auto& item : root["records"].toArray()) {
        const QJsonObject record = item.toObject();
        contents.deleted.push_back(record["deleted"].toBool());
        auto& values = contents.records.emplace_back();
        for (const auto& value : record["values"].toArray())
            values.push_back(value.toString().toStdString());
    }
    return contents;
}

} // namespace

DbfContents ReadWithDbffile(const fs::path& table, const std::string& encoding) {
    return ReadWith("node", "read_dbf.mjs", table, encoding);
}

DbfContents ReadWithDbfread(const fs::path& table, const std::string& encoding) {
    // Debian's Python, which has python3-dbfread, not whichever python3 comes first.
    return ReadWith("/usr/bin/python3", "read_dbf.py", table, encoding);
}
