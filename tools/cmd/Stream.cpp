#include "tools/cmd/Stream.h"

#include <unistd.h>

#include "platform/CodePage.h"

namespace cmd {

TStream::TStream(int fd) : fd_(fd), terminal_(::isatty(fd) == 1) {}

void TStream::Write(const std::string& ansi) {
  WriteBytes(terminal_ ? platform::AnsiToUtf8(ansi) : platform::ConvertToOem(ansi));
}

void TStream::WriteOem(const std::string& oem) {
  WriteBytes(terminal_ ? platform::AnsiToUtf8(platform::ConvertFromOem(oem)) : oem);
}

void TStream::WriteBytes(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;  // a closed pipe or a full disk: the output is lost, as on Windows
    done += static_cast<size_t>(n);
  }
}

}  // namespace cmd
