#include "viewer/DocumentFile.h"

#include "platform/Files.h"
#include "platform/WinPath.h"

namespace viewer {
namespace {

bool IsRelative(std::string_view name) {
  return platform::ExtractFileDrive(name).empty() &&
         !(name.size() > 0 && platform::IsPathSeparator(name[0]));
}

// The file's bytes, when the name leads to a file that can be read.
std::optional<std::string> TryRead(std::string_view winName) {
  if (!platform::FileExists(winName)) return std::nullopt;
  return platform::TryReadWholeFile(winName);
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
