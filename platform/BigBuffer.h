// Room for large texts: a file read whole, a document's text. Touching fresh memory
// page by page costs more than the work done in it, so the room is reserved
// untouched and asked for in huge pages where the system offers them.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Reserves room for capacity characters in s, without touching it.
inline void ReserveLarge(std::string& s, std::size_t capacity) {
  s.reserve(capacity);
  constexpr std::size_t kHuge = 2u << 20;
  if (capacity < 2 * kHuge) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(s.data());
  const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t last = (begin + capacity) & ~(kHuge - 1);
  // Only advice: where the system has no huge pages the call fails and nothing changes.
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace platform
