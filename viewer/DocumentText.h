// How a document's bytes become the rich text the viewer keeps and filters, and
// which filtering mode a loaded document gets. No Qt: the main window and the
// command-line filter load documents by the same rules.
#pragma once

#include <string_view>

#include "platform/WinPath.h"
#include "richedit/CharFormat.h"
#include "richedit/TextModel.h"

namespace viewer {

// True when the document named FileName is read as rich text: its extension is
// exactly ".rtf". The comparison is case-sensitive on purpose: a file named .RTF or
// .Rtf is read as plain text and its markup shows as text.
[[nodiscard]] inline bool IsRichTextName(std::string_view FileName) {
  return platform::ExtractFileExt(FileName) == ".rtf";
}

// The font plain text takes when it becomes rich text: Arial, 12 pixels, Cyrillic,
// window-text black.
[[nodiscard]] inline richedit::TCharFormat PlainTextFont() {
  richedit::TCharFormat font;
  font.FontName = "Arial";
  font.SizeHalfPoints = richedit::HalfPointsFromPixels(12);
  font.Charset = richedit::kRussianCharset;
  font.Color = richedit::kBlack;
  return font;
}

// Fills Model with the document named FileName whose file holds Bytes: a name
// IsRichTextName accepts as rich text (plain text when the bytes are not rich text),
// any other as Windows-1251 plain text in PlainTextFont, left-aligned. The result
// equals converting the plain text to rich text and loading that, without writing
// and reading the rich text in between. False, with Model unchanged, only when the
// text would exceed the model's limit.
[[nodiscard]] inline bool LoadDocumentText(richedit::TTextModel& Model, std::string_view FileName,
                                           std::string_view Bytes) {
  if (IsRichTextName(FileName)) {
    Model.LoadRichTextOrPlain(Bytes);
    return true;
  }
  Model.SetDefaultFormat(PlainTextFont());
  return Model.LoadPlainText(Bytes);
}

// The filtering mode a loaded document gets from its line count Lines and its
// number of paragraphs ParaCount (at least 1): paragraph filtering (true) when its
// paragraphs have on average fewer than 32 lines, line filtering otherwise.
[[nodiscard]] constexpr bool ChooseBlockFilter(int Lines, int ParaCount) {
  return Lines / ParaCount < 32;
}

}  // namespace viewer
