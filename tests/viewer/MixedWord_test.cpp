#include "viewer/MixedWord.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

using platform::Utf8ToAnsi;

TEST(MixedWord, Table) {
  struct TCase {
    const char* key;  // UTF-8
    bool mixed;
    const char* word;  // the word named, when mixed
  } cases[] = {
      {"ДОМ ", false, ""},       {"ДОMА ", true, "ДОMА"},  // Latin M inside a Cyrillic word
      {"ДОМ-A ", false, ""},                               // the hyphen separates the words
      {"«ДОМ» ", true, "«ДОМ»"},  // the guillemet is a letter, not a Cyrillic one
      {"MАМА ", true, "MАМА"},    // Latin start, Cyrillic after it
      {"HOUSE ", false, ""},     {"КОТ ПЁС ", false, ""},
      {"КОТ ПЁS ", true, "ПЁS"},                          // the second word
      {"ЁЛКА ", false, ""},      {"ЁЛKА", true, "ЁЛKА"},  // at the very end, without a separator
      {"ДОM1А ", true, "ДОM"},                            // digits separate words
      {"", false, ""},           {"   ", false, ""},
      {"Д ", false, ""},         {"A", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    std::string word;
    EXPECT_EQ(viewer::HasMixedWord(Utf8ToAnsi(c.key), word), c.mixed);
    if (c.mixed) {
      EXPECT_EQ(word, Utf8ToAnsi(c.word));
    }
  }
}

TEST(MixedWord, ControlCodesCountAsLetters) {
  std::string word;
  // Code 1 begins a non-Cyrillic word, so a Cyrillic letter after it mixes.
  EXPECT_TRUE(viewer::HasMixedWord(std::string("\x01") + Utf8ToAnsi("Д "), word));
  // Tab separates.
  EXPECT_FALSE(viewer::HasMixedWord(Utf8ToAnsi("Д\tA "), word));
}
