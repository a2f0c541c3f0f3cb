// Windows' side of the file helpers.

#include "common/files.h"

#include <chrono>
#include <thread>

#include <windows.h>

namespace fs = std::filesystem;

namespace {

// Refusals that last only while another program has the file open.
bool Transient(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_ACCESS_DENIED;
}

} // namespace

// MoveFileExW replaces the file in one step on NTFS, and with MOVEFILE_WRITE_THROUGH it
// returns only once the move is on disk (as the folder sync does elsewhere). ReplaceFileW is
// not used: it keeps the old file's attributes, which is not wanted, and a failure half-way
// can leave the old file under another name.
bool MoveIntoPlace(const fs::path& from, const fs::path& to, std::error_code& error) {
    constexpr int attempts = 20;
    constexpr std::chrono::milliseconds pause{100};
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            error.clear();
            return true;
        }
        const DWORD code = GetLastError();
        if (!Transient(code) || attempt == attempts) {
            error = std::error_code(static_cast<int>(code), std::system_category());
            return false;
        }
        std::this_thread::sleep_for(pause);
    }
}

unsigned long long FileId(const fs::path& path) {
    // Opened for no access at all, so that no other program's sharing mode stands in the way.
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known)
        return 0;
    const unsigned long long index =
        (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return index ^ (static_cast<unsigned long long>(info.dwVolumeSerialNumber) << 32);
}
