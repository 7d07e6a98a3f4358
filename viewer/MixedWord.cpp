#include "viewer/MixedWord.h"

namespace viewer {
namespace {

bool IsSeparator(unsigned char ch) {
  return (ch >= 9 && ch <= 64) || (ch >= 91 && ch <= 96) || (ch >= 123 && ch <= 127);
}

bool IsLatinLetter(unsigned char ch) {
  return (ch >= 65 && ch <= 90) || (ch >= 97 && ch <= 122);
}

bool IsCyrillicFirstLetter(unsigned char ch) {
  return ch == 168 || ch == 184 || ch >= 192;
}

}  // namespace

bool HasMixedWord(std::string_view S, std::string& MixedWord) {
  std::size_t n = 0;  // letters of the current word so far
  std::size_t wordStart = 0;
  bool cyr = false;
  bool mixed = false;
  for (std::size_t k = 0; k < S.size(); ++k) {
    const auto ch = static_cast<unsigned char>(S[k]);
    if (IsSeparator(ch)) {
      if (mixed) return true;
      n = 0;
      continue;
    }
    if (n == 0) wordStart = k;
    ++n;
    MixedWord.assign(S.substr(wordStart, n));
    if (n == 1) {
      cyr = IsCyrillicFirstLetter(ch);
    } else if (IsLatinLetter(ch) == cyr) {
      // A Latin letter after a Cyrillic start, or a non-Latin one after any other.
      mixed = true;
    }
  }
  return mixed;
}

}  // namespace viewer
