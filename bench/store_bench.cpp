// The store work of each application command, timed against the same logical work done by
// SQLite (default journal, synchronous=FULL, an index on upper(name)).
//   store_bench [folder]     (default: a new folder under the system's temporary folder)
// Prints milliseconds per operation and the ratio to SQLite. Nothing is asserted.

#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"
#include "records/tables.h"
#include "store/dbf_file.h"
#include "store/schema.h"
#include "store/xdb.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Row {
    std::string name, code, email, request;
};

std::vector<Row> MakeRows(int count) {
    std::vector<int> numbers(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        numbers[static_cast<std::size_t>(i)] = i;
    std::mt19937 random(42);
    std::shuffle(numbers.begin(), numbers.end(), random); // record order is not name order
    std::vector<Row> rows;
    for (int n : numbers) {
        char name[64];
        std::snprintf(name, sizeof name, "Application %06d for the handheld", n);
        rows.push_back({name, "REG-" + std::to_string(n * 7919 % 1000003) + "-KEY",
                        "sales" + std::to_string(n) + "@vendor.example.com",
                        n % 3 == 0 ? "No" : "Yes"});
    }
    return rows;
}

double Milliseconds(const std::function<void()>& work, int repeat) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeat; ++i)
        work();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count() / repeat;
}

// ---- The store ----

void FillStore(const std::vector<Row>& rows) {
    DbfTable table = EmptyTable(KnownTables()[0]);
    for (const auto& row : rows)
        table.records.push_back({false, {row.name, row.code, row.email, row.request}});
    std::error_code error;
    fs::remove(ApplicationIndexFile, error);
    WriteFileAtomically(ApplicationTableFile, SerializeDbf(table, CurrentLocalTime()), error);
}

void Assign(int table, const Row& row) {
    XDBASSIGNFIELD(table, "", 1, row.name);
    XDBASSIGNFIELD(table, "", 2, row.code);
    XDBASSIGNFIELD(table, "", 3, row.email);
    XDBASSIGNFIELD(table, "", 4, row.request);
}

// ---- SQLite ----

struct Sql {
    sqlite3* db = nullptr;

    void Open(const char* file) {
        sqlite3_open(file, &db);
        Exec("PRAGMA synchronous=FULL");
    }
    void Close() {
        sqlite3_close(db);
        db = nullptr;
    }
    void Exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", message);
            sqlite3_free(message);
        }
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        return statement;
    }
};

void Bind(sqlite3_stmt* statement, int at, const std::string& text) {
    sqlite3_bind_text(statement, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void FillSql(const char* file, const std::vector<Row>& rows) {
    std::error_code error;
    fs::remove(file, error);
    Sql sql;
    sql.Open(file);
    sql.Exec("CREATE TABLE apps(appname TEXT, regcode TEXT, vemail TEXT, request TEXT)");
    sql.Exec("CREATE INDEX apps_name ON apps(upper(appname))");
    sql.Exec("BEGIN");
    sqlite3_stmt* insert = sql.Prepare("INSERT INTO apps VALUES(?,?,?,?)");
    for (const auto& row : rows) {
        Bind(insert, 1, row.name);
        Bind(insert, 2, row.code);
        Bind(insert, 3, row.email);
        Bind(insert, 4, row.request);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sql.Exec("COMMIT");
    sql.Close();
}

struct Result {
    const char* operation;
    double store;
    double sqlite;
};

std::vector<Result> Run(int count) {
    const std::vector<Row> rows = MakeRows(count);
    FillStore(rows);
    FillSql("apps.sqlite", rows);
    std::vector<Result> results;
    const int writes = count >= 10000 ? 5 : 20;
    int serial = 0;

    // Open with reindex and close: what every application command starts and ends with.
    results.push_back({"open + reindex + close",
                       Milliseconds(
                           [] {
                               const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
                               const int index = XDBOPENINDEX(ApplicationIndexFile, table);
                               XDBREINDEX(table, index, 0);
                               XDBCLOSE(table);
                           },
                           writes),
                       Milliseconds(
                           [] {
                               Sql sql;
                               sql.Open("apps.sqlite");
                               sql.Exec("REINDEX apps_name");
                               sql.Close();
                           },
                           writes)});

    // The rest runs on an open table, as inside one command.
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    const int index = XDBOPENINDEX(ApplicationIndexFile, table);
    Sql sql;
    sql.Open("apps.sqlite");
    sqlite3_stmt* find = sql.Prepare("SELECT rowid FROM apps WHERE upper(appname)=? LIMIT 1");
    sqlite3_stmt* update =
        sql.Prepare("UPDATE apps SET appname=?, regcode=?, vemail=?, request=? WHERE rowid=?");
    sqlite3_stmt* insert = sql.Prepare("INSERT INTO apps VALUES(?,?,?,?)");
    sqlite3_stmt* remove = sql.Prepare("DELETE FROM apps WHERE rowid=?");
    sqlite3_stmt* browse = sql.Prepare("SELECT appname, regcode, vemail, request FROM apps "
                                       "WHERE upper(appname) >= ? ORDER BY upper(appname)");
    std::mt19937 random(7);
    const auto someRow = [&] { return rows[random() % rows.size()]; };

    results.push_back({"seek + overwrite",
                       Milliseconds(
                           [&] {
                               Row row = someRow();
                               if (XDBSEEK(table, index, ToUpper(row.name)) == 1) {
                                   int record = XDBRECORDNUMBER(table);
                                   row.code += "x";
                                   Assign(table, row);
                                   XDBPUTRECORD(table, record);
                               }
                           },
                           writes),
                       Milliseconds(
                           [&] {
                               Row row = someRow();
                               Bind(find, 1, ToUpper(row.name));
                               if (sqlite3_step(find) == SQLITE_ROW) {
                                   const sqlite3_int64 rowid = sqlite3_column_int64(find, 0);
                                   sqlite3_reset(find);
                                   row.code += "x";
                                   Bind(update, 1, row.name);
                                   Bind(update, 2, row.code);
                                   Bind(update, 3, row.email);
                                   Bind(update, 4, row.request);
                                   sqlite3_bind_int64(update, 5, rowid);
                                   sqlite3_step(update);
                                   sqlite3_reset(update);
                               }
                               sqlite3_reset(find);
                           },
                           writes)});

    results.push_back({"add + reindex",
                       Milliseconds(
                           [&] {
                               Assign(table, {"Added " + std::to_string(++serial), "C", "e", "No"});
                               XDBADDRECORD(table);
                               XDBREINDEX(table, index, 0);
                           },
                           writes),
                       Milliseconds(
                           [&] {
                               const Row row{"Added " + std::to_string(++serial), "C", "e", "No"};
                               Bind(insert, 1, row.name);
                               Bind(insert, 2, row.code);
                               Bind(insert, 3, row.email);
                               Bind(insert, 4, row.request);
                               sqlite3_step(insert);
                               sqlite3_reset(insert);
                               sql.Exec("REINDEX apps_name");
                           },
                           writes)});

    std::size_t sink = 0;
    results.push_back(
        {"browse: seek + 100 x next",
         Milliseconds(
             [&] {
                 XDBSEEKPARTIAL(table, index, "APPLICATION 0");
                 for (int i = 0; i < 100 && XDBEOF(table) == 0; ++i) {
                     XDBMOVENEXT(table, index);
                     for (const char* field : {"APPNAME", "REGCODE", "VEMAIL", "REQUEST"})
                         sink += XDBFIELDVALUE(table, field, 0).size();
                 }
             },
             50),
         Milliseconds(
             [&] {
                 Bind(browse, 1, "APPLICATION 0");
                 for (int i = 0; i < 100 && sqlite3_step(browse) == SQLITE_ROW; ++i) {
                     for (int c = 0; c < 4; ++c)
                         sink += static_cast<std::size_t>(sqlite3_column_bytes(browse, c));
                 }
                 sqlite3_reset(browse);
             },
             50)});

    results.push_back({"seek + delete + pack",
                       Milliseconds(
                           [&] {
                               if (XDBSEEK(table, index, ToUpper(someRow().name)) == 1) {
                                   XDBDELETERECORD(table, XDBRECORDNUMBER(table));
                                   XDBPACK(table);
                               }
                           },
                           writes),
                       Milliseconds(
                           [&] {
                               Bind(find, 1, ToUpper(someRow().name));
                               if (sqlite3_step(find) == SQLITE_ROW) {
                                   const sqlite3_int64 rowid = sqlite3_column_int64(find, 0);
                                   sqlite3_reset(find);
                                   sqlite3_bind_int64(remove, 1, rowid);
                                   sqlite3_step(remove);
                                   sqlite3_reset(remove);
                               }
                               sqlite3_reset(find);
                           },
                           writes)});

    for (sqlite3_stmt* statement : {find, update, insert, remove, browse})
        sqlite3_finalize(statement);
    sql.Close();
    XDBCLOSE(table);
    if (XDBERROR() != 0)
        std::fprintf(stderr, "store error %d during the run\n", XDBERROR());
    if (sink == 0)
        std::fprintf(stderr, "the browse read nothing\n");
    return results;
}

} // namespace

int main(int argc, char** argv) {
    fs::path folder = argc > 1 ? fs::path(argv[1])
                               : fs::temp_directory_path() /
                                     ("ombrelay-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(folder);
    fs::current_path(folder);
    std::printf("%-8s %-28s %12s %12s %8s\n", "records", "operation", "store ms", "sqlite ms",
                "ratio");
    for (int count : {1000, 10000}) {
        for (const auto& result : Run(count))
            std::printf("%-8d %-28s %12.3f %12.3f %8.2f\n", count, result.operation, result.store,
                        result.sqlite, result.store / result.sqlite);
    }
    if (argc <= 1) {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(folder);
    }
    return 0;
}
