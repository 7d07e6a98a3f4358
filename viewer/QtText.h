// Text crossing between the program (Windows-1251) and the screen (Qt's UTF-16).
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace viewer {

// A Windows-1251 text for a Qt control.
[[nodiscard]] inline QString ToQt(std::string_view ansi) {
  return QString::fromStdString(platform::AnsiToUtf8(ansi));
}

// A Qt control's text as Windows-1251; characters the code page lacks become "?".
[[nodiscard]] inline std::string FromQt(const QString& text) {
  return platform::Utf8ToAnsi(text.toStdString());
}

// A text of this program's own, written in UTF-8 in the source, as Windows-1251.
[[nodiscard]] inline std::string Ansi(std::string_view utf8) {
  return platform::Utf8ToAnsi(utf8);
}

}  // namespace viewer
