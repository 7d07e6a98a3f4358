// Writing a filter result to a terminal or a pipe.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "richedit/TextModel.h"
#include "tools/darvena-filter/FilterOptions.h"

namespace filtertool {

// How the text of a result is written.
struct TWriteStyle {
  // Red runs go between ESC[31m and ESC[0m (closed before each line break and
  // opened again after it, so that no colour spills over into the next line).
  bool Color = false;
  TOutputEncoding Encoding = TOutputEncoding::Utf8;
  // Line breaks as CR LF; otherwise LF.
  bool Crlf = false;
};

// Writes the text of Model to Stream as Style asks, ending with a line break when it
// is not empty. Writes a megabyte at a time, so the text is never held twice; false
// on a write error.
bool WriteResult(std::FILE* Stream, const richedit::TTextModel& Model, const TWriteStyle& Style);

// Text (Windows-1251) in Encoding, line breaks as they are.
[[nodiscard]] std::string Encode(std::string_view Text, TOutputEncoding Encoding);

// Writes Bytes to Stream whole; false on a write error.
bool WriteAll(std::FILE* Stream, std::string_view Bytes);

}  // namespace filtertool
