// How the program's memory is allocated, set once at start-up.
#pragma once

namespace quobrel {

// The streams allocate and free buffers of a megabyte or more many times a second, on
// several threads: they are kept in one heap, neither mapped and unmapped each time nor
// handed back to the system between pieces, so that they cost no page faults.
void TuneAllocatorForStreams();

}  // namespace quobrel
