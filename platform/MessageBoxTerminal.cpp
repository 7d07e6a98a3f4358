#include "platform/MessageBoxTerminal.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/CodePage.h"

namespace platform {
namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// CR LF and lone CR become LF for the terminal.
std::string TerminalText(const std::string& ansi) {
  std::string out;
  for (size_t i = 0; i < ansi.size(); ++i) {
    if (ansi[i] == '\r') {
      out += '\n';
      if (i + 1 < ansi.size() && ansi[i + 1] == '\n') ++i;
    } else {
      out += ansi[i];
    }
  }
  return AnsiToUtf8(out);
}

const char* IconWord(uint32_t flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
      return "Error";
    case MB_ICONQUESTION:
      return "Question";
    case MB_ICONWARNING:
      return "Warning";
    case MB_ICONINFORMATION:
      return "Information";
    default:
      return nullptr;
  }
}

// The button an answer typed at the prompt names, or -1.
int Match(const TMessageBoxRequest& request, const std::string& answer) {
  if (answer.empty()) return request.Buttons[request.DefaultButton].Id;
  if (answer.find_first_not_of("0123456789") == std::string::npos && answer.size() < 3) {
    const size_t n = std::stoul(answer);
    if (n >= 1 && n <= request.Buttons.size()) return request.Buttons[n - 1].Id;
    return -1;
  }
  const std::string ansi = AnsiLowerCase(Utf8ToAnsi(answer));
  for (const TMessageBoxButton& b : request.Buttons)
    if (ansi == AnsiLowerCase(b.Label) || ansi == AnsiLowerCase(MessageBoxResultName(b.Id)))
      return b.Id;
  return -1;
}

}  // namespace

int ShowTerminalMessageBox(const TMessageBoxRequest& request) {
  const int def = request.Buttons[request.DefaultButton].Id;
  std::string box = "\n[" + TerminalText(request.Caption) + "]";
  if (const char* icon = IconWord(request.Flags)) box += std::string(" ") + icon;
  box += "\n" + TerminalText(request.Text) + "\n";
  std::string choices;
  for (size_t i = 0; i < request.Buttons.size(); ++i) {
    choices += "  " + std::to_string(i + 1) + ") " + AnsiToUtf8(request.Buttons[i].Label);
    if (i == request.DefaultButton) choices += " *";
  }
  std::fputs(box.c_str(), stderr);

  if (!::isatty(STDIN_FILENO)) {
    std::fprintf(stderr, "%s\n-> %s (no terminal to ask)\n", choices.c_str(),
                 AnsiToUtf8(request.Buttons[request.DefaultButton].Label).c_str());
    return def;
  }
  for (;;) {
    std::fprintf(stderr, "%s\n> ", choices.c_str());
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line)) {
      for (const TMessageBoxButton& b : request.Buttons)
        if (b.Id == IDCANCEL) return IDCANCEL;
      return request.Buttons.size() == 1 ? request.Buttons[0].Id : def;
    }
    const int id = Match(request, Trim(line));
    if (id >= 0) return id;
  }
}

}  // namespace platform
