#include "viewer/Messages.h"

#include "platform/MessageBox.h"
#include "viewer/Title.h"

namespace viewer {

void ShowMessage(QWidget* Owner, const std::string& Text) {
  platform::MessageBoxA(Owner, Text, ProgramTitle(), platform::MB_OK);
}

bool AskWarning(QWidget* Owner, const std::string& Text) {
  return platform::MessageBoxA(Owner, Text, "Warning",
                               platform::MB_OKCANCEL | platform::MB_ICONWARNING) == platform::IDOK;
}

}  // namespace viewer
