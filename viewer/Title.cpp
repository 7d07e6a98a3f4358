#include "viewer/Title.h"

#include "common/CommonUnit.h"
#include "viewer/QtText.h"

namespace viewer {

const std::string& ProgramTitle() {
  // Before the program has set its identity (a window made on its own, in a test)
  // the title is still the product's Russian one.
  static const std::string fallback = Ansi("Дарвена");
  return darvena::RusTitle.empty() ? fallback : darvena::RusTitle;
}

}  // namespace viewer
