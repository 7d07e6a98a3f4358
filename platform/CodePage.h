// Windows-1251 (the ANSI code page of the whole system) and code page 866 (its OEM
// code page): conversions, case mapping and character classes.
//
// All text inside the programs is Windows-1251 held in std::string; these routines
// are the only way text crosses to UTF-8 (file names, the terminal, the screen).
#pragma once

#include <string>
#include <string_view>

#include "platform/CodePageTables.h"

namespace platform {

// UTF-8 to Windows-1251. A character the code page lacks becomes "?"; so does each
// byte of malformed UTF-8.
[[nodiscard]] std::string Utf8ToAnsi(std::string_view utf8);
// Windows-1251 to UTF-8. The one undefined byte (0x98) becomes U+FFFD.
[[nodiscard]] std::string AnsiToUtf8(std::string_view ansi);

// Code point of one Windows-1251 byte, or U+FFFD for the undefined one.
[[nodiscard]] char32_t AnsiToUnicode(unsigned char c);
// The Windows-1251 byte for a code point, or -1 when the code page lacks it.
[[nodiscard]] int UnicodeToAnsi(char32_t u);
// The code page 866 byte for a code point, or -1 when the code page lacks it.
[[nodiscard]] int UnicodeToOem(char32_t u);

// Windows-1251 to code page 866 and back, one character for one character: the
// result has the length of the argument, with "?" where no counterpart exists.
[[nodiscard]] std::string ConvertToOem(std::string_view ansi);
[[nodiscard]] std::string ConvertFromOem(std::string_view oem);

[[nodiscard]] inline unsigned char AnsiUpper(unsigned char c) {
  return tables::kAnsiUpper[c];
}
[[nodiscard]] inline unsigned char AnsiLower(unsigned char c) {
  return tables::kAnsiLower[c];
}
[[nodiscard]] std::string AnsiUpperCase(std::string_view s);
[[nodiscard]] std::string AnsiLowerCase(std::string_view s);
// Case-insensitive equality by the Windows-1251 case table.
[[nodiscard]] bool AnsiSameText(std::string_view a, std::string_view b);

[[nodiscard]] inline bool IsAnsiLetter(unsigned char c) {
  return (tables::kAnsiClass[c] & tables::kLetterBit) != 0;
}
[[nodiscard]] inline bool IsAnsiDigit(unsigned char c) {
  return (tables::kAnsiClass[c] & tables::kDigitBit) != 0;
}
// A word character: letter, digit or underscore.
[[nodiscard]] inline bool IsAnsiWordChar(unsigned char c) {
  return tables::kAnsiClass[c] != 0 || c == '_';
}

}  // namespace platform
