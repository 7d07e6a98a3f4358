// The program's command line as Windows shows it, and the Windows rules for
// splitting a command line into arguments and for quoting one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The POSIX environment variable through which CreateProcess hands a child its
// command line as written (UTF-8). InitCommandLine takes it and removes it.
inline constexpr const char* kCommandLineVariable = "DARVENA_COMMAND_LINE";

// Keeps the program's arguments for ParamCount and ParamStr. A program calls it
// once, first thing in main; the arguments are UTF-8 from the terminal.
void InitCommandLine(int argc, const char* const* argv);

// The number of parameters (the program name not counted); 0 before
// InitCommandLine.
[[nodiscard]] int ParamCount();
// Parameter index, in Windows-1251 (a character it lacks becomes "?"). Index 0 is
// the program's file (GetModuleFileName); an index out of range gives "".
[[nodiscard]] std::string ParamStr(int index);

// The command line exactly as the starting process wrote it, when that was
// CreateProcess or ShellExecute of this machine (quotes and redirections as
// written, which the command interpreter needs); otherwise ParamStr(0) quoted, then
// every parameter, quoted where needed (QuoteArgument).
[[nodiscard]] std::string GetCommandLine();

// Splits a command line by the rules of the Windows C runtime: blanks and tabs
// separate arguments; double quotes group (and are removed); 2n backslashes before
// a quote give n backslashes and the quote acts; 2n+1 give n and a literal quote;
// backslashes elsewhere are literal; "" inside a quoted part is a literal quote.
// The first argument (the program) ends at the first blank outside quotes and
// takes backslashes literally, as Windows does.
[[nodiscard]] std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// An argument quoted so that SplitCommandLine gives it back unchanged; unchanged
// when it holds no blank, tab or quote and is not empty.
[[nodiscard]] std::string QuoteArgument(std::string_view argument);

}  // namespace platform
