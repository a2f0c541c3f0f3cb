#include "store/file_io.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {
bool Fill(const struct _stat64& info, FileState& state) {
    if ((info.st_mode & _S_IFREG) == 0)
        return false;
    state.identity = {static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
    state.length = static_cast<std::uint64_t>(info.st_size);
    state.modified = static_cast<std::int64_t>(info.st_mtime) * 1000000000LL;
    state.changed = static_cast<std::int64_t>(info.st_ctime) * 1000000000LL;
    return true;
}
} // namespace

bool StateOf(const fs::path& path, FileState& state) {
    struct _stat64 info {};
    return _wstat64(path.c_str(), &info) == 0 && Fill(info, state);
}

bool FileHandle::Open(const fs::path& path, bool writable, bool create) {
    Close();
    const int flags = (writable ? _O_RDWR : _O_RDONLY) | (create ? _O_CREAT : 0) | _O_BINARY;
    fd_ = _wopen(path.c_str(), flags, _S_IREAD | _S_IWRITE);
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
    return _commit(fd_) == 0;
}

bool FileHandle::State(FileState& state) {
    struct _stat64 info {};
    return _fstat64(fd_, &info) == 0 && Fill(info, state);
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
    return ::fdatasync(fd_) == 0;
#else
    return ::fsync(fd_) == 0;
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
