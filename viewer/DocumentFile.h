// Finding and reading a document's file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace viewer {

// The bytes of the document named FileName (a Windows path, Windows-1251), or
// nothing when no such file can be read. The name is looked up as it stands (a
// relative one against the current folder), then, when it is relative, against
// ProgramFolder (the open dialog stores names relative to it), and at last as its
// bare file name in the current folder. Throws std::bad_alloc when the file does not fit in memory.
[[nodiscard]] std::optional<std::string> ReadDocumentFile(std::string_view FileName,
                                                          std::string_view ProgramFolder);

}  // namespace viewer
