#include "viewer/DocumentFile.h"

#include <fstream>
#include <system_error>

#include "platform/Machine.h"
#include "platform/WinPath.h"

namespace viewer {
namespace {

bool IsRelative(std::string_view name) {
  return platform::ExtractFileDrive(name).empty() &&
         !(name.size() > 0 && platform::IsPathSeparator(name[0]));
}

// The file's bytes, when the name leads to a regular file that can be read.
std::optional<std::string> TryRead(std::string_view winName) {
  const auto posix = platform::ToPosixPath(winName);
  if (!posix) return std::nullopt;
  std::error_code error;
  if (!std::filesystem::is_regular_file(*posix, error)) return std::nullopt;
  std::ifstream in(*posix, std::ios::binary);
  if (!in) return std::nullopt;
  const auto size = std::filesystem::file_size(*posix, error);
  if (error) return std::nullopt;
  std::string bytes(size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  if (in.gcount() != static_cast<std::streamsize>(size)) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<std::string> ReadDocumentFile(std::string_view FileName,
                                            std::string_view ProgramFolder) {
  if (FileName.empty()) return std::nullopt;
  if (auto bytes = TryRead(FileName)) return bytes;
  if (IsRelative(FileName) && !ProgramFolder.empty()) {
    std::string inProgramFolder(ProgramFolder);
    platform::AddBackslash(inProgramFolder);
    inProgramFolder += FileName;
    if (auto bytes = TryRead(inProgramFolder)) return bytes;
  }
  const std::string bare = platform::ExtractFileName(FileName);
  if (bare.empty() || bare == FileName) return std::nullopt;
  return TryRead(bare);
}

}  // namespace viewer
