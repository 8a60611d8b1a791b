#include "stream/allocator_tuning.h"

#include <malloc.h>

namespace quobrel {

void TuneAllocatorForStreams() {
  // Each further arena reserves 64 MB of address space, which an address-space limit
  // counts; the threads allocate a few large buffers per piece, which one heap serves well.
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
}

}  // namespace quobrel
