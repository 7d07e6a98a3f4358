// Files over Windows paths: queries, whole-file reading and writing, deleting,
// moving and copying.
#include "platform/Files.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <new>

#include "platform/BigBuffer.h"
#include "platform/CodePage.h"
#include "platform/FileRights.h"
#include "platform/Machine.h"
#include "platform/WinPath.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using detail::MissingError;
using detail::ProtectedPath;
using detail::WinErrorOf;

bool IsReadOnly(const struct stat& st) {
  return (st.st_mode & S_IWUSR) == 0;
}

// The error of a failed POSIX call on posix: a missing file tells whether its
// folder exists.
uint32_t ErrorFor(int err, const fs::path& posix) {
  return err == ENOENT ? MissingError(posix) : WinErrorOf(err);
}

// A path of the same folder for a temporary file, made by mkstemp; -1 on failure.
int MakeTemporary(const fs::path& target, std::string& name) {
  name = (target.parent_path() / ("." + target.filename().string() + ".~XXXXXX")).string();
  return mkstemp(name.data());
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Writes a temporary beside target through fill(fd), gives it mode, then renames
// it over target. Nothing is left behind on failure.
template <class TFill>
TWinResult ReplaceAtomically(const fs::path& target, mode_t mode, TFill fill) {
  std::string temp;
  const int fd = MakeTemporary(target, temp);
  if (fd < 0) return TWinResult::Fail(ErrorFor(errno, target));
  int err = 0;
  if (!fill(fd) || fchmod(fd, mode) != 0 || fsync(fd) != 0) err = errno ? errno : EIO;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(temp.c_str());
    return TWinResult::Fail(WinErrorOf(err));
  }
  return TWinResult::Ok();
}

mode_t CurrentUmask() {
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

// The mode a file written to target gets: the old file's, or a new file's.
mode_t ModeFor(const fs::path& target, const struct stat* old) {
  if (old) return old->st_mode & 07777;
  return static_cast<mode_t>(detail::NewFileMode(target)) & ~CurrentUmask();
}

[[noreturn]] void ThrowRead(uint32_t code, std::string_view path) {
  std::string why;
  switch (code) {
    case kErrorFileNotFound:
      why = "The file does not exist.";
      break;
    case kErrorPathNotFound:
      why = "The path does not exist.";
      break;
    case kErrorAccessDenied:
      why = "Access is denied.";
      break;
    case kErrorFileTooLarge:
      why = "The file is too large to be read (2 GB or more).";
      break;
    case kErrorNotEnoughMemory:
      why = "Not enough memory to read the file.";
      break;
    default:
      why = "The file cannot be read (error " + std::to_string(code) + ").";
  }
  throw EPlatformError(code, "Cannot read \"" + std::string(path) + "\": " + why);
}

}  // namespace

bool FileExists(std::string_view path) {
  const auto posix = ToPosixPath(path);
  struct stat st;
  return posix && stat(posix->c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  const auto posix = ToPosixPath(path);
  struct stat st;
  return posix && stat(posix->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSize(std::string_view path) {
  const auto posix = ToPosixPath(path);
  struct stat st;
  if (!posix || stat(posix->c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

uint32_t GetFileAttributes(std::string_view path) {
  const auto posix = ToPosixPath(path);
  struct stat st;
  if (!posix || stat(posix->c_str(), &st) != 0) return kInvalidFileAttributes;
  uint32_t a = S_ISDIR(st.st_mode) ? kFileAttributeDirectory : kFileAttributeArchive;
  if (IsReadOnly(st)) a |= kFileAttributeReadOnly;
  const std::string name = posix->filename().string();
  if (name.size() > 1 && name[0] == '.' && name != "..") a |= kFileAttributeHidden;
  return a;
}

TWinResult SetFileAttributes(std::string_view path, uint32_t attributes) {
  const auto posix = ToPosixPath(path);
  if (!posix) return TWinResult::Fail(kErrorPathNotFound);
  struct stat st;
  if (stat(posix->c_str(), &st) != 0) return TWinResult::Fail(ErrorFor(errno, *posix));
  if (!ProcessElevated() && ProtectedPath(*posix)) return TWinResult::Fail(kErrorAccessDenied);
  mode_t mode = st.st_mode & 07777;
  if (attributes & kFileAttributeReadOnly)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else
    mode |= S_IWUSR;
  if (chmod(posix->c_str(), mode) != 0) return TWinResult::Fail(WinErrorOf(errno));
  return TWinResult::Ok();
}

std::optional<std::string> TryReadWholeFile(std::string_view path, uint32_t* error) {
  uint32_t code = 0;
  std::optional<std::string> bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const EPlatformError& e) {
    code = e.Code();
  }
  if (error) *error = code;
  return bytes;
}

std::string ReadWholeFile(std::string_view path) {
  const auto posix = ToPosixPath(path);
  if (!posix) ThrowRead(kErrorPathNotFound, path);
  const int fd = open(posix->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowRead(ErrorFor(errno, *posix), path);
  struct TCloser {
    int fd;
    ~TCloser() { close(fd); }
  } closer{fd};
  struct stat st;
  if (fstat(fd, &st) != 0) ThrowRead(WinErrorOf(errno), path);
  if (S_ISDIR(st.st_mode)) ThrowRead(kErrorAccessDenied, path);
  if (st.st_size > kMaxReadSize) ThrowRead(kErrorFileTooLarge, path);

  std::string bytes;
  try {
    // Sized from fstat; a file that grows meanwhile (or reports no size, as under
    // /proc) is read on to its end, within the same limit.
    ReserveLarge(bytes, static_cast<size_t>(st.st_size));
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t have = 0;
    for (;;) {
      if (have == bytes.size()) {
        // Expected end: probe for more without doubling the buffer.
        char more[4096];
        const ssize_t n = read(fd, more, sizeof more);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowRead(WinErrorOf(errno), path);
        if (n == 0) break;
        if (have + static_cast<size_t>(n) > static_cast<size_t>(kMaxReadSize))
          ThrowRead(kErrorFileTooLarge, path);
        bytes.append(more, static_cast<size_t>(n));
        have += static_cast<size_t>(n);
        continue;
      }
      const ssize_t n = read(fd, bytes.data() + have, bytes.size() - have);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ThrowRead(WinErrorOf(errno), path);
      if (n == 0) break;
      have += static_cast<size_t>(n);
    }
    bytes.resize(have);
  } catch (const std::bad_alloc&) {
    ThrowRead(kErrorNotEnoughMemory, path);
  }
  return bytes;
}

TWinResult WriteWholeFile(std::string_view path, std::string_view bytes) {
  const auto posix = ToPosixPath(path);
  if (!posix) return TWinResult::Fail(kErrorPathNotFound);
  if (!ProcessElevated() && ProtectedPath(*posix)) return TWinResult::Fail(kErrorAccessDenied);
  struct stat st;
  const bool exists = stat(posix->c_str(), &st) == 0;
  if (exists && (S_ISDIR(st.st_mode) || IsReadOnly(st)))
    return TWinResult::Fail(kErrorAccessDenied);
  if (!exists && MissingError(*posix) == kErrorPathNotFound)
    return TWinResult::Fail(kErrorPathNotFound);
  return ReplaceAtomically(*posix, ModeFor(*posix, exists ? &st : nullptr),
                           [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

TWinResult DeleteFile(std::string_view path) {
  const auto posix = ToPosixPath(path);
  if (!posix) return TWinResult::Fail(kErrorPathNotFound);
  struct stat st;
  if (lstat(posix->c_str(), &st) != 0) return TWinResult::Fail(ErrorFor(errno, *posix));
  if (S_ISDIR(st.st_mode)) return TWinResult::Fail(kErrorAccessDenied);
  if (!ProcessElevated() && ProtectedPath(*posix)) return TWinResult::Fail(kErrorAccessDenied);
  if (!S_ISLNK(st.st_mode) && IsReadOnly(st)) return TWinResult::Fail(kErrorAccessDenied);
  if (unlink(posix->c_str()) != 0) return TWinResult::Fail(WinErrorOf(errno));
  return TWinResult::Ok();
}

TWinResult MoveFile(std::string_view from, std::string_view to, bool replaceExisting) {
  const auto source = ToPosixPath(from);
  auto target = ToPosixPath(to);
  if (!source || !target) return TWinResult::Fail(kErrorPathNotFound);
  struct stat src;
  if (lstat(source->c_str(), &src) != 0) return TWinResult::Fail(ErrorFor(errno, *source));
  if (!ProcessElevated() && (ProtectedPath(*source, true) || ProtectedPath(*target, true)))
    return TWinResult::Fail(kErrorAccessDenied);
  // A new spelling of the same name ("a.txt" to "A.TXT") renames in place.
  if (*target == *source) target = source->parent_path() / AnsiToUtf8(ExtractFileName(to));
  if (*target != *source) {
    struct stat dst;
    if (lstat(target->c_str(), &dst) == 0) {
      if (!replaceExisting) return TWinResult::Fail(kErrorAlreadyExists);
      if (S_ISDIR(dst.st_mode) || S_ISDIR(src.st_mode)) return TWinResult::Fail(kErrorAccessDenied);
    } else if (MissingError(*target) == kErrorPathNotFound) {
      return TWinResult::Fail(kErrorPathNotFound);
    }
  }
  if (rename(source->c_str(), target->c_str()) == 0) return TWinResult::Ok();
  if (errno != EXDEV) return TWinResult::Fail(WinErrorOf(errno));
  if (S_ISDIR(src.st_mode)) return TWinResult::Fail(kErrorNotSameDevice);
  // Another file system: copy, then remove the original.
  if (TWinResult r = CopyFile(from, to, !replaceExisting); !r) return r;
  if (unlink(source->c_str()) != 0) return TWinResult::Fail(WinErrorOf(errno));
  return TWinResult::Ok();
}

TWinResult CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  const auto source = ToPosixPath(from);
  const auto target = ToPosixPath(to);
  if (!source || !target) return TWinResult::Fail(kErrorPathNotFound);
  const int in = open(source->c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return TWinResult::Fail(ErrorFor(errno, *source));
  struct TCloser {
    int fd;
    ~TCloser() { close(fd); }
  } closer{in};
  struct stat src;
  if (fstat(in, &src) != 0) return TWinResult::Fail(WinErrorOf(errno));
  if (S_ISDIR(src.st_mode)) return TWinResult::Fail(kErrorAccessDenied);
  if (!ProcessElevated() && ProtectedPath(*target)) return TWinResult::Fail(kErrorAccessDenied);
  struct stat dst;
  if (stat(target->c_str(), &dst) == 0) {
    if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino)
      return TWinResult::Fail(kErrorSharingViolation);
    if (failIfExists) return TWinResult::Fail(kErrorFileExists);
    if (S_ISDIR(dst.st_mode) || IsReadOnly(dst)) return TWinResult::Fail(kErrorAccessDenied);
  } else if (MissingError(*target) == kErrorPathNotFound) {
    return TWinResult::Fail(kErrorPathNotFound);
  }
  return ReplaceAtomically(*target, src.st_mode & 07777, [&](int out) {
    char buffer[1 << 16];
    for (;;) {
      const ssize_t n = read(in, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) return true;
      if (!WriteAll(out, buffer, static_cast<size_t>(n))) return false;
    }
  });
}

bool WriteProtected(std::string_view path) {
  if (ProcessElevated()) return false;
  const auto posix = ToPosixPath(path);
  return posix && ProtectedPath(*posix);
}

int OpenFileDescriptor(std::string_view path, TOpenMode mode, uint32_t* error) {
  auto fail = [&](uint32_t code) {
    if (error) *error = code;
    return -1;
  };
  const auto posix = ToPosixPath(path);
  if (!posix) return fail(kErrorPathNotFound);
  int flags = O_CLOEXEC;
  switch (mode) {
    case TOpenMode::Read:
      flags |= O_RDONLY;
      break;
    case TOpenMode::CreateAlways:
      flags |= O_WRONLY | O_CREAT | O_TRUNC;
      break;
    case TOpenMode::OpenAppend:
      flags |= O_WRONLY | O_CREAT | O_APPEND;
      break;
  }
  struct stat st;
  const bool exists = stat(posix->c_str(), &st) == 0;
  if (mode != TOpenMode::Read) {
    if (!ProcessElevated() && ProtectedPath(*posix)) return fail(kErrorAccessDenied);
    if (exists && (S_ISDIR(st.st_mode) || IsReadOnly(st))) return fail(kErrorAccessDenied);
  } else if (exists && S_ISDIR(st.st_mode)) {
    return fail(kErrorAccessDenied);
  }
  const int fd = open(posix->c_str(), flags, detail::NewFileMode(*posix));
  if (fd < 0) return fail(ErrorFor(errno, *posix));
  if (error) *error = 0;
  return fd;
}

}  // namespace platform
