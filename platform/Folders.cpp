// Folders over Windows paths: creating and removing them, finding files, the
// current folder, full path names and the program's own file.
#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "platform/CodePage.h"
#include "platform/FileRights.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/WinPath.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using detail::MissingError;
using detail::ProtectedPath;
using detail::WinErrorOf;

bool IsFolder(const fs::path& posix) {
  struct stat st;
  return stat(posix.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Wildcard match of a Windows-1251 name against a mask, without regard to case:
// "*" any run of characters, "?" one character.
bool Wildcard(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || AnsiUpper(static_cast<unsigned char>(mask[m])) ==
                                                  AnsiUpper(static_cast<unsigned char>(name[n])))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*')
    ++m;
  return m == mask.size();
}

// The Windows reading of a mask: "*.*" is everything; "name.*" also matches a
// name without an extension; "name." matches only names without one.
bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*" || mask == "*.*") return true;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      Wildcard(name, mask.substr(0, mask.size() - 2)))
    return true;
  if (mask.size() >= 2 && mask.back() == '.' && mask[mask.size() - 2] != '.')
    return name.find('.') == std::string_view::npos &&
           Wildcard(name, mask.substr(0, mask.size() - 1));
  return Wildcard(name, mask);
}

TFindData Describe(const fs::path& folder, const char* entry) {
  TFindData d;
  d.Name = Utf8ToAnsi(entry);
  const fs::path full = folder / entry;
  struct stat st;
  if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0) return d;
  const bool dots = std::strcmp(entry, ".") == 0 || std::strcmp(entry, "..") == 0;
  d.Attributes = S_ISDIR(st.st_mode) ? kFileAttributeDirectory : kFileAttributeArchive;
  if ((st.st_mode & S_IWUSR) == 0) d.Attributes |= kFileAttributeReadOnly;
  if (entry[0] == '.' && !dots) d.Attributes |= kFileAttributeHidden;
  d.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
  d.LastWriteTime = static_cast<int64_t>(st.st_mtime);
  return d;
}

}  // namespace

TWinResult CreateDirectory(std::string_view path) {
  const auto posix = ToPosixPath(path);
  if (!posix) return TWinResult::Fail(kErrorPathNotFound);
  if (!ProcessElevated() && ProtectedPath(*posix)) return TWinResult::Fail(kErrorAccessDenied);
  if (mkdir(posix->c_str(), 0777) != 0)
    return TWinResult::Fail(errno == ENOENT ? kErrorPathNotFound : WinErrorOf(errno));
  return TWinResult::Ok();
}

TWinResult ForceDirectories(std::string_view path) {
  std::string folder(path);
  while (folder.size() > 3 && IsPathSeparator(folder.back()))
    folder.pop_back();
  if (DirectoryExists(folder)) return TWinResult::Ok();
  std::string parent = ExtractFilePath(folder);
  while (parent.size() > 3 && IsPathSeparator(parent.back()))
    parent.pop_back();
  if (!parent.empty() && parent.size() < folder.size())
    if (TWinResult r = ForceDirectories(parent); !r) return r;
  const TWinResult r = CreateDirectory(folder);
  return r || r.Error == kErrorAlreadyExists ? TWinResult::Ok() : r;
}

TWinResult RemoveDirectory(std::string_view path) {
  const auto posix = ToPosixPath(path);
  if (!posix) return TWinResult::Fail(kErrorPathNotFound);
  struct stat st;
  if (lstat(posix->c_str(), &st) != 0) return TWinResult::Fail(MissingError(*posix));
  if (!S_ISDIR(st.st_mode)) return TWinResult::Fail(kErrorDirectory);
  if (!ProcessElevated() && ProtectedPath(*posix, true))
    return TWinResult::Fail(kErrorAccessDenied);
  if (rmdir(posix->c_str()) != 0)
    return TWinResult::Fail(errno == EEXIST ? kErrorDirNotEmpty : WinErrorOf(errno));
  return TWinResult::Ok();
}

TWinResult DeleteTree(std::string_view path) {
  const auto posix = ToPosixPath(path);
  if (!posix) return TWinResult::Fail(kErrorPathNotFound);
  struct stat st;
  if (lstat(posix->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return TWinResult::Fail(kErrorFileNotFound);
  if (!ProcessElevated() && ProtectedPath(*posix, true))
    return TWinResult::Fail(kErrorAccessDenied);
  std::error_code ec;
  fs::remove_all(*posix, ec);
  if (ec) return TWinResult::Fail(WinErrorOf(ec.value()));
  return TWinResult::Ok();
}

std::vector<TFindData> FindFiles(std::string_view pattern) {
  std::vector<TFindData> found;
  const std::string folder = ExtractFilePath(pattern);
  const std::string mask = ExtractFileName(pattern);
  if (mask.empty()) return found;
  const auto posix = ToPosixPath(folder.empty() ? std::string_view(".") : folder);
  if (!posix) return found;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(posix->c_str()), closedir);
  if (!dir) return found;
  const fs::path canonical = posix->lexically_normal();
  const bool driveRoot = ToWindowsPath(canonical).size() == 3;
  while (const dirent* e = readdir(dir.get())) {
    const bool dots = std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0;
    if (dots && driveRoot) continue;
    if (!MatchesMask(Utf8ToAnsi(e->d_name), mask)) continue;
    found.push_back(Describe(*posix, e->d_name));
  }
  return found;
}

std::string GetCurrentDirectory() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  return ToWindowsPath(ec ? fs::path("/") : cwd);
}

TWinResult SetCurrentDirectory(std::string_view path) {
  const auto posix = ToPosixPath(path);
  if (!posix || !IsFolder(*posix)) return TWinResult::Fail(kErrorPathNotFound);
  if (chdir(posix->c_str()) != 0) return TWinResult::Fail(WinErrorOf(errno));
  return TWinResult::Ok();
}

std::string GetFullPathName(std::string_view path) {
  const auto posix = ToPosixPath(path);
  if (!posix) return {};
  return ToWindowsPath(*posix);
}

std::string GetModuleFileName() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : ToWindowsPath(exe);
}

}  // namespace platform
