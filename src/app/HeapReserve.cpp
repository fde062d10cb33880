#include "app/HeapReserve.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14
#endif

namespace kestrom {
namespace {

constexpr std::size_t kWorthFrom = 256 * 1024;
constexpr std::size_t kMostReserved = 64 * 1024 * 1024;

} // namespace

void ReserveHeapForInput(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    const auto fileBytes = static_cast<std::size_t>(info.st_size);
    if (fileBytes < kWorthFrom) return;
    const std::size_t bytes = std::min(fileBytes, kMostReserved);
    // The block must come from the heap and stay with it once freed.
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMostReserved));
    ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kMostReserved));
    void* block = std::malloc(bytes);
    if (!block) return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
    std::free(block);
}

} // namespace kestrom
