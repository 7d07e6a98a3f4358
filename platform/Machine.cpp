#include "platform/Machine.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "platform/WinPath.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Elevation belongs to the process, like its token on Windows.
bool processElevated = false;

// Bumped when the layout gains something, so that older machines are completed.
constexpr const char* kLayoutVersion = "1";

// The POSIX path of a fixed Windows path of drive C: (no resolution: provisioning
// names every folder exactly as it creates it).
fs::path DriveCPath(const fs::path& driveC, std::string_view winPath) {
  fs::path p = driveC;
  for (const std::string& part : SplitPath(winPath.substr(2)))
    p /= AnsiToUtf8(part);
  return p;
}

// mkdir -p that takes a folder made meanwhile by another process as success.
bool MakeFolders(const fs::path& folder) {
  fs::path built;
  for (const fs::path& part : folder) {
    built /= part;
    if (mkdir(built.c_str(), 0777) == 0) continue;
    if (errno != EEXIST) return false;
    struct stat st;
    if (stat(built.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  }
  return true;
}

// Writes a small file atomically (a uniquely named temporary, then a rename).
void WriteStamp(const fs::path& file, const std::string& text) {
  std::string tmpl = file.string() + ".XXXXXX";
  int fd = mkstemp(tmpl.data());
  if (fd < 0) return;
  const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  if (!ok || rename(tmpl.c_str(), file.c_str()) != 0) unlink(tmpl.c_str());
}

void ProvisionFolders(const fs::path& root) {
  const std::string user = MachineUserName();
  const fs::path stamp =
      root / (std::string(".provisioned-") + kLayoutVersion + "-" + AnsiToUtf8(user));
  if (access(stamp.c_str(), F_OK) == 0) return;

  const fs::path driveC = root / "drive_c";
  if (!MakeFolders(driveC))
    throw EPlatformError(kErrorAccessDenied,
                         "Cannot create the machine folder " + Utf8ToAnsi(root.string()));
  const std::string profile = UserProfileFolder();
  std::vector<std::string> folders = {layout::kProgramFiles,   layout::kProgramFilesX86,
                                      layout::kCommonPrograms, layout::kCommonStartup,
                                      layout::kCommonDesktop,  "C:\\Users\\Public\\Documents",
                                      layout::kSystem32};
  for (const char* sub : {layout::kDesktop, layout::kPersonal, layout::kAppData, layout::kPrograms,
                          layout::kStartup, layout::kTemp})
    folders.push_back(profile + "\\" + sub);
  for (const std::string& folder : folders)
    if (!MakeFolders(DriveCPath(driveC, folder)))
      throw EPlatformError(kErrorAccessDenied, "Cannot create the machine folder " + folder);
  WriteStamp(stamp, user + "\n");
}

// Whether path is a symbolic link that points at target.
bool LinksTo(const fs::path& link, const fs::path& target) {
  std::error_code ec;
  const fs::path now = fs::read_symlink(link, ec);
  return !ec && now == target;
}

}  // namespace

fs::path MachineRoot() {
  fs::path root;
  if (const char* m = std::getenv("DARVENA_MACHINE"); m && *m) {
    root = m;
  } else {
    fs::path base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) {
      base = x;
    } else if (const char* h = std::getenv("HOME"); h && *h) {
      base = fs::path(h) / ".local" / "share";
    } else {
      base = "/tmp";
    }
    root = base / "darvena" / "machine";
  }
  if (root.is_relative()) {
    // Taken against the folder current when the process first asks, so that a
    // later change of the current folder does not move the machine.
    static std::mutex mutex;
    static std::string given;
    static fs::path absolute;
    std::lock_guard lock(mutex);
    if (given != root.string()) {
      std::error_code ec;
      given = root.string();
      absolute = fs::absolute(root, ec);
    }
    root = absolute;
  }
  return root.lexically_normal();
}

void ProvisionMachine() {
  // The machine is provisioned once per process and machine folder; later calls
  // cost a comparison. A call made while provisioning runs on the same thread (a
  // part of the machine that opens files of the machine) returns at once.
  static std::recursive_mutex mutex;
  static std::string provisioned;
  static bool busy = false;
  const fs::path root = MachineRoot();
  std::lock_guard lock(mutex);
  if (busy || provisioned == root.string()) return;
  busy = true;
  struct TDone {
    ~TDone() { busy = false; }
  } done;
  ProvisionFolders(root);
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) LinkSystemTools(exe.parent_path());
  // The registry's provisioning belongs here: ProvisionRegistry().
  provisioned = root.string();
}

void LinkSystemTools(const fs::path& toolsFolder) {
  const fs::path system32 = DriveCPath(MachineRoot() / "drive_c", layout::kSystem32);
  const struct {
    const char* link;
    const char* program;
  } tools[] = {{"cmd.exe", "cmd.exe"}, {"reg.exe", "reg"}};
  for (const auto& tool : tools) {
    const fs::path target = toolsFolder / tool.program;
    struct stat st;
    if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const fs::path link = system32 / tool.link;
    if (LinksTo(link, target)) continue;
    // A fresh link under a name of our own, renamed over the old one: another
    // process doing the same at the same time cannot make either of us fail.
    const fs::path fresh =
        system32 / ("." + std::string(tool.link) + "." + std::to_string(getpid()) + ".link");
    unlink(fresh.c_str());
    if (symlink(target.c_str(), fresh.c_str()) != 0) continue;
    if (rename(fresh.c_str(), link.c_str()) != 0) unlink(fresh.c_str());
  }
}

std::string MachineUserName() {
  for (const char* name : {"USER", "LOGNAME"})
    if (const char* v = std::getenv(name); v && *v) return Utf8ToAnsi(v);
  return "user";
}

std::string UserProfileFolder() {
  return "C:\\Users\\" + MachineUserName();
}

bool ProcessElevated() {
  return processElevated;
}
void SetProcessElevated(bool elevated) {
  processElevated = elevated;
}

}  // namespace platform
