// TFolderLock holds a lock file of the machine exclusively for a short critical
// section shared by every process of the machine. The lock dies with its process,
// so a killed process never leaves it held.
#pragma once

#include <filesystem>

#include "platform/PosixFd.h"

namespace platform {

class TFolderLock {
 public:
  // Waits until the lock file (created if missing) is held. Held() is false when it
  // cannot be created or locked; the caller then goes on without the lock or fails.
  explicit TFolderLock(const std::filesystem::path& lockFile);
  [[nodiscard]] bool Held() const { return fd_.Valid(); }

 private:
  TPosixFd fd_;
};

// Whether another open file description holds a lock on the file Fd opened: true
// when a non-blocking exclusive lock is refused.
[[nodiscard]] bool LockHeldElsewhere(int fd);

// A name made safe to serve as one file name: letters, digits, "_" and "-" stay,
// every other byte becomes "%XX"; a long result becomes "~" and a digest of Name.
[[nodiscard]] std::string FileNameForObject(std::string_view name);

}  // namespace platform
