#include "common/files.h"

#include "common/text.h"

#include <atomic>
#include <cerrno>
#include <fstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
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

bool StepAllowed(WriteStep step) {
    return !WriteStepHook() || WriteStepHook()(step);
}

#ifdef _WIN32
int OpenForWriting(const fs::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
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
void SyncFolder(const fs::path&) {}
int ProcessId() {
    return _getpid();
}
#else
int OpenForWriting(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
// Makes the rename itself durable.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
int ProcessId() {
    return static_cast<int>(::getpid());
}
#endif

std::error_code LastError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

} // namespace

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

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::error_code& error) {
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::make_error_code(fs::exists(path) ? std::errc::permission_denied
                                                      : std::errc::no_such_file_or_directory);
        return false;
    }
    // One read of the size the file has; the loop takes whatever more a growing file has.
    std::error_code sizeError;
    const auto size = fs::file_size(path, sizeError);
    if (!sizeError)
        bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (!in.bad() && !in.eof()) {
        char chunk[65536];
        while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
            bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        bytes.clear();
        error = std::make_error_code(std::errc::io_error);
        return false;
    }
    error.clear();
    return true;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::error_code& error) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = path.parent_path();
    fs::path name(".");
    name += path.filename().native(); // as it is: no conversion that a name could fail
    name += ".tmp-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++);
    const fs::path temporary = folder / name;
    errno = 0;
    const int fd = OpenForWriting(temporary);
    if (fd < 0) {
        error = LastError();
        return false;
    }
    const auto fail = [&](std::error_code cause) {
        CloseFile(fd);
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = cause;
        return false;
    };
    if (!StepAllowed(WriteStep::TemporaryCreated))
        return fail(std::make_error_code(std::errc::io_error));
    if (!WriteAll(fd, bytes) || !StepAllowed(WriteStep::DataWritten))
        return fail(LastError());
    if (!SyncFile(fd) || !StepAllowed(WriteStep::DataSynced))
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
    SyncFolder(folder);
    StepAllowed(WriteStep::Renamed); // the new content is in place; the hook only observes
    error.clear();
    return true;
}

#ifndef _WIN32 // Windows: files_win32.cpp
bool MoveIntoPlace(const fs::path& from, const fs::path& to, std::error_code& error) {
    fs::rename(from, to, error);
    return !error;
}

unsigned long long FileIdentity(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    return static_cast<unsigned long long>(info.st_ino) ^
           (static_cast<unsigned long long>(info.st_dev) << 32);
}
#endif

void SetWriteStepHookForTesting(std::function<bool(WriteStep)> hook) {
    WriteStepHook() = std::move(hook);
}
