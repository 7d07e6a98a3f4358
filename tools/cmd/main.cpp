// cmd.exe, the machine's command interpreter: "cmd /c <command line>" runs one line
// and exits with its code; "cmd <batch file> [arguments]" and "cmd" with commands on
// standard input are accepted too.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "tools/cmd/Interpreter.h"

namespace {

bool IsSpecial(char c) {
  return c == '&' || c == '<' || c == '>' || c == '(' || c == ')' || c == '@' || c == '^' ||
         c == '|';
}

// The text after /c, with the interpreter's rule for a leading quote: it is kept
// when the line holds exactly two quotes, nothing special between them, a blank
// inside and the quoted text names an existing file; otherwise the first and the
// last quote go.
std::string CommandAfterSwitch(const std::vector<std::string>& args, size_t first) {
  std::string line;
  for (size_t i = first; i < args.size(); ++i) {
    if (!line.empty()) line += ' ';
    line += platform::QuoteArgument(args[i]);
  }
  if (line.empty() || line[0] != '"') return line;
  const size_t close = line.find('"', 1);
  const std::string inner = close == std::string::npos ? "" : line.substr(1, close - 1);
  bool keep = close != std::string::npos && line.find('"', close + 1) == std::string::npos &&
              inner.find_first_of(" \t") != std::string::npos;
  for (char c : inner)
    keep = keep && !IsSpecial(c);
  if (keep && platform::FileExists(inner)) return line;
  line.erase(0, 1);
  if (const size_t last = line.rfind('"'); last != std::string::npos) line.erase(last, 1);
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  platform::InitCommandLine(argc, argv);
  std::vector<std::string> args;
  for (int i = 1; i <= platform::ParamCount(); ++i)
    args.push_back(platform::ParamStr(i));

  cmd::TInterpreter interpreter;
  size_t i = 0;
  // Switches before /c (/d, /q, /s, /a, /u, /e:on, ...) change nothing here.
  while (i < args.size() && args[i].size() >= 2 && args[i][0] == '/') {
    const std::string sw = platform::AnsiLowerCase(args[i]);
    if (sw == "/c" || sw == "/k") return interpreter.RunLine(CommandAfterSwitch(args, i + 1));
    if (sw == "/?") {
      std::cout << "Starts the command interpreter.\n\nCMD [/C command]\n\n"
                   "/C      Carries out the command specified by the string and then terminates\n";
      return 0;
    }
    if (sw.compare(0, 2, "/q") == 0) interpreter.EchoOn = false;
    ++i;
  }
  if (i < args.size()) return interpreter.RunLine(CommandAfterSwitch(args, i));

  // No command: read lines from standard input, as a console session does.
  int code = 0;
  const bool terminal = ::isatty(STDIN_FILENO) == 1;
  std::string line;
  for (;;) {
    if (terminal)
      std::cout << platform::AnsiToUtf8(platform::GetCurrentDirectory()) << ">" << std::flush;
    if (!std::getline(std::cin, line)) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    code =
        interpreter.RunLine(terminal ? platform::Utf8ToAnsi(line) : platform::ConvertFromOem(line));
    if (interpreter.ExitRequested()) return interpreter.ExitCode();
  }
  return code;
}
