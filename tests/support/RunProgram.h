// RunProgram starts a built program the way a user's shell would (no terminal on
// its input), waits for it and hands back its exit code and what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace darvena::test {

struct TProgramRun {
  int Code = -1;       // the exit code; -1 when it could not start or was killed
  std::string Output;  // standard output (with standard error when merged)
  std::string Errors;  // standard error, unless merged into Output
};

// Runs program with the arguments (UTF-8), standard input from /dev/null.
[[nodiscard]] TProgramRun RunProgram(const std::filesystem::path& program,
                                     const std::vector<std::string>& args,
                                     bool mergeErrors = false);

// The folder of the running test program, where the build puts every program.
[[nodiscard]] std::filesystem::path ProgramFolder();

}  // namespace darvena::test
