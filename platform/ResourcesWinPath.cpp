// The entry points of the resource reader that take Windows paths of the machine.
#include "platform/Machine.h"
#include "platform/PlatformError.h"
#include "platform/Resources.h"
#include "platform/ResourcesVersion.h"

namespace platform {

TProgramFile TProgramFile::Open(std::string_view winPath) {
  std::optional<std::filesystem::path> posix = ToPosixPath(winPath);
  if (!posix) throw EPlatformError(kErrorPathNotFound, "Path not found: " + std::string(winPath));
  return OpenPosix(*posix);
}

std::optional<TVersionInfo> GetFileVersionInfo(std::string_view winPath) {
  std::optional<std::filesystem::path> posix = ToPosixPath(winPath);
  return posix ? GetFileVersionInfoPosix(*posix) : std::nullopt;
}

uint32_t GetFileVersionInfoSize(std::string_view winPath) {
  std::optional<std::filesystem::path> posix = ToPosixPath(winPath);
  return posix ? GetFileVersionInfoSizePosix(*posix) : 0;
}

}  // namespace platform
