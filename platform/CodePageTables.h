// The raw tables behind CodePage.h, for code that needs a lookup in a hot loop
// (the rich-edit search, case folding of whole texts). Everyone else calls CodePage.h.
#pragma once

namespace platform::tables {

// Unicode code point of every Windows-1251 byte; 0xFFFF where the code page has none.
extern const char16_t kAnsiToUnicode[256];
// Unicode code point of every code page 866 byte.
extern const char16_t kOemToUnicode[256];
// Simple case mapping within Windows-1251: a byte whose counterpart is not in the
// code page maps to itself.
extern const unsigned char kAnsiUpper[256];
extern const unsigned char kAnsiLower[256];
// Bit kLetterBit: the byte is a letter; bit kDigitBit: a decimal digit.
extern const unsigned char kAnsiClass[256];
inline constexpr unsigned char kLetterBit = 1;
inline constexpr unsigned char kDigitBit = 2;

}  // namespace platform::tables
