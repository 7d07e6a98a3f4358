// The entry points of the resource reader that take Windows paths of the machine.
#include "platform/Machine.h"
#include "platform/PlatformError.h"
#include "platform/Resources.h"
#include "platform/ResourcesVersion.h"

namespace platform {

TProgramFile TProgramFile::OpenWindowsPath(std::string_view winPath) {
  std::optional<std::filesystem::path> posix = ToPosixPath(winPath);
  if (!posix) throw EPlatformError(kErrorPathNotFound, "Path not found: " + std::string(winPath));
  return Open(*posix);
}

std::optional<TVersionInfo> GetFileVersionInfoWin(std::string_view winPath) {
  std::optional<std::filesystem::path> posix = ToPosixPath(winPath);
  return posix ? GetFileVersionInfo(*posix) : std::nullopt;
}

uint32_t GetFileVersionInfoSizeWin(std::string_view winPath) {
  std::optional<std::filesystem::path> posix = ToPosixPath(winPath);
  return posix ? GetFileVersionInfoSize(*posix) : 0;
}

}  // namespace platform
