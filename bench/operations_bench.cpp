// Each button's whole operation, run on the headless dialog layer (the shell opens are only
// recorded), timed side by side with SQLite doing the same logical work: one connection,
// prepared statements, one transaction per action, an index on the upper-cased name,
// synchronous=FULL, in WAL and in rollback-journal mode. The same records, the same log
// entries, list rows, links and files are made on both sides.
//
//   operations_bench [folder] [sizes...]   (default: a new temporary folder; 10 to 100,000)
//
// For the dashboard, one line per operation and size on standard output:
//   op=<name> records=<n> ombrelay_ms=<x> sqlite_wal_ms=<y> ratio=<x/y> syncs=<k>
// with medians of several runs and the number of syncs (files and folders) of one run. The
// rollback-journal times go to standard error. Nothing is asserted.

#include "applications/application_dialog.h"
#include "applications/application_records.h"
#include "applications/application_rules.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/text.h"
#include "log/activity_log.h"
#include "maintenance/database.h"
#include "maintenance/export.h"
#include "maintenance/export_rules.h"
#include "records/table_scope.h"
#include "records/tables.h"
#include "requests/compose_dialog.h"
#include "requests/send_requests.h"
#include "store/dbf_file.h"
#include "store/schema.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds of each of `runs` runs; `prepare` (untimed) sets up each run.
std::vector<double> Time(int runs, const std::function<void(int)>& prepare,
                         const std::function<void(int)>& work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        prepare(run);
        const auto start = std::chrono::steady_clock::now();
        work(run);
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        times.push_back(spent.count());
    }
    return times;
}

// ---- Ombrelay ----

void FillStore(const std::vector<Row>& rows) {
    DbfTable table = EmptyTable(KnownTables()[0]);
    for (const auto& row : rows)
        table.records.push_back({false, {row.name, row.code, row.email, row.request}});
    std::error_code error;
    fs::remove(ApplicationIndexFile, error);
    WriteFileAtomically(ApplicationTableFile, SerializeDbf(table, CurrentLocalTime()), error);
}

// ---- SQLite ----

struct Sql {
    sqlite3* db = nullptr;
    sqlite3_stmt *find = nullptr, *insert = nullptr, *update = nullptr, *remove = nullptr,
                 *byName = nullptr, *byRecord = nullptr, *selected = nullptr, *after = nullptr,
                 *before = nullptr, *count = nullptr, *user = nullptr;

    void Exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", message);
            sqlite3_free(message);
        }
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        return statement;
    }
    void Open(const std::string& file, bool wal, const std::vector<Row>& rows) {
        std::error_code error;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            fs::remove(file + suffix, error);
        sqlite3_open(file.c_str(), &db);
        Exec(wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
        Exec("PRAGMA synchronous=FULL");
        Exec("CREATE TABLE apps(appname TEXT, regcode TEXT, vemail TEXT, request TEXT)");
        Exec("CREATE INDEX apps_name ON apps(upper(appname))");
        Exec("CREATE TABLE user(fname, lname, myemail, pin, newpin, server, password, "
             "loginname, loginpswd)");
        Exec("INSERT INTO user VALUES('Ann','Lee','ann@x.org','1234ABCD','5678ABCD',"
             "'smtp.x.org','mail','ann','pw')");
        insert = Prepare("INSERT INTO apps VALUES(?,?,?,?)");
        Exec("BEGIN");
        for (const auto& row : rows)
            Insert(row);
        Exec("COMMIT");
        find = Prepare("SELECT rowid, regcode FROM apps WHERE upper(appname)=? LIMIT 1");
        update = Prepare("UPDATE apps SET appname=?, regcode=?, vemail=?, request=? WHERE rowid=?");
        remove = Prepare("DELETE FROM apps WHERE rowid=?");
        byName = Prepare("SELECT appname, regcode, vemail, request FROM apps "
                         "ORDER BY upper(appname)");
        byRecord = Prepare("SELECT appname, regcode, vemail FROM apps ORDER BY rowid");
        selected = Prepare("SELECT appname, regcode, vemail FROM apps WHERE request='Yes' "
                           "ORDER BY rowid");
        after = Prepare("SELECT appname, regcode, vemail, request FROM apps "
                        "WHERE upper(appname)>? ORDER BY upper(appname) LIMIT 1");
        before = Prepare("SELECT appname, regcode, vemail, request FROM apps "
                         "WHERE upper(appname)<? ORDER BY upper(appname) DESC LIMIT 1");
        count = Prepare("SELECT count(*) FROM apps");
        user = Prepare("UPDATE user SET fname=?, lname=?, myemail=?, pin=?, newpin=?, server=?, "
                       "password=?, loginname=?, loginpswd=? WHERE rowid=1");
    }
    void Close() {
        for (sqlite3_stmt* s :
             {find, insert, update, remove, byName, byRecord, selected, after, before, count, user})
            sqlite3_finalize(s);
        sqlite3_close(db);
    }
    static void Bind(sqlite3_stmt* s, int at, const std::string& text) {
        sqlite3_bind_text(s, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    static std::string Column(sqlite3_stmt* s, int at) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, at));
        return text == nullptr ? std::string() : std::string(text);
    }
    void Insert(const Row& row) {
        Bind(insert, 1, row.name), Bind(insert, 2, row.code), Bind(insert, 3, row.email);
        Bind(insert, 4, row.request);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    // rowid of the name, or 0.
    sqlite3_int64 Find(const std::string& name) {
        Bind(find, 1, ToUpper(name));
        const sqlite3_int64 rowid =
            sqlite3_step(find) == SQLITE_ROW ? sqlite3_column_int64(find, 0) : 0;
        sqlite3_reset(find);
        return rowid;
    }
    int Count() {
        sqlite3_step(count);
        const int n = sqlite3_column_int(count, 0);
        sqlite3_reset(count);
        return n;
    }
    // The list and the count line, as ShowApplicationList makes them.
    std::string List() {
        std::string rows = "  Data for " + SignedNumber(Count()) + "  Applications stored";
        while (sqlite3_step(byName) == SQLITE_ROW)
            rows += ApplicationListRow(
                {Column(byName, 0), Column(byName, 1), Column(byName, 2), Column(byName, 3)});
        sqlite3_reset(byName);
        return rows;
    }
};

// The log entry and the request link, made as the operations make them (their text, not
// their code: the link's encoding is approximated by escaping every byte outside A-Z a-z 0-9).
void LogEntry(const std::string& heading, const std::string& detail) {
    std::error_code error;
    AppendToFile(ActivityLogFile,
                 "\"\r\n" + heading + FormatDate(CurrentLocalTime()) + "   00:00:00\r\n" + detail +
                     "\"\r\n",
                 error);
}
std::string Link(const std::string& vendor, const std::string& message) {
    std::string link = "mailto:" + vendor + "?cc=ann@x.org&subject=New%20PIN&body=";
    static const char* hex = "0123456789ABCDEF";
    for (const unsigned char c : message) {
        if (std::isalnum(c)) {
            link += static_cast<char>(c);
        } else {
            link += '%';
            link += hex[c >> 4];
            link += hex[c & 15];
        }
    }
    return link;
}
const std::string Message = "Dear vendor, please send a new code for applicationname, now "
                            "regcode, for the PIN 5678ABCD.\r\nThank you.";

struct Operation {
    const char* name;
    int runs;
    std::function<void(int)> prepare;      // untimed, before each run of either side
    std::function<void(int)> ombrelay;     // the operation itself
    std::function<void(Sql&, int)> sqlite; // the same logical work
};

void Measure(int count) {
    const std::vector<Row> rows = MakeRows(count);
    FillStore(rows);
    StoreUser(
        {"Ann", "Lee", "ann@x.org", "1234ABCD", "5678ABCD", "smtp.x.org", "mail", "ann", "pw"});
    Sql wal, rollback;
    wal.Open("apps-wal.sqlite", true, rows);
    rollback.Open("apps-rollback.sqlite", false, rows);

    HeadlessPlatform ui;
    ui.OpenWindow(MainWindowStandIn());
    const ui::WindowHandle apps = ui.OpenWindow(ApplicationInformationLayout());
    const ui::WindowHandle compose = ui.OpenWindow(ComposeEmailLayout());
    const ui::WindowHandle user = ui.OpenWindow(UserSetupLayout());
    ui.SetControlText(compose, compose::Subject, "New PIN: 5678ABCD");
    ui.SetControlText(compose, compose::YourEmail, "ann@x.org");
    ui.SetControlText(compose, compose::Message, Message);
    DisplayUserInformation();
    ShowApplicationList(); // the first open of a session reads the table; later ones keep it

    const auto form = [&](const std::string& name, const std::string& code) {
        ui.SetControlText(apps, ApplicationNameBox, name);
        ui.SetControlText(apps, RegistrationCodeBox, code);
        ui.SetControlText(apps, VendorEmailBox, "sales@new.example.com");
        ui.answers = {ui::IdYes, ui::IdYes, ui::IdYes};
    };
    const int writes = count >= 100000 ? 3 : 7;
    const int reads = count >= 100000 ? 3 : count >= 10000 ? 5 : 21;
    const std::string middle = rows[rows.size() / 2].name;
    const auto added = [](int run) { return "Added application " + std::to_string(run); };
    const auto send = [&](Sql& sql, sqlite3_stmt* query, const char* heading) {
        int sent = 0;
        while (sqlite3_step(query) == SQLITE_ROW) {
            const std::string name = Sql::Column(query, 0), code = Sql::Column(query, 1);
            const std::string link =
                Link(Sql::Column(query, 2),
                     ReplaceAll(ReplaceAll(Message, "applicationname", name), "regcode", code));
            sent += link.empty() ? 0 : 1;
            LogEntry(heading,
                     "Email to " + Sql::Column(query, 2) + "   Application Name = " + name);
        }
        sqlite3_reset(query);
        (void)sql;
        return sent;
    };
    std::size_t sink = 0;

    const std::vector<Operation> operations = {
        {"save_add", writes, [&](int run) { form(added(run), "NEW-1"); },
         [](int) { SaveApplication(); },
         [&](Sql& sql, int run) {
             sql.Exec("BEGIN");
             if (sql.Find(added(run)) == 0)
                 sql.Insert({added(run), "NEW-1", "sales@new.example.com", "No"});
             sql.Exec("COMMIT");
             LogEntry("Application Record Added ", added(run));
             sink += sql.List().size();
         }},
        {"save_overwrite", writes,
         [&](int run) { form(rows[static_cast<std::size_t>(run)].name, "CHANGED"); },
         [](int) { SaveApplication(); },
         [&](Sql& sql, int run) {
             const Row& row = rows[static_cast<std::size_t>(run)];
             sql.Exec("BEGIN");
             if (const sqlite3_int64 rowid = sql.Find(row.name)) {
                 Sql::Bind(sql.update, 1, row.name), Sql::Bind(sql.update, 2, "CHANGED");
                 Sql::Bind(sql.update, 3, "sales@new.example.com"), Sql::Bind(sql.update, 4, "No");
                 sqlite3_bind_int64(sql.update, 5, rowid);
                 sqlite3_step(sql.update);
                 sqlite3_reset(sql.update);
             }
             sql.Exec("COMMIT");
             LogEntry("Application Record Edited ", row.name);
             sink += sql.List().size();
         }},
        {"next", reads, [&](int) { ui.SetControlText(apps, ApplicationNameBox, middle); },
         [](int) { NextApplication(); },
         [&](Sql& sql, int) {
             Sql::Bind(sql.after, 1, ToUpper(middle));
             if (sqlite3_step(sql.after) == SQLITE_ROW)
                 sink += Sql::Column(sql.after, 0).size() + Sql::Column(sql.after, 3).size();
             sqlite3_reset(sql.after);
         }},
        {"previous", reads, [&](int) { ui.SetControlText(apps, ApplicationNameBox, middle); },
         [](int) { PreviousApplication(); },
         [&](Sql& sql, int) {
             Sql::Bind(sql.before, 1, ToUpper(middle));
             if (sqlite3_step(sql.before) == SQLITE_ROW)
                 sink += Sql::Column(sql.before, 0).size() + Sql::Column(sql.before, 3).size();
             sqlite3_reset(sql.before);
         }},
        {"delete", writes, [&](int run) { form(added(run), ""); }, [](int) { DeleteApplication(); },
         [&](Sql& sql, int run) {
             sql.Exec("BEGIN");
             if (const sqlite3_int64 rowid = sql.Find(added(run))) {
                 sqlite3_bind_int64(sql.remove, 1, rowid);
                 sqlite3_step(sql.remove);
                 sqlite3_reset(sql.remove);
             }
             sql.Exec("COMMIT");
             LogEntry("Application Deleted by User ", added(run));
             sink += sql.List().size() + static_cast<std::size_t>(sql.Count());
         }},
        {"list", reads, [](int) {}, [](int) { ShowApplicationList(); },
         [&](Sql& sql, int) { sink += sql.List().size(); }},
        {"send_all", reads, [&](int) { ui.shellOpens.clear(); }, [](int) { EmailAllVendorsSend(); },
         [&](Sql& sql, int) {
             sink += static_cast<std::size_t>(send(sql, sql.byRecord, "Email Sent "));
         }},
        {"send_selected", reads, [&](int) { ui.shellOpens.clear(); },
         [](int) { EmailSelectVendorsSend(); },
         [&](Sql& sql, int) {
             sink += static_cast<std::size_t>(send(sql, sql.selected, "Email Sent "));
         }},
        {"send_test", reads, [&](int) { ui.shellOpens.clear(); },
         [](int) { EmailVendorsTestSend(); },
         [&](Sql& sql, int) {
             sink += static_cast<std::size_t>(send(sql, sql.byRecord, "Test Email "));
         }},
        {"export", reads, [](int) {}, [](int) { Export(); },
         [&](Sql& sql, int) {
             std::string text;
             while (sqlite3_step(sql.byName) == SQLITE_ROW)
                 text += Sql::Column(sql.byName, 0) + "," + Sql::Column(sql.byName, 1) + "," +
                         Sql::Column(sql.byName, 2) + "\r\n\r\n";
             sqlite3_reset(sql.byName);
             std::error_code error;
             WriteFileAtomically("sqlite export.txt", text + "\r\n\r\n\r\n" + ExportWarningLine,
                                 error);
         }},
        {"backup", writes, [](int) {}, [](int) { Backup(); },
         [&](Sql& sql, int) {
             sql.Exec("PRAGMA wal_checkpoint(FULL)");
             std::error_code error;
             fs::create_directories("BNG-sqlite", error);
             const std::string file = sqlite3_db_filename(sql.db, "main");
             CopyFileAtomically(file, "BNG-sqlite" / fs::path(file).filename(), error);
         }},
        {"reindex", writes, [](int) {}, [](int) { Reindex(); },
         [&](Sql& sql, int) { sql.Exec("REINDEX apps_name"); }},
        {"save_user", writes,
         [&](int run) {
             const std::pair<int, std::string> boxes[] = {
                 {FirstNameBox, "Ann"},       {LastNameBox, "Lee " + std::to_string(run)},
                 {UserEmailBox, "ann@x.org"}, {PinBox, "1234ABCD"},
                 {NewPinBox, "5678ABCD"},     {ServerBox, "smtp.x.org"},
                 {MailPasswordBox, "mail"},   {LoginNameBox, "ann"},
                 {LoginPasswordBox, "pw"},    {LoginPasswordConfirmBox, "pw"}};
             for (const auto& [box, text] : boxes)
                 ui.SetControlText(user, box, text);
             ui.answers = {ui::IdYes};
         },
         [](int) { SaveUserInformation(); },
         [&](Sql& sql, int run) {
             sql.Exec("BEGIN");
             const std::string values[] = {"Ann",       "Lee " + std::to_string(run),
                                           "ann@x.org", "1234ABCD",
                                           "5678ABCD",  "smtp.x.org",
                                           "mail",      "ann",
                                           "pw"};
             for (int i = 0; i < 9; ++i)
                 Sql::Bind(sql.user, i + 1, values[i]);
             sqlite3_step(sql.user);
             sqlite3_reset(sql.user);
             sql.Exec("COMMIT");
             LogEntry("User Record Edited ", values[1]);
         }},
    };

    for (const auto& op : operations) {
        int syncs = -1;
        const auto ombrelay = Time(op.runs, op.prepare, [&](int run) {
            int counted = 0;
            SetWriteStepHookForTesting([&](WriteStep step) {
                counted += step == WriteStep::DataSynced || step == WriteStep::TableSynced ||
                           step == WriteStep::FolderSynced;
                return true;
            });
            op.ombrelay(run);
            SetWriteStepHookForTesting({});
            if (syncs < 0)
                syncs = counted;
        });
        const auto walTimes = Time(op.runs, op.prepare, [&](int run) { op.sqlite(wal, run); });
        const auto rollbackTimes =
            Time(op.runs, op.prepare, [&](int run) { op.sqlite(rollback, run); });
        const double x = Median(ombrelay), y = Median(walTimes), z = Median(rollbackTimes);
        std::printf("op=%s records=%d ombrelay_ms=%.3f sqlite_wal_ms=%.3f ratio=%.2f syncs=%d\n",
                    op.name, count, x, y, x / y, syncs);
        std::fprintf(stderr, "# op=%s records=%d sqlite_rollback_ms=%.3f ratio=%.2f\n", op.name,
                     count, z, x / z);
        std::fflush(stdout);
    }
    if (XDBERROR() != 0)
        std::fprintf(stderr, "# the store reported error %d during the run\n", XDBERROR());
    if (sink == 0)
        std::fprintf(stderr, "# the SQLite side read nothing\n");
    wal.Close();
    rollback.Close();
}

} // namespace

int main(int argc, char** argv) {
    const bool given = argc > 1;
    fs::path folder = given ? fs::path(argv[1])
                            : fs::temp_directory_path() /
                                  ("ombrelay-bench-" + std::to_string(std::random_device()()));
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {10, 100, 1000, 10000, 100000};
    for (const int count : sizes) {
        const fs::path here = folder / std::to_string(count);
        fs::create_directories(here);
        fs::current_path(here);
        Measure(count);
    }
    fs::current_path(fs::temp_directory_path());
    if (!given)
        fs::remove_all(folder);
    return 0;
}
