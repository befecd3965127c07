// Keeping freed memory for reuse.
//
// The program works on texts of many megabytes and copies them often (the
// source of each extraction, the output of each replacement). glibc hands
// blocks that large back to the system when they are freed, so the next one
// is fresh memory that the system must map page by page; on a virtual
// machine that costs about 5 ms per megabyte, far more than the work itself.
// Kept in the process, a freed block is reused at the speed of memory.
#pragma once

#include <cstddef>

namespace lcr {

// Call once at program start, before large texts are allocated.
void keepFreedMemoryForReuse();

// Asks the system to back the block at `start` of `bytes` with huge pages
// where it can: a text of a hundred megabytes then costs some fifty page
// faults instead of tens of thousands. Nothing happens for small blocks or
// where the system does not offer it.
void preferHugePages(const void* start, std::size_t bytes);

}  // namespace lcr
