// TTempMachine gives a test a machine of its own: a fresh temporary folder named by
// DARVENA_MACHINE for the lifetime of the object, removed afterwards, with the
// previous value of DARVENA_MACHINE and the current folder put back.
#pragma once

#include <filesystem>
#include <string>

namespace darvena::test {

class TTempMachine {
 public:
  TTempMachine();
  ~TTempMachine();
  TTempMachine(const TTempMachine&) = delete;
  TTempMachine& operator=(const TTempMachine&) = delete;

  // The machine folder.
  [[nodiscard]] const std::filesystem::path& Root() const { return root_; }
  // <machine>/drive_c.
  [[nodiscard]] std::filesystem::path DriveC() const { return root_ / "drive_c"; }

 private:
  std::filesystem::path root_;
  std::string oldMachine_;
  bool hadMachine_ = false;
  std::filesystem::path oldCwd_;
};

// Writes bytes to a POSIX path, creating its folders.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// Reads a whole POSIX file ("" when it is missing).
[[nodiscard]] std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace darvena::test
