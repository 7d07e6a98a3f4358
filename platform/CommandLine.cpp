#include "platform/CommandLine.h"

#include <stdlib.h>

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Files.h"

namespace platform {
namespace {

// The program's parameters (Windows-1251), kept as Windows keeps its command line.
std::vector<std::string> parameters;
// The command line as the parent wrote it, when a process of this machine started us.
std::string rawCommandLine;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

void InitCommandLine(int argc, const char* const* argv) {
  parameters.clear();
  for (int i = 1; i < argc; ++i)
    parameters.push_back(Utf8ToAnsi(argv[i]));
  rawCommandLine.clear();
  // A parent of this machine passes its command line as it wrote it; it is ours
  // when it splits into our very parameters (else it was inherited from further up).
  if (const char* raw = getenv(kCommandLineVariable)) {
    std::string line = Utf8ToAnsi(raw);
    const auto split = SplitCommandLine(line);
    if (!split.empty() &&
        std::equal(split.begin() + 1, split.end(), parameters.begin(), parameters.end()))
      rawCommandLine = std::move(line);
    unsetenv(kCommandLineVariable);
  }
}

int ParamCount() {
  return static_cast<int>(parameters.size());
}

std::string ParamStr(int index) {
  if (index == 0) return GetModuleFileName();
  if (index < 0 || index > ParamCount()) return {};
  return parameters[static_cast<size_t>(index - 1)];
}

std::string GetCommandLine() {
  if (!rawCommandLine.empty()) return rawCommandLine;
  std::string line = QuoteArgument(GetModuleFileName());
  for (const std::string& p : parameters)
    line += " " + QuoteArgument(p);
  return line;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  if (i == line.size()) return args;

  // The program: up to the first blank outside quotes, backslashes literal.
  std::string program;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (IsBlank(c) && !quoted) {
      break;
    } else {
      program += c;
    }
  }
  args.push_back(std::move(program));

  for (;;) {
    while (i < line.size() && IsBlank(line[i]))
      ++i;
    if (i == line.size()) break;
    std::string arg;
    quoted = false;
    while (i < line.size()) {
      const char c = line[i];
      if (c == '\\') {
        size_t n = 0;
        while (i < line.size() && line[i] == '\\')
          ++n, ++i;
        if (i < line.size() && line[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(n, '\\');
        }
      } else if (c == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          arg += '"';  // "" inside quotes: a literal quote
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else if (IsBlank(c) && !quoted) {
        break;
      } else {
        arg += c;
        ++i;
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
    return std::string(argument);
  std::string out = "\"";
  size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace platform
