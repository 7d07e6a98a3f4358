// The Windows view of the environment: names compared without regard to case,
// names and values in Windows-1251 (UTF-8 in the POSIX environment underneath).
//
// The view is the process's POSIX environment completed by the machine's defaults:
//   TEMP, TMP       <profile>\AppData\Local\Temp ("Temp" finds TEMP: names ignore case)
//   ComSpec         C:\Windows\System32\cmd.exe
//   USERNAME        MachineUserName()
//   USERPROFILE     C:\Users\<user>
//   HOMEDRIVE       C:           HOMEPATH  \Users\<user>
//   APPDATA         <profile>\AppData\Roaming     LOCALAPPDATA  <profile>\AppData\Local
//   ProgramFiles    C:\Program Files     ProgramFiles(x86)  C:\Program Files (x86)
//   ProgramData, ALLUSERSPROFILE  C:\ProgramData      PUBLIC  C:\Users\Public
//   SystemRoot, windir  C:\Windows       SystemDrive  C:
//   OS              Windows_NT           PATHEXT  .COM;.EXE;.BAT;.CMD
// The host's own values of these names (TMP=/tmp, say) are POSIX paths and do not
// leak in: a POSIX value of one of these names counts only when it is a Windows
// path (it starts with a drive letter and a colon), as set by a program of this
// machine through SetEnvironmentVariable or inherited from one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The value of a variable, or nothing when it is not defined.
[[nodiscard]] std::optional<std::string> GetEnvironmentVariable(std::string_view name);

// Sets a variable of this process (inherited by the processes it starts), or
// removes it when value is nothing. Any spelling of the name that differs only in
// case is replaced. False for an empty name or one holding "=".
bool SetEnvironmentVariable(std::string_view name, std::optional<std::string_view> value);

// Text with every %NAME% of a defined variable replaced by its value; undefined
// references and a lone "%" stay as written.
[[nodiscard]] std::string ExpandEnvironmentStrings(std::string_view text);

// The whole view, one (name, value) pair per variable, sorted by name without
// regard to case (as Windows keeps its environment block).
[[nodiscard]] std::vector<std::pair<std::string, std::string>> EnvironmentBlock();

}  // namespace platform
