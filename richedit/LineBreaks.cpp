#include "richedit/LineBreaks.h"

#include <algorithm>

namespace richedit {

namespace {

// Calls copy(from, to) for each stretch without breaks and lineBreak() for each
// break (CR LF, lone CR or lone LF) of bytes, in order.
template <typename Copy, typename Break>
void ForEachLine(std::string_view bytes, Copy copy, Break lineBreak) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  const char* nextCr = static_cast<const char*>(std::memchr(p, '\r', end - p));
  const char* nextLf = static_cast<const char*>(std::memchr(p, '\n', end - p));
  while (p < end) {
    if (nextCr == nullptr && nextLf == nullptr) {
      copy(p, end);
      return;
    }
    const char* brk = nextCr == nullptr   ? nextLf
                      : nextLf == nullptr ? nextCr
                                          : std::min(nextCr, nextLf);
    copy(p, brk);
    lineBreak();
    p = brk + 1;
    if (*brk == '\r' && p < end && *p == '\n') ++p;
    if (nextCr != nullptr && nextCr < p)
      nextCr = static_cast<const char*>(std::memchr(p, '\r', end - p));
    if (nextLf != nullptr && nextLf < p)
      nextLf = static_cast<const char*>(std::memchr(p, '\n', end - p));
  }
}

}  // namespace

std::size_t NormalizedLength(std::string_view bytes) {
  std::size_t size = 0;
  ForEachLine(
      bytes, [&size](const char* from, const char* to) { size += to - from; },
      [&size] { size += 2; });
  return size;
}

void NormalizeLineBreaks(std::string_view bytes, char* out) {
  ForEachLine(
      bytes,
      [&out](const char* from, const char* to) {
        std::memcpy(out, from, to - from);
        out += to - from;
      },
      [&out] {
        *out++ = '\r';
        *out++ = '\n';
      });
}

int CountLineBreaks(const char* data, std::size_t size) {
  int count = 0;
  const char* const end = data + size;
  const char* p = data;
  while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr) {
    if (p > data && p[-1] == '\r') ++count;
    ++p;
  }
  return count;
}

int LineStart(std::string_view text, int offset) {
  const char* data = text.data();
  std::size_t n = static_cast<std::size_t>(offset);
  // The LF of a CR LF that ends before offset sits below offset.
  while (n > 0) {
    const void* lf = memrchr(data, '\n', n);
    if (lf == nullptr) return 0;
    const std::size_t at = static_cast<const char*>(lf) - data;
    if (at > 0 && data[at - 1] == '\r') return static_cast<int>(at + 1);
    n = at;
  }
  return 0;
}

int LineEnd(std::string_view text, int lineStart) {
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t p = static_cast<std::size_t>(lineStart);
  while (p < size) {
    const void* cr = std::memchr(data + p, '\r', size - p);
    if (cr == nullptr) break;
    const std::size_t at = static_cast<const char*>(cr) - data;
    if (at + 1 < size && data[at + 1] == '\n') return static_cast<int>(at);
    p = at + 1;
  }
  return static_cast<int>(size);
}

}  // namespace richedit
