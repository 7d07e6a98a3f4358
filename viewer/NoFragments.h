// The message result: what a filter run leaves in place of text when nothing
// qualifies. No Qt; written into any editor or model that offers the rich-edit
// selection operations (TRichEdit, TTextModel).
#pragma once

#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "richedit/CharFormat.h"

namespace viewer {

// The message's text (Windows-1251) for the key KeyText as the key edit shows it;
// " целиком" follows when the run looked for the key as a whole word.
[[nodiscard]] inline std::string NoFragmentsText(std::string_view KeyText, bool WholeWord) {
  std::string text = platform::Utf8ToAnsi("Нет фрагментов, содержащих \"");
  text += KeyText;
  text += '"';
  if (WholeWord) text += platform::Utf8ToAnsi(" целиком");
  return text;
}

// Replaces the content of Edit with the message: one centred bold line, the key in
// red and the rest in black. Edit needs Clear, SetParagraphAlignment, SetSelBold,
// SetSelColor and ReplaceSelection.
template <class TEdit>
void WriteNoFragments(TEdit& Edit, std::string_view KeyText, bool WholeWord) {
  Edit.Clear();
  Edit.SetParagraphAlignment(richedit::TAlignment::Center);
  Edit.SetSelBold(true);
  Edit.SetSelColor(richedit::kBlack);
  Edit.ReplaceSelection(platform::Utf8ToAnsi("Нет фрагментов, содержащих \""));
  Edit.SetSelColor(richedit::kRed);
  Edit.ReplaceSelection(KeyText);
  Edit.SetSelColor(richedit::kBlack);
  Edit.ReplaceSelection("\"");
  if (WholeWord) Edit.ReplaceSelection(platform::Utf8ToAnsi(" целиком"));
}

}  // namespace viewer
