// The rich-text writer: the content of a TTextModel as RTF in Windows-1251. Internal
// to the control; TTextModel::SaveRichText uses it.
#pragma once

#include <string>

#include "richedit/TextModel.h"

namespace richedit {

// \rtf1\ansi\ansicpg1251 with a font table (\fcharset204) of the fonts in use, a
// colour table, \plain\fN\fsN\cfN with \b \i \ul for every run, \pard with \ql \qc
// \qr for every change of alignment and \par for every line break. ReadRtf of the
// result gives the model's text, runs and alignment back.
[[nodiscard]] std::string WriteRtf(const TTextModel& model);

}  // namespace richedit
