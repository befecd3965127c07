#include "operations/process_memory.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace lcr {

void keepFreedMemoryForReuse() {
    // Large blocks come from the heap instead of their own mappings, and the
    // heap is not trimmed back to the system below 1 GiB.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

void preferHugePages(const void* start, std::size_t bytes) {
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(start) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(kHuge - 1);
    if (end > begin) {
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
}

}  // namespace lcr
