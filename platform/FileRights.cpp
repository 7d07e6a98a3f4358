#include "platform/FileRights.h"

#include <errno.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/PlatformError.h"

namespace platform::detail {
namespace {

namespace fs = std::filesystem;

// The components of posix below folder (both made canonical where they exist),
// or false when posix is not below folder.
bool ComponentsBelow(const fs::path& posix, const fs::path& folder,
                     std::vector<std::string>& parts) {
  auto p = posix.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
    if (f->empty()) continue;
    if (p == posix.end() || *p != *f) return false;
  }
  parts.clear();
  for (; p != posix.end(); ++p)
    if (!p->empty()) parts.push_back(Utf8ToAnsi(p->string()));
  return true;
}

}  // namespace

bool ProtectedPath(const fs::path& posix, bool holdsToo) {
  std::error_code ec;
  const fs::path driveC = fs::weakly_canonical(MachineRoot() / "drive_c", ec);
  const fs::path target = fs::weakly_canonical(fs::absolute(posix, ec), ec);
  std::vector<std::string> parts;
  if (!ComponentsBelow(target, driveC, parts)) {
    // Above drive C: a folder that holds the machine holds its protected folders.
    return holdsToo && ComponentsBelow(driveC, target, parts);
  }
  if (parts.empty()) return holdsToo;
  for (const char* top : {"Program Files", "Program Files (x86)", "ProgramData", "Windows"})
    if (AnsiSameText(parts[0], top)) return true;
  if (AnsiSameText(parts[0], "Users")) {
    if (parts.size() == 1) return holdsToo;
    return AnsiSameText(parts[1], "Public");
  }
  return false;
}

uint32_t WinErrorOf(int err) {
  switch (err) {
    case 0:
      return 0;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kErrorAccessDenied;
    case EEXIST:
      return kErrorAlreadyExists;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case ENAMETOOLONG:
    case EINVAL:
      return kErrorInvalidName;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EFBIG:
      return kErrorFileTooLarge;
    case ENOEXEC:
      return kErrorBadExeFormat;
    default:
      return kErrorGenFailure;
  }
}

uint32_t MissingError(const fs::path& posix) {
  struct stat st;
  const fs::path parent = posix.parent_path();
  return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kErrorFileNotFound
                                                               : kErrorPathNotFound;
}

unsigned NewFileMode(const fs::path& posix) {
  const std::string ext = AnsiLowerCase(Utf8ToAnsi(posix.extension().string()));
  return ext == ".exe" || ext == ".com" || ext == ".dll" ? 0777 : 0666;
}

}  // namespace platform::detail
