#include "tools/cmd/Interpreter.h"

#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <memory>

#include "platform/CodePage.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "tools/cmd/Builtins.h"

namespace cmd {
namespace {

bool EndsWithBatchExtension(const std::string& name) {
  const std::string lower = platform::AnsiLowerCase(name);
  return lower.size() > 4 && (lower.compare(lower.size() - 4, 4, ".cmd") == 0 ||
                              lower.compare(lower.size() - 4, 4, ".bat") == 0);
}

// The batch file a command's name stands for: the name itself when it ends in .cmd
// or .bat, else the name with one of them, looked for as given (relative names in
// the current folder). Empty when there is none.
std::string FindBatchFile(const std::string& name) {
  if (name.empty()) return {};
  if (EndsWithBatchExtension(name)) return platform::FileExists(name) ? name : std::string();
  for (const char* ext : {".bat", ".cmd"})
    if (platform::FileExists(name + ext)) return name + ext;
  return {};
}

bool IsNul(const std::string& target) {
  const std::string lower = platform::AnsiLowerCase(target);
  return lower == "nul" || lower == "nul:";
}

// The descriptors a command's redirections open, closed when it is done.
class TRedirected {
 public:
  ~TRedirected() {
    for (int fd : opened_)
      ::close(fd);
  }
  // Opens the target of a redirection; -1 (and the message) on failure.
  int Open(const TRedirection& r, std::string& message) {
    int fd;
    const bool input = r.Stream == 0;
    if (IsNul(r.Target)) {
      fd = ::open("/dev/null", (input ? O_RDONLY : O_WRONLY) | O_CLOEXEC);
    } else {
      uint32_t error = 0;
      const platform::TOpenMode mode = input      ? platform::TOpenMode::Read
                                       : r.Append ? platform::TOpenMode::OpenAppend
                                                  : platform::TOpenMode::CreateAlways;
      fd = platform::OpenFileDescriptor(r.Target, mode, &error);
      if (fd < 0)
        message = error == platform::kErrorAccessDenied ? "Access is denied."
                  : input ? "The system cannot find the file specified."
                          : "The system cannot find the path specified.";
    }
    if (fd >= 0) opened_.push_back(fd);
    return fd;
  }

 private:
  std::vector<int> opened_;
};

// Puts a redirected input where the built-in commands read (standard input) for
// one command, and the interpreter's own back afterwards.
class TStandardInput {
 public:
  explicit TStandardInput(int fd) {
    if (fd == STDIN_FILENO) return;
    saved_ = ::dup(STDIN_FILENO);
    ::dup2(fd, STDIN_FILENO);
    std::cin.clear();
  }
  ~TStandardInput() {
    if (saved_ < 0) return;
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
    std::cin.clear();
  }
  TStandardInput(const TStandardInput&) = delete;
  TStandardInput& operator=(const TStandardInput&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

void TInterpreter::RequestExit(bool wholeInterpreter, int code) {
  exitCode_ = code;
  if (wholeInterpreter || batches_.empty())
    exitRequested_ = true;
  else
    batches_.back().Ended = true;
}

int TInterpreter::RunLine(const std::string& line) {
  return RunCommands(platform::ExpandEnvironmentStrings(line));
}

int TInterpreter::RunBatch(const std::string& path, const std::vector<std::string>& arguments,
                           const std::string& invokedAs) {
  uint32_t error = 0;
  const std::optional<std::string> bytes = platform::TryReadWholeFile(path, &error);
  if (!bytes) {
    TStream err(STDERR_FILENO);
    err.Write("The batch file cannot be found.\r\n");
    return 1;
  }
  const std::string text = platform::ConvertFromOem(*bytes);
  batches_.push_back({invokedAs.empty() ? path : invokedAs, arguments, false});
  int code = 0;
  size_t pos = 0;
  while (pos < text.size() && !exitRequested_ && !batches_.back().Ended) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;

    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ':') continue;  // blank, label, "::" note
    line = platform::ExpandEnvironmentStrings(ExpandBatchParameters(line, batches_.back()));
    first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;  // nothing left once expanded
    const bool silent = line[first] == '@';
    if (EchoOn && !silent) {
      TStream out(STDOUT_FILENO);
      out.Write("\r\n" + platform::GetCurrentDirectory() + ">" + line.substr(first) + "\r\n");
    }
    code = RunCommands(line);
  }
  batches_.pop_back();
  return exitRequested_ ? exitCode_ : code;
}

std::string TInterpreter::ExpandBatchParameters(const std::string& line,
                                                const TBatchFrame& frame) const {
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '%' || i + 1 == line.size()) {
      out += line[i];
      continue;
    }
    const char next = line[i + 1];
    if (next == '%') {
      out += '%';
      ++i;
    } else if (next >= '0' && next <= '9') {
      const size_t n = static_cast<size_t>(next - '0');
      if (n == 0)
        out += frame.InvokedAs;
      else if (n <= frame.Arguments.size())
        out += frame.Arguments[n - 1];
      ++i;
    } else if (next == '*') {
      for (size_t a = 0; a < frame.Arguments.size(); ++a)
        out += (a ? " " : "") + frame.Arguments[a];
      ++i;
    } else {
      out += line[i];
    }
  }
  return out;
}

int TInterpreter::RunCommands(const std::string& line) {
  TStream err(STDERR_FILENO);
  std::string error;
  const std::vector<TCommand> commands = ParseCommandLine(line, error);
  if (commands.empty()) {
    err.Write(error + "\r\n");
    return 1;
  }
  for (const TCommand& c : commands)
    if (c.Join == TJoin::Pipe) {
      err.Write("Pipes are not supported by this command interpreter.\r\n");
      return 255;
    }
  int code = 0;
  for (const TCommand& c : commands) {
    if (exitRequested_ || (!batches_.empty() && batches_.back().Ended)) break;
    if (c.Join == TJoin::IfOk && code != 0) continue;
    if (c.Join == TJoin::IfFailed && code == 0) continue;
    TRedirected redirected;
    int fds[3] = {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO};
    bool ok = true;
    for (const TRedirection& r : c.Redirections) {
      if (r.DuplicateOf) {
        fds[r.Stream] = fds[r.DuplicateOf];
        continue;
      }
      std::string message;
      const int fd = redirected.Open(r, message);
      if (fd < 0) {
        err.Write(message + "\r\n");
        ok = false;
        break;
      }
      fds[r.Stream] = fd;
    }
    if (!ok) {
      code = 1;
      continue;
    }
    TStream out(fds[1]), cmdErr(fds[2]);
    code = RunCommand(c, fds[0], out, cmdErr);
  }
  return code;
}

int TInterpreter::RunCommand(const TCommand& command, int in, TStream& out, TStream& err) {
  const size_t start = command.Text.find_first_not_of(" \t@");
  if (start == std::string::npos) return 0;
  const std::string text = command.Text.substr(start);
  const TCommandName name = ReadCommandName(text);
  const std::string rest = text.substr(name.RestStart);
  if (const TBuiltin builtin = FindBuiltin(name.Name)) {
    TBuiltinIo io{*this, out, err};
    TStandardInput input(in);
    return builtin(io, rest);
  }
  const bool call = platform::AnsiLowerCase(name.Name) == "call";
  const std::string target = call ? text.substr(name.RestStart) : text;
  const TCommandName targetName = call ? ReadCommandName(target) : name;
  if (const std::string batch = FindBatchFile(targetName.Name); !batch.empty()) {
    const int code =
        RunBatch(batch, SplitArguments(target.substr(targetName.RestStart)), targetName.Name);
    // A batch file started without "call" does not come back to the one that started it.
    if (!call && !batches_.empty()) batches_.back().Ended = true;
    return code;
  }
  if (call) return RunCommand(TCommand{TJoin::First, target, {}}, in, out, err);
  return RunProgram(text, in, out, err);
}

int TInterpreter::RunProgram(const std::string& text, int in, TStream& out, TStream& err) {
  platform::TStartupInfo startup;
  if (in != STDIN_FILENO) startup.StdInput = in;
  startup.StdOutput = out.Fd();
  startup.StdError = err.Fd();
  platform::TProcess process;
  const platform::TWinResult r = platform::CreateProcess(text, startup, process);
  if (!r) {
    if (r.Error == platform::kErrorFileNotFound || r.Error == platform::kErrorPathNotFound) {
      err.Write("'" + ReadCommandName(text).Name +
                "' is not recognized as an internal or external command,\r\n"
                "operable program or batch file.\r\n");
      return kNotRecognized;
    }
    if (r.Error == platform::kErrorAccessDenied) {
      err.Write("Access is denied.\r\n");
      return 1;
    }
    err.Write("The system cannot execute the specified program.\r\n");
    return 1;
  }
  process.Wait(platform::kInfinite);
  return static_cast<int>(process.ExitCode());
}

}  // namespace cmd
