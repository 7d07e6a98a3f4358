// The rules of Windows path names, on text only (no file system): drive parts,
// separators (both "\" and "/"), bare names, extensions, trailing backslashes and
// relative names. Paths are Windows-1251 text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

[[nodiscard]] inline bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

// "C:" for a path that starts with a drive letter and a colon, else empty.
[[nodiscard]] std::string ExtractFileDrive(std::string_view path);
// The bare file name: the part after the last separator or colon.
[[nodiscard]] std::string ExtractFileName(std::string_view path);
// Everything up to and including the last separator or colon.
[[nodiscard]] std::string ExtractFilePath(std::string_view path);
// The extension: the text from the last full stop of the bare file name, the full
// stop included; empty when the bare name has no full stop. Callers compare it as
// the rule they follow demands (exactly, or without regard to case).
[[nodiscard]] std::string ExtractFileExt(std::string_view path);
// The path without the extension ExtractFileExt finds.
[[nodiscard]] std::string RemoveFileExt(std::string_view path);

// Appends a backslash to a non-empty text that does not already end with one.
void AddBackslash(std::string& path);
// Drops one final backslash, if there is one.
void RemoveBackslash(std::string& path);

// Splits at every separator; empty components (doubled separators) are dropped.
[[nodiscard]] std::vector<std::string> SplitPath(std::string_view path);

// The name of File relative to the folder of the program file Exe. On different
// drives (compared without regard to case) File comes back unchanged; otherwise the
// leading folders both share (compared without regard to case) are skipped, and the
// result is one "..\" per folder of Exe left over, then File's remaining folders and
// its file name. With Exe in C:\Prog\: C:\Prog\Docs\a.txt gives Docs\a.txt,
// C:\Data\b.txt gives ..\Data\b.txt, D:\c.txt stays D:\c.txt.
[[nodiscard]] std::string RelativeFileName(std::string_view exe, std::string_view file);

}  // namespace platform
