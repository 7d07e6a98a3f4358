// Fuzz target for the rich-text reader: any bytes load without a crash, an
// out-of-bounds read or runaway memory; what loads, edited a little, writes out as
// rich text that reads back to the same text, formats and alignment.
#include <algorithm>
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
  // A few edits steered by the input, then the round trip must give everything back.
  const int len = model.TextLength();
  if (len > 0) {
    const int a = static_cast<int>(size % len);
    const int b = static_cast<int>((size * 7 + (size > 0 ? data[0] : 0)) % len);
    const richedit::TRange ranges[] = {{std::min(a, b) / 2, std::abs(a - b) / 3},
                                       {std::max(a, b), 2}};
    model.ColourRanges(ranges, richedit::kRed);
    model.Select(b, 5);
    model.SetParagraphAlignment(richedit::TAlignment::Center);
    model.SetParagraphBullets(size % 2 == 0);
    model.SetSelBold(true);
    if (size % 3 == 0) model.DeleteRanges(ranges);
    if (size % 5 == 0) model.ReplaceSelection("x\ny");
  }
  richedit::TTextModel back;
  back.LoadRichText(model.SaveRichText());
  if (back.Text() != model.Text()) std::abort();
  for (int i = 0; i < model.TextLength(); ++i)
    if (!(back.FormatAt(i) == model.FormatAt(i))) std::abort();
  for (int i = 0; i <= model.TextLength(); ++i)
    if (back.ParagraphAlignment(i) != model.ParagraphAlignment(i) ||
        back.ParagraphBullets(i) != model.ParagraphBullets(i))
      std::abort();
  (void)model.FindText("\xCA\xCE\xD2", 0, model.TextLength(), true);
  return 0;
}
