// Line breaks of the model's text: the conversion of plain text to CR LF breaks and
// the scans for breaks that lines, layout and search share. Internal to the control.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace richedit {

// The length of bytes once each CR LF, lone CR and lone LF is one CR LF.
[[nodiscard]] std::size_t NormalizedLength(std::string_view bytes);
// Writes bytes with every break made CR LF to out, which has room for
// NormalizedLength(bytes) characters.
void NormalizeLineBreaks(std::string_view bytes, char* out);

// The number of CR LF pairs in [data, data + size).
[[nodiscard]] int CountLineBreaks(const char* data, std::size_t size);

[[nodiscard]] inline bool EndsWithLineBreak(std::string_view text) {
  return text.ends_with("\r\n");
}

// The start of the line holding offset: just past the last CR LF that ends before
// offset, or 0.
[[nodiscard]] int LineStart(std::string_view text, int offset);
// The offset of the CR of the first CR LF at or after lineStart, or the text's length.
[[nodiscard]] int LineEnd(std::string_view text, int lineStart);

}  // namespace richedit
