// The letter case of search keys: the key edit turns every typed or pasted letter
// into upper case, and the command-line filter takes its key through the same rule.
#pragma once

#include <QString>

namespace viewer {

// Typed in upper case, by Unicode's rules (before any conversion to Windows-1251).
[[nodiscard]] inline QString UpperCaseKey(const QString& Typed) {
  return Typed.toUpper();
}

}  // namespace viewer
