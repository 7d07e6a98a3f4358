// The mapping between Windows paths and POSIX paths of the machine (ToPosixPath,
// ToWindowsPath in Machine.h).
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/WinPath.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

fs::path CurrentPosixFolder() {
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  return ec ? fs::path("/") : cwd;
}

// The existing entry of folder whose name equals name without regard to case
// (Windows-1251 folding), the exact spelling first; empty when there is none.
std::string FindEntry(const fs::path& folder, std::string_view name) {
  const std::string utf8 = AnsiToUtf8(name);
  struct stat st;
  if (lstat((folder / utf8).c_str(), &st) == 0) return utf8;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return {};
  while (const dirent* e = readdir(dir.get())) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (AnsiSameText(Utf8ToAnsi(e->d_name), name)) return e->d_name;
  }
  return {};
}

// Whether posix lies in (or is) folder, and if so the rest of it.
bool Below(const fs::path& posix, const fs::path& folder, fs::path& rest) {
  auto p = posix.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
    if (f->empty()) continue;  // a trailing separator of folder
    if (p == posix.end() || *p != *f) return false;
  }
  rest.clear();
  for (; p != posix.end(); ++p)
    if (!p->empty()) rest /= *p;
  return true;
}

}  // namespace

std::optional<fs::path> ToPosixPath(std::string_view winPath) {
  ProvisionMachine();
  // Make the path absolute, as Windows text: drive, then components.
  std::string full;
  const bool hasDrive = winPath.size() >= 2 && IsLetter(winPath[0]) && winPath[1] == ':';
  if (hasDrive && winPath.size() >= 3 && IsPathSeparator(winPath[2])) {
    full = winPath;
  } else {
    const std::string cwd = ToWindowsPath(CurrentPosixFolder());
    if (hasDrive) {
      // "X:name": relative to the current folder when that is on drive X.
      if (AnsiSameText(ExtractFileDrive(cwd), winPath.substr(0, 2)))
        full = cwd + "\\" + std::string(winPath.substr(2));
      else
        full = std::string(winPath.substr(0, 2)) + "\\" + std::string(winPath.substr(2));
    } else if (!winPath.empty() && IsPathSeparator(winPath[0])) {
      if (winPath.size() >= 2 && IsPathSeparator(winPath[1])) return std::nullopt;  // UNC
      full = cwd.substr(0, 2) + std::string(winPath);
    } else {
      full = cwd + "\\" + std::string(winPath);
    }
  }

  fs::path base;
  const char drive = static_cast<char>(AnsiUpper(static_cast<unsigned char>(full[0])));
  if (drive == 'C')
    base = MachineRoot() / "drive_c";
  else if (drive == 'Z')
    base = "/";
  else
    return std::nullopt;

  std::vector<std::string> parts;
  for (std::string& part : SplitPath(std::string_view(full).substr(2))) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }

  fs::path posix = base;
  bool exists = true;
  for (const std::string& part : parts) {
    if (exists) {
      const std::string found = FindEntry(posix, part);
      if (!found.empty()) {
        posix /= found;
        continue;
      }
      exists = false;
    }
    posix /= AnsiToUtf8(part);
  }
  return posix;
}

std::string ToWindowsPath(const fs::path& posix) {
  fs::path abs = posix.is_absolute() ? posix : CurrentPosixFolder() / posix;
  abs = abs.lexically_normal();
  const fs::path driveC = MachineRoot() / "drive_c";
  fs::path rest;
  std::string result;
  std::error_code ec;
  if (Below(abs, driveC, rest) || Below(abs, fs::weakly_canonical(driveC, ec), rest)) {
    result = "C:\\";
  } else {
    result = "Z:\\";
    rest = abs.relative_path();
  }
  bool first = true;
  for (const fs::path& part : rest) {
    if (part.empty()) continue;
    if (!first) result += '\\';
    result += Utf8ToAnsi(part.string());
    first = false;
  }
  return result;
}

}  // namespace platform
