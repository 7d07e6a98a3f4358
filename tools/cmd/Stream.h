// One output stream of the command interpreter. Text inside the interpreter is
// Windows-1251; what reaches a file or a pipe is in the OEM code page, as a console
// program writes it, and what reaches a terminal is UTF-8.
#pragma once

#include <string>

namespace cmd {

class TStream {
 public:
  // A stream over an open descriptor, which it does not own.
  explicit TStream(int fd);

  [[nodiscard]] int Fd() const { return fd_; }
  // Writes Windows-1251 text.
  void Write(const std::string& ansi);
  // Writes bytes that are already in the OEM code page (a file's content).
  void WriteOem(const std::string& oem);

 private:
  void WriteBytes(const std::string& bytes);

  int fd_;
  bool terminal_;
};

}  // namespace cmd
