// Table files kept in memory. A file is read whole once and then kept for the rest of the
// process; each later open checks in constant time (the file's identity, length and times, and
// its header) that nobody has written it since, and reads it again when somebody has.

#include "common/files.h"
#include "store/folder_lock.h"
#include "store/journal.h"
#include "store/xdb_internal.h"

#include <cstdlib>

namespace xdb {

namespace {

std::map<std::string, std::shared_ptr<TableFile>> cache; // by absolute path

// GIS programs, and other readers that look for it, learn a table's character set from a
// ".cpg" file beside it ("UTF-8", or a code page's number): no language driver names UTF-8.
// It is made to say the table's code page whenever the table is read. A file that cannot be
// written there leaves the table as readable to this library as before.
void DeclareCodePage(const fs::path& tablePath, unsigned codePage) {
    const std::string declaration = codePage == Utf8CodePage ? "UTF-8" : std::to_string(codePage);
    const fs::path folder = tablePath.has_parent_path() ? tablePath.parent_path() : fs::path(".");
    const fs::path path = ResolveFileName(PathToUtf8(tablePath.stem()) + ".cpg", folder);
    std::string present;
    std::error_code ignored;
    if (ReadWholeFile(path, present, ignored, 64) && present == declaration)
        return;
    WriteFileAtomically(path, declaration, ignored);
}

const TableDefinition* DefinitionOf(std::string_view tableFile) {
    for (const auto& definition : KnownTables()) {
        if (SameName(definition.tableFile, tableFile))
            return &definition;
    }
    return nullptr;
}

} // namespace

// Splits a file name as the program passes it into its folder and its name there.
void SplitName(const std::string& fileName, fs::path& folder, std::string& name) {
    const fs::path given = PathFromUtf8(fileName);
    folder = given.parent_path();
    if (folder.empty())
        folder = ".";
    name = PathToUtf8(given.filename());
}

fs::path Absolute(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

XdbError OpenTable(const std::string& fileName, Table& table) {
    std::string name;
    fs::path folder;
    SplitName(fileName, folder, name);
    table.folder = Absolute(folder);
    const LockResult lock = TakeFolderLock(table.folder);
    if (lock == LockResult::Busy)
        return XdbLocked;
    // Without the lock (no lock file can be had here) the table can still be read; writes are
    // refused.
    table.lockHeld = lock == LockResult::Held;
    XdbError result = table.lockHeld ? FinishJournal(table.folder) : XdbOk;
    table.definition = DefinitionOf(name);
    if (result == XdbOk)
        result = LoadOrCreate(table, ResolveFileName(name, folder));
    if (result != XdbOk) {
        if (table.lockHeld)
            ReleaseFolderLock(table.folder);
        return result;
    }
    table.generation = table.file->generation;
    ClearBuffer(table);
    return XdbOk;
}

// Whether a file is there. Anything in its place that is not a file we can look at (a
// folder, a dangling link, a path whose state cannot be learnt) is never created over.
Presence PresenceOf(const fs::path& path) {
    std::error_code error;
    const auto link = fs::symlink_status(path, error);
    if (link.type() == fs::file_type::not_found)
        return Presence::Missing;
    if (error)
        return Presence::Unknown;
    const auto target = fs::status(path, error);
    return !error && target.type() == fs::file_type::regular ? Presence::Present
                                                             : Presence::Unknown;
}

// A process stopped in the middle of replacing a file leaves its temporary file beside it
// (see WriteFileAtomically). Whoever holds the folder's lock may clear such leftovers: no
// other writer can be at work there.
void RemoveLeftoverTemporaries(const fs::path& file) {
    const std::string prefix = "." + PathToUtf8(file.filename()) + ".tmp-";
    std::error_code error;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (PathToUtf8(it->path().filename()).starts_with(prefix)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

XdbError ReadTableFile(TableFile& file) {
    FileHandle handle;
    FileState state;
    if (!handle.Open(file.path, false) || !handle.State(state))
        return XdbCannotRead;
    if (state.length > MaxTableFileSize)
        return XdbTooLarge;
    std::string bytes;
    if (!handle.ReadAt(0, static_cast<std::size_t>(state.length), bytes))
        return XdbCannotRead;
    DbfTable data;
    if (ParseDbf(bytes, data) != XdbOk)
        return XdbDamaged;
    file.data = std::move(data);
    file.state = state;
    file.live.clear();
    for (std::size_t slot = 0; slot < file.data.records.size(); ++slot) {
        if (!file.data.records[slot].deleted)
            file.live.push_back(static_cast<std::uint32_t>(slot));
    }
    file.pending.clear();
    file.batchHandle = 0; // a batch made on the old reading is lost: its commit fails
    file.batchBefore.clear();
    ++file.generation;
    file.stale = false;
    if (file.indexed) {
        if (file.keyField >= file.data.fields.size())
            return XdbDamaged;
        RebuildIndex(file);
    }
    return XdbOk;
}

// Whether the file is still the one in memory: same file, length, times and header.
bool Unchanged(const TableFile& file) {
    FileState now;
    if (file.stale || !StateOf(file.path, now) || !(now == file.state))
        return false;
    FileHandle handle;
    std::string header;
    return handle.Open(file.path, false) && handle.ReadAt(0, DbfHeaderSize, header) &&
           header == file.data.header;
}

// Before a write: when somebody else wrote the file, it is read again. Deletes not yet written
// were made on the old reading and are not carried over: they fail.
XdbError CatchUp(TableFile& file) {
    if (Unchanged(file))
        return XdbOk;
    const bool deletesLost = !file.pending.empty();
    const XdbError error = ReadTableFile(file);
    if (error != XdbOk)
        file.stale = true;
    return error != XdbOk ? error : deletesLost ? XdbWriteFailed : XdbOk;
}

// Finds or makes the table file in memory: kept from an earlier open when the file has not
// changed since, else read (or created, when missing and the program defines it).
XdbError LoadOrCreate(Table& table, fs::path path) {
    switch (PresenceOf(path)) {
    case Presence::Unknown:
        return XdbCannotRead;
    case Presence::Present:
        break;
    case Presence::Missing: {
        if (table.definition == nullptr)
            return XdbCannotRead;
        if (!table.lockHeld)
            return XdbNotLocked;
        // A missing table the program defines starts empty, under its own spelling of the
        // name, readable by its owner alone (the user table holds passwords).
        path = path.parent_path() / PathFromUtf8(table.definition->tableFile);
        const std::string bytes = SerializeDbf(EmptyTable(*table.definition), CurrentLocalTime());
        std::error_code error;
        if (!WriteFileAtomically(path, bytes, error,
                                 {.newFileMode = fs::perms::owner_read | fs::perms::owner_write}))
            return XdbCannotCreate;
        break;
    }
    }
    const std::string key = PathToUtf8(Absolute(path));
    auto& file = cache[key];
    if (file && Unchanged(*file)) {
        table.file = file;
        return XdbOk;
    }
    // Index files follow this process's writes when it ends (see XDBREINDEX).
    static const bool registered = (std::atexit([] { WriteIndexesBehind(nullptr); }), true);
    (void)registered;
    if (!file) {
        file = std::make_shared<TableFile>();
        file->path = path;
    }
    if (table.lockHeld)
        RemoveLeftoverTemporaries(path);
    const XdbError error = ReadTableFile(*file);
    if (error != XdbOk) {
        cache.erase(key);
        return error;
    }
    if (table.lockHeld)
        DeclareCodePage(path, file->data.codePage);
    table.file = file;
    return XdbOk;
}

void WriteIndexesBehind(const fs::path* folder) {
    for (auto& [key, file] : cache) {
        const fs::path at = file->path.has_parent_path() ? file->path.parent_path() : ".";
        if (file->indexed && file->indexDirty && !file->stale && IndexFileCurrent(*file) &&
            (folder == nullptr || Absolute(at) == Absolute(*folder)))
            WriteIndexFile(*file);
    }
}

void MarkEveryTableStale() {
    for (auto& entry : cache)
        entry.second->stale = true;
}

} // namespace xdb
