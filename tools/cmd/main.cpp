// cmd.exe, the machine's command interpreter: "cmd /c <command line>" runs one line
// and exits with its code; "cmd <batch file> [arguments]" and "cmd" with commands on
// standard input are accepted too.
#include <unistd.h>

#include <cctype>
#include <iostream>
#include <string>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "tools/cmd/Interpreter.h"

namespace {

bool IsSpecial(char c) {
  return c == '&' || c == '<' || c == '>' || c == '(' || c == ')' || c == '@' || c == '^' ||
         c == '|';
}

// The command after /c, with the interpreter's rule for a leading quote: it is kept
// when the text holds exactly two quotes, nothing special between them, a blank
// inside and the quoted text names an existing file; otherwise the first and the
// last quote go.
std::string StripOuterQuotes(std::string line) {
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

// Where the program's name ends in a command line: at the closing quote of a quoted
// name, else at the first blank.
size_t AfterProgramName(const std::string& line) {
  if (!line.empty() && line[0] == '"') {
    const size_t close = line.find('"', 1);
    return close == std::string::npos ? line.size() : close + 1;
  }
  const size_t blank = line.find_first_of(" \t");
  return blank == std::string::npos ? line.size() : blank;
}

}  // namespace

int main(int argc, char** argv) {
  platform::InitCommandLine(argc, argv);
  // The command line as it was written: quotes and redirections matter here.
  const std::string line = platform::GetCommandLine();
  cmd::TInterpreter interpreter;
  size_t i = AfterProgramName(line);
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    if (i + 1 >= line.size() || line[i] != '/') break;
    const char sw = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i + 1])));
    if (sw == 'c' || sw == 'k') {
      std::string rest = line.substr(i + 2);
      rest.erase(0, rest.find_first_not_of(" \t") == std::string::npos
                        ? rest.size()
                        : rest.find_first_not_of(" \t"));
      return interpreter.RunLine(StripOuterQuotes(rest));
    }
    if (sw == '?') {
      std::cout << "Starts the command interpreter.\n\nCMD [/Q] [/C command]\n\n"
                   "/C      Carries out the command specified by the string and then "
                   "terminates\n/Q      Turns echo off\n";
      return 0;
    }
    if (sw == 'q') interpreter.EchoOn = false;
    // Other switches (/d, /a, /u, /s, /e:on, /v:off, ...) change nothing here.
    while (i < line.size() && line[i] != ' ' && line[i] != '\t')
      ++i;
  }
  if (i < line.size()) return interpreter.RunLine(StripOuterQuotes(line.substr(i)));

  // No command: read lines from standard input, as a console session does.
  int code = 0;
  const bool terminal = ::isatty(STDIN_FILENO) == 1;
  std::string input;
  for (;;) {
    if (terminal)
      std::cout << platform::AnsiToUtf8(platform::GetCurrentDirectory()) << ">" << std::flush;
    if (!std::getline(std::cin, input)) break;
    if (!input.empty() && input.back() == '\r') input.pop_back();
    code = interpreter.RunLine(terminal ? platform::Utf8ToAnsi(input)
                                        : platform::ConvertFromOem(input));
    if (interpreter.ExitRequested()) return interpreter.ExitCode();
  }
  return code;
}
