// The machine: the one folder that holds everything Windows-shaped (drives, the
// registry, the command interpreter), like a Wine prefix. $DARVENA_MACHINE names
// it; by default ${XDG_DATA_HOME:-~/.local/share}/darvena/machine.
//
// Drive C: is <machine>/drive_c and drive Z: is the POSIX root, so every POSIX path
// has a Windows form. Both "\" and "/" separate components; existing components are
// found without regard to case (Windows-1251 case folding of their names), as on
// Windows.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The machine folder, as configured, absolute (a relative $DARVENA_MACHINE is taken
// against the folder current when it is first asked for); it need not exist yet.
[[nodiscard]] std::filesystem::path MachineRoot();

// Creates the machine's folder layout (and what else the machine keeps) where it is
// missing. Idempotent, and safe when several processes provision at once. Every
// routine of the platform layer that touches the machine calls it first; a program
// never needs to. Throws EPlatformError when the machine folder cannot be created.
void ProvisionMachine();

// Points C:\Windows\System32\cmd.exe and reg.exe (symbolic links) at the programs
// "cmd.exe" and "reg" in toolsFolder, where they exist there; a link that points
// elsewhere is replaced. ProvisionMachine calls it with the running program's folder.
void LinkSystemTools(const std::filesystem::path& toolsFolder);

// The POSIX path for a Windows path (Windows-1251; the result's names are UTF-8).
// A relative path is taken against the current folder; "." and ".." are resolved
// on the text, as Windows does. Existing components are matched without regard to case; the first
// component that does not exist is kept as written, with everything after it.
// Empty when the path names a drive the machine does not have ("path not found").
[[nodiscard]] std::optional<std::filesystem::path> ToPosixPath(std::string_view winPath);

// The Windows form (Windows-1251) of a POSIX path (UTF-8; a relative one is taken
// against the current folder): under drive_c it is C:\..., elsewhere Z:\....
[[nodiscard]] std::string ToWindowsPath(const std::filesystem::path& posix);

// The machine's user name (Windows-1251): $USER, else $LOGNAME, else "user".
[[nodiscard]] std::string MachineUserName();

// The folders every machine has (Windows paths, no trailing backslash). The user's
// profile is C:\Users\<MachineUserName()>.
namespace layout {
inline constexpr const char* kProgramFiles = "C:\\Program Files";
inline constexpr const char* kProgramFilesX86 = "C:\\Program Files (x86)";
inline constexpr const char* kProgramData = "C:\\ProgramData";  // "Common AppData"
inline constexpr const char* kCommonPrograms =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
inline constexpr const char* kCommonStartup =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
inline constexpr const char* kCommonDesktop = "C:\\Users\\Public\\Desktop";
inline constexpr const char* kWindows = "C:\\Windows";
inline constexpr const char* kSystem32 = "C:\\Windows\\System32";
// Below the user's profile:
inline constexpr const char* kDesktop = "Desktop";
inline constexpr const char* kPersonal = "Documents";
inline constexpr const char* kAppData = "AppData\\Roaming";
inline constexpr const char* kPrograms =
    "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline constexpr const char* kStartup =
    "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
inline constexpr const char* kTemp = "AppData\\Local\\Temp";
}  // namespace layout

// C:\Users\<MachineUserName()>.
[[nodiscard]] std::string UserProfileFolder();

// Whether this process runs elevated (with administrator rights). Without elevation
// nothing under C:\Program Files, C:\Program Files (x86), C:\ProgramData, C:\Windows
// or C:\Users\Public can be created, changed or deleted, and HKEY_LOCAL_MACHINE
// cannot be opened for writing. A process starts not elevated; a program whose
// manifest asks for administrator rights calls SetProcessElevated at start-up.
[[nodiscard]] bool ProcessElevated();
void SetProcessElevated(bool elevated);

}  // namespace platform
