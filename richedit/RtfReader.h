// The rich-text reader: RTF as Word, LibreOffice and WordPad write it, turned into
// the content of a TTextModel (Windows-1251 text with CR LF breaks, format runs,
// paragraph alignment). Internal to the control; TTextModel::LoadRichText uses it.
//
// Damaged input never fails: unbalanced groups, a cut-off file, enormous numbers
// and deep nesting read as far as they make sense, in time linear in the input and
// memory of a small multiple of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "richedit/CharFormat.h"
#include "richedit/TextModel.h"

namespace richedit {

struct TRtfContent {
  std::string Text;
  std::vector<TCharFormat> Formats;
  std::vector<TFormatSpan> Runs;  // cover Text in order; Length is not used
  std::vector<TAlignmentSpan> Alignments;
};

// Reads rtf (which should start with "{\rtf"). Text of a font whose code page is not
// Windows-1251 is converted to it, "?" standing for what it lacks. Every run takes
// the Cyrillic character set, which is what the converted text is in; colour
// \cf0 and unknown colours are the colour of defaultFormat, and so is the font of an
// unknown font number.
[[nodiscard]] TRtfContent ReadRtf(std::string_view rtf, const TCharFormat& defaultFormat);

}  // namespace richedit
