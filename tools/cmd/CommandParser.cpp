#include "tools/cmd/CommandParser.h"

#include <cctype>

#include "platform/CodePage.h"

namespace cmd {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Reads a redirection's target starting at i (blanks skipped): a quoted name, or
// everything up to a blank, an operator or another redirection.
std::string ReadTarget(std::string_view line, size_t& i) {
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  std::string target;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && (IsBlank(c) || c == '&' || c == '|' || c == '>' || c == '<')) break;
    target += c;
  }
  return target;
}

}  // namespace

std::vector<TCommand> ParseCommandLine(std::string_view line, std::string& error) {
  std::vector<TCommand> commands(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size();) {
    const char c = line[i];
    TCommand& cur = commands.back();
    if (c == '"') {
      quoted = !quoted;
      cur.Text += c;
      ++i;
      continue;
    }
    if (quoted) {
      cur.Text += c;
      ++i;
      continue;
    }
    if (c == '^' && i + 1 < line.size()) {  // the escape character: the next one is plain
      cur.Text += line[i + 1];
      i += 2;
      continue;
    }
    if (c == '&' || c == '|') {
      TCommand next;
      if (i + 1 < line.size() && line[i + 1] == c) {
        next.Join = c == '&' ? TJoin::IfOk : TJoin::IfFailed;
        i += 2;
      } else {
        next.Join = c == '&' ? TJoin::Always : TJoin::Pipe;
        ++i;
      }
      commands.push_back(std::move(next));
      continue;
    }
    if (c == '<') {
      TRedirection r;
      r.Stream = 0;
      ++i;
      r.Target = ReadTarget(line, i);
      if (r.Target.empty()) {
        error = "The syntax of the command is incorrect.";
        return {};
      }
      cur.Redirections.push_back(std::move(r));
      continue;
    }
    if (c == '>') {
      TRedirection r;
      // A stream number directly before ">" that starts a word belongs to it.
      if (!cur.Text.empty() && (cur.Text.back() == '1' || cur.Text.back() == '2') &&
          (cur.Text.size() == 1 || IsBlank(cur.Text[cur.Text.size() - 2]))) {
        r.Stream = cur.Text.back() - '0';
        cur.Text.pop_back();
      }
      ++i;
      if (i < line.size() && line[i] == '>') {
        r.Append = true;
        ++i;
      }
      if (i + 1 < line.size() && line[i] == '&' && (line[i + 1] == '1' || line[i + 1] == '2')) {
        r.DuplicateOf = line[i + 1] - '0';
        i += 2;
      } else {
        r.Target = ReadTarget(line, i);
        if (r.Target.empty()) {
          error = "The syntax of the command is incorrect.";
          return {};
        }
      }
      cur.Redirections.push_back(std::move(r));
      continue;
    }
    cur.Text += c;
    ++i;
  }
  return commands;
}

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> args;
  std::string cur;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && IsBlank(c)) {
      if (any) args.push_back(cur);
      cur.clear();
      any = false;
    } else {
      cur += c;
      any = true;
    }
  }
  if (any) args.push_back(cur);
  return args;
}

TCommandName ReadCommandName(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (IsBlank(text[i]) || text[i] == '@'))
    ++i;
  TCommandName result;
  bool quoted = false;
  static const std::string_view kBuiltinDelimiters = ".\\/:,;=+(";
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && IsBlank(c)) break;
    if (!quoted && kBuiltinDelimiters.find(c) != std::string_view::npos) {
      const std::string lower = platform::AnsiLowerCase(result.Name);
      if (lower == "echo" || lower == "cd" || lower == "chdir" || lower == "rem") break;
    }
    result.Name += c;
  }
  result.RestStart = i;
  return result;
}

}  // namespace cmd
