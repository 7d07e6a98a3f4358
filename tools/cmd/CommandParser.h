// Splitting one command line of the command interpreter into commands joined by
// "&", "&&" and "||", each with its redirections.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cmd {

// Where one of a command's streams comes from or goes: "< file", "> file",
// ">> file", "2> nul", "2>&1".
struct TRedirection {
  int Stream = 1;       // 0 standard input, 1 standard output, 2 standard error
  bool Append = false;  // ">>"
  std::string Target;   // the file, quotes removed; empty for a duplication
  int DuplicateOf = 0;  // for "2>&1" and "1>&2": the stream it joins
};

// How a command is joined to the one before it.
enum class TJoin {
  First,     // the first command of the line
  Always,    // "&"
  IfOk,      // "&&"
  IfFailed,  // "||"
  Pipe,      // "|", which this interpreter refuses
};

struct TCommand {
  TJoin Join = TJoin::First;
  std::string Text;  // the command without its redirections, as written
  std::vector<TRedirection> Redirections;
};

// The commands of a line. A redirection without a target makes the line invalid:
// the result is then empty and error names the problem.
[[nodiscard]] std::vector<TCommand> ParseCommandLine(std::string_view line, std::string& error);

// The arguments of a command's text, split at blanks outside double quotes, quotes
// removed.
[[nodiscard]] std::vector<std::string> SplitArguments(std::string_view text);

// The first word of a command's text (quotes removed) and where the rest begins.
// The word ends at a blank, or at one of ".\/:,;=+(" right after a built-in's name
// ("echo." "cd.." "cd\"), as the interpreter reads names.
struct TCommandName {
  std::string Name;
  size_t RestStart = 0;
};
[[nodiscard]] TCommandName ReadCommandName(std::string_view text);

}  // namespace cmd
