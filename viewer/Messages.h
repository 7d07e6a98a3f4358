// The viewer's messages: plain message boxes of the platform, in Russian.
#pragma once

#include <string>

class QWidget;

namespace viewer {

// Shows Text (Windows-1251) in a box with the program's title and one OK button.
void ShowMessage(QWidget* Owner, const std::string& Text);

// Shows Text in a warning box captioned "Warning" with OK and Cancel; true for OK.
[[nodiscard]] bool AskWarning(QWidget* Owner, const std::string& Text);

}  // namespace viewer
