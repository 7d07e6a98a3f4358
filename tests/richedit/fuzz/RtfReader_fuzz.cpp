// Fuzz target for the rich-text reader: any bytes load without a crash, an
// out-of-bounds read or runaway memory; what loads writes out as rich text that
// reads back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "richedit/TextModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  richedit::TTextModel model;
  model.LoadRichTextOrPlain(bytes);
  if (richedit::TTextModel::IsRichText(bytes) && model.Text().size() > size) std::abort();
  richedit::TTextModel back;
  back.LoadRichText(model.SaveRichText());
  if (back.Text() != model.Text()) std::abort();
  (void)model.FindText("\xCA\xCE\xD2", 0, model.TextLength(), true);
  return 0;
}
