// Named kernel objects of the machine, as CreateFileMapping makes them: an object
// exists while some process holds a handle to it and vanishes with its last holder,
// also when that holder was killed. Names are case-sensitive, as on Windows; the
// prefixes "Global\" and "Local\" name the one namespace the machine has.
//
// Only existence is shared: the object carries no memory that could be mapped.
// The objects live under <machine>/objects/.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/PosixFd.h"

namespace platform {

// Page protections of CreateFileMapping.
inline constexpr uint32_t kPageReadOnly = 0x02;
inline constexpr uint32_t kPageReadWrite = 0x04;
inline constexpr uint32_t kPageWriteCopy = 0x08;
inline constexpr uint32_t kPageExecuteRead = 0x20;
inline constexpr uint32_t kPageExecuteReadWrite = 0x40;

// A handle to a named object. The object lives at least as long as the handle;
// moving the handle keeps it, closing or destroying it lets go. A handle belongs to
// the process that made it: programs this process starts do not inherit it, and a
// child made by fork must not close it (it ends with _exit or exec).
class TKernelHandle {
 public:
  TKernelHandle() = default;
  ~TKernelHandle() { Close(); }
  TKernelHandle(TKernelHandle&& other) noexcept;
  TKernelHandle& operator=(TKernelHandle&& other) noexcept;
  TKernelHandle(const TKernelHandle&) = delete;
  TKernelHandle& operator=(const TKernelHandle&) = delete;

  // Whether the handle holds an object.
  [[nodiscard]] bool Valid() const { return valid_; }
  // Lets go of the object (CloseHandle); nothing happens for an empty handle.
  void Close();

 private:
  friend class TKernelObjectsAccess;
  bool valid_ = false;
  TPosixFd holder_;
  std::filesystem::path holderFile_;
};

// What CreateFileMapping gives: the handle, and the error Windows would report
// through GetLastError — 0 for a new object, kErrorAlreadyExists (183) when the
// object existed already (the handle is then valid too), or another code with an
// empty handle when the call failed.
struct TCreateMappingResult {
  TKernelHandle Handle;
  uint32_t LastError = 0;
};

// Creates the named object, or opens it when it exists. An empty name makes an
// object no other process can see. Fails with kErrorInvalidParameter for a size of
// 0 or an unknown protection, kErrorPathNotFound for a name with a "\" other than
// after "Global" or "Local", and kErrorAccessDenied when the machine cannot keep
// the object. Never throws.
[[nodiscard]] TCreateMappingResult CreateFileMapping(std::string_view name, uint64_t size,
                                                     uint32_t protect);

// Whether a named object exists now, that is whether a live process holds it
// (OpenFileMapping succeeding). Never throws; false when the machine cannot be read.
[[nodiscard]] bool NamedObjectExists(std::string_view name);

}  // namespace platform
