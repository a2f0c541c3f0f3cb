// Counts every fsync, fdatasync and msync of the process it is preloaded into (LD_PRELOAD), so
// that the store and SQLite are counted by the same outside tool: SQLite's syncs never pass
// through the store's hooks. The benchmark reads the count through ombrelay_counted_syncs().

#include <dlfcn.h>
#include <sys/mman.h>

#include <cstddef>

namespace {

long counted = 0;

template <typename Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

long ombrelay_counted_syncs() {
    return counted;
}

int fsync(int fd) {
    static const auto real = Real<int (*)(int)>("fsync");
    ++counted;
    return real(fd);
}

int fdatasync(int fd) {
    static const auto real = Real<int (*)(int)>("fdatasync");
    ++counted;
    return real(fd);
}

int msync(void* address, std::size_t length, int flags) {
    static const auto real = Real<int (*)(void*, std::size_t, int)>("msync");
    ++counted;
    return real(address, length, flags);
}
}
