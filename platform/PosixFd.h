// TPosixFd owns one POSIX file descriptor and closes it when it goes; the platform
// layer's files, locks and queues hold their descriptors this way.
#pragma once

#include <unistd.h>

#include <utility>

namespace platform {

class TPosixFd {
 public:
  TPosixFd() = default;
  explicit TPosixFd(int fd) : fd_(fd) {}
  ~TPosixFd() { Reset(); }
  TPosixFd(TPosixFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  TPosixFd& operator=(TPosixFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  TPosixFd(const TPosixFd&) = delete;
  TPosixFd& operator=(const TPosixFd&) = delete;

  // The descriptor, or -1 when none is held.
  [[nodiscard]] int Get() const { return fd_; }
  [[nodiscard]] bool Valid() const { return fd_ >= 0; }
  // Closes the descriptor held, if any.
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

}  // namespace platform
