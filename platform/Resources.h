// The resources of a program file, read without loading the file as a program:
// find a resource by type and name, load its bytes, and check the file's seal.
// The layout is described in platform/ResourcesFormat.h.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PosixFd.h"
#include "platform/ResourcesFormat.h"

namespace platform {

// What the seal of a program file says.
enum class TSealStatus {
  Intact,     // the file is byte for byte as the packer sealed it
  Damaged,    // it carries a seal that its bytes no longer match
  NotSealed,  // it carries no resources and no seal at all
};

// One program file opened for reading its resources. The file stays open while the
// object lives, so a file replaced on disk meanwhile is still read as it was.
class TProgramFile {
 public:
  // Opens a program file by its Windows path of the machine. Throws EPlatformError
  // with kErrorFileNotFound when it does not exist, kErrorPathNotFound for a drive
  // the machine lacks, kErrorAccessDenied when it cannot be read.
  [[nodiscard]] static TProgramFile Open(std::string_view winPath);
  // The same by POSIX path.
  [[nodiscard]] static TProgramFile OpenPosix(const std::filesystem::path& posixPath);
  // The running program's own file.
  [[nodiscard]] static TProgramFile OpenSelf();

  // Every resource of the file, in the packer's order; empty for a file without
  // resources and for one whose resource directory is damaged.
  [[nodiscard]] const std::vector<TResourceEntry>& Resources() const { return entries_; }

  // The first resource of that type and name (any language), or null. Types and
  // names are compared without regard to case; "#16" and "#016" are the same.
  [[nodiscard]] const TResourceEntry* FindResource(std::string_view type,
                                                   std::string_view name) const;
  // The resource of that type, name and language, or null.
  [[nodiscard]] const TResourceEntry* FindResourceEx(std::string_view type, std::string_view name,
                                                     uint16_t language) const;
  // The bytes of a resource of this file. Throws EPlatformError when they cannot be
  // read.
  [[nodiscard]] std::string LoadResource(const TResourceEntry& entry) const;
  // Finds and loads in one step; empty when there is no such resource.
  [[nodiscard]] std::optional<std::string> LoadResource(std::string_view type,
                                                        std::string_view name) const;

  // Reads the whole file and compares it with its seal. A file without resources is
  // NotSealed; a file whose trailer or directory does not hold together, or whose
  // digest differs, is Damaged. Throws EPlatformError when the file cannot be read.
  [[nodiscard]] TSealStatus CheckSeal() const;

  // The file's size in bytes and the size of its program image (the bytes before
  // the resources; the whole file when there are none).
  [[nodiscard]] uint64_t FileSize() const { return fileSize_; }
  [[nodiscard]] uint64_t ImageSize() const { return imageSize_; }

 private:
  explicit TProgramFile(TPosixFd fd, std::string displayName);
  std::string ReadAt(uint64_t offset, uint64_t size) const;

  TPosixFd fd_;
  std::string displayName_;
  uint64_t fileSize_ = 0;
  uint64_t imageSize_ = 0;
  bool sealed_ = false;
  bool damaged_ = false;
  std::vector<TResourceEntry> entries_;
};

// The running program's resource of that type and name, or empty (also when the
// program's file cannot be read).
[[nodiscard]] std::optional<std::string> LoadOwnResource(std::string_view type,
                                                         std::string_view name);

// Whether the running program's file is byte for byte as sealed: false for a
// damaged, an unsealed and an unreadable file alike.
[[nodiscard]] bool OwnProgramFileIntact();

}  // namespace platform
