#include "store/file_io.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
std::function<void(const fs::path&)>& SyncHook() {
    static std::function<void(const fs::path&)> hook;
    return hook;
}
bool Synced(bool synced, const fs::path& path) {
    if (synced && SyncHook())
        SyncHook()(path);
    return synced;
}
} // namespace

void SetSyncHookForTesting(std::function<void(const fs::path&)> hook) {
    SyncHook() = std::move(hook);
}

#ifdef _WIN32
namespace {
std::int64_t Nanoseconds(LARGE_INTEGER time) {
    return time.QuadPart * 100; // FILETIME counts tenths of microseconds
}

// From the handle itself, not _stat64: that gives no file number and times to the second, too
// coarse to tell two writes apart.
bool Fill(HANDLE handle, FileState& state) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (handle == INVALID_HANDLE_VALUE || GetFileInformationByHandle(handle, &info) == 0 ||
        GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times) == 0 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0 ||
        GetFileType(handle) != FILE_TYPE_DISK)
        return false;
    state.identity = {info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    state.length = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    state.modified = Nanoseconds(times.LastWriteTime);
    state.changed = Nanoseconds(times.ChangeTime);
    return true;
}
} // namespace

std::int64_t FileClockNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = static_cast<LONG>(now.dwHighDateTime);
    return Nanoseconds(time);
}

bool StateOf(const fs::path& path, FileState& state) {
    // Opened for reading: a file another program holds without sharing it cannot be read, so
    // it is not found the same as before (holding it open changes nothing else about it).
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool known = Fill(handle, state);
    CloseHandle(handle);
    return known;
}

bool FileHandle::Open(const fs::path& path, bool writable, bool create) {
    Close();
    const int flags = (writable ? _O_RDWR : _O_RDONLY) | (create ? _O_CREAT : 0) | _O_BINARY;
    fd_ = _wopen(path.c_str(), flags, _S_IREAD | _S_IWRITE);
    path_ = path;
    struct _stat64 info {};
    if (fd_ >= 0 && (_fstat64(fd_, &info) != 0 || (info.st_mode & _S_IFREG) == 0))
        Close();
    return fd_ >= 0;
}

bool FileHandle::ReadAt(std::uint64_t offset, std::size_t count, std::string& bytes) {
    bytes.assign(count, '\0');
    if (_lseeki64(fd_, static_cast<long long>(offset), SEEK_SET) < 0)
        return false;
    std::size_t got = 0;
    while (got < count) {
        const int n = _read(fd_, bytes.data() + got, static_cast<unsigned>(count - got));
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return true;
}

bool FileHandle::WriteAt(std::uint64_t offset, std::string_view bytes) {
    if (_lseeki64(fd_, static_cast<long long>(offset), SEEK_SET) < 0)
        return false;
    while (!bytes.empty()) {
        const int n = _write(fd_, bytes.data(), static_cast<unsigned>(bytes.size()));
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FileHandle::Resize(std::uint64_t length) {
    return _chsize_s(fd_, static_cast<long long>(length)) == 0;
}

bool FileHandle::Sync() {
    return Synced(_commit(fd_) == 0, path_);
}

bool FileHandle::State(FileState& state) {
    return Fill(reinterpret_cast<HANDLE>(_get_osfhandle(fd_)), state);
}

void FileHandle::Close() {
    if (fd_ >= 0)
        _close(fd_);
    fd_ = -1;
}
#else
namespace {
bool Fill(const struct stat& info, FileState& state) {
    if (!S_ISREG(info.st_mode))
        return false;
    state.identity = {static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
    state.length = static_cast<std::uint64_t>(info.st_size);
    state.modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    state.changed =
        static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000LL + info.st_ctim.tv_nsec;
    return true;
}
} // namespace

std::int64_t FileClockNow() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

bool StateOf(const fs::path& path, FileState& state) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && Fill(info, state);
}

bool FileHandle::Open(const fs::path& path, bool writable, bool create) {
    Close();
    const int flags =
        (writable ? O_RDWR : O_RDONLY) | (create ? O_CREAT : 0) | O_NONBLOCK | O_CLOEXEC;
    do
        fd_ = ::open(path.c_str(), flags, 0666);
    while (fd_ < 0 && errno == EINTR);
    path_ = path;
    struct stat info {};
    if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
        Close();
        errno = EINVAL;
    }
    return fd_ >= 0;
}

bool FileHandle::ReadAt(std::uint64_t offset, std::size_t count, std::string& bytes) {
    bytes.assign(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        const auto n =
            ::pread(fd_, bytes.data() + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return true;
}

bool FileHandle::WriteAt(std::uint64_t offset, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool FileHandle::Resize(std::uint64_t length) {
    return ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

// The data and what is needed to read it back (the length), not the times.
bool FileHandle::Sync() {
#ifdef __linux__
    return Synced(::fdatasync(fd_) == 0, path_);
#else
    return Synced(::fsync(fd_) == 0, path_);
#endif
}

bool FileHandle::State(FileState& state) {
    struct stat info {};
    return ::fstat(fd_, &info) == 0 && Fill(info, state);
}

void FileHandle::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
#endif
