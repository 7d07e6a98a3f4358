#include "viewer/Title.h"

#include "viewer/QtText.h"

namespace viewer {

const std::string& ProgramTitle() {
  static const std::string title = Ansi("Дарвена");
  return title;
}

}  // namespace viewer
