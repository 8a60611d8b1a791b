// Large results written into fresh memory.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace quobrel {

// Fresh memory costs a page fault for each 4 KB page as it is first written, which on some
// machines makes writing a large result several times slower than working it out. Where
// the kernel gives transparent huge pages only when asked, a large buffer about to be
// written asks for them, a fault every 2 MB; elsewhere the advice changes nothing. Only
// buffers the allocator maps afresh, and unmaps when they are freed, are advised, so that
// the advice ends with them and never lies on the heap that smaller blocks share.
inline constexpr std::size_t kHugePagesFrom = std::size_t{32} << 20;  // glibc maps these

inline void PreferHugePages(void* data, std::size_t bytes) {
  if (bytes < kHugePagesFrom) return;
  constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t end = (start + bytes) & ~(kHugePage - 1);
  if (end > first) madvise(static_cast<char*>(data) + (first - start), end - first, MADV_HUGEPAGE);
}

}  // namespace quobrel
