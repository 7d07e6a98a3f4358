#include "viewer/FilterEngine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "richedit/TextModel.h"
#include "viewer/ModelFilterText.h"

using platform::Utf8ToAnsi;
using namespace viewer;

namespace {

bool SameAt(const std::string& text, std::size_t at, std::string_view what) {
  for (std::size_t k = 0; k < what.size(); ++k) {
    if (platform::AnsiUpper(static_cast<unsigned char>(text[at + k])) !=
        platform::AnsiUpper(static_cast<unsigned char>(what[k]))) {
      return false;
    }
  }
  return true;
}

bool WordChar(const std::string& text, long at) {
  return at >= 0 && at < static_cast<long>(text.size()) &&
         platform::IsAnsiWordChar(static_cast<unsigned char>(text[at]));
}

// Forward search with the editor's contract: case ignored, optional whole words.
int Find(const std::string& text, std::string_view what, int start, int length, bool whole) {
  const int end = start + length - static_cast<int>(what.size());
  for (int at = start; at <= end; ++at) {
    if (!SameAt(text, at, what)) continue;
    if (whole && (WordChar(text, at - 1) || WordChar(text, at + static_cast<long>(what.size()))))
      continue;
    return at;
  }
  return -1;
}

// A plain text with a red flag per character.
class TPlainText final : public TFilterText {
 public:
  explicit TPlainText(std::string text) : text_(std::move(text)), red_(text_.size(), 0) {}
  std::string_view Text() const override { return text_; }
  int FindText(std::string_view what, int start, int length, bool whole) const override {
    return Find(text_, what, start, length, whole);
  }
  void DeleteSpans(const std::vector<TTextSpan>& spans) override {
    ++changes;
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
      EXPECT_GT(it->Length, 0);
      text_.erase(it->Start, it->Length);
      red_.erase(red_.begin() + it->Start, red_.begin() + it->Start + it->Length);
    }
  }
  void ColourSpansRed(const std::vector<TTextSpan>& spans) override {
    ++changes;
    for (const auto& s : spans)
      std::fill(red_.begin() + s.Start, red_.begin() + s.Start + s.Length, 1);
  }
  const std::string& Str() const { return text_; }
  const std::vector<char>& Red() const { return red_; }
  int changes = 0;

 private:
  std::string text_;
  std::vector<char> red_;
};

// The rich-edit control's own model, as the window's editor holds it.
class TModelText {
 public:
  explicit TModelText(const std::string& text) { model_.LoadPlainText(text); }
  TModelFilterText& Filter() { return filter_; }
  std::string_view Text() const { return model_.Text(); }
  std::vector<char> Red() const {
    std::vector<char> red(model_.TextLength(), 0);
    for (const auto& span : model_.Spans(0, model_.TextLength())) {
      if (model_.Format(span.FormatIndex).Color == richedit::kRed) {
        std::fill(red.begin() + span.Start, red.begin() + span.Start + span.Length, 1);
      }
    }
    return red;
  }

 private:
  richedit::TTextModel model_;
  TModelFilterText filter_{model_};
};

struct TResult {
  std::string text;
  std::vector<char> red;
  std::int32_t found = 0;
};

// The run written out step by step, deleting in place after every match.
TResult Reference(std::string text, std::string key, bool block, bool whole) {
  std::vector<char> red(text.size(), 0);
  auto erase = [&](int from, int count) {
    text.erase(from, count);
    red.erase(red.begin() + from, red.begin() + from + count);
  };
  auto index = IndexParagraphs(text);
  TEmpties B = index.Bounds;
  int n = index.ParaCount;
  int tlen = static_cast<int>(text.size());
  std::int32_t found = 0;
  std::string word;
  bool ran = false;
  for (;;) {
    std::size_t P = 0, L = 0;
    if (whole) {
      word = key.substr(0, key.size() - 1);
    } else {
      while (!key.empty() && key[0] == ' ')
        key.erase(0, 1);
      P = key.find(' ') == std::string::npos ? 0 : key.find(' ') + 1;
      L = key.size();
      if (key == word + ' ' || P == 0) break;
      word = key.substr(0, P - 1);
      if (P != L) key = key.substr(P);
    }
    ran = true;
    int c = 0, last = 0;
    const int len = static_cast<int>(word.size());
    for (;;) {
      c = Find(text, word, c, tlen - c, whole);
      if (c == -1) {
        if (last == 0) found = 0;
        break;
      }
      ++found;
      std::fill(red.begin() + c, red.begin() + c + len, 1);
      if (block) {
        int i = last;
        while (!(c < B[i]))
          ++i;
        if (i - last >= 2) {
          const int h = B[i - 1] - B[last];
          erase(B[last], h);
          for (int j = last; j <= n; ++j)
            B[j] = j < i ? 0 : B[j] - h;
          tlen -= h;
          c -= h;
        }
        last = i;
      } else {
        const auto e = text.find("\r\n", c);
        int lineEnd = e == std::string::npos ? tlen : static_cast<int>(e) + 2;
        const auto br = c == 0 ? std::string::npos : text.rfind("\r\n", c - 1);
        const int s = br == std::string::npos ? 0 : static_cast<int>(br) + 2;
        if (s > last) {
          const int h = s - last;
          erase(last, h);
          tlen -= h;
          c -= h;
          lineEnd -= h;
        }
        last = lineEnd;
      }
      c += len;
    }
    const int from = block ? B[last] : last;
    erase(from, tlen - from);
    if (whole || P == L || last <= 0) break;
    tlen = static_cast<int>(text.size());
    index = IndexParagraphs(text);
    B = index.Bounds;
    n = index.ParaCount;
  }
  if (!ran) erase(0, static_cast<int>(text.size()));
  return {text, red, found};
}

TFilterOutcome FilterAll(TPlainText& model, const TFilterRequest& request,
                         TFilterProgress* progress) {
  const auto index = IndexParagraphs(model.Str());
  return RunFilter(model, index.Bounds, index.ParaCount, request, progress);
}

TResult RunOn(const std::string& text, const std::string& key, bool block, bool whole) {
  TPlainText model(text);
  const auto outcome = FilterAll(model, {key, block, whole}, nullptr);
  EXPECT_FALSE(outcome.Cancelled);
  return {model.Str(), model.Red(), outcome.Found};
}

// The red characters of a result, as the words they make, joined by "|".
std::string RedWords(const TResult& r) {
  std::string out;
  for (std::size_t k = 0; k < r.text.size(); ++k) {
    if (!r.red[k]) continue;
    if (k == 0 || !r.red[k - 1]) out += out.empty() ? "" : "|";
    out += r.text[k];
  }
  return out;
}

std::string A(const char* utf8) {
  return Utf8ToAnsi(utf8);
}

}  // namespace

TEST(FilterEngine, Examples) {
  struct TCase {
    const char* name;
    const char* text;
    const char* key;  // with the space the window appends
    bool block, whole;
    const char* result;
    std::int32_t found;
    const char* red;
  } cases[] = {
      {"two words, paragraphs", "кот\r\n\r\nкот и пёс\r\n\r\nпёс", "КОТ ПЁС ", true, false,
       "\r\n\r\nкот и пёс", 3, "кот|пёс"},
      {"phrase as a whole word", "Кот пёс\r\n\r\nкот  пёс\r\n\r\nкотпёс\r\n\r\nкот пёсик",
       "КОТ ПЁС ", true, true, "Кот пёс", 1, "Кот пёс"},
      {"fragment of a word", "котёнок\r\nпёс", "КОТ ", false, false, "котёнок\r\n", 1, "кот"},
      {"whole word refuses a fragment", "котёнок\r\nпёс", "КОТ ", false, true, "", 0, ""},
      {"twice on one line", "кот и кот\r\nпёс\r\n", "КОТ ", false, false, "кот и кот\r\n", 2,
       "кот|кот"},
      {"last line without a break", "пёс\r\nкот", "КОТ ", false, false, "кот", 1, "кот"},
      {"first paragraph keeps no separator", "кот\r\n\r\nпёс", "КОТ ", true, false, "кот", 1,
       "кот"},
      {"only paragraph 3", "а\r\n\r\nб\r\n\r\nкот\r\n\r\nг", "КОТ ", true, false, "\r\n\r\nкот", 1,
       "кот"},
      {"no match", "кот\r\n\r\nпёс", "ДОМ ", true, false, "", 0, ""},
      {"second word without match", "кот\r\n\r\nпёс", "КОТ ДОМ ", true, false, "", 0, ""},
      {"spaces only", "кот", "    ", false, false, "", 0, ""},
      {"spaces around words", "кот пёс\r\nкот\r\n", "  КОТ   ПЁС ", false, false, "кот пёс\r\n", 3,
       "кот|пёс"},
      {"a repeated word ends the run", "кот кот\r\nкот", "КОТ КОТ ", false, false, "кот кот\r\nкот",
       3, "кот|кот|кот"},
      {"a word again after another counts again", "кот пёс\r\nкот", "КОТ ПЁС КОТ ", false, false,
       "кот пёс\r\n", 4, "кот|пёс"},
      {"lines keep their whole text", "длинная строка про кот\r\nx\r\n", "КОТ ", false, false,
       "длинная строка про кот\r\n", 1, "кот"},
      {"a separator alone between paragraphs", "кот\r\n\r\n\r\n\r\nкот", "КОТ ", true, false,
       "кот\r\n\r\nкот", 2, "кот|кот"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = RunOn(A(c.text), A(c.key), c.block, c.whole);
    EXPECT_EQ(r.text, A(c.result));
    EXPECT_EQ(r.found, c.found);
    EXPECT_EQ(RedWords(r), A(c.red));
  }
}

TEST(FilterEngine, LongKeys) {
  // 255 characters with the space: the last word lost its space and is not searched.
  const std::string text = A("кот\r\nпёс\r\n");
  std::string key = A("КОТ ") + std::string(251, 'Z');
  ASSERT_EQ(key.size(), 255u);
  auto r = RunOn(text, key, false, false);
  EXPECT_EQ(r.text, A("кот\r\n"));
  EXPECT_EQ(r.found, 1);
  // A single word that fills the key is not searched at all.
  r = RunOn(text, std::string(255, 'Z'), false, false);
  EXPECT_EQ(r.text, "");
  EXPECT_EQ(r.found, 0);
  // As a phrase the key loses its last character.
  r = RunOn(A("кот пZ\r\n"), A("КОТ ПZ") + "Q", false, true);
  EXPECT_EQ(r.text, A("кот пZ\r\n"));
}

TEST(FilterEngine, AppliesEachPassInOneStep) {
  std::string text;
  for (int k = 0; k < 500; ++k)
    text += k % 3 ? A("пёс и кот\r\n") : A("мышь\r\n");
  TPlainText model(text);
  const auto outcome = FilterAll(model, {A("КОТ ПЁС "), false, false}, nullptr);
  EXPECT_EQ(outcome.Found, 333 * 2);
  // Colour and delete in the first pass; the second only colours, nothing goes.
  EXPECT_EQ(model.changes, 3);
}

TEST(FilterEngine, MatchesTheStepByStepRun) {
  const char* tokens[] = {"кот", "пёс", "КОТ", "котёнок", " ", " ", "\r\n", "\r\n", "x", "Пёс"};
  const char* keys[] = {"КОТ ", "ПЁС ",         "КОТ ПЁС ", "ПЁС КОТ ",
                        "X ",   "КОТ ПЁС КОТ ", "КОТ  X ",  "ДОМ "};
  std::mt19937 rng(6);
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int count = rng() % 40;
    for (int k = 0; k < count; ++k)
      text += A(tokens[rng() % std::size(tokens)]);
    for (const char* key : keys) {
      for (int mode = 0; mode < 4; ++mode) {
        const bool block = mode & 1, whole = mode & 2;
        SCOPED_TRACE(testing::PrintToString(text) + " / " + key + " / " + std::to_string(mode));
        const auto want = Reference(text, A(key), block, whole);
        const auto got = RunOn(text, A(key), block, whole);
        ASSERT_EQ(got.text, want.text);
        ASSERT_EQ(got.red, want.red);
        ASSERT_EQ(got.found, want.found);
        // The same on the editor's model.
        TModelText model(text);
        const auto index = IndexParagraphs(model.Text());
        const auto outcome = RunFilter(model.Filter(), index.Bounds, index.ParaCount,
                                       {A(key), block, whole}, nullptr);
        ASSERT_EQ(std::string(model.Text()), want.text);
        ASSERT_EQ(model.Red(), want.red);
        ASSERT_EQ(outcome.Found, want.found);
      }
    }
  }
}

namespace {
class TCountingProgress final : public TFilterProgress {
 public:
  void PassStarted(std::string_view word) override { words.emplace_back(word); }
  void FoundChanged(std::int32_t found) override { shown.push_back(found); }
  bool CancelRequested() override { return ++polls > cancelAfter; }
  std::vector<std::string> words;
  std::vector<std::int32_t> shown;
  int polls = 0;
  int cancelAfter = 1 << 30;
};
}  // namespace

TEST(FilterEngine, ReportsPassesAndCounterSteps) {
  std::string text;
  for (int k = 0; k < 50; ++k)
    text += "ab\r\n";
  TPlainText model(text);
  TCountingProgress progress;
  const auto outcome = FilterAll(model, {"A B ", false, false}, &progress);
  EXPECT_EQ(outcome.Found, 100);
  EXPECT_EQ(progress.words, (std::vector<std::string>{"A", "B"}));
  std::vector<std::int32_t> want;
  for (int k = 1; k <= 15; ++k)
    want.push_back(k);
  for (int k = 16; k <= 100; k += 16)
    want.push_back(k);
  EXPECT_EQ(progress.shown, want);
  EXPECT_EQ(progress.polls, 102);  // before every search, the failing ones included
}

TEST(FilterEngine, CancelStopsBeforeTheNextSearch) {
  const std::string text = "a\r\nb\r\na\r\n";
  TPlainText model(text);
  TCountingProgress progress;
  progress.cancelAfter = 1;
  const auto outcome = FilterAll(model, {"A ", false, false}, &progress);
  EXPECT_TRUE(outcome.Cancelled);
  EXPECT_EQ(progress.polls, 2);
  EXPECT_EQ(model.changes, 0);
}
