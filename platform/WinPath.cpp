#include "platform/WinPath.h"

#include "platform/CodePage.h"

namespace platform {
namespace {

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Index just behind the last separator or colon; 0 when there is none.
size_t NameStart(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1]) || path[i - 1] == ':') return i;
  return 0;
}

// Index of the full stop that starts the extension, or npos.
size_t ExtStart(std::string_view path) {
  const size_t name = NameStart(path);
  const size_t dot = path.rfind('.');
  return dot == std::string_view::npos || dot < name ? std::string_view::npos : dot;
}

}  // namespace

std::string ExtractFileDrive(std::string_view path) {
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':')
    return std::string(path.substr(0, 2));
  return {};
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
  const size_t dot = ExtStart(path);
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string RemoveFileExt(std::string_view path) {
  return std::string(path.substr(0, ExtStart(path)));
}

void AddBackslash(std::string& path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
}

void RemoveBackslash(std::string& path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
}

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsPathSeparator(path[i])) {
      if (i > start) parts.emplace_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::string RelativeFileName(std::string_view exe, std::string_view file) {
  const std::string exeDrive = ExtractFileDrive(exe);
  const std::string fileDrive = ExtractFileDrive(file);
  if (!AnsiSameText(exeDrive, fileDrive)) return std::string(file);

  const auto exeFolders = SplitPath(ExtractFilePath(exe).substr(exeDrive.size()));
  const auto fileFolders = SplitPath(ExtractFilePath(file).substr(fileDrive.size()));
  size_t shared = 0;
  while (shared < exeFolders.size() && shared < fileFolders.size() &&
         AnsiSameText(exeFolders[shared], fileFolders[shared]))
    ++shared;

  std::string result;
  for (size_t i = shared; i < exeFolders.size(); ++i)
    result += "..\\";
  for (size_t i = shared; i < fileFolders.size(); ++i)
    result += fileFolders[i] + '\\';
  return result + ExtractFileName(file);
}

}  // namespace platform
