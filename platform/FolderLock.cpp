#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdio>

#include "platform/Sha256.h"

namespace platform {

TFolderLock::TFolderLock(const std::filesystem::path& lockFile) {
  TPosixFd fd(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (!fd.Valid()) return;
  int rc;
  do {
    rc = ::flock(fd.Get(), LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0) fd_ = std::move(fd);
}

bool LockHeldElsewhere(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    ::flock(fd, LOCK_UN);
    return false;
  }
  return errno == EWOULDBLOCK;
}

std::string FileNameForObject(std::string_view name) {
  auto hex = [](unsigned char c, std::string& out) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%%%02X", c);
    out += buf;
  };
  std::string out;
  for (unsigned char c : name) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '_' || c == '-';
    if (plain)
      out += static_cast<char>(c);
    else
      hex(c, out);
  }
  if (out.size() <= 200) return out;
  std::string digest = Sha256(name);
  std::string hashed(1, '~');
  for (unsigned char c : digest) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02x", c);
    hashed += buf;
  }
  return hashed;
}

}  // namespace platform
