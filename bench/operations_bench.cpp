// Each button's whole operation, run on the headless dialog layer (the shell opens are only
// recorded), timed side by side with SQLite doing the same logical work: one connection,
// prepared statements, one transaction per action, an index on the upper-cased name, a page
// cache as large as the database. The same records, log entries, list rows, links and files
// are made on both sides, and every run is checked on both: the row count it must leave, no
// warning shown, every SQLite step's result. The sides alternate run by run.
//
//   operations_bench [--sizes 100,10000,100000] [--runs 7] [folder]
//
// SQLite runs in four modes: durable at the commit (WAL with synchronous=FULL, the rollback
// journal with synchronous=EXTRA) and, for reference, not (WAL with NORMAL; the rollback journal
// with FULL, whose unsynced journal deletion a power cut can undo). One line per figure on
// standard output, key=value pairs:
//   op=<name> part=<action|write|refresh> records=<n> ombrelay_ms=<min> ombrelay_spread=<%>
//     ratio=<x> ratio_lo=<x> ratio_hi=<x> against=<mode> sqlite_ms=<min> syncs=<n> sqlite_syncs=<n>
// where the times are minima over the runs, spread is (median - min) / min, ratio is the
// store's minimum over the fastest durable SQLite mode's minimum, ratio_lo and ratio_hi the
// lowest and highest ratio of one run of each side, and syncs the most fsync, fdatasync and
// msync calls of one run, counted alike on both sides by a library preloaded into this program
// (sync_counter.cpp). Then one line per SQLite mode:
//   op=<name> part=<part> records=<n> sqlite_mode=<mode> durable=<yes|no> sqlite_ms=<min>
//     sqlite_spread=<%> sqlite_syncs=<n>
// "action" is the whole operation; for the writes, "write" is the store's part alone (the table
// opened, the record written, the table closed) and "refresh" the list that the operation
// shows afterwards. "import" is the program's import of a file of 10,000 rows (read, judged and
// written in one commit), into an empty table and into one of 10,000, against SQLite inserting
// them in one transaction (ImportRows below is the program's
// side). Backup is compared with copying the files and syncing each (against=cp_sync); the
// store's reindex rewrites an index file only when it differs, SQLite's REINDEX rebuilds and
// commits, so that line shows ratio=na.

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
#include "maintenance/import_rules.h"
#include "records/application_table.h"
#include "records/table_scope.h"
#include "records/tables.h"
#include "records/user_table.h"
#include "requests/compose_dialog.h"
#include "requests/send_requests.h"
#include "store/dbf_file.h"
#include "store/schema.h"
#include "store/xdb.h"
#include "support/fixtures.h"
#include "support/headless_platform.h"
#include "user/user_record.h"
#include "user/user_setup_dialog.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Die(const std::string& why) {
    std::fprintf(stderr, "operations_bench: %s\n", why.c_str());
    std::exit(1);
}

long Syncs() {
    static const auto counted =
        reinterpret_cast<long (*)()>(::dlsym(RTLD_DEFAULT, "ombrelay_counted_syncs"));
    return counted == nullptr ? -1 : counted();
}

struct Row {
    std::string name, code, email, request;
};

// `count` rows named "<prefix> 000123 for the handheld", in shuffled order: record order is
// not name order.
std::vector<Row> MakeRows(int count, const char* prefix = "Application") {
    std::vector<int> numbers(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        numbers[static_cast<std::size_t>(i)] = i;
    std::mt19937 random(42);
    std::shuffle(numbers.begin(), numbers.end(), random);
    std::vector<Row> rows;
    for (int n : numbers) {
        char name[64];
        std::snprintf(name, sizeof name, "%s %06d for the handheld", prefix, n);
        rows.push_back({name, "REG-" + std::to_string(n * 7919 % 1000003) + "-KEY",
                        "sales" + std::to_string(n) + "@vendor.example.com",
                        n % 3 == 0 ? "No" : "Yes"});
    }
    return rows;
}

// ---- SQLite ----

struct Mode {
    const char* name;
    bool wal;
    const char* synchronous;
    bool durable; // a commit that returned survives a power cut
};
constexpr Mode Modes[] = {
    {"wal_full", true, "FULL", true},
    {"rollback_extra", false, "EXTRA", true},
    {"wal_normal", true, "NORMAL", false},
    {"rollback_full", false, "FULL", false},
};

struct Sql {
    const Mode* mode = nullptr;
    std::string file;
    sqlite3* db = nullptr;
    sqlite3_stmt *find = nullptr, *insert = nullptr, *update = nullptr, *remove = nullptr,
                 *byName = nullptr, *byRecord = nullptr, *selected = nullptr, *after = nullptr,
                 *before = nullptr, *count = nullptr, *user = nullptr;

    void Exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK)
            Die(std::string("sqlite: ") + sql + ": " + (message ? message : "?"));
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
            Die(std::string("sqlite: ") + sqlite3_errmsg(db));
        return statement;
    }
    // Steps once, expecting `wanted` (SQLITE_ROW or SQLITE_DONE); anything else ends the run.
    bool Step(sqlite3_stmt* statement, int wanted = SQLITE_DONE) {
        const int result = sqlite3_step(statement);
        if (result != SQLITE_ROW && result != SQLITE_DONE)
            Die(std::string("sqlite step: ") + sqlite3_errmsg(db));
        if (wanted != 0 && result != wanted)
            Die("sqlite step: unexpected " + std::to_string(result));
        return result == SQLITE_ROW;
    }
    void Open(const Mode& how, const std::string& path, const std::vector<Row>& rows) {
        Close();
        mode = &how;
        file = path;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            fs::remove(file + suffix);
        if (sqlite3_open(file.c_str(), &db) != SQLITE_OK)
            Die("sqlite: cannot open " + file);
        Exec(how.wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
        Exec((std::string("PRAGMA synchronous=") + how.synchronous).c_str());
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
        // The store keeps its whole table in memory: SQLite gets a cache as large as its file.
        const auto kib = fs::file_size(file) / 1024 + 1024;
        Exec(("PRAGMA cache_size=-" + std::to_string(kib * 2)).c_str());
        find = Prepare("SELECT rowid FROM apps WHERE upper(appname)=? LIMIT 1");
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
        List(); // read once, as the store's first open of a session reads its table
    }
    void Close() {
        if (db == nullptr)
            return;
        for (sqlite3_stmt* s :
             {find, insert, update, remove, byName, byRecord, selected, after, before, count, user})
            sqlite3_finalize(s);
        sqlite3_close(db);
        db = nullptr;
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
        Step(insert);
        sqlite3_reset(insert);
    }
    void Update(sqlite3_int64 rowid, const Row& row) {
        Bind(update, 1, row.name), Bind(update, 2, row.code), Bind(update, 3, row.email);
        Bind(update, 4, row.request);
        sqlite3_bind_int64(update, 5, rowid);
        Step(update);
        sqlite3_reset(update);
    }
    void Delete(sqlite3_int64 rowid) {
        sqlite3_bind_int64(remove, 1, rowid);
        Step(remove);
        sqlite3_reset(remove);
    }
    // rowid of the name, or 0.
    sqlite3_int64 Find(const std::string& name) {
        Bind(find, 1, ToUpper(name));
        const sqlite3_int64 rowid = Step(find, 0) ? sqlite3_column_int64(find, 0) : 0;
        sqlite3_reset(find);
        return rowid;
    }
    int Count() {
        Step(count, SQLITE_ROW);
        const int n = sqlite3_column_int(count, 0);
        sqlite3_reset(count);
        return n;
    }
    // The list and the count line, as ShowApplicationList makes them.
    std::size_t List() {
        std::string rows = "  Data for " + SignedNumber(Count()) + "  Applications stored";
        while (Step(byName, 0))
            rows += ApplicationListRow(
                {Column(byName, 0), Column(byName, 1), Column(byName, 2), Column(byName, 3)});
        sqlite3_reset(byName);
        return rows.size();
    }
    // One transaction: a new name added, a known one overwritten.
    void Save(const Row& row) {
        Exec("BEGIN");
        if (const sqlite3_int64 rowid = Find(row.name))
            Update(rowid, row);
        else
            Insert(row);
        Exec("COMMIT");
    }
    void DeleteNamed(const std::string& name) {
        Exec("BEGIN");
        if (const sqlite3_int64 rowid = Find(name))
            Delete(rowid);
        Exec("COMMIT");
    }
};

// ---- The store ----

void FillStore(const std::vector<Row>& rows) {
    DbfTable table = EmptyTable(KnownTables()[0]);
    for (const auto& row : rows)
        table.records.push_back({false, {row.name, row.code, row.email, row.request}});
    std::error_code error;
    fs::remove(ApplicationIndexFile, error);
    if (!WriteFileAtomically(ApplicationTableFile, SerializeDbf(table, CurrentLocalTime()), error))
        Die("cannot write the table");
}

int StoreCount() {
    XDBRESETERROR();
    const int table = XDBOPENEX(ApplicationTableFile, 2, 1, TableKey);
    const int count = XDBRECORDCOUNT(table);
    XDBCLOSE(table);
    if (XDBERROR() != 0)
        Die("the store reported error " + std::to_string(XDBERROR()));
    return count;
}

// The program's import of a file holding `rows`: read, every row judged as Save judges it,
// and the accepted ones written in one commit.
std::string ImportFileOf(const std::vector<Row>& rows) {
    std::string csv = "Name,Code,Email,Request\r\n";
    for (const auto& row : rows)
        csv += row.name + "," + row.code + "," + row.email + "," + row.request + "\r\n";
    return csv;
}

void ImportRows(const std::string& csv) {
    ApplicationTableScope scope;
    const ImportPlan plan = JudgeImport(ReadImportFile(csv));
    if (plan.Count(ImportVerdict::Refused) != 0 || !WriteImport(plan))
        Die("the import failed with error " + std::to_string(XDBERROR()));
}

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

// ---- Measuring ----

struct Figure {
    std::string op, part;
    int rowsAdded = 0;                         // by one run, on both sides
    std::function<void(int)> prepare;          // untimed, before each run of the store
    std::function<void(int)> store;            // the store's side
    std::function<void(Sql&, int)> prepareSql; // untimed, before each run of SQLite
    std::function<void(Sql&, int)> sqlite;     // the same logical work
    std::string against;                       // a reference other than SQLite
    std::function<void(int)> reference;        // ... and its work
    bool comparable = true;
};

struct Series {
    std::vector<double> ms;
    long syncs = 0;
    double Min() const { return *std::min_element(ms.begin(), ms.end()); }
    double Median() const {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double Spread() const { return 100.0 * (Median() - Min()) / Min(); }
};

template <typename Work> void TimeInto(Series& series, const Work& work) {
    const long syncs = Syncs();
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    series.ms.push_back(spent.count());
    series.syncs = std::max(series.syncs, Syncs() - syncs);
}

class Bench {
public:
    Bench(int records, int runs) : records_(records), runs_(runs) {}

    void Run(const Figure& figure, std::vector<Sql>& sql, HeadlessPlatform& ui) {
        Series store, reference;
        std::vector<Series> modes(sql.size());
        for (int run = 0; run < runs_; ++run) {
            if (figure.prepare)
                figure.prepare(run);
            const int before = StoreCount();
            ui.transcript.clear();
            TimeInto(store, [&] { figure.store(run); });
            std::istringstream met(ui.transcript);
            for (std::string line; std::getline(met, line);) {
                if (line.starts_with("box: ") && !line.starts_with("box: ?") &&
                    !line.starts_with("box: i"))
                    Die(figure.op + ": the store's side showed " + line.substr(5));
            }
            if (StoreCount() != before + figure.rowsAdded)
                Die(figure.op + ": the store's table does not hold what it should");
            if (figure.reference)
                TimeInto(reference, [&] { figure.reference(run); });
            for (std::size_t m = 0; m < sql.size() && figure.sqlite; ++m) {
                if (figure.prepareSql)
                    figure.prepareSql(sql[m], run);
                const int rows = sql[m].Count();
                TimeInto(modes[m], [&] { figure.sqlite(sql[m], run); });
                if (sql[m].Count() != rows + figure.rowsAdded)
                    Die(figure.op + ": SQLite's table does not hold what it should");
            }
        }
        Report(figure, store, figure.reference ? std::vector<Series>{reference} : modes, sql);
    }

private:
    void Report(const Figure& figure, const Series& store, const std::vector<Series>& others,
                const std::vector<Sql>& sql) {
        // The fastest of the durable SQLite modes, or the reference.
        std::size_t best = 0;
        std::string against = figure.against;
        if (against.empty()) {
            for (std::size_t m = 0; m < sql.size(); ++m) {
                if (Modes[m].durable && others[m].Min() < others[best].Min())
                    best = m;
            }
            against = Modes[best].name;
        }
        const Series& other = others[best];
        std::vector<double> ratios;
        for (std::size_t run = 0; run < store.ms.size(); ++run)
            ratios.push_back(store.ms[run] / other.ms[run]);
        std::sort(ratios.begin(), ratios.end());
        const std::string head =
            "op=" + figure.op + " part=" + figure.part + " records=" + std::to_string(records_);
        if (figure.comparable)
            std::printf("%s ombrelay_ms=%.3f ombrelay_spread=%.0f%% ratio=%.2f ratio_lo=%.2f "
                        "ratio_hi=%.2f against=%s sqlite_ms=%.3f syncs=%ld sqlite_syncs=%ld\n",
                        head.c_str(), store.Min(), store.Spread(), store.Min() / other.Min(),
                        ratios.front(), ratios.back(), against.c_str(), other.Min(), store.syncs,
                        other.syncs);
        else
            std::printf("%s ombrelay_ms=%.3f ombrelay_spread=%.0f%% ratio=na against=%s "
                        "sqlite_ms=%.3f syncs=%ld sqlite_syncs=%ld comparable=no\n",
                        head.c_str(), store.Min(), store.Spread(), against.c_str(), other.Min(),
                        store.syncs, other.syncs);
        for (std::size_t m = 0; m < sql.size() && figure.against.empty(); ++m)
            std::printf("%s sqlite_mode=%s durable=%s sqlite_ms=%.3f sqlite_spread=%.0f%% "
                        "sqlite_syncs=%ld\n",
                        head.c_str(), Modes[m].name, Modes[m].durable ? "yes" : "no",
                        others[m].Min(), others[m].Spread(), others[m].syncs);
        std::fflush(stdout);
    }

    int records_, runs_;
};

// Copies each file and syncs it: what Backup is measured against.
void CopyAndSync(const std::vector<std::string>& files, const fs::path& folder) {
    fs::create_directories(folder);
    for (const std::string& file : files) {
        if (!fs::exists(file))
            continue;
        const fs::path copy = folder / file;
        fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
        const int fd = ::open(copy.c_str(), O_RDWR);
        if (fd < 0 || ::fsync(fd) != 0)
            Die("cannot sync " + copy.string());
        ::close(fd);
    }
}

void Measure(int count, int runs) {
    const std::vector<Row> rows = MakeRows(count);
    FillStore(rows);
    StoreUser(
        {"Ann", "Lee", "ann@x.org", "1234ABCD", "5678ABCD", "smtp.x.org", "mail", "ann", "pw"});
    std::vector<Sql> sql(std::size(Modes));
    for (std::size_t m = 0; m < sql.size(); ++m)
        sql[m].Open(Modes[m], std::string("apps-") + Modes[m].name + ".sqlite", rows);

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
    const auto named = [](const char* what, int run) {
        return std::string(what) + " application " + std::to_string(run);
    };
    const auto newRow = [](const std::string& name) {
        return Row{name, "NEW-1", "sales@new.example.com", "No"};
    };
    // The store's write alone, as the operations make it through the records layer.
    const auto storeWrite = [](const Row& row, bool remove) {
        ApplicationTableScope scope;
        const int record = XDBSEEK(applicationTable, applicationIndex, ToUpper(row.name)) == 1
                               ? XDBRECORDNUMBER(applicationTable)
                               : 0;
        if (remove)
            DeleteApplicationRecord(record);
        else
            WriteApplicationRecord({row.name, row.code, row.email, row.request}, record);
        XDBREINDEX(applicationTable, applicationIndex, 0);
        if (XDBERROR() != 0)
            Die("the store's write failed with error " + std::to_string(XDBERROR()));
    };
    const std::string middle = rows[rows.size() / 2].name;
    const auto send = [](Sql& sql, sqlite3_stmt* query, const char* heading) {
        std::size_t sent = 0;
        while (sql.Step(query, 0)) {
            const std::string name = Sql::Column(query, 0), code = Sql::Column(query, 1);
            sent += Link(Sql::Column(query, 2),
                         ReplaceAll(ReplaceAll(Message, "applicationname", name), "regcode", code))
                        .size();
            LogEntry(heading,
                     "Email to " + Sql::Column(query, 2) + "   Application Name = " + name);
        }
        sqlite3_reset(query);
        if (sent == 0)
            Die("SQLite sent nothing");
    };
    const auto neighbour = [](Sql& sql, sqlite3_stmt* query, const std::string& key) {
        Sql::Bind(query, 1, ToUpper(key));
        if (!sql.Step(query, SQLITE_ROW) || Sql::Column(query, 0).empty())
            Die("SQLite found no neighbour");
        sqlite3_reset(query);
    };
    const auto userBoxes = [&](int run) {
        const std::pair<int, std::string> boxes[] = {
            {FirstNameBox, "Ann"},       {LastNameBox, "Lee " + std::to_string(run)},
            {UserEmailBox, "ann@x.org"}, {PinBox, "1234ABCD"},
            {NewPinBox, "5678ABCD"},     {ServerBox, "smtp.x.org"},
            {MailPasswordBox, "mail"},   {LoginNameBox, "ann"},
            {LoginPasswordBox, "pw"},    {LoginPasswordConfirmBox, "pw"}};
        for (const auto& [box, text] : boxes)
            ui.SetControlText(user, box, text);
        ui.answers = {ui::IdYes};
    };
    const auto sqlUser = [](Sql& sql, int run) {
        sql.Exec("BEGIN");
        const std::string values[] = {"Ann",       "Lee " + std::to_string(run),
                                      "ann@x.org", "1234ABCD",
                                      "5678ABCD",  "smtp.x.org",
                                      "mail",      "ann",
                                      "pw"};
        for (int i = 0; i < 9; ++i)
            Sql::Bind(sql.user, i + 1, values[i]);
        sql.Step(sql.user);
        sqlite3_reset(sql.user);
        sql.Exec("COMMIT");
        LogEntry("User Record Edited ", values[1]);
    };
    const auto list = [&](int) { ShowApplicationList(); };
    const auto sqlList = [](Sql& sql, int) {
        if (sql.List() == 0)
            Die("SQLite listed nothing");
    };

    Bench bench(count, runs);
    const std::vector<Figure> figures = {
        {"save_add",
         "action",
         1,
         [&](int run) { form(named("Added", run), "NEW-1"); },
         [](int) { SaveApplication(); },
         {},
         [&](Sql& s, int run) {
             s.Save(newRow(named("Added", run)));
             LogEntry("Application Record Added ", named("Added", run));
             sqlList(s, run);
         }},
        {"save_add",
         "write",
         1,
         {},
         [&](int run) { storeWrite(newRow(named("Written", run)), false); },
         {},
         [&](Sql& s, int run) { s.Save(newRow(named("Written", run))); }},
        {"save_add", "refresh", 0, {}, list, {}, sqlList},
        {"save_overwrite",
         "action",
         0,
         [&](int run) { form(rows[static_cast<std::size_t>(run)].name, "CHANGED"); },
         [](int) { SaveApplication(); },
         {},
         [&](Sql& s, int run) {
             const Row& row = rows[static_cast<std::size_t>(run)];
             s.Save({row.name, "CHANGED", "sales@new.example.com", "No"});
             LogEntry("Application Record Edited ", row.name);
             sqlList(s, run);
         }},
        {"save_overwrite",
         "write",
         0,
         {},
         [&](int run) { storeWrite(newRow(named("Written", run)), false); },
         {},
         [&](Sql& s, int run) { s.Save(newRow(named("Written", run))); }},
        {"delete",
         "action",
         -1,
         [&](int run) { form(named("Added", run), ""); },
         [](int) { DeleteApplication(); },
         {},
         [&](Sql& s, int run) {
             s.DeleteNamed(named("Added", run));
             LogEntry("Application Deleted by User ", named("Added", run));
             sqlList(s, run);
         }},
        {"delete",
         "write",
         -1,
         {},
         [&](int run) { storeWrite(newRow(named("Written", run)), true); },
         {},
         [&](Sql& s, int run) { s.DeleteNamed(named("Written", run)); }},
        {"save_user", "action", 0, userBoxes, [](int) { SaveUserInformation(); }, {}, sqlUser},
        {"save_user",
         "write",
         0,
         {},
         [](int run) {
             UserTableScope scope;
             WriteUserRecord({"Ann", "Lee " + std::to_string(run), "ann@x.org", "1234ABCD",
                              "5678ABCD", "smtp.x.org", "mail", "ann", "pw"},
                             1);
         },
         {},
         sqlUser},
        {"next",
         "action",
         0,
         [&](int) { ui.SetControlText(apps, ApplicationNameBox, middle); },
         [](int) { NextApplication(); },
         {},
         [&](Sql& s, int) { neighbour(s, s.after, middle); }},
        {"previous",
         "action",
         0,
         [&](int) { ui.SetControlText(apps, ApplicationNameBox, middle); },
         [](int) { PreviousApplication(); },
         {},
         [&](Sql& s, int) { neighbour(s, s.before, middle); }},
        {"list", "action", 0, {}, list, {}, sqlList},
        {"send_all",
         "action",
         0,
         {},
         [](int) { EmailAllVendorsSend(); },
         {},
         [&](Sql& s, int) { send(s, s.byRecord, "Email Sent "); }},
        {"send_selected",
         "action",
         0,
         {},
         [](int) { EmailSelectVendorsSend(); },
         {},
         [&](Sql& s, int) { send(s, s.selected, "Email Sent "); }},
        {"send_test",
         "action",
         0,
         {},
         [](int) { EmailVendorsTestSend(); },
         {},
         [&](Sql& s, int) { send(s, s.byRecord, "Test Email "); }},
        {"export",
         "action",
         0,
         {},
         [](int) { Export(); },
         {},
         [&](Sql& s, int) {
             std::string text;
             while (s.Step(s.byName, 0))
                 text += Sql::Column(s.byName, 0) + "," + Sql::Column(s.byName, 1) + "," +
                         Sql::Column(s.byName, 2) + "\r\n\r\n";
             sqlite3_reset(s.byName);
             std::error_code error;
             if (!WriteFileAtomically("sqlite export.txt",
                                      text + "\r\n\r\n\r\n" + ExportWarningLine, error))
                 Die("cannot write the export");
         }},
        {"backup",
         "action",
         0,
         {},
         [](int) { Backup(); },
         {},
         {},
         "cp_sync",
         [](int) {
             CopyAndSync({ApplicationTableFile, ApplicationIndexFile, UserTableFile}, "BNG-cp");
         }},
        {"reindex",
         "action",
         0,
         {},
         [](int) { Reindex(); },
         {},
         [](Sql& s, int) {
             s.Exec("BEGIN");
             s.Exec("REINDEX apps_name");
             s.Exec("COMMIT");
         },
         "",
         {},
         false},
    };
    for (const Figure& figure : figures)
        bench.Run(figure, sql, ui);

    // Imports of 10,000 rows, into an empty table and into one of 10,000 (the rows above,
    // when this size is 10,000): the store's table and SQLite's made afresh before every run.
    if (count == 10000) {
        const std::vector<Row> imported = MakeRows(10000, "Imported");
        const std::string file = ImportFileOf(imported);
        for (const bool empty : {true, false}) {
            const std::vector<Row> base = empty ? std::vector<Row>() : rows;
            Bench importBench(static_cast<int>(base.size()), runs);
            importBench.Run(
                {"import", "write", 10000,
                 [&](int) {
                     FillStore(base);
                     ApplicationTableScope opened; // the index made, as any open before it
                 },
                 [&](int) { ImportRows(file); },
                 [&](Sql& s, int) { s.Open(*s.mode, s.file, base); },
                 [&](Sql& s, int) {
                     s.Exec("BEGIN");
                     for (const Row& row : imported) {
                         if (const sqlite3_int64 rowid = s.Find(row.name))
                             s.Update(rowid, row);
                         else
                             s.Insert(row);
                     }
                     s.Exec("COMMIT");
                 }},
                sql, ui);
        }
    }
    for (Sql& s : sql)
        s.Close();
}

} // namespace

int main(int argc, char** argv) {
    // The syncs are counted by a library preloaded into this program: started again with it.
    if (Syncs() < 0) {
        ::setenv("LD_PRELOAD", OMBRELAY_SYNC_COUNTER, 1);
        ::execv("/proc/self/exe", argv);
        Die("cannot start again with the sync counter");
    }
    std::vector<int> sizes = {100, 10000, 100000};
    int runs = 7;
    fs::path folder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sizes" && i + 1 < argc) {
            sizes.clear();
            for (const char* at = argv[++i]; *at != '\0'; at += *at == ',' ? 1 : 0) {
                char* end = nullptr;
                sizes.push_back(static_cast<int>(std::strtol(at, &end, 10)));
                if (end == at)
                    Die("--sizes takes numbers separated by commas");
                at = end;
            }
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(7, std::atoi(argv[++i]));
        } else {
            folder = arg;
        }
    }
    const bool given = !folder.empty();
    if (!given)
        folder = fs::temp_directory_path() /
                 ("ombrelay-bench-" + std::to_string(std::random_device()()));
    for (const int count : sizes) {
        const fs::path here = folder / std::to_string(count);
        fs::remove_all(here);
        fs::create_directories(here);
        fs::current_path(here);
        Measure(count, runs);
    }
    fs::current_path(fs::temp_directory_path());
    if (!given)
        fs::remove_all(folder);
    return 0;
}
