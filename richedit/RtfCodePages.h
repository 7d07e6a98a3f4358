// The code pages rich text names (\ansicpg, \cpg, \fcharset) and the conversion of
// their bytes to Windows-1251. Internal to the rich-text reader.
#pragma once

#include <array>
#include <map>

namespace richedit {

// The Windows code page of a font character set number (\fcharset); 0 when the set
// names none of its own (DEFAULT_CHARSET, SYMBOL_CHARSET and unknown numbers).
[[nodiscard]] int CodePageOfCharset(int charset);

// Whether a code page encodes characters in two bytes with a lead byte from 0x80 up
// (the East Asian ones).
[[nodiscard]] bool IsDoubleByteCodePage(int codePage);

// Tables from the bytes of single-byte code pages to Windows-1251, built on first
// use (from iconv) and kept for the lifetime of this object. A character that
// Windows-1251 lacks maps to '?'; so does every byte from 0x80 of a code page that
// is not known.
class TCodePageTables {
 public:
  using TTable = std::array<unsigned char, 256>;
  [[nodiscard]] const TTable& Table(int codePage);

 private:
  std::map<int, TTable> tables_;
};

}  // namespace richedit
