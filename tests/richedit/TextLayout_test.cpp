// Word wrap: where display lines break, how many there are, where an offset's starts.
#include "richedit/TextLayout.h"

#include <gtest/gtest.h>

#include <random>

#include "ModelTestUtil.h"

using namespace richedit;
using richedit::test::PlainModel;

namespace {

// Every character 10 pixels wide, bold ones 20.
class TFixedMetrics : public TMetricsSource {
 public:
  TFixedMetrics() {
    normal_.Advance.fill(10 * 64);
    bold_.Advance.fill(20 * 64);
  }
  const TFontMeasure& Measure(const TCharFormat& f) override {
    return f.Styles.Bold ? bold_ : normal_;
  }

 private:
  TFontMeasure normal_;
  TFontMeasure bold_;
};

std::vector<int> Breaks(const std::string& text, int width) {
  const TTextModel m = PlainModel(text);
  TFixedMetrics metrics;
  TTextLayout layout(m, metrics);
  layout.SetWrapWidth(width);
  std::vector<int> starts;
  layout.BreakLine(0, m.LineEnd(0), starts);
  return starts;
}

TEST(TextLayout, BulletedParagraphsWrapNarrower) {
  TTextModel m = PlainModel("aa aa aa\r\naa aa aa\r\naa aa aa");
  m.SetSelStart(12);
  m.SetParagraphBullets(true);
  TFixedMetrics metrics;
  TTextLayout layout(m, metrics);
  layout.SetWrapWidth(60);  // "aa aa " fits, less 15 pixels of indent only "aa "
  std::vector<int> starts;
  EXPECT_EQ(layout.DisplayLineCount(), 6);
  layout.SetBulletIndent(15);
  EXPECT_EQ(layout.DisplayLineCount(), 7);
  layout.BreakLine(10, 18, starts);
  EXPECT_EQ(starts, (std::vector<int>{10, 13, 16}));
  layout.BreakLine(0, 8, starts);
  EXPECT_EQ(starts, (std::vector<int>{0, 6}));
  EXPECT_EQ(layout.DisplayLineStart(17), 16);
  // An indent wider than the width still leaves room for a character a line.
  layout.SetBulletIndent(100);
  EXPECT_EQ(layout.DisplayLineCount(), 2 + 6 + 2);
}

TEST(TextLayout, WhereALineBreaks) {
  const struct {
    const char* Text;
    int Width;
    std::vector<int> Starts;
  } cases[] = {
      {"aaaaa", 50, {0}},
      {"aaaaaa", 50, {0, 5}},     // a word wider than the line breaks where it must
      {"aa aa aa", 50, {0, 6}},   // the space after "aa aa" hangs
      {"aa     aa", 50, {0, 7}},  // so do several
      {"aaa aaa", 50, {0, 4}},
      {"aaaaaaaaaaaa", 50, {0, 5, 10}},
      {"a", 5, {0}},  // a line always holds one character
      {"ab", 5, {0, 1}},
      {"aa aa aa", 0, {0}},  // no wrapping
      {"", 50, {0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Breaks(c.Text, c.Width), c.Starts) << c.Text << " at " << c.Width;
}

TEST(TextLayout, DisplayLineCountAtDifferentWidths) {
  // "one two three" / "" / "four five six seven", 10 pixels a character.
  const TTextModel m = PlainModel("one two three\r\n\r\nfour five six seven\r\n");
  TFixedMetrics metrics;
  TTextLayout layout(m, metrics);
  const struct {
    int Width, Lines;
  } cases[] = {{0, 3}, {1000, 3}, {130, 4}, {120, 5}, {80, 6}, {40, 10}};
  for (const auto& c : cases) {
    layout.SetWrapWidth(c.Width);
    EXPECT_EQ(layout.DisplayLineCount(), c.Lines) << c.Width;
  }
  // The empty last line after the final break never counts.
  TTextModel empty = PlainModel("");
  TTextLayout emptyLayout(empty, metrics);
  emptyLayout.SetWrapWidth(40);
  EXPECT_EQ(emptyLayout.DisplayLineCount(), 0);
}

TEST(TextLayout, DisplayLineStartOfAnOffset) {
  const TTextModel m = PlainModel("aa bb cc\r\ndd ee");
  TFixedMetrics metrics;
  TTextLayout layout(m, metrics);
  layout.SetWrapWidth(30);  // "aa " "bb " "cc" / "dd " "ee"
  const struct {
    int Offset, Start;
  } cases[] = {{0, 0}, {2, 0}, {3, 3},   {5, 3},   {6, 6},
               {8, 6}, {9, 6}, {10, 10}, {13, 13}, {15, 13}};
  for (const auto& c : cases)
    EXPECT_EQ(layout.DisplayLineStart(c.Offset), c.Start) << c.Offset;
  layout.SetWrapWidth(0);
  EXPECT_EQ(layout.DisplayLineStart(5), 0);
  EXPECT_EQ(layout.DisplayLineStart(13), 10);
}

TEST(TextLayout, WiderFormatsBreakSooner) {
  TTextModel m = PlainModel("aaaa aaaa");
  TFixedMetrics metrics;
  TTextLayout layout(m, metrics);
  layout.SetWrapWidth(100);
  EXPECT_EQ(layout.DisplayLineCount(), 1);
  m.Select(5, 4);
  m.SetSelBold(true);  // 50 + 80 pixels
  EXPECT_EQ(layout.DisplayLineCount(), 2);
  EXPECT_EQ(layout.DisplayLineStart(7), 5);
}

// The count's shortcut for lines that surely fit must agree with breaking every line.
TEST(TextLayout, CountAgreesWithBreakingEachLine) {
  std::mt19937 rng(5);
  TFixedMetrics metrics;
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int n = rng() % 200;
    for (int i = 0; i < n; ++i)
      text += "ab \t\n"[rng() % 5];
    const TTextModel m = PlainModel(text);
    TTextLayout layout(m, metrics);
    layout.SetWrapWidth(20 + rng() % 100);
    int expected = 0;
    std::vector<int> starts;
    for (int pos = 0; pos < m.TextLength();) {
      const int end = m.LineEnd(pos);
      layout.BreakLine(pos, end, starts);
      expected += static_cast<int>(starts.size());
      pos = end + 2;
    }
    ASSERT_EQ(layout.DisplayLineCount(), expected) << "round " << round;
  }
}

}  // namespace
