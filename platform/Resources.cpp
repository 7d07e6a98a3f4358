#include "platform/Resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "platform/Sha256.h"

namespace platform {
namespace {

// Reads Size bytes at Offset, or fewer when the file ends first.
std::string PreadUpTo(int fd, uint64_t offset, uint64_t size) {
  std::string bytes(size, '\0');
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EPlatformError(kErrorInvalidData, "Cannot read a program file");
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace

TProgramFile TProgramFile::OpenPosix(const std::filesystem::path& posixPath) {
  int fd = ::open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    uint32_t code = (errno == ENOENT || errno == ENOTDIR) ? kErrorFileNotFound : kErrorAccessDenied;
    throw EPlatformError(code, "Cannot open " + Utf8ToAnsi(posixPath.string()));
  }
  return TProgramFile(TPosixFd(fd), Utf8ToAnsi(posixPath.string()));
}

TProgramFile TProgramFile::OpenSelf() {
  return OpenPosix("/proc/self/exe");
}

TProgramFile::TProgramFile(TPosixFd fd, std::string displayName)
    : fd_(std::move(fd)), displayName_(std::move(displayName)) {
  struct stat st {};
  if (::fstat(fd_.Get(), &st) != 0 || !S_ISREG(st.st_mode))
    throw EPlatformError(kErrorAccessDenied, displayName_ + " is not a file");
  fileSize_ = static_cast<uint64_t>(st.st_size);
  imageSize_ = fileSize_;
  if (fileSize_ < kTrailerSize) return;
  std::string last = PreadUpTo(fd_.Get(), fileSize_ - kTrailerSize, kTrailerSize);
  detail::TTrailer trailer;
  sealed_ = detail::ParseTrailer(last, fileSize_, trailer, damaged_);
  if (!sealed_ || damaged_) return;
  std::string directory = PreadUpTo(fd_.Get(), trailer.DirectoryOffset, trailer.DirectorySize);
  if (!detail::ParseDirectory(directory, trailer, entries_)) {
    damaged_ = true;
    entries_.clear();
    return;
  }
  imageSize_ = trailer.ImageSize;
}

const TResourceEntry* TProgramFile::FindResource(std::string_view type,
                                                 std::string_view name) const {
  for (const TResourceEntry& e : entries_)
    if (SameResourceId(e.Type, type) && SameResourceId(e.Name, name)) return &e;
  return nullptr;
}

const TResourceEntry* TProgramFile::FindResourceEx(std::string_view type, std::string_view name,
                                                   uint16_t language) const {
  for (const TResourceEntry& e : entries_)
    if (e.Language == language && SameResourceId(e.Type, type) && SameResourceId(e.Name, name))
      return &e;
  return nullptr;
}

std::string TProgramFile::ReadAt(uint64_t offset, uint64_t size) const {
  std::string bytes = PreadUpTo(fd_.Get(), offset, size);
  if (bytes.size() != size)
    throw EPlatformError(kErrorInvalidData, displayName_ + " ends inside a resource");
  return bytes;
}

std::string TProgramFile::LoadResource(const TResourceEntry& entry) const {
  return ReadAt(entry.Offset, entry.Size);
}

std::optional<std::string> TProgramFile::LoadResource(std::string_view type,
                                                      std::string_view name) const {
  const TResourceEntry* e = FindResource(type, name);
  if (!e) return std::nullopt;
  return LoadResource(*e);
}

TSealStatus TProgramFile::CheckSeal() const {
  if (!sealed_) return TSealStatus::NotSealed;
  if (damaged_) return TSealStatus::Damaged;
  const uint64_t covered = fileSize_ - kSealSize;
  TSha256 sha;
  for (uint64_t at = 0; at < covered;) {
    std::string chunk = ReadAt(at, std::min<uint64_t>(covered - at, 1 << 20));
    sha.Update(chunk);
    at += chunk.size();
  }
  return ReadAt(covered, kSealSize) == sha.Final() ? TSealStatus::Intact : TSealStatus::Damaged;
}

std::optional<std::string> LoadOwnResource(std::string_view type, std::string_view name) {
  try {
    return TProgramFile::OpenSelf().LoadResource(type, name);
  } catch (const EPlatformError&) {
    return std::nullopt;  // an unreadable own file has no resources to give
  }
}

bool OwnProgramFileIntact() {
  try {
    return TProgramFile::OpenSelf().CheckSeal() == TSealStatus::Intact;
  } catch (const EPlatformError&) {
    return false;  // a file that cannot be read cannot be shown intact
  }
}

}  // namespace platform
