// Every table entry against iconv, and the conversions built on the tables.
#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cwctype>
#include <optional>

using namespace platform;

namespace {

// Converts text between two encodings with iconv; empty when iconv refuses it.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
  std::string out(16 + in.size() * 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

// The code point of one byte of a code page, as iconv reads it.
std::optional<char32_t> IconvDecode(const char* codePage, int byte) {
  const auto utf32 = Iconv("UTF-32LE", codePage, std::string(1, static_cast<char>(byte)));
  if (!utf32 || utf32->size() != 4) return std::nullopt;
  const auto* b = reinterpret_cast<const unsigned char*>(utf32->data());
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<char32_t>(b[3]) << 24);
}

// The byte of a code page for a code point, as iconv writes it.
std::optional<int> IconvEncode(const char* codePage, char32_t u) {
  std::string utf32(4, '\0');
  for (int k = 0; k < 4; ++k)
    utf32[k] = static_cast<char>((u >> (8 * k)) & 0xFF);
  const auto out = Iconv(codePage, "UTF-32LE", utf32);
  if (!out || out->size() != 1) return std::nullopt;
  return static_cast<unsigned char>((*out)[0]);
}

}  // namespace

TEST(CodePageTables, AgreeWithIconvForEveryByte) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const auto ansi = IconvDecode("CP1251", b);
    EXPECT_EQ(tables::kAnsiToUnicode[b], ansi ? *ansi : 0xFFFF);
    const auto oem = IconvDecode("CP866", b);
    ASSERT_TRUE(oem.has_value());
    EXPECT_EQ(tables::kOemToUnicode[b], *oem);

    // Case mapping: Unicode's simple mapping, kept only where the other case is in
    // Windows-1251 too.
    int upper = b, lower = b;
    bool letter = false;
    if (ansi) {
      if (auto u = IconvEncode("CP1251", std::towupper(static_cast<wint_t>(*ansi)))) upper = *u;
      if (auto l = IconvEncode("CP1251", std::towlower(static_cast<wint_t>(*ansi)))) lower = *l;
      letter = std::iswalpha(static_cast<wint_t>(*ansi)) != 0;
    }
    EXPECT_EQ(AnsiUpper(static_cast<unsigned char>(b)), upper);
    EXPECT_EQ(AnsiLower(static_cast<unsigned char>(b)), lower);
    EXPECT_EQ(IsAnsiLetter(static_cast<unsigned char>(b)), letter);
    EXPECT_EQ(IsAnsiDigit(static_cast<unsigned char>(b)), b >= '0' && b <= '9');
    EXPECT_EQ(IsAnsiWordChar(static_cast<unsigned char>(b)),
              letter || (b >= '0' && b <= '9') || b == '_');

    // One character for one character between the two code pages.
    const std::string one(1, static_cast<char>(b));
    const auto oemByte = ansi ? IconvEncode("CP866", *ansi) : std::nullopt;
    EXPECT_EQ(ConvertToOem(one), std::string(1, oemByte ? static_cast<char>(*oemByte) : '?'));
    const auto ansiByte = IconvEncode("CP1251", *oem);
    EXPECT_EQ(ConvertFromOem(one), std::string(1, ansiByte ? static_cast<char>(*ansiByte) : '?'));
  }
}

TEST(CodePage, Utf8RoundTripOfTheWholeCodePage) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    if (b != 0x98) all += static_cast<char>(b);
  const std::string utf8 = AnsiToUtf8(all);
  EXPECT_EQ(utf8, *Iconv("UTF-8", "CP1251", all));
  EXPECT_EQ(Utf8ToAnsi(utf8), all);
}

TEST(CodePage, Utf8ToAnsiReplacesWhatTheCodePageLacks) {
  struct TCase {
    const char* utf8;
    std::string ansi;
  } cases[] = {
      {"Дарвена", "\xC4\xE0\xF0\xE2\xE5\xED\xE0"},
      {"ё Ё № «»", "\xB8 \xA8 \xB9 \xAB\xBB"},
      {"日本", "??"},
      {"α-β", "?-?"},
      {"\xFF\xC3", "??"},       // malformed: a stray byte and a truncated sequence
      {"a\xE2\x82", "a??"},     // truncated three-byte sequence
      {"\xED\xA0\x80", "???"},  // an encoded surrogate is malformed
  };
  for (const auto& c : cases)
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
  EXPECT_EQ(AnsiToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(CodePage, CaseOfWholeTexts) {
  EXPECT_EQ(AnsiUpperCase("\xEA\xEE\xF2 \xB8\xE6 cat \x9A"), "\xCA\xCE\xD2 \xA8\xC6 CAT \x8A");
  EXPECT_EQ(AnsiLowerCase("\xC4\xC0\xD0 DOG"), "\xE4\xE0\xF0 dog");
  EXPECT_TRUE(AnsiSameText("\xC4\xE0\xF0\xE2\xE5\xED\xE0", "\xC4\xC0\xD0\xC2\xC5\xCD\xC0"));
  EXPECT_FALSE(AnsiSameText("ab", "abc"));
}

TEST(CodePage, OemConversionKeepsLength) {
  const std::string ansi = "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8 \x88";  // Привет Ёё €
  const std::string oem = ConvertToOem(ansi);
  ASSERT_EQ(oem.size(), ansi.size());
  EXPECT_EQ(oem, "\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xF1 ?");
  EXPECT_EQ(ConvertFromOem(oem), "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8 ?");
  EXPECT_EQ(ConvertFromOem("\xC9\xCD"), "??");  // box drawing has no Windows-1251 form
  EXPECT_EQ(ConvertFromOem(""), "");
}
