// TRichStream: a memory stream of rich text, as a document keeps its whole text and
// its last filter result. It holds either bytes as they came (a file's content,
// read as rich text when the control loads it, as plain text when it is not rich
// text) or a content saved from the control. A saved content stays in the model's
// own form, sharing the control's text buffer until one side changes it, so saving
// a 100 MB document and showing it again cost neither a rich-text writing and
// reading nor a copy; its rich-text bytes are written when someone asks for them.
#pragma once

#include <optional>
#include <string>

#include "richedit/TextModel.h"

namespace richedit {

class TRichStream {
 public:
  // An empty stream.
  TRichStream() = default;
  // A stream holding bytes.
  explicit TRichStream(std::string bytes) : bytes_(std::move(bytes)) {}
  // A stream holding the content of model (text, formats, paragraph format).
  [[nodiscard]] static TRichStream Saved(const TTextModel& model);

  // True when the stream holds nothing: no bytes and no saved content.
  [[nodiscard]] bool empty() const { return !saved_ && bytes_.empty(); }
  // Releases what the stream holds.
  void clear();

  // The saved content, or null when the stream holds bytes.
  [[nodiscard]] const TTextModel* SavedContent() const { return saved_ ? &*saved_ : nullptr; }
  // The bytes held (empty for a saved content).
  [[nodiscard]] const std::string& RawBytes() const { return bytes_; }
  // Takes the bytes out, leaving the stream empty.
  [[nodiscard]] std::string TakeBytes();

  // The stream's content as bytes: the bytes held, or the saved content written
  // as rich text.
  [[nodiscard]] std::string Bytes() const;

 private:
  std::string bytes_;
  std::optional<TTextModel> saved_;
};

}  // namespace richedit
