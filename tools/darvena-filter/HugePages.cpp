// Large blocks on huge pages. The filter holds whole documents of up to hundreds
// of megabytes in a few big buffers that are written once from end to end; on
// 4 KB pages most of that time goes to page faults. Each block of 4 MB or more is
// therefore advised onto transparent huge pages before its first touch (where the
// kernel allows it only on request), which cuts the faults by a factor of 512.
// Every allocation of the program goes through here; delete stays the library's.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kHugePage = 2u << 20;
constexpr std::size_t kHugeBlock = 4u << 20;

void AdviseHugePages(void* block, std::size_t size) {
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (start + size) & ~(kHugePage - 1);
  // Only a hint: where the kernel refuses, the block stays on ordinary pages.
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  if (size >= kHugeBlock) AdviseHugePages(block, size);
  return block;
}

void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
