// The rich-text reader on hand-written files, one construct each, and on damaged ones.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "ModelTestUtil.h"
#include "platform/CodePage.h"
#include "richedit/TextModel.h"

using namespace richedit;
using richedit::test::AlignmentMap;

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(DARVENA_RICHEDIT_FIXTURES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TTextModel Load(const std::string& bytes) {
  TTextModel m;
  m.LoadRichTextOrPlain(bytes);
  return m;
}

std::string Utf8(const TTextModel& m) {
  return platform::AnsiToUtf8(m.Text());
}

TEST(RtfReader, TextOfEachConstruct) {
  using namespace std::string_literals;
  const struct {
    const char* File;
    std::string Text;  // UTF-8
  } cases[] = {
      {"ansicpg1251.rtf", "Кот и пёс"},
      {"fcharset.rtf",
       "caf? € кот ?"
       "? ?"},
      {"cpg.rtf", "кот ?x"},
      {"unicode.rtf", "кот Ё|ё|€|?|?|Я."},
      {"groups.rtf", "abcdefgh"},
      {"character.rtf", "nbninununrnxp"},
      {"paragraphs.rtf", "one\r\ntwo\r\nthree\tfour\r\nfive\r\nsix"},
      {"alignment.rtf", "centre\r\nright\r\nleft\r\njustified\r\nlast"},
      {"named_characters.rtf", "a—b–c•d‘e’f“g”h\u00A0i\u00ADj-k\\l{m}n"},
      {"ignorable.rtf", "abc"},
      {"skipped.rtf", "abclinkd7e"},
      {"bin.rtf", "abc"},
      {"table.rtf", "a\tb\t\r\nc\t\r\nend"},
      {"missing_chars.rtf",
       "??"
       "?-?-Я"},
      {"nul_and_controls.rtf", "a\0b\rc\nde\tf"s},
      {"header_only_lowercase.txt", "{\\RTF1 upper-case header is not rich text}"},
      {"wordpad_like.rtf", "Привет, мир!\r\nCentred\r\n"},
      {"word_like.rtf", "Слово жирно\r\n"},
      {"libreoffice_like.rtf", "Первый\r\nвторой\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Utf8(Load(Fixture(c.File))), c.Text) << c.File;
}

TEST(RtfReader, GroupsPushAndPopTheFormat) {
  const TTextModel m = Load(Fixture("groups.rtf"));
  const TRgb red{255, 0, 0};
  const struct {
    int At;
    bool Bold, Italic;
    TRgb Color;
    const char* Font;
    int Size;
  } cases[] = {
      {0, false, false, kBlack, "Arial", 24},       {1, true, false, kBlack, "Arial", 24},
      {2, true, true, kBlack, "Arial", 24},         {3, true, true, red, "Arial", 24},
      {4, true, false, kBlack, "Arial", 24},        {5, false, false, kBlack, "Arial", 24},
      {6, false, false, kBlack, "Courier New", 36}, {7, false, false, kBlack, "Arial", 24}};
  for (const auto& c : cases) {
    const TCharFormat& f = m.FormatAt(c.At);
    EXPECT_EQ(f.Styles.Bold, c.Bold) << c.At;
    EXPECT_EQ(f.Styles.Italic, c.Italic) << c.At;
    EXPECT_EQ(f.Color, c.Color) << c.At;
    EXPECT_EQ(f.FontName, c.Font) << c.At;
    EXPECT_EQ(f.SizeHalfPoints, c.Size) << c.At;
    EXPECT_EQ(f.Charset, kRussianCharset);
  }
}

TEST(RtfReader, CharacterFormattingWords) {
  const TTextModel m = Load(Fixture("character.rtf"));
  // n b n i n u n u n r n x p
  const char* expected = "-B-I-U-U-R-*p";
  for (int i = 0; i < m.TextLength(); ++i) {
    const TCharFormat& f = m.FormatAt(i);
    std::string got;
    if (f.Styles.Bold && f.Styles.Italic && f.Styles.Underline && f.Color == kRed) {
      got = "*";
    } else if (f.Styles.Bold) {
      got = "B";
    } else if (f.Styles.Italic) {
      got = "I";
    } else if (f.Styles.Underline) {
      got = "U";
    } else if (f.Color == kRed) {
      got = "R";
    } else {
      got = f.SizeHalfPoints == 24 ? "p" : "-";
    }
    EXPECT_EQ(got, std::string(1, expected[i])) << "character " << i;
  }
}

TEST(RtfReader, ParagraphAlignment) {
  EXPECT_EQ(AlignmentMap(Load(Fixture("alignment.rtf"))), "crllc");
  EXPECT_EQ(AlignmentMap(Load(Fixture("wordpad_like.rtf"))), "lcc");
  EXPECT_EQ(AlignmentMap(Load(Fixture("libreoffice_like.rtf"))), "lrr");
}

TEST(RtfReader, BulletedParagraphs) {
  // The shape word processors write: the rendered bullet in \pntext (not text), the
  // bullet itself in {\*\pn ...}, carried over \par until \pard; a numbered list and
  // a \pn inside a skipped table are not bullets.
  const TTextModel m = Load(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\pn\\pnlvlblt}}"
      "\\pard{\\pntext\\f0\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
      "\\fi-200\\li200\\qc one\\par{\\pntext\\'95\\tab}two\\par\\pard three\\par"
      "{\\*\\pn\\pnlvlbody\\pndec}four\\par\\pard{\\*\\pn\\pnlvlblt}}");
  EXPECT_EQ(m.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
  EXPECT_EQ(richedit::test::BulletMap(m), "**--*");
  EXPECT_EQ(AlignmentMap(m), "cclll");
}

TEST(RtfReader, FormatsOfRealWorldShapes) {
  const TTextModel word = Load(Fixture("word_like.rtf"));
  EXPECT_EQ(word.FormatAt(0).FontName, "Calibri");
  EXPECT_EQ(word.FormatAt(0).SizeHalfPoints, 22);
  EXPECT_FALSE(word.FormatAt(0).Styles.Bold);
  EXPECT_TRUE(word.FormatAt(6).Styles.Bold);
  EXPECT_EQ(word.FormatAt(6).Color, kRed);

  const TTextModel office = Load(Fixture("libreoffice_like.rtf"));
  EXPECT_EQ(office.FormatAt(0).FontName, "Liberation Sans");
  EXPECT_EQ(office.FormatAt(8).Color, (TRgb{128, 128, 128}));
  EXPECT_TRUE(office.FormatAt(8).Styles.Italic);

  const TTextModel pad = Load(Fixture("wordpad_like.rtf"));
  EXPECT_EQ(platform::AnsiToUtf8(pad.Text().substr(8)), "мир!\r\nCentred\r\n");
  EXPECT_TRUE(pad.FormatAt(8).Styles.Bold);
  EXPECT_EQ(pad.FormatAt(8).Color, kRed);
  EXPECT_FALSE(pad.FormatAt(11).Styles.Bold);
}

TEST(RtfReader, DamagedFilesReadAsFarAsTheyGo) {
  const struct {
    const char* File;
    const char* StartsWith;
  } cases[] = {
      {"bad_unbalanced_close.rtf", "a"},
      {"bad_truncated.rtf", "bold"},
      {"bad_truncated_word.rtf", "text\r\nmore"},
      {"bad_huge_numbers.rtf", "xyz"},
      {"bad_long_word.rtf", "ab"},
      {"bad_hex.rtf", "azzbL"},
  };
  for (const auto& c : cases) {
    const std::string bytes = Fixture(c.File);
    const TTextModel m = Load(bytes);
    EXPECT_TRUE(m.Text().starts_with(c.StartsWith)) << c.File << ": " << m.Text();
    EXPECT_LE(m.TextLength(), static_cast<int>(bytes.size())) << c.File;
  }
  EXPECT_EQ(Load(Fixture("bad_unbalanced_close.rtf")).Text(), "a");
  EXPECT_EQ(Load(Fixture("bad_huge_numbers.rtf")).FormatAt(1).SizeHalfPoints, 3276);
}

TEST(RtfReader, DeepNestingNeedsNoStackOfItsOwnSize) {
  const std::string closed =
      "{\\rtf1\\ansi" + std::string(200000, '{') + "deep" + std::string(200000, '}') + "out}";
  EXPECT_EQ(Load(closed).Text(), "deepout");
  std::string open = "{\\rtf1\\ansi";
  for (int i = 0; i < 100000; ++i)
    open += "{\\b";
  open += " x";
  const TTextModel m = Load(open);
  EXPECT_EQ(m.Text(), "x");
  EXPECT_TRUE(m.FormatAt(0).Styles.Bold);
}

// Damage of every kind at random places in the fixtures: the reader must come back
// with no more text than the input has bytes (and, under the sanitizers, cleanly).
// Damage to the header makes plain text of the file, which is not this test's concern.
TEST(RtfReader, SurvivesRandomDamage) {
  const char* files[] = {"word_like.rtf", "libreoffice_like.rtf",
                         "skipped.rtf",   "unicode.rtf",
                         "table.rtf",     "bin.rtf"};
  std::mt19937 rng(1);
  const char* pieces[] = {"{", "}", "\\", "\\'", "\\u", "\\bin", "\\*", "\\uc9", "-", "9", "\\par"};
  for (const char* file : files) {
    const std::string original = Fixture(file);
    for (int round = 0; round < 300; ++round) {
      std::string bytes = original;
      for (int k = 0; k < 4; ++k) {
        const std::size_t at = rng() % bytes.size();
        switch (rng() % 3) {
          case 0:
            bytes.insert(at, pieces[rng() % std::size(pieces)]);
            break;
          case 1:
            bytes.erase(at, rng() % 8);
            break;
          default:
            bytes[at] = static_cast<char>(rng());
            break;
        }
      }
      if (rng() % 4 == 0) bytes.resize(5 + rng() % (bytes.size() - 4));
      const TTextModel m = Load(bytes);
      if (!TTextModel::IsRichText(bytes)) continue;  // read as plain text instead
      ASSERT_LE(m.TextLength(), static_cast<int>(bytes.size())) << file << " round " << round;
    }
  }
}

}  // namespace
