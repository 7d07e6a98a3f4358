// The built-in commands of the command interpreter. Each takes the command's text
// after its name (rest) and returns its exit code.
#pragma once

#include <string>

#include "tools/cmd/Interpreter.h"
#include "tools/cmd/Stream.h"

namespace cmd {

struct TBuiltinIo {
  TInterpreter& Interpreter;
  TStream& Out;
  TStream& Err;
};

using TBuiltin = int (*)(TBuiltinIo& io, const std::string& rest);

// The built-in of this name (any case), or null.
[[nodiscard]] TBuiltin FindBuiltin(const std::string& name);

}  // namespace cmd
