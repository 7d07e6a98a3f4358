#include "platform/Environment.h"

#include <stdlib.h>

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"
#include "platform/Machine.h"

extern char** environ;

namespace platform {
namespace {

struct TDefault {
  std::string Name;
  std::string Value;
  bool WindowsPath;  // a host value counts only when it is a Windows path
};

std::vector<TDefault> MachineDefaults() {
  const std::string user = MachineUserName();
  const std::string profile = UserProfileFolder();
  const std::string temp = profile + "\\" + layout::kTemp;
  return {
      {"TEMP", temp, true},
      {"TMP", temp, true},
      {"ComSpec", std::string(layout::kSystem32) + "\\cmd.exe", true},
      {"USERNAME", user, false},
      {"USERPROFILE", profile, true},
      {"HOMEDRIVE", "C:", true},
      {"HOMEPATH", profile.substr(2), false},
      {"APPDATA", profile + "\\" + layout::kAppData, true},
      {"LOCALAPPDATA", profile + "\\AppData\\Local", true},
      {"ProgramFiles", layout::kProgramFiles, true},
      {"ProgramFiles(x86)", layout::kProgramFilesX86, true},
      {"ProgramW6432", layout::kProgramFiles, true},
      {"CommonProgramFiles", std::string(layout::kProgramFiles) + "\\Common Files", true},
      {"ProgramData", layout::kProgramData, true},
      {"ALLUSERSPROFILE", layout::kProgramData, true},
      {"PUBLIC", "C:\\Users\\Public", true},
      {"SystemRoot", layout::kWindows, true},
      {"windir", layout::kWindows, true},
      {"SystemDrive", "C:", true},
      {"OS", "Windows_NT", false},
      {"PATHEXT", ".COM;.EXE;.BAT;.CMD", false},
  };
}

bool LooksLikeWindowsPath(std::string_view v) {
  return v.size() >= 2 && v[1] == ':' &&
         ((v[0] >= 'A' && v[0] <= 'Z') || (v[0] >= 'a' && v[0] <= 'z'));
}

// The host's variables, Windows-1251, in the order of the POSIX environment.
std::vector<std::pair<std::string, std::string>> HostVariables() {
  std::vector<std::pair<std::string, std::string>> vars;
  for (char** e = environ; e && *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (!eq || eq == *e) continue;
    vars.emplace_back(Utf8ToAnsi(std::string_view(*e, static_cast<size_t>(eq - *e))),
                      Utf8ToAnsi(eq + 1));
  }
  return vars;
}

// The exact POSIX names (UTF-8) of every spelling of name.
std::vector<std::string> PosixSpellings(std::string_view name) {
  std::vector<std::string> names;
  for (char** e = environ; e && *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (!eq) continue;
    std::string posix(*e, static_cast<size_t>(eq - *e));
    if (AnsiSameText(Utf8ToAnsi(posix), name)) names.push_back(std::move(posix));
  }
  return names;
}

}  // namespace

std::optional<std::string> GetEnvironmentVariable(std::string_view name) {
  const auto defaults = MachineDefaults();
  const auto d = std::find_if(defaults.begin(), defaults.end(),
                              [&](const TDefault& x) { return AnsiSameText(x.Name, name); });
  for (const auto& [n, v] : HostVariables()) {
    if (!AnsiSameText(n, name)) continue;
    if (d != defaults.end() && d->WindowsPath && !LooksLikeWindowsPath(v)) continue;
    return v;
  }
  if (d != defaults.end()) return d->Value;
  return std::nullopt;
}

bool SetEnvironmentVariable(std::string_view name, std::optional<std::string_view> value) {
  if (name.empty() || name.find('=') != std::string_view::npos) return false;
  for (const std::string& posix : PosixSpellings(name))
    unsetenv(posix.c_str());
  if (!value) return true;
  return setenv(AnsiToUtf8(name).c_str(), AnsiToUtf8(*value).c_str(), 1) == 0;
}

std::string ExpandEnvironmentStrings(std::string_view text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find('%', i);
    if (open == std::string_view::npos) break;
    const size_t close = text.find('%', open + 1);
    if (close == std::string_view::npos) break;
    out.append(text.substr(i, open - i));
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const auto value = name.empty() ? std::nullopt : GetEnvironmentVariable(name);
    if (value)
      out += *value;
    else
      out.append(text.substr(open, close - open + 1));
    i = close + 1;
  }
  out.append(text.substr(std::min(i, text.size())));
  return out;
}

std::vector<std::pair<std::string, std::string>> EnvironmentBlock() {
  std::vector<std::pair<std::string, std::string>> block;
  auto has = [&](std::string_view name) {
    return std::any_of(block.begin(), block.end(),
                       [&](const auto& p) { return AnsiSameText(p.first, name); });
  };
  for (const auto& [name, value] : HostVariables())
    if (!has(name))
      if (auto v = GetEnvironmentVariable(name)) block.emplace_back(name, *v);
  for (const TDefault& d : MachineDefaults())
    if (!has(d.Name)) block.emplace_back(d.Name, d.Value);
  std::stable_sort(block.begin(), block.end(), [](const auto& a, const auto& b) {
    return AnsiUpperCase(a.first) < AnsiUpperCase(b.first);
  });
  return block;
}

}  // namespace platform
