#include "platform/Process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/Environment.h"
#include "platform/FileRights.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/WinPath.h"

extern char** environ;

namespace platform {
namespace {

namespace fs = std::filesystem;

// Everything a child needs, prepared before fork so that the child only makes
// system calls.
struct TSpawn {
  fs::path Program;               // POSIX path
  std::vector<std::string> Args;  // UTF-8
  std::string CommandLine;        // Windows-1251, handed over as written
  fs::path Folder;                // POSIX; empty keeps the caller's
  bool OwnConsole = false;        // no share in the caller's terminal
  bool Detached = false;          // not our child: never waited for
  int Fds[3] = {-1, -1, -1};
};

bool IsRegularFile(const fs::path& posix) {
  struct stat st;
  return stat(posix.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const fs::path& posix) {
  struct stat st;
  return stat(posix.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasExt(std::string_view name, std::initializer_list<const char*> exts) {
  const std::string ext = ExtractFileExt(name);
  for (const char* e : exts)
    if (AnsiSameText(ext, e)) return true;
  return false;
}

bool HasFolderPart(std::string_view name) {
  return name.find_first_of("\\/:") != std::string_view::npos;
}

// Finds the program a command line names (see CreateProcess).
std::optional<fs::path> FindProgram(std::string_view name, uint32_t& error) {
  std::vector<std::string> names = {std::string(name)};
  if (!AnsiSameText(ExtractFileExt(name), ".exe")) names.push_back(std::string(name) + ".exe");
  error = kErrorFileNotFound;
  if (HasFolderPart(name)) {
    for (const std::string& n : names)
      if (auto posix = ToPosixPath(n); posix && IsRegularFile(*posix)) return posix;
    if (auto posix = ToPosixPath(name)) error = detail::MissingError(*posix);
    return std::nullopt;
  }
  const std::string folders[] = {ExtractFilePath(GetModuleFileName()), GetCurrentDirectory(),
                                 layout::kSystem32, layout::kWindows};
  for (std::string folder : folders) {
    if (folder.empty()) continue;
    AddBackslash(folder);
    for (const std::string& n : names)
      if (auto posix = ToPosixPath(folder + n); posix && IsRegularFile(*posix)) return posix;
  }
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const fs::path folder(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    if (folder.empty()) continue;
    for (const std::string& n : names) {
      const fs::path posix = folder / AnsiToUtf8(n);
      if (IsRegularFile(posix) && access(posix.c_str(), X_OK) == 0) return posix;
    }
  }
  return std::nullopt;
}

// In the child: sets it up and runs the program; on failure writes errno to
// report and ends. Only async-signal-safe calls here.
[[noreturn]] void RunChild(const TSpawn& s, char* const* argv, char* const* envp, int report) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction dfl;
  std::memset(&dfl, 0, sizeof dfl);
  dfl.sa_handler = SIG_DFL;
  sigaction(SIGPIPE, &dfl, nullptr);
  if (s.OwnConsole) setsid();
  for (int fd = 0; fd < 3; ++fd) {
    int from = s.Fds[fd];
    if (from < 0 && s.OwnConsole) from = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (from >= 0 && from != fd) dup2(from, fd);
  }
  if (!s.Folder.empty() && chdir(s.Folder.c_str()) != 0) {
    const int err = errno;
    (void)!write(report, &err, sizeof err);
    _exit(127);
  }
  execve(s.Program.c_str(), argv, envp);
  const int err = errno;
  (void)!write(report, &err, sizeof err);
  _exit(127);
}

// Starts the program; the process id, or -errno on failure. A detached program
// is started through an intermediate process that ends at once, so it is never
// our child (and never left a zombie).
pid_t Spawn(const TSpawn& s) {
  std::vector<char*> argv;
  for (const std::string& a : s.Args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string handOver = std::string(kCommandLineVariable) + "=" + AnsiToUtf8(s.CommandLine);
  const size_t prefix = std::strlen(kCommandLineVariable) + 1;
  std::vector<char*> envp;
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, handOver.c_str(), prefix) != 0) envp.push_back(*e);
  envp.push_back(const_cast<char*>(handOver.c_str()));
  envp.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return -errno;
  const pid_t pid = fork();
  if (pid < 0) {
    const int err = errno;
    close(report[0]);
    close(report[1]);
    return -err;
  }
  if (pid == 0) {
    close(report[0]);
    if (s.Detached) {
      const pid_t inner = fork();
      if (inner < 0) {
        const int err = errno;
        (void)!write(report[1], &err, sizeof err);
        _exit(127);
      }
      if (inner > 0) _exit(0);
    }
    RunChild(s, argv.data(), envp.data(), report[1]);
  }
  close(report[1]);
  int err = 0;
  ssize_t n;
  do {
    n = read(report[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  close(report[0]);
  if (s.Detached) {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (n == static_cast<ssize_t>(sizeof err)) {
    if (!s.Detached) {
      int status;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }
    return -err;
  }
  return pid;
}

uint32_t SpawnError(int err) {
  switch (err) {
    case ENOENT:
      return kErrorFileNotFound;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case ENOEXEC:
      return kErrorBadExeFormat;
    default:
      return detail::WinErrorOf(err);
  }
}

std::vector<std::string> Utf8Args(const std::vector<std::string>& args) {
  std::vector<std::string> out;
  for (const std::string& a : args)
    out.push_back(AnsiToUtf8(a));
  return out;
}

// The command line that runs a batch file through the command interpreter, with
// the interpreter's program; empty when there is none.
std::string BatchCommandLine(std::string_view batchLine, fs::path& interpreter) {
  const std::string comSpec = GetEnvironmentVariable("ComSpec").value_or("");
  uint32_t error;
  const auto found = comSpec.empty() ? std::nullopt : FindProgram(comSpec, error);
  if (!found) return {};
  interpreter = *found;
  return QuoteArgument(comSpec) + " /c \"" + std::string(batchLine) + "\"";
}

}  // namespace

TProcess::TProcess(TProcess&& other) noexcept
    : pid_(other.pid_),
      ended_(other.ended_),
      exitCode_(other.exitCode_),
      terminateCode_(other.terminateCode_) {
  other.pid_ = 0;
}

TProcess& TProcess::operator=(TProcess&& other) noexcept {
  if (this != &other) {
    pid_ = other.pid_;
    ended_ = other.ended_;
    exitCode_ = other.exitCode_;
    terminateCode_ = other.terminateCode_;
    other.pid_ = 0;
  }
  return *this;
}

void TProcess::Reap(int status) {
  ended_ = true;
  if (terminateCode_)
    exitCode_ = *terminateCode_;
  else if (WIFEXITED(status))
    exitCode_ = static_cast<uint32_t>(WEXITSTATUS(status));
  else if (WIFSIGNALED(status))
    exitCode_ = 128u + static_cast<uint32_t>(WTERMSIG(status));
}

bool TProcess::Wait(uint32_t timeoutMs) {
  if (!Valid()) return true;
  if (ended_) return true;
  int status = 0;
  if (timeoutMs == kInfinite) {
    pid_t r;
    while ((r = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    if (r == pid_) {
      Reap(status);
    } else {
      ended_ = true;  // no longer ours to wait for
      exitCode_ = terminateCode_.value_or(0);
    }
    return true;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  auto pause = std::chrono::microseconds(200);
  for (;;) {
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      Reap(status);
      return true;
    }
    if (r < 0 && errno != EINTR) {
      ended_ = true;
      exitCode_ = terminateCode_.value_or(0);
      return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
}

uint32_t TProcess::ExitCode() {
  Wait(0);
  return exitCode_;
}

bool TProcess::Terminate(uint32_t exitCode) {
  if (!Valid() || ended_) return false;
  if (kill(pid_, SIGKILL) != 0) return false;
  terminateCode_ = exitCode;
  Wait();
  return true;
}

TWinResult CreateProcess(std::string_view commandLine, const TStartupInfo& startup,
                         TProcess& process) {
  std::vector<std::string> args = SplitCommandLine(commandLine);
  if (args.empty() || args[0].empty()) return TWinResult::Fail(kErrorInvalidParameter);
  uint32_t error = 0;
  TSpawn s;
  s.CommandLine = commandLine;
  if (auto program = FindProgram(args[0], error))
    s.Program = *program;
  else
    return TWinResult::Fail(error);
  if (HasExt(s.Program.string(), {".cmd", ".bat"})) {
    s.CommandLine = BatchCommandLine(commandLine, s.Program);
    if (s.CommandLine.empty()) return TWinResult::Fail(kErrorFileNotFound);
    args = SplitCommandLine(s.CommandLine);
  }
  s.Args = Utf8Args(args);
  if (!startup.CurrentDirectory.empty()) {
    const auto folder = ToPosixPath(startup.CurrentDirectory);
    if (!folder || !IsFolder(*folder)) return TWinResult::Fail(kErrorDirectory);
    s.Folder = *folder;
  }
  s.OwnConsole = (startup.CreationFlags & (kCreateNewConsole | kDetachedProcess)) != 0;
  s.Fds[0] = startup.StdInput;
  s.Fds[1] = startup.StdOutput;
  s.Fds[2] = startup.StdError;
  const pid_t pid = Spawn(s);
  if (pid < 0) return TWinResult::Fail(SpawnError(-pid));
  process = TProcess(pid);
  return TWinResult::Ok();
}

int ShellExecute(std::string_view verb, std::string_view file, std::string_view parameters,
                 std::string_view directory, int /*showCommand: no windows to show here*/) {
  if (!verb.empty() && !AnsiSameText(verb, "open") && !AnsiSameText(verb, "runas"))
    return kSeErrNoAssoc;
  if (file.empty()) return kSeErrFileNotFound;

  TSpawn s;
  s.Detached = true;
  s.OwnConsole = true;
  std::string folder(directory);
  if (folder.empty()) folder = GetCurrentDirectory();
  {
    const auto posix = ToPosixPath(folder);
    if (!posix || !IsFolder(*posix)) return kSeErrPathNotFound;
    s.Folder = *posix;
  }

  // A URL: a scheme of two or more characters (one letter is a drive), then ":".
  size_t scheme = 0;
  while (scheme < file.size() &&
         (IsAnsiLetter(static_cast<unsigned char>(file[scheme])) ||
          (scheme > 0 && (std::isdigit(static_cast<unsigned char>(file[scheme])) ||
                          std::strchr("+-.", file[scheme])))))
    ++scheme;
  const bool url = scheme >= 2 && scheme < file.size() && file[scheme] == ':';

  std::string document;  // what the desktop's handler gets (UTF-8)
  if (url) {
    document = AnsiToUtf8(file);
  } else {
    std::string full(file);
    const bool relative = ExtractFileDrive(file).empty() && !IsPathSeparator(file[0]);
    if (relative) {
      std::string base = folder;
      AddBackslash(base);
      full = base + std::string(file);
    }
    auto posix = ToPosixPath(full);
    if (!posix) return kSeErrPathNotFound;
    struct stat st;
    if (stat(posix->c_str(), &st) != 0) {
      uint32_t error;
      std::optional<fs::path> program;
      if (!HasFolderPart(file)) program = FindProgram(file, error);
      if (!program)
        return detail::MissingError(*posix) == kErrorFileNotFound ? kSeErrFileNotFound
                                                                  : kSeErrPathNotFound;
      posix = program;
      full = ToWindowsPath(*program);
    }
    const std::string params = parameters.empty() ? "" : " " + std::string(parameters);
    if (HasExt(full, {".exe", ".com"})) {
      s.Program = *posix;
      s.CommandLine = QuoteArgument(full) + params;
    } else if (HasExt(full, {".cmd", ".bat"})) {
      s.CommandLine = BatchCommandLine("\"" + full + "\"" + params, s.Program);
      if (s.CommandLine.empty()) return kSeErrFileNotFound;
    } else {
      document = posix->string();
    }
    if (!s.CommandLine.empty()) s.Args = Utf8Args(SplitCommandLine(s.CommandLine));
  }

  if (s.Args.empty()) {
    // The desktop's default handler.
    const char* handler = std::getenv("DARVENA_OPEN_HANDLER");
    const std::string name = handler && *handler ? handler : "xdg-open";
    uint32_t error;
    const auto program = name.find('/') != std::string::npos
                             ? std::optional<fs::path>(fs::path(name))
                             : FindProgram(Utf8ToAnsi(name), error);
    if (!program || access(program->c_str(), X_OK) != 0) return kSeErrNoAssoc;
    s.Program = *program;
    s.Args = {name, document};
    s.CommandLine = Utf8ToAnsi(QuoteArgument(name) + " " + QuoteArgument(document));
  }

  const pid_t pid = Spawn(s);
  if (pid > 0) return kShellExecuteOk;
  switch (-pid) {
    case ENOENT:
      return kSeErrFileNotFound;
    case EACCES:
    case EPERM:
      return kSeErrAccessDenied;
    case ENOEXEC:
      return kSeErrBadFormat;
    default:
      return kSeErrNoAssoc;
  }
}

}  // namespace platform
