// The rich-text writer: what it writes, and that reading it back gives the model back.
#include <gtest/gtest.h>

#include <random>

#include "ModelTestUtil.h"
#include "richedit/TextModel.h"

using namespace richedit;
using richedit::test::AlignmentMap;
using richedit::test::BulletMap;
using richedit::test::PlainModel;

namespace {

// Text, every character's format and every paragraph's alignment and bullets are the same.
void ExpectSameContent(const TTextModel& a, const TTextModel& b, const std::string& what) {
  ASSERT_EQ(a.Text(), b.Text()) << what;
  for (int i = 0; i < a.TextLength(); ++i)
    ASSERT_EQ(a.FormatAt(i), b.FormatAt(i)) << what << " at " << i;
  ASSERT_EQ(AlignmentMap(a), AlignmentMap(b)) << what;
  ASSERT_EQ(BulletMap(a), BulletMap(b)) << what;
}

TTextModel RoundTrip(const TTextModel& m) {
  TTextModel back;
  EXPECT_TRUE(back.LoadRichText(m.SaveRichText()));
  return back;
}

TEST(RtfWriter, WritesCyrillicHeaderTablesAndEscapes) {
  TTextModel m = PlainModel("\xCA\xEE\xF2 {x}\\\r\nb");
  m.Select(0, 3);
  m.SetSelColor(kRed);
  m.SetSelBold(true);
  m.SetSelStart(9);
  m.SetParagraphAlignment(TAlignment::Center);
  const std::string rtf = m.SaveRichText();
  EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1251")) << rtf;
  EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue0;}"),
            std::string::npos)
      << rtf;
  EXPECT_NE(rtf.find("\\cf1\\b \\'ca\\'ee\\'f2"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find(" \\{x\\}\\\\\\par"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\pard\\qc"), std::string::npos) << rtf;
  EXPECT_TRUE(rtf.ends_with("b}")) << rtf;
}

TEST(RtfWriter, EveryByteAndOddBreaksComeBack) {
  std::string all;
  for (int c = 0; c < 256; ++c)
    all.push_back(static_cast<char>(c));
  TTextModel m;
  // Assign keeps lone CR and LF characters as they are, as deletions can leave them.
  m.Assign(all + "\r\n\r" + all + "\n", {TCharFormat{}}, {{0, 0, 0}}, {{0, TAlignment::Left}});
  ExpectSameContent(m, RoundTrip(m), "all bytes");
}

TEST(RtfWriter, FontNamesWithTableCharactersComeBack) {
  TTextModel m = PlainModel("ab");
  TCharFormat f = m.FormatAt(0);
  f.FontName = "Odd;Name {x}\\\xCA";
  m.Select(1, 1);
  m.SetSelFormat(f);
  ExpectSameContent(m, RoundTrip(m), "font name");
}

TEST(RtfWriter, EmptyAndCentredTextsComeBack) {
  TTextModel empty;
  ExpectSameContent(empty, RoundTrip(empty), "empty");
  // An empty last paragraph keeps its own alignment; an emptied bold caret keeps its
  // attributes for text typed later.
  TTextModel m = PlainModel("a\r\n");
  m.SetSelStart(3);
  m.SetParagraphAlignment(TAlignment::Right);
  ExpectSameContent(m, RoundTrip(m), "right-aligned empty last line");
  EXPECT_EQ(AlignmentMap(RoundTrip(m)), "lr");
}

TEST(RtfWriter, BulletedParagraphsComeBackWithTheirAlignment) {
  TTextModel m = PlainModel("head\r\none\r\ntwo\r\nplain\r\n");
  m.Select(6, 6);  // "one" and "two"
  m.SetParagraphBullets(true);
  m.SetSelStart(11);
  m.SetParagraphAlignment(TAlignment::Center);
  m.SetSelStart(m.TextLength());  // the empty last paragraph
  m.SetParagraphBullets(true);
  ASSERT_EQ(BulletMap(m), "-**-*");
  const std::string rtf = m.SaveRichText();
  // Written once per stretch, and no bullet character gets into the text.
  EXPECT_NE(rtf.find("\\pnlvlblt"), std::string::npos) << rtf;
  const TTextModel back = RoundTrip(m);
  ExpectSameContent(m, back, "bullets");
  EXPECT_EQ(AlignmentMap(back), "llcll");
}

class RtfWriterRandom : public testing::Test {};

TEST_F(RtfWriterRandom, RandomModelsComeBackExactly) {
  std::mt19937 rng(3);
  const char* fonts[] = {"Arial", "Times New Roman", "Courier New", "MS Sans Serif"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int n = rng() % 120;
    for (int i = 0; i < n; ++i) {
      const int kind = rng() % 10;
      text += kind == 0 ? std::string("\r\n") : std::string(1, static_cast<char>(rng() % 256));
    }
    TTextModel m = PlainModel(text);
    const int len = m.TextLength();
    for (int k = 0; k < 6 && len > 0; ++k) {
      m.Select(rng() % len, rng() % 20);
      TCharFormat f = m.FormatAt(m.SelStart());
      switch (rng() % 5) {
        case 0:
          m.SetSelColor({static_cast<std::uint8_t>(rng()), 7, 9});
          break;
        case 1:
          m.SetSelStyles({rng() % 2 == 0, rng() % 2 == 0, rng() % 2 == 0});
          break;
        case 2:
          f.FontName = fonts[rng() % 4];
          f.SizeHalfPoints = 8 + rng() % 60;
          m.SetSelFormat(f);
          break;
        case 3:
          m.SetParagraphAlignment(static_cast<TAlignment>(rng() % 3));
          m.SetParagraphBullets(rng() % 2 == 0);
          break;
        default:
          m.SetSelBold(true);
          break;
      }
    }
    ExpectSameContent(m, RoundTrip(m), "round " + std::to_string(round));
    if (HasFatalFailure()) {
      ADD_FAILURE() << m.SaveRichText();
      return;
    }
  }
}

}  // namespace
