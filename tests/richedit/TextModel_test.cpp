// Plain-text loading, lines, selection and the edits of the text model.
#include "richedit/TextModel.h"

#include <gtest/gtest.h>

#include <random>

#include "ModelTestUtil.h"

using namespace richedit;
using richedit::test::AlignmentMap;
using richedit::test::BulletMap;
using richedit::test::ColourMap;
using richedit::test::PlainModel;

namespace {

using namespace std::string_literals;

TEST(TextModel, PlainTextBreaksBecomeCrLfAndNulStays) {
  const struct {
    std::string In, Out;
  } cases[] = {
      {"", ""},
      {"a\r\nb", "a\r\nb"},
      {"a\nb", "a\r\nb"},
      {"a\rb", "a\r\nb"},
      {"a\r\r\nb", "a\r\n\r\nb"},
      {"a\n\rb", "a\r\n\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"\r", "\r\n"},
      {"x\r\n", "x\r\n"},
      {"a\0b\0"s, "a\0b\0"s},
      {"\xCA\xEE\xF2\n\xB8", "\xCA\xEE\xF2\r\n\xB8"},
      {"longer than a short string\r\nkept", "longer than a short string\r\nkept"},
      {"longer than a short string\nmended", "longer than a short string\r\nmended"},
  };
  for (const auto& c : cases) {
    TTextModel m;
    ASSERT_TRUE(m.LoadPlainText(c.In));
    EXPECT_EQ(m.Text(), c.Out) << testing::PrintToString(c.In);
    EXPECT_EQ(m.TextLength(), static_cast<int>(c.Out.size()));
    // Handing the bytes over gives the same text, whether or not they need changes.
    TTextModel adopted;
    ASSERT_TRUE(adopted.AdoptPlainText(std::string(c.In)));
    EXPECT_EQ(adopted.Text(), c.Out) << testing::PrintToString(c.In);
  }
}

TEST(TextModel, PlainTextTakesTheDefaultFormatAndRichHeaderDecides) {
  TCharFormat f;
  f.FontName = "MS Sans Serif";
  f.SizeHalfPoints = 16;
  TTextModel m(f);
  m.LoadRichTextOrPlain("plain {\\rtf1 not at the start}");
  EXPECT_EQ(m.Text(), "plain {\\rtf1 not at the start}");
  EXPECT_EQ(m.FormatAt(3), f);
  EXPECT_FALSE(m.LoadRichText("\xEF\xBB\xBF{\\rtf1 x}"));
  EXPECT_EQ(m.Text(), "plain {\\rtf1 not at the start}");
  m.LoadRichTextOrPlain("{\\rtf1 rich}");
  EXPECT_EQ(m.Text(), "rich");
}

TEST(TextModel, LineCountIgnoresAnEmptyLastLine) {
  const struct {
    std::string Text;
    int Lines;
  } cases[] = {{"", 0},       {"a", 1},           {"a\r\n", 1}, {"a\r\n\r\n", 2},   {"\r\n", 1},
               {"a\r\nb", 2}, {"a\r\nb\r\nc", 3}, {"a\rb", 2},  {"\r\n\r\n\r\n", 3}};
  for (const auto& c : cases)
    EXPECT_EQ(PlainModel(c.Text).LineCount(), c.Lines) << c.Text;
}

TEST(TextModel, LineStartAndEnd) {
  const TTextModel m = PlainModel("ab\r\ncd\r\n\r\nef");
  //                               0123 4 5678 9 0 1
  const struct {
    int Offset, Start, End;
  } cases[] = {{0, 0, 2}, {1, 0, 2}, {2, 0, 2},    {3, 0, 2},    {4, 4, 6},    {6, 4, 6},
               {7, 4, 6}, {8, 8, 8}, {10, 10, 12}, {12, 10, 12}, {99, 10, 12}, {-5, 0, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(m.LineStart(c.Offset), c.Start) << c.Offset;
    EXPECT_EQ(m.LineEnd(c.Offset), c.End) << c.Offset;
  }
}

TEST(TextModel, SelectionIsClampedAndSettingTheStartCollapsesIt) {
  TTextModel m = PlainModel("hello world");
  m.Select(6, 100);
  EXPECT_EQ(m.SelStart(), 6);
  EXPECT_EQ(m.SelLength(), 5);
  EXPECT_EQ(m.SelText(), "world");
  m.SetSelStart(50);
  EXPECT_EQ(m.SelStart(), 11);
  EXPECT_EQ(m.SelLength(), 0);
  m.SetSelStart(-3);
  m.SetSelLength(-1);
  EXPECT_EQ(m.SelStart(), 0);
  EXPECT_EQ(m.SelLength(), 0);
  m.SelectAll();
  EXPECT_EQ(m.SelLength(), 11);
}

TEST(TextModel, InsertionAttributesBuildAMessageOnAnEmptyText) {
  // The way a caller writes a centred bold message in two colours into an empty text.
  TTextModel m = PlainModel("old text");
  m.SelectAll();
  m.ClearSelection();
  m.SetParagraphAlignment(TAlignment::Center);
  m.SetSelBold(true);
  m.SetSelColor(kBlack);
  ASSERT_TRUE(m.ReplaceSelection("No \""));
  m.SetSelColor(kRed);
  m.ReplaceSelection("KEY");
  m.SetSelColor(kBlack);
  m.ReplaceSelection("\"");
  EXPECT_EQ(m.Text(), "No \"KEY\"");
  EXPECT_EQ(ColourMap(m), "KKKKRRRK");
  EXPECT_EQ(AlignmentMap(m), "c");
  EXPECT_EQ(m.SelStart(), 8);
}

TEST(TextModel, ReplaceSelectionTakesTheFormatBeforeTheCaretAndNormalizesBreaks) {
  TTextModel m = PlainModel("abcdef");
  m.Select(2, 2);
  m.SetSelColor(kRed);
  m.SetSelStart(4);  // caret just after the red "cd"
  m.ReplaceSelection("X\nY");
  EXPECT_EQ(m.Text(), "abcdX\r\nYef");
  EXPECT_EQ(ColourMap(m), "kkrrrrrrkk");
  m.Select(1, 8);
  m.ReplaceSelection("");
  EXPECT_EQ(m.Text(), "af");
  EXPECT_EQ(ColourMap(m), "kk");
}

TEST(TextModel, ColourAndStylesOfASelection) {
  TTextModel m = PlainModel("one two three");
  m.Select(4, 3);
  m.SetSelColor(kRed);
  m.Select(0, 7);
  m.SetSelBold(true);
  EXPECT_EQ(ColourMap(m), "KKKKRRRkkkkkk");
  m.Select(0, 13);
  m.SetSelStyles({false, true, true});
  EXPECT_TRUE(m.FormatAt(0).Styles.Italic);
  EXPECT_FALSE(m.FormatAt(0).Styles.Bold);
  EXPECT_EQ(m.FormatAt(5).Color, kRed);  // styles leave colours alone
}

TEST(TextModel, ParagraphAlignmentCoversTheSelectedParagraphs) {
  TTextModel m = PlainModel("p1\r\np2\r\np3\r\np4");
  m.Select(5, 4);  // from inside p2 into p3
  m.SetParagraphAlignment(TAlignment::Right);
  EXPECT_EQ(AlignmentMap(m), "lrrl");
  m.SetSelStart(0);
  m.SetParagraphAlignment(TAlignment::Center);
  EXPECT_EQ(AlignmentMap(m), "crrl");
  m.Select(4, 4);  // all of p2 with its break: p3 is not touched
  m.SetParagraphAlignment(TAlignment::Left);
  EXPECT_EQ(AlignmentMap(m), "clrl");
  // Deleting the break between p3 and p4 joins them; the joined paragraph keeps the
  // alignment of the later one, whose break survives.
  m.Select(10, 2);
  m.ClearSelection();
  EXPECT_EQ(m.Text(), "p1\r\np2\r\np3p4");
  EXPECT_EQ(AlignmentMap(m), "cll");
  // Deleting only the CR of a break leaves a lone LF, which breaks nothing: the
  // paragraphs it separated are one, with the alignment of the first.
  TTextModel n = PlainModel("a\r\nb\r\nc");
  n.SetSelStart(3);
  n.SetParagraphAlignment(TAlignment::Right);
  n.Select(1, 1);
  n.ClearSelection();
  EXPECT_EQ(n.Text(), "a\nb\r\nc");
  EXPECT_EQ(AlignmentMap(n), "ll");
  EXPECT_EQ(n.AlignmentSpans().size(), 1u);
}

TEST(TextModel, BulletsFollowParagraphsThroughEdits) {
  // Each case starts from three paragraphs, the middle one bulleted and centred.
  const struct {
    const char* What;
    int Start;
    int Length;
    const char* Insert;
    const char* Text;
    const char* Bullets;
    const char* Alignment;
  } cases[] = {
      {"break inside a bulleted paragraph", 5, 0, "\n", "aa\r\nb\r\nb\r\ncc", "-**-", "lccl"},
      {"break at its end", 6, 0, "\r\n", "aa\r\nbb\r\n\r\ncc", "-**-", "lccl"},
      {"break at its start", 4, 0, "\n", "aa\r\n\r\nbb\r\ncc", "-**-", "lccl"},
      {"text typed into it", 5, 0, "xy", "aa\r\nbxyb\r\ncc", "-*-", "lcl"},
      {"its break deleted: the later one's format", 6, 2, "", "aa\r\nbbcc", "--", "ll"},
      {"the break before it deleted", 2, 2, "", "aabb\r\ncc", "*-", "cl"},
      {"all of it deleted with its break", 4, 4, "", "aa\r\ncc", "--", "ll"},
      // The joined paragraph takes the later one's format, and so does the one the
      // inserted break splits off it.
      {"replaced across into the next", 5, 4, "X\nY", "aa\r\nbX\r\nYc", "---", "lll"},
  };
  for (const auto& c : cases) {
    TTextModel m = PlainModel("aa\r\nbb\r\ncc");
    m.SetSelStart(5);
    m.SetParagraphBullets(true);
    m.SetParagraphAlignment(TAlignment::Center);
    m.Select(c.Start, c.Length);
    if (*c.Insert != '\0') {
      m.ReplaceSelection(c.Insert);
    } else {
      m.ClearSelection();
    }
    EXPECT_EQ(m.Text(), c.Text) << c.What;
    EXPECT_EQ(BulletMap(m), c.Bullets) << c.What;
    EXPECT_EQ(AlignmentMap(m), c.Alignment) << c.What;
  }
}

TEST(TextModel, BulletsAndAlignmentAreSetApart) {
  TTextModel m = PlainModel("p1\r\np2\r\np3\r\np4");
  m.Select(1, 5);  // p1 and p2
  m.SetParagraphBullets(true);
  m.Select(5, 4);  // p2 and p3
  m.SetParagraphAlignment(TAlignment::Right);
  EXPECT_EQ(BulletMap(m), "**--");
  EXPECT_EQ(AlignmentMap(m), "lrrl");
  m.SetSelStart(4);
  m.SetParagraphBullets(false);  // p2 keeps its alignment
  EXPECT_EQ(BulletMap(m), "*---");
  EXPECT_EQ(AlignmentMap(m), "lrrl");
  // Appending at the caret, as a help text is written: the switch applies to the
  // empty last paragraph, and the breaks typed carry it on.
  TTextModel h;
  h.ReplaceSelection("Head\n");
  h.SetParagraphBullets(true);
  h.ReplaceSelection("one\ntwo\n");
  h.SetParagraphBullets(false);
  h.ReplaceSelection("\nend\n");
  EXPECT_EQ(BulletMap(h), "-**---");
  EXPECT_FALSE(h.ParagraphBullets(h.TextLength()));
  h.Clear();
  EXPECT_EQ(BulletMap(h), "-");
  EXPECT_EQ(h.AlignmentSpans().size(), 1u);
}

// The batch deletion must leave exactly what deleting its ranges one by one, from
// the last to the first, leaves: text, formats and alignment.
TEST(TextModel, DeleteRangesMatchesOneByOneDeletion) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int n = rng() % 60;
    for (int i = 0; i < n; ++i)
      text += (rng() % 5 == 0) ? "\r\n" : std::string(1, 'a' + rng() % 3);
    TTextModel a = PlainModel(text);
    text = a.Text();
    const int len = a.TextLength();
    for (int k = 0; k < 4 && len > 0; ++k) {
      a.Select(rng() % len, rng() % 6);
      if (k % 2) {
        a.SetSelColor(kRed);
      } else {
        a.SetSelBold(true);
      }
      if (k == 2) a.SetParagraphBullets(true);
      if (k == 3) a.SetParagraphAlignment(TAlignment::Center);
    }
    TTextModel b = a;
    std::vector<TRange> ranges;
    int pos = 0;
    while (len > 0) {
      pos += rng() % 5;
      int l = rng() % 5;
      if (pos + l > len) break;
      // Ranges never cut a line break in two, as a caller deleting lines does not.
      auto inBreak = [&](int at) { return at > 0 && at < len && text[at] == '\n'; };
      if (inBreak(pos)) ++pos;
      if (inBreak(pos + l)) ++l;
      if (pos + l > len) break;
      ranges.push_back({pos, l});
      pos += l + 1;
    }
    a.DeleteRanges(ranges);
    for (auto r = ranges.rbegin(); r != ranges.rend(); ++r) {
      b.Select(r->Start, r->Length);
      b.ClearSelection();
    }
    ASSERT_EQ(a.Text(), b.Text()) << "round " << round;
    ASSERT_EQ(ColourMap(a), ColourMap(b)) << "round " << round;
    ASSERT_EQ(AlignmentMap(a), AlignmentMap(b)) << "round " << round;
    ASSERT_EQ(BulletMap(a), BulletMap(b)) << "round " << round;
    EXPECT_EQ(a.SelStart(), 0);
  }
}

TEST(TextModel, ColourRangesTakesRangesInAnyOrderAndClampsThem) {
  TTextModel m = PlainModel("0123456789");
  m.Select(0, 2);
  m.SetSelBold(true);
  const std::vector<TRange> ranges = {{7, 2}, {1, 2}, {2, 2}, {8, 50}, {-4, 5}};
  m.ColourRanges(ranges, kRed);
  EXPECT_EQ(ColourMap(m), "RRrrkkkrrr");
  m.DeleteRanges(std::vector<TRange>{{0, 1}, {9, 1}});
  EXPECT_EQ(m.Text(), "12345678");
  EXPECT_EQ(ColourMap(m), "Rrrkkkrr");
}

TEST(TextModel, RevisionChangesWithEveryEdit) {
  TTextModel m = PlainModel("abc");
  auto r = m.Revision();
  m.Select(0, 1);
  EXPECT_EQ(m.Revision(), r);  // selecting is not an edit
  m.SetSelColor(kRed);
  EXPECT_NE(m.Revision(), r);
  r = m.Revision();
  m.ReplaceSelection("z");
  EXPECT_NE(m.Revision(), r);
}

}  // namespace

// Narrowing a text to a middle paragraph must not hand it the alignment of the
// last one, whose end the deletion reaches: what is kept keeps its own formatting.
TEST(TextModel, DeletingTheTailKeepsTheAlignmentOfWhatIsKept) {
  struct TCase {
    std::vector<TRange> ranges;
    std::string text;
    std::string alignment;
  } cases[] = {
      {{{0, 1}, {6, 5}}, "\r\n\r\nB", "llc"},  // a middle paragraph alone
      {{{1, 10}}, "A", "l"},                   // the first paragraph alone
      {{{0, 6}}, "\r\n\r\nC", "clr"},          // the last paragraph keeps its own
  };
  for (const auto& c : cases) {
    TTextModel m;
    m.LoadPlainText("A\r\n\r\nB\r\n\r\nC");
    m.Select(5, 1);
    m.SetParagraphAlignment(TAlignment::Center);
    m.Select(10, 1);
    m.SetParagraphAlignment(TAlignment::Right);
    m.DeleteRanges(c.ranges);
    EXPECT_EQ(m.Text(), c.text);
    EXPECT_EQ(richedit::test::AlignmentMap(m), c.alignment) << c.text;
  }
  // The same through the selection.
  TTextModel m;
  m.LoadPlainText("A\r\nB");
  m.Select(3, 1);
  m.SetParagraphAlignment(TAlignment::Right);
  m.Select(1, 3);
  m.ClearSelection();
  EXPECT_EQ(m.Text(), "A");
  EXPECT_EQ(richedit::test::AlignmentMap(m), "l");
}
