// Counts what the process holds on the heap through operator new and
// delete (the replacement operators live in alloc_counter.cpp, linked
// only into the benchmark program). Sizes are the allocator's usable
// sizes, so the figure is what the blocks really cost, not what was
// asked for.
#pragma once

#include <cstdint>

namespace bench {

// Bytes held right now by blocks from operator new.
int64_t LiveHeapBytes();
// Blocks handed out by operator new since the program started.
int64_t HeapAllocations();
// The most bytes held at once since the last reset (or the start).
int64_t PeakHeapBytes();
// Starts the peak again from what is held now.
void ResetPeakHeapBytes();

}  // namespace bench
