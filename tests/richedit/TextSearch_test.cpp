// Forward search: case folding by the Windows-1251 table, whole words, range limits.
#include <gtest/gtest.h>

#include <random>

#include "ModelTestUtil.h"
#include "platform/CodePage.h"
#include "richedit/TextModel.h"

using namespace richedit;
using richedit::test::PlainModel;

namespace {

struct TSearchCase {
  const char* Text;
  const char* What;
  int Start;
  int Length;
  bool Whole;
  int Expected;
};

TEST(TextSearch, TableOfSearches) {
  // Cyrillic below is Windows-1251: \xCA\xCE\xD2 is КОТ, \xEA\xEE\xF2 is кот,
  // \xA8 Ё and \xB8 ё, \xE5 е.
  const TSearchCase cases[] = {
      {"Hello World", "world", 0, 11, false, 6},
      {"Hello World", "WORLD", 0, 11, false, 6},
      {"Hello World", "o", 5, 6, false, 7},
      {"\xEA\xEE\xF2 \xE8 \xEF\xB8\xF1", "\xCA\xCE\xD2", 0, 9, false, 0},  // кот и пёс / КОТ
      {"\xEA\xEE\xF2 \xE8 \xEF\xB8\xF1", "\xCF\xA8\xD1", 0, 9, false, 6},   // ПЁС finds пёс
      {"\xEA\xEE\xF2 \xE8 \xEF\xB8\xF1", "\xCF\xC5\xD1", 0, 9, false, -1},  // ПЕС is not пёс
      {"\xEA\xEE\xF2\xB8\xED\xEE\xEA", "\xCA\xCE\xD2", 0, 7, false, 0},  // котёнок / КОТ
      {"\xEA\xEE\xF2\xB8\xED\xEE\xEA", "\xCA\xCE\xD2", 0, 7, true, -1},  // not as a word
      {"\xEA\xEE\xF2", "\xCA\xCE\xD2", 0, 3, true, 0},                   // whole text
      {"cat", "cat", 0, 3, true, 0},
      {"a cat", "cat", 0, 5, true, 2},  // at the end
      {"cat a", "CAT", 0, 5, true, 0},  // at the start
      {"cats cat", "cat", 0, 8, true, 5},
      {"_cat cat1 cat", "cat", 0, 13, true, 10},  // _ and digits
      {"(cat)", "cat", 0, 5, true, 1},
      {"a\r\ncat\r\n", "cat", 0, 8, true, 3},
      {"cat dog", "cat dog", 0, 7, true, 0},  // a phrase
      {"cat doggy", "cat dog", 0, 9, true, -1},
      {"xcat", "cat", 1, 3, true, -1},  // the character before the range still counts
      {"catx", "cat", 0, 3, true, -1},  // and so does the one after it
      {"abcabc", "abc", 1, 5, false, 3},
      {"abcabc", "abc", 0, 5, false, 0},
      {"abcabc", "abc", 1, 4, false, -1},  // the second one sticks out of the range
      {"abcabc", "abc", 3, 3, false, 3},
      {"abcabc", "abc", 3, 100, false, 3},
      {"abcabc", "abc", 6, 0, false, -1},
      {"abcabc", "", 0, 6, false, -1},
      {"abcabc", "abc", -1, 6, false, -1},
      {"abcabc", "abc", 0, -1, false, -1},
      {"abcabc", "abc", 7, 1, false, -1},
      {"x\r\n\r\ny", "\r\n\r\n", 0, 6, false, 1},
  };
  for (const TSearchCase& c : cases) {
    const TTextModel m = PlainModel(c.Text);
    EXPECT_EQ(m.FindText(c.What, c.Start, c.Length, c.Whole), c.Expected)
        << platform::AnsiToUtf8(c.Text) << " / " << platform::AnsiToUtf8(c.What) << " from "
        << c.Start << " over " << c.Length << (c.Whole ? " whole" : "");
  }
}

// What the search must find, the slow way.
int NaiveFind(const std::string& text, const std::string& what, int start, int length, bool whole) {
  const long long end = std::min<long long>(static_cast<long long>(start) + length, text.size());
  if (what.empty()) return -1;
  for (long long s = start; s + static_cast<long long>(what.size()) <= end; ++s) {
    bool same = true;
    for (std::size_t j = 0; j < what.size() && same; ++j)
      same = platform::AnsiUpper(text[s + j]) == platform::AnsiUpper(what[j]);
    if (!same) continue;
    if (whole) {
      if (s > 0 && platform::IsAnsiWordChar(text[s - 1])) continue;
      const std::size_t after = s + what.size();
      if (after < text.size() && platform::IsAnsiWordChar(text[after])) continue;
    }
    return static_cast<int>(s);
  }
  return -1;
}

// Random texts over a small alphabet of both cases and scripts, long enough for the
// wide scan and short enough for its tail, against the slow way.
TEST(TextSearch, AgreesWithASlowSearchOnRandomTexts) {
  const std::string alphabet = "aAbB \xE0\xC0\xB8\xA8_1\xFF\xDF";
  std::mt19937 rng(42);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int n = rng() % 80;
    for (int i = 0; i < n; ++i)
      text += alphabet[rng() % alphabet.size()];
    std::string what;
    const int m = 1 + rng() % 3;
    for (int i = 0; i < m; ++i)
      what += alphabet[rng() % alphabet.size()];
    const TTextModel model = PlainModel(text);
    const int start = n == 0 ? 0 : rng() % (n + 1);
    const int length = rng() % (n + 2);
    const bool whole = rng() % 2;
    ASSERT_EQ(model.FindText(what, start, length, whole),
              NaiveFind(text, what, start, length, whole))
        << "round " << round;
  }
}

}  // namespace
