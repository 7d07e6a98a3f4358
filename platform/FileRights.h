// Internal to the platform layer: the rights rule over resolved POSIX paths, and
// the translation of POSIX failures into Windows error codes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace platform::detail {

// True when a process that is not elevated may not change posix: it lies in a
// protected folder (or is one), or, with holdsToo, it holds one (a folder above
// drive C:'s protected folders, the drive itself included).
[[nodiscard]] bool ProtectedPath(const std::filesystem::path& posix, bool holdsToo = false);

// The Windows error code for a POSIX errno.
[[nodiscard]] uint32_t WinErrorOf(int err);

// kErrorFileNotFound when posix's folder exists, else kErrorPathNotFound.
[[nodiscard]] uint32_t MissingError(const std::filesystem::path& posix);

// Mode bits for a new file: run bits for program files (.exe, .com, .dll), which a
// Windows system runs by their extension.
[[nodiscard]] unsigned NewFileMode(const std::filesystem::path& posix);

}  // namespace platform::detail
