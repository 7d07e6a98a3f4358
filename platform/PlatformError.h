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

class EPlatformError : public std::runtime_error {
 public:
  EPlatformError(uint32_t code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  [[nodiscard]] uint32_t Code() const { return code_; }

 private:
  uint32_t code_;
};

}  // namespace platform
