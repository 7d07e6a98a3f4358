// Processes started from Windows command lines, and the shell's "open".
//
// A child is a real POSIX process: its arguments are the command line split by the
// Windows rules (SplitCommandLine) and converted to UTF-8; its program is found as
// a Windows path. Windows creation flags and show states are accepted; since there
// are no console windows here, they change nothing the user could see, except that
// a child with a console of its own (kCreateNewConsole, kDetachedProcess) does not
// share the caller's terminal: its standard streams go nowhere unless given.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PlatformError.h"

namespace platform {

// Creation flags (CreateProcess).
inline constexpr uint32_t kDetachedProcess = 0x00000008;
inline constexpr uint32_t kCreateNewConsole = 0x00000010;
inline constexpr uint32_t kCreateNewProcessGroup = 0x00000200;
inline constexpr uint32_t kCreateNoWindow = 0x08000000;

// Show states (STARTUPINFO, ShellExecute).
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

// Wait time-out meaning "no limit".
inline constexpr uint32_t kInfinite = 0xFFFFFFFF;
// The exit code of a process that still runs (GetExitCodeProcess).
inline constexpr uint32_t kStillActive = 259;

// How to start a process.
struct TStartupInfo {
  uint32_t CreationFlags = 0;
  int ShowWindow = kSwShowNormal;
  // The child's current folder (Windows path); the caller's when empty.
  std::string CurrentDirectory;
  // POSIX descriptors for the child's standard streams; -1 keeps the default (the
  // caller's own, or nothing for a process with a console of its own).
  int StdInput = -1;
  int StdOutput = -1;
  int StdError = -1;
};

// A started process. Movable, not copyable. Letting go of it neither waits for the
// process nor ends it.
class TProcess {
 public:
  TProcess() = default;
  TProcess(TProcess&& other) noexcept;
  TProcess& operator=(TProcess&& other) noexcept;
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;
  ~TProcess() = default;

  // Whether this object holds a process.
  [[nodiscard]] bool Valid() const { return pid_ > 0; }
  [[nodiscard]] pid_t ProcessId() const { return pid_; }

  // Waits until the process ends or timeoutMs milliseconds pass (kInfinite: no
  // limit). True when it has ended.
  bool Wait(uint32_t timeoutMs = kInfinite);
  // The exit code once the process has ended, kStillActive while it runs. A process
  // ended by a signal gives 128 + the signal number; one ended by Terminate gives
  // the code Terminate was given.
  [[nodiscard]] uint32_t ExitCode();
  // Ends the process at once (SIGKILL); its exit code becomes exitCode.
  bool Terminate(uint32_t exitCode);

 private:
  friend TWinResult CreateProcess(std::string_view, const TStartupInfo&, TProcess&);
  explicit TProcess(pid_t pid) : pid_(pid) {}
  void Reap(int status);

  pid_t pid_ = 0;
  bool ended_ = false;
  uint32_t exitCode_ = kStillActive;
  std::optional<uint32_t> terminateCode_;
};

// Starts the program of a Windows command line with the caller's environment.
// The program is the first argument: a path (relative ones against the current
// folder) or a bare name searched in the program's own folder, the current folder,
// C:\Windows\System32, C:\Windows and then the host's PATH; ".exe" is tried when the
// name as written is not found. A batch file (.cmd, .bat) runs as
// %ComSpec% /c "<commandLine>". The child finds the command line exactly as
// written through GetCommandLine (CommandLine.h).
// kErrorFileNotFound when no program is found, kErrorAccessDenied when it cannot be
// run, kErrorBadExeFormat when it is no program, kErrorDirectory when the current
// folder given is no existing folder.
TWinResult CreateProcess(std::string_view commandLine, const TStartupInfo& startup,
                         TProcess& process);

// Results of ShellExecute besides success (a value greater than 32).
inline constexpr int kSeErrFileNotFound = 2;
inline constexpr int kSeErrPathNotFound = 3;
inline constexpr int kSeErrAccessDenied = 5;
inline constexpr int kSeErrBadFormat = 11;
inline constexpr int kSeErrNoAssoc = 31;
inline constexpr int kShellExecuteOk = 42;

// The shell's action on a file (ShellExecute). verb: "" or "open" (anything else:
// kSeErrNoAssoc, except "runas" which opens). file: a program (.exe, .com) started
// with parameters in directory (Windows path; the current folder when empty); a
// batch file (.cmd, .bat) run through %ComSpec% /c in that folder; a URL
// (scheme:...) or any other document handed to the desktop's default handler, the
// program named by $DARVENA_OPEN_HANDLER or else xdg-open, with the URL or the
// document's POSIX path as its one argument. A relative file is looked for in
// directory; a bare name not found there is searched as CreateProcess searches. A
// batch file runs as %ComSpec% /c ""<file>" <parameters>". The started process is on its own: it
// outlives the caller and is never waited for. Returns kShellExecuteOk, or kSeErrFileNotFound,
// kSeErrPathNotFound, kSeErrAccessDenied, kSeErrBadFormat, kSeErrNoAssoc (an unknown verb, or no
// handler for documents and URLs).
int ShellExecute(std::string_view verb, std::string_view file, std::string_view parameters,
                 std::string_view directory, int showCommand);

}  // namespace platform
