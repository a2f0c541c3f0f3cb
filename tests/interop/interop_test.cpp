// The tables the store writes, read back by an independent dBASE reader (the npm package
// dbffile, installed into tests/interop by `npm ci --prefix tests/interop`).

#include "store/tables.h"
#include "store/xdb.h"
#include "support/temp_folder.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const fs::path InteropFolder = fs::path(OMBRELAY_SOURCE_DIR) / "tests" / "interop";

struct ReaderResult {
    bool ran = false;
    std::string output;
};

ReaderResult ReadWithDbffile(const fs::path& table) {
    const std::string command = "node \"" + (InteropFolder / "read_dbf.mjs").string() + "\" \"" +
                                fs::absolute(table).string() + "\" 2>&1";
    ReaderResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        result.output.append(chunk, n);
    result.ran = ::pclose(pipe) == 0;
    return result;
}

// Another reader shows a value that ends in blanks without them, or followed by the NUL
// that marks its end; anything else must come back byte for byte.
bool SameValue(const std::string& written, const std::string& read) {
    if (read == written)
        return true;
    if (written.empty() || written.back() != ' ')
        return false;
    const auto last = written.find_last_not_of(' ');
    const std::string trimmed =
        last == std::string::npos ? std::string() : written.substr(0, last + 1);
    return read == trimmed || read == written + '\0';
}

struct Written {
    bool deleted = false;
    std::vector<std::string> values;
};

void WriteRows(const char* file, const std::vector<Written>& rows) {
    XDBRESETERROR();
    const int table = XDBOPENEX(file, 2, 1, TableKey);
    for (const auto& row : rows) {
        XDBCLEARBUFFER(table);
        for (std::size_t f = 0; f < row.values.size(); ++f)
            XDBASSIGNFIELD(table, "", static_cast<int>(f + 1), row.values[f]);
        XDBADDRECORD(table);
        if (row.deleted)
            XDBDELETERECORD(table, XDBRECORDCOUNT(table));
    }
    XDBCLOSE(table);
    ASSERT_EQ(XDBERROR(), 0);
}

void ExpectReadBack(const char* file, const std::vector<std::string>& fieldNames,
                    const std::vector<int>& widths, const std::vector<Written>& rows) {
    SCOPED_TRACE(file);
    const ReaderResult result = ReadWithDbffile(file);
    ASSERT_TRUE(fs::exists(InteropFolder / "node_modules" / "dbffile"))
        << "The independent dBASE reader is not installed: run `npm ci --prefix tests/interop` "
           "in the source folder.";
    ASSERT_TRUE(result.ran) << "node could not read the table:\n" << result.output;

    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(result.output), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.output;
    const QJsonObject root = document.object();

    const QJsonArray fields = root["fields"].toArray();
    ASSERT_EQ(fields.size(), static_cast<qsizetype>(fieldNames.size()));
    for (qsizetype f = 0; f < fields.size(); ++f) {
        const QJsonObject field = fields[f].toObject();
        EXPECT_EQ(field["name"].toString().toStdString(), fieldNames[f]);
        EXPECT_EQ(field["type"].toString().toStdString(), "C");
        EXPECT_EQ(field["size"].toInt(), widths[f]);
    }
    const QJsonArray records = root["records"].toArray();
    ASSERT_EQ(records.size(), static_cast<qsizetype>(rows.size()));
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QJsonObject record = records[r].toObject();
        EXPECT_EQ(record["deleted"].toBool(), rows[r].deleted) << "record " << r + 1;
        const QJsonArray values = record["values"].toArray();
        ASSERT_EQ(values.size(), static_cast<qsizetype>(fieldNames.size()));
        for (qsizetype f = 0; f < values.size(); ++f) {
            const std::string written = f < static_cast<qsizetype>(rows[r].values.size())
                                            ? rows[r].values[f]
                                            : std::string();
            const std::string read = values[f].toString().toStdString();
            EXPECT_TRUE(SameValue(written, read))
                << "record " << r + 1 << " field " << fieldNames[f] << ": wrote \"" << written
                << "\", read \"" << read << "\"";
        }
    }
}

} // namespace

TEST(Interop, AnotherDbaseReaderReadsEveryValueAsWritten) {
    TempFolder folder;
    const std::vector<Written> applications = {
        {false, {"Übersetzer Pro", "ÄÖÜ-äöü-ß-1234", "vertrieb@übersetzer.de", "Yes"}},
        {false, {"日本語アプリ", "コード 番号", "販売@example.jp", "No"}},
        {false, {"  leading blanks", "trailing blanks   ", " ", "Yes"}},
        {true, {"Deleted but present", "X", "x@example.com", "No"}},
        {false, {std::string(254, 'L'), "", "e", "No"}}, // the code is filled in below
        {false, {"Emoji 😀 name", "tab\tinside", "quote \" and , comma", ""}},
    };
    std::vector<Written> rows = applications;
    std::string longCode;
    for (int i = 0; i < 127; ++i)
        longCode += "é"; // 254 bytes, 127 characters
    rows[4].values[1] = longCode;
    WriteRows(ApplicationTableFile, rows);
    ExpectReadBack(ApplicationTableFile, {"APPNAME", "REGCODE", "VEMAIL", "REQUEST"},
                   {ApplicationNameWidth, RegistrationCodeWidth, VendorEmailWidth, RequestWidth},
                   rows);

    const std::vector<Written> user = {
        {false,
         {"Zoë", "O'Brien-Núñez", "zoe@example.org", "2A3B4C5D", "6E7F8A9B", "smtp.example.org",
          " ", "no login", "pass word "}}};
    WriteRows(UserTableFile, user);
    ExpectReadBack(UserTableFile,
                   {"FNAME", "LNAME", "MYEMAIL", "PIN", "NEWPIN", "SERVER", "PASSWORD", "LOGINNAME",
                    "LOGINPSWD"},
                   {UserNameWidth, UserNameWidth, UserEmailWidth, PinWidth, PinWidth, ServerWidth,
                    PasswordWidth, LoginNameWidth, PasswordWidth},
                   user);
}
