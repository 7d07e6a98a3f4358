// Forward search of the model's text, case-insensitive by the Windows-1251 case
// table. The scan looks for the rarest character of the key (both of its cases at
// once, 16 characters per step) and compares the rest of the key only there.
#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/CodePageTables.h"
#include "richedit/TextModel.h"

namespace richedit {

namespace {

using platform::tables::kAnsiUpper;

// How often a character (in upper case) turns up in Russian and English prose, per
// ten thousand; it only picks which character of a key the scan looks for.
constexpr std::array<unsigned short, 256> MakeFrequencies() {
  std::array<unsigned short, 256> f{};
  for (int c = 0; c < 256; ++c)
    f[c] = 20;
  for (int c = '0'; c <= '9'; ++c)
    f[c] = 40;
  f[' '] = 1500;
  f['\r'] = f['\n'] = 300;
  f[','] = f['.'] = 150;
  const char* latin = "ETAOINSHRDLCUMWFGYPBVKJXQZ";
  const unsigned short latinFreq[] = {1200, 900, 800, 750, 700, 670, 630, 600, 600,
                                      420,  400, 280, 280, 240, 240, 220, 200, 200,
                                      190,  150, 100, 80,  20,  20,  10,  10};
  for (int i = 0; latin[i] != 0; ++i)
    f[static_cast<unsigned char>(latin[i])] = latinFreq[i];
  // Cyrillic upper-case letters 0xC0 (А) to 0xDF (Я), then Ё.
  const unsigned short cyrFreq[32] = {800, 160, 450, 170,  300, 850, 90,  160, 740, 120, 350,
                                      440, 320, 670, 1100, 280, 470, 550, 630, 260, 30,  100,
                                      50,  140, 70,  40,   10,  190, 170, 30,  60,  200};
  for (int i = 0; i < 32; ++i)
    f[0xC0 + i] = cyrFreq[i];
  f[0xA8] = 10;
  return f;
}

constexpr std::array<unsigned short, 256> kFrequency = MakeFrequencies();

bool IsWordChar(unsigned char c) {
  return platform::tables::kAnsiClass[c] != 0 || c == '_';
}

}  // namespace

int TTextModel::FindText(std::string_view what, int start, int length, bool wholeWord) const {
  const int size = TextLength();
  if (what.empty() || length < 0 || start < 0 || start > size) return -1;
  const std::size_t end =
      static_cast<std::size_t>(std::min<long long>(static_cast<long long>(start) + length, size));
  const std::size_t m = what.size();
  if (end - start < m) return -1;

  std::string key(m, '\0');
  for (std::size_t j = 0; j < m; ++j)
    key[j] = static_cast<char>(kAnsiUpper[static_cast<unsigned char>(what[j])]);

  // The character of the key to scan for, and the characters that fold to it.
  std::size_t pivot = 0;
  for (std::size_t j = 1; j < m; ++j)
    if (kFrequency[static_cast<unsigned char>(key[j])] <
        kFrequency[static_cast<unsigned char>(key[pivot])])
      pivot = j;
  const unsigned char folded = static_cast<unsigned char>(key[pivot]);
  unsigned char variants[256];
  int variantCount = 0;
  for (int c = 0; c < 256; ++c)
    if (kAnsiUpper[c] == folded) variants[variantCount++] = static_cast<unsigned char>(c);

  const auto* text = reinterpret_cast<const unsigned char*>(Text().data());
  const auto* ukey = reinterpret_cast<const unsigned char*>(key.data());

  // Whether the key occurs at s (its pivot character is already known to match).
  auto matchesAt = [&](std::size_t s) {
    for (std::size_t j = 0; j < m; ++j)
      if (kAnsiUpper[text[s + j]] != ukey[j]) return false;
    if (wholeWord) {
      if (s > 0 && IsWordChar(text[s - 1])) return false;
      if (s + m < static_cast<std::size_t>(size) && IsWordChar(text[s + m])) return false;
    }
    return true;
  };

  // Pivot positions to look at: [first, last].
  std::size_t i = start + pivot;
  const std::size_t last = end - m + pivot;

  if (variantCount == 1) {
    while (i <= last) {
      const void* hit = std::memchr(text + i, variants[0], last + 1 - i);
      if (hit == nullptr) return -1;
      i = static_cast<const unsigned char*>(hit) - text;
      if (matchesAt(i - pivot)) return static_cast<int>(i - pivot);
      ++i;
    }
    return -1;
  }

  if (variantCount == 2) {
    const __m128i a = _mm_set1_epi8(static_cast<char>(variants[0]));
    const __m128i b = _mm_set1_epi8(static_cast<char>(variants[1]));
    while (i + 16 <= last + 1) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
      unsigned mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b))));
      while (mask != 0) {
        const std::size_t at = i + __builtin_ctz(mask);
        if (matchesAt(at - pivot)) return static_cast<int>(at - pivot);
        mask &= mask - 1;
      }
      i += 16;
    }
  }

  for (; i <= last; ++i)
    if (kAnsiUpper[text[i]] == folded && matchesAt(i - pivot)) return static_cast<int>(i - pivot);
  return -1;
}

}  // namespace richedit
