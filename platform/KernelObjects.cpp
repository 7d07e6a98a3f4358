// Each holder of a named object keeps a file of its own in <machine>/objects/<name>/
// locked (flock) for as long as it holds the object. The lock goes with the last
// descriptor of the holder's process, killed or not, so the object exists exactly
// while some holder's lock is held; files whose lock is free are leftovers of
// killed holders and are removed by whoever finds them. Every look at the folders
// happens under <machine>/objects/lock, so that creating and testing are atomic
// across processes. Only creating provisions the machine: on a machine that is not
// there yet, no object exists.
#include "platform/KernelObjects.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>

#include "platform/FolderLock.h"
#include "platform/Machine.h"
#include "platform/PlatformError.h"

namespace platform {

class TKernelObjectsAccess {
 public:
  static TKernelHandle Make(TPosixFd holder, std::filesystem::path holderFile) {
    TKernelHandle h;
    h.valid_ = true;
    h.holder_ = std::move(holder);
    h.holderFile_ = std::move(holderFile);
    return h;
  }
};

namespace {

std::filesystem::path ObjectsFolder() {
  return MachineRoot() / "objects";
}

// The name without a namespace prefix; false for a name with any other "\".
bool ObjectName(std::string_view name, std::string& bare) {
  for (std::string_view prefix : {"Global\\", "Local\\"})
    if (name.substr(0, prefix.size()) == prefix) {
      name.remove_prefix(prefix.size());
      break;
    }
  if (name.find('\\') != std::string_view::npos) return false;
  bare = std::string(name);
  return true;
}

// Whether a live holder's file is in Folder. With Clean (only with the objects lock
// held) files of dead holders are removed, and so is Folder when nothing is left.
bool AnyLiveHolder(const std::filesystem::path& folder, bool clean) {
  std::error_code ec;
  bool live = false;
  for (std::filesystem::directory_iterator it(folder, ec), last; !ec && it != last;
       it.increment(ec)) {
    const std::filesystem::directory_entry& entry = *it;
    TPosixFd fd(::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.Valid()) continue;
    if (LockHeldElsewhere(fd.Get()))
      live = true;
    else if (clean)
      ::unlink(entry.path().c_str());  // its holder died without letting go
  }
  if (!live && clean) ::rmdir(folder.c_str());
  return live;
}

}  // namespace

TKernelHandle::TKernelHandle(TKernelHandle&& other) noexcept
    : valid_(std::exchange(other.valid_, false)),
      holder_(std::move(other.holder_)),
      holderFile_(std::exchange(other.holderFile_, {})) {}

TKernelHandle& TKernelHandle::operator=(TKernelHandle&& other) noexcept {
  if (this != &other) {
    Close();
    valid_ = std::exchange(other.valid_, false);
    holder_ = std::move(other.holder_);
    holderFile_ = std::exchange(other.holderFile_, {});
  }
  return *this;
}

void TKernelHandle::Close() {
  if (!valid_) return;
  valid_ = false;
  if (!holder_.Valid()) return;  // an unnamed object has nothing on disk
  // Removing the file under the lock keeps a creator from finding the folder gone
  // between making it and placing its own file there.
  TFolderLock lock(holderFile_.parent_path().parent_path() / "lock");
  ::unlink(holderFile_.c_str());
  holder_.Reset();
  ::rmdir(holderFile_.parent_path().c_str());
  holderFile_.clear();
}

TCreateMappingResult CreateFileMapping(std::string_view name, uint64_t size, uint32_t protect) {
  TCreateMappingResult result;
  if (size == 0 ||
      (protect != kPageReadOnly && protect != kPageReadWrite && protect != kPageWriteCopy &&
       protect != kPageExecuteRead && protect != kPageExecuteReadWrite)) {
    result.LastError = kErrorInvalidParameter;
    return result;
  }
  std::string bare;
  if (!ObjectName(name, bare)) {
    result.LastError = kErrorPathNotFound;
    return result;
  }
  if (bare.empty()) {
    result.Handle = TKernelObjectsAccess::Make(TPosixFd(), {});
    return result;
  }

  try {
    ProvisionMachine();
  } catch (const EPlatformError& e) {
    result.LastError = e.Code();
    return result;
  } catch (const std::exception&) {
    result.LastError = kErrorAccessDenied;
    return result;
  }
  std::error_code ec;
  std::filesystem::path objects = ObjectsFolder();
  std::filesystem::create_directories(objects, ec);
  TFolderLock lock(objects / "lock");
  std::filesystem::path folder = objects / FileNameForObject(bare);
  if (!lock.Held() || (std::filesystem::create_directory(folder, ec), ec)) {
    result.LastError = kErrorAccessDenied;
    return result;
  }
  bool existed = AnyLiveHolder(folder, true);
  std::filesystem::create_directory(folder, ec);  // gone again when no holder was left
  std::string holderFile = (folder / "holder-XXXXXX").string();
  TPosixFd holder(::mkostemp(holderFile.data(), O_CLOEXEC));
  if (!holder.Valid() || ::flock(holder.Get(), LOCK_EX | LOCK_NB) != 0) {
    if (holder.Valid()) ::unlink(holderFile.c_str());
    result.LastError = kErrorAccessDenied;
    return result;
  }
  std::string pid = std::to_string(::getpid()) + "\n";
  (void)!::write(holder.Get(), pid.data(), pid.size());  // for people looking; never read
  result.Handle = TKernelObjectsAccess::Make(std::move(holder), holderFile);
  result.LastError = existed ? kErrorAlreadyExists : 0;
  return result;
}

bool NamedObjectExists(std::string_view name) {
  std::string bare;
  if (!ObjectName(name, bare) || bare.empty()) return false;
  std::filesystem::path objects = ObjectsFolder();
  std::filesystem::path folder = objects / FileNameForObject(bare);
  std::error_code ec;
  if (!std::filesystem::exists(folder, ec)) return false;
  TFolderLock lock(objects / "lock");
  return AnyLiveHolder(folder, lock.Held());
}

}  // namespace platform
