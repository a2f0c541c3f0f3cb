#pragma once
// Another running copy of the program, as far as the folder lock sees one: a second handle
// on the lock file holding the lock (flock and LockFileEx both tell handles apart, not only
// processes).

#include <filesystem>

class LockHolder {
public:
    explicit LockHolder(const std::filesystem::path& lockFile);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool held() const { return held_; }

private:
    long long handle_ = -1;
    bool held_ = false;
};
