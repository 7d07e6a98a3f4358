// The failure the platform layer raises where Windows would raise or return an
// error: a Windows error code and a message for the user (Windows-1251).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// Windows error codes the platform layer reports.
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorInvalidData = 13;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorFileTooLarge = 223;
inline constexpr uint32_t kErrorDirNotEmpty = 145;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorNoMoreFiles = 18;
inline constexpr uint32_t kErrorBadExeFormat = 193;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorNotSameDevice = 17;
inline constexpr uint32_t kErrorDirectory = 267;  // "the directory name is invalid"

// The outcome of an operation that Windows reports with a Boolean: success, or the
// Windows error code of the failure (what GetLastError would give). Tests as a
// Boolean: `if (!DeleteFile(name)) ...`.
struct TWinResult {
  uint32_t Error = 0;  // 0 on success

  [[nodiscard]] static TWinResult Ok() { return {}; }
  [[nodiscard]] static TWinResult Fail(uint32_t error) { return {error}; }
  explicit operator bool() const { return Error == 0; }
};

class EPlatformError : public std::runtime_error {
 public:
  EPlatformError(uint32_t code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  [[nodiscard]] uint32_t Code() const { return code_; }

 private:
  uint32_t code_;
};

}  // namespace platform
