// The command interpreter: runs command lines and batch files with the built-in
// commands, redirections and the operators "&", "&&" and "||"; anything else is
// started as a program.
#pragma once

#include <string>
#include <vector>

#include "tools/cmd/CommandParser.h"
#include "tools/cmd/Stream.h"

namespace cmd {

// The exit code of a command that is neither built in nor a program.
inline constexpr int kNotRecognized = 9009;

class TInterpreter {
 public:
  // Runs one command line, as "/c" gives it (nothing is echoed). Returns the exit
  // code of the last command that ran.
  int RunLine(const std::string& line);

  // Runs a batch file line by line, the file read in the OEM code page. The file is
  // read whole first, so its last line may delete it. Returns the exit code of the
  // last command. invokedAs is the name it was started by (%0); the path when empty.
  int RunBatch(const std::string& path, const std::vector<std::string>& arguments,
               const std::string& invokedAs = "");

  // Whether "exit" asked the interpreter to end, and with which code.
  [[nodiscard]] bool ExitRequested() const { return exitRequested_; }
  [[nodiscard]] int ExitCode() const { return exitCode_; }

  // State the built-in commands use.
  bool EchoOn = true;
  void RequestExit(bool wholeInterpreter, int code);

 private:
  // Runs the commands of one line (after expansion) with the standard streams.
  int RunCommands(const std::string& line);
  // in: the descriptor of the command's standard input.
  int RunCommand(const TCommand& command, int in, TStream& out, TStream& err);
  int RunProgram(const std::string& text, int in, TStream& out, TStream& err);

  struct TBatchFrame {
    std::string InvokedAs;
    std::vector<std::string> Arguments;
    bool Ended = false;
  };
  std::string ExpandBatchParameters(const std::string& line, const TBatchFrame& frame) const;

  std::vector<TBatchFrame> batches_;
  bool exitRequested_ = false;
  int exitCode_ = 0;
};

}  // namespace cmd
