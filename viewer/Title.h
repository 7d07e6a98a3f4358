// The program's title as its windows and boxes show it (Windows-1251).
#pragma once

#include <string>

namespace viewer {

[[nodiscard]] const std::string& ProgramTitle();

}  // namespace viewer
