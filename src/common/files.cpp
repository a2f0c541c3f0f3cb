#include "common/files.h"

#include "common/text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::function<bool(WriteStep)>& WriteStepHook() {
    static std::function<bool(WriteStep)> hook;
    return hook;
}

#ifdef _WIN32
int OpenForWriting(const fs::path& path, fs::perms mode) {
    const int bits = (mode & fs::perms::owner_write) != fs::perms::none ? 0666 : 0444;
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, bits);
}
int OpenForReading(const fs::path& path) {
    return _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
int OpenForAppending(const fs::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY, 0666);
}
bool IsRegular(int fd, std::uintmax_t* size = nullptr) {
    struct _stat64 info {};
    if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFREG) == 0)
        return false;
    if (size != nullptr)
        *size = static_cast<std::uintmax_t>(info.st_size);
    return true;
}
long long ReadSome(int fd, char* into, std::size_t count) {
    return _read(fd, into, static_cast<unsigned>(std::min<std::size_t>(count, 1 << 30)));
}
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 30));
        const int written = _write(fd, bytes.data(), chunk);
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}
bool SyncFile(int fd) {
    return _commit(fd) == 0;
}
int CloseFile(int fd) {
    return _close(fd);
}
void CopyModeTo(int, const fs::path&) {}
void SetMode(int, fs::perms) {}
int ProcessId() {
    return _getpid();
}
#else
int OpenForWriting(const fs::path& path, fs::perms mode) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                  static_cast<mode_t>(mode & fs::perms::mask));
}
// Never waits: a FIFO without a writer would otherwise block the open.
int OpenForReading(const fs::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
int OpenForAppending(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0666);
}
bool IsRegular(int fd, std::uintmax_t* size = nullptr) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (size != nullptr)
        *size = static_cast<std::uintmax_t>(info.st_size);
    return true;
}
long long ReadSome(int fd, char* into, std::size_t count) {
    for (;;) {
        const auto got = ::read(fd, into, count);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}
bool SyncFile(int fd) {
    return ::fsync(fd) == 0;
}
int CloseFile(int fd) {
    return ::close(fd);
}
// A replaced file keeps its permission bits (a table of passwords stays private).
void CopyModeTo(int fd, const fs::path& replaced) {
    struct stat info {};
    if (::stat(replaced.c_str(), &info) == 0)
        ::fchmod(fd, info.st_mode & 07777);
}
void SetMode(int fd, fs::perms mode) {
    ::fchmod(fd, static_cast<mode_t>(mode & fs::perms::mask));
}
int ProcessId() {
    return static_cast<int>(::getpid());
}
#endif

std::error_code LastError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// The file a write goes to: the target of a symbolic link (followed as far as it goes), so
// that a link stays a link.
fs::path WriteTarget(const fs::path& path) {
    fs::path target = path;
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(target, error); ++hops) {
        const fs::path next = fs::read_symlink(target, error);
        if (error)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// Reads from an opened file up to `limit` bytes; more than that is an error.
bool ReadOpened(int fd, std::uintmax_t limit, bool cutAtLimit, std::string& bytes,
                std::error_code& error) {
    std::uintmax_t size = 0;
    if (!IsRegular(fd, &size)) {
        error = std::make_error_code(std::errc::invalid_argument);
        return false;
    }
    if (size > limit && !cutAtLimit) { // refused before anything is read
        error = std::make_error_code(std::errc::file_too_large);
        return false;
    }
    bytes.reserve(static_cast<std::size_t>(std::min(size, limit)));
    char chunk[65536];
    for (;;) {
        const std::size_t room = static_cast<std::size_t>(std::min<std::uintmax_t>(
            sizeof chunk, limit - std::min<std::uintmax_t>(limit, bytes.size())));
        const long long got = ReadSome(fd, chunk, room == 0 ? 1 : room);
        if (got < 0) {
            error = LastError();
            return false;
        }
        if (got == 0)
            return true;
        if (room == 0) {
            if (cutAtLimit)
                return true;
            error = std::make_error_code(std::errc::file_too_large);
            return false;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

} // namespace

bool WriteStepAllowed(WriteStep step) {
    return !WriteStepHook() || WriteStepHook()(step);
}

#ifdef _WIN32
void SyncFolder(const fs::path&) {}
#else
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    WriteStepAllowed(WriteStep::FolderSynced);
}
#endif

fs::path PathFromUtf8(std::string_view name) {
    return fs::path(std::u8string(name.begin(), name.end()));
}

std::string PathToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::optional<fs::path> FindFileIgnoringCase(const fs::path& folder, std::string_view name) {
    std::error_code error;
#ifndef _WIN32 // Windows finds any spelling here, but the stored one is wanted
    const fs::path exact = folder / PathFromUtf8(name);
    if (fs::exists(exact, error))
        return exact;
#endif
    const std::string wanted = ToUpper(name);
    std::optional<fs::path> found;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string stored = PathToUtf8(it->path().filename());
        if (stored == name)
            return it->path();
        if (!found && ToUpper(stored) == wanted)
            found = it->path();
    }
    return found;
}

fs::path ResolveFileName(std::string_view name, const fs::path& folder) {
    if (auto existing = FindFileIgnoringCase(folder, name))
        return *existing;
    return folder / PathFromUtf8(name);
}

namespace {

bool ReadLimited(const fs::path& path, std::uintmax_t limit, bool cutAtLimit, std::string& bytes,
                 std::error_code& error) {
    bytes.clear();
    errno = 0;
    const int fd = OpenForReading(path);
    if (fd < 0) {
        error = LastError();
        return false;
    }
    bool read = false;
    try {
        read = ReadOpened(fd, limit, cutAtLimit, bytes, error);
    } catch (const std::bad_alloc&) {
        error = std::make_error_code(std::errc::not_enough_memory);
    }
    CloseFile(fd);
    if (!read) {
        bytes.clear();
        return false;
    }
    error.clear();
    return true;
}

} // namespace

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::error_code& error,
                   std::uintmax_t limit) {
    return ReadLimited(path, limit, false, bytes, error);
}

bool ReadFileStart(const fs::path& path, std::size_t count, std::string& bytes,
                   std::error_code& error) {
    return ReadLimited(path, count, true, bytes, error);
}

bool AppendToFile(const fs::path& path, std::string_view bytes, std::error_code& error) {
    errno = 0;
    const int fd = OpenForAppending(path);
    if (fd < 0) {
        error = LastError();
        return false;
    }
    bool written = IsRegular(fd);
    error = written ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
    if (written && !WriteAll(fd, bytes)) {
        error = LastError();
        written = false;
    }
    if (CloseFile(fd) != 0 && written) {
        error = LastError();
        written = false;
    }
    return written;
}

bool WriteFileAtomically(const fs::path& given, std::string_view bytes, std::error_code& error,
                         const ReplaceOptions& options) {
    static std::atomic<unsigned> counter{0};
    const fs::path path = WriteTarget(given);
    const fs::path folder = path.parent_path();
    fs::path name(".");
    name += path.filename().native(); // as it is: no conversion that a name could fail
    name += ".tmp-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++);
    const fs::path temporary = folder / name;
    errno = 0;
    const int fd = OpenForWriting(temporary, options.newFileMode);
    if (fd < 0) {
        error = LastError();
        return false;
    }
    if (options.exactMode)
        SetMode(fd, options.newFileMode);
    else
        CopyModeTo(fd, path);
    const auto fail = [&](std::error_code cause) {
        CloseFile(fd);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = cause;
        return false;
    };
    if (!WriteStepAllowed(WriteStep::TemporaryCreated))
        return fail(std::make_error_code(std::errc::io_error));
    if (!WriteAll(fd, bytes) || !WriteStepAllowed(WriteStep::DataWritten))
        return fail(LastError());
    if (options.durable && (!SyncFile(fd) || !WriteStepAllowed(WriteStep::DataSynced)))
        return fail(LastError());
    if (CloseFile(fd) != 0) {
        error = LastError();
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    if (!MoveIntoPlace(temporary, path, error)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    WriteStepAllowed(WriteStep::Renamed); // the new content is in place; the hook only observes
    if (options.durable)
        SyncFolder(folder);
    error.clear();
    return true;
}

#ifndef _WIN32 // Windows: files_win32.cpp
bool MoveIntoPlace(const fs::path& from, const fs::path& to, std::error_code& error) {
    fs::rename(from, to, error);
    return !error;
}

unsigned long long FileId(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    return static_cast<unsigned long long>(info.st_ino) ^
           (static_cast<unsigned long long>(info.st_dev) << 32);
}
#endif

bool CopyFileAtomically(const fs::path& source, const fs::path& target, std::error_code& error) {
    std::string bytes;
    if (!ReadWholeFile(source, bytes, error))
        return false;
    ReplaceOptions options;
    const fs::perms mode = fs::status(source, error).permissions() & fs::perms::mask;
    if (error)
        return false;
    options.newFileMode = mode;
    options.exactMode = true; // an older copy had its own bits
    return WriteFileAtomically(target, bytes, error, options);
}

void SetWriteStepHookForTesting(std::function<bool(WriteStep)> hook) {
    WriteStepHook() = std::move(hook);
}
