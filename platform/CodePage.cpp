#include "platform/CodePage.h"

#include <array>

namespace platform {
namespace {

constexpr char16_t kUndefined = 0xFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// Reverse lookup for the 128 upper bytes of a code page: code point -> byte.
class TReverseTable {
 public:
  explicit TReverseTable(const char16_t (&forward)[256]) {
    for (int b = 0x80; b < 256; ++b)
      if (forward[b] != kUndefined)
        entries_[count_++] = {forward[b], static_cast<unsigned char>(b)};
  }
  int Find(char32_t u) const {
    if (u < 0x80) return static_cast<int>(u);
    for (int i = 0; i < count_; ++i)
      if (entries_[i].code == u) return entries_[i].byte;
    return -1;
  }

 private:
  struct TEntry {
    char32_t code;
    unsigned char byte;
  };
  std::array<TEntry, 128> entries_{};
  int count_ = 0;
};

const TReverseTable& AnsiReverse() {
  static const TReverseTable table(tables::kAnsiToUnicode);
  return table;
}
const TReverseTable& OemReverse() {
  static const TReverseTable table(tables::kOemToUnicode);
  return table;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input yields U+FFFD and
// consumes one byte.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra = 0;
  char32_t u = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    u = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    u = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    u = b0 & 0x07;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + extra >= s.size()) {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    u = (u << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (u < kMin[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return u;
}

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

}  // namespace

char32_t AnsiToUnicode(unsigned char c) {
  const char16_t u = tables::kAnsiToUnicode[c];
  return u == kUndefined ? kReplacement : u;
}

int UnicodeToAnsi(char32_t u) {
  return AnsiReverse().Find(u);
}
int UnicodeToOem(char32_t u) {
  return OemReverse().Find(u);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const int b = UnicodeToAnsi(DecodeUtf8(utf8, i));
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() * 2);
  for (const char c : ansi)
    AppendUtf8(out, AnsiToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string ConvertToOem(std::string_view ansi) {
  static const auto table = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const char16_t u = tables::kAnsiToUnicode[b];
      const int o = u == kUndefined ? -1 : UnicodeToOem(u);
      t[b] = o < 0 ? '?' : static_cast<char>(o);
    }
    return t;
  }();
  std::string out(ansi.size(), '\0');
  for (size_t i = 0; i < ansi.size(); ++i)
    out[i] = table[static_cast<unsigned char>(ansi[i])];
  return out;
}

std::string ConvertFromOem(std::string_view oem) {
  static const auto table = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const int a = UnicodeToAnsi(tables::kOemToUnicode[b]);
      t[b] = a < 0 ? '?' : static_cast<char>(a);
    }
    return t;
  }();
  std::string out(oem.size(), '\0');
  for (size_t i = 0; i < oem.size(); ++i)
    out[i] = table[static_cast<unsigned char>(oem[i])];
  return out;
}

std::string AnsiUpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    c = static_cast<char>(AnsiUpper(static_cast<unsigned char>(c)));
  return out;
}

std::string AnsiLowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    c = static_cast<char>(AnsiLower(static_cast<unsigned char>(c)));
  return out;
}

bool AnsiSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AnsiUpper(static_cast<unsigned char>(a[i])) != AnsiUpper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace platform
