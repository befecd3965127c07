#include "operations/process_memory.h"

#include <malloc.h>

namespace lcr {

void keepFreedMemoryForReuse() {
    // Large blocks come from the heap instead of their own mappings, and the
    // heap is not trimmed back to the system below 1 GiB.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

}  // namespace lcr
