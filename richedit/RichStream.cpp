#include "richedit/RichStream.h"

namespace richedit {

TRichStream TRichStream::Saved(const TTextModel& model) {
  TRichStream stream;
  stream.saved_.emplace(model);  // a copy shares the model's text buffer
  return stream;
}

void TRichStream::clear() {
  std::string().swap(bytes_);
  saved_.reset();
}

std::string TRichStream::TakeBytes() {
  std::string taken;
  taken.swap(bytes_);
  saved_.reset();
  return taken;
}

std::string TRichStream::Bytes() const {
  return saved_ ? saved_->SaveRichText() : bytes_;
}

}  // namespace richedit
