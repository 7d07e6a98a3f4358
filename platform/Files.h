// Files and folders named by Windows paths (Windows-1251 text, either separator,
// relative to the current folder, existing components matched without regard to
// case). Names are UTF-8 on disk; the conversion happens here and nowhere else.
//
// Error convention. Operations Windows reports with a Boolean return a TWinResult:
// true on success; on failure false with the Windows error code (kErrorFileNotFound,
// kErrorPathNotFound, kErrorAccessDenied, kErrorAlreadyExists, ...). They never throw
// for a failure of the file system. Queries answer plainly (false, -1, empty).
// Only ReadWholeFile throws (EPlatformError), since a caller cannot go on without the
// bytes; TryReadWholeFile is its non-throwing twin.
//
// The rights rule: a process that is not elevated (ProcessElevated()) cannot
// create, change, rename or delete anything in C:\Program Files, C:\Program Files
// (x86), C:\ProgramData, C:\Windows or C:\Users\Public, nor those folders
// themselves, whatever path reaches them (Z:\... included). Such an operation fails
// with kErrorAccessDenied before it touches anything. Reading is allowed.
//
// Every routine provisions the machine first (ProvisionMachine), which throws
// EPlatformError in the one case that the machine folder itself cannot be made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformError.h"

namespace platform {

// File attributes as Windows reports them. Read-only is the owner lacking write
// permission; hidden is a name that starts with a full stop; every file that is not
// a folder carries kFileAttributeArchive.
inline constexpr uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr uint32_t kFileAttributeHidden = 0x02;
inline constexpr uint32_t kFileAttributeSystem = 0x04;
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kFileAttributeArchive = 0x20;
inline constexpr uint32_t kFileAttributeNormal = 0x80;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;

// The largest file ReadWholeFile reads: 2 GiB less one byte.
inline constexpr int64_t kMaxReadSize = 0x7FFFFFFF;

// True when the path names an existing file that is not a folder.
[[nodiscard]] bool FileExists(std::string_view path);
// True when the path names an existing folder (a trailing separator is allowed).
[[nodiscard]] bool DirectoryExists(std::string_view path);
// The size in bytes of an existing file; -1 when it is missing or a folder.
[[nodiscard]] int64_t FileSize(std::string_view path);

// The attributes of a file or folder, or kInvalidFileAttributes when it is missing.
[[nodiscard]] uint32_t GetFileAttributes(std::string_view path);
// Sets or clears the read-only attribute (the only one this system stores; the
// other bits are ignored). Subject to the rights rule.
TWinResult SetFileAttributes(std::string_view path, uint32_t attributes);

// The whole content of a file. Throws EPlatformError: kErrorFileNotFound or
// kErrorPathNotFound when it is missing, kErrorAccessDenied when it cannot be read
// (a folder included), kErrorFileTooLarge when it holds more than kMaxReadSize
// bytes (nothing is read then). The message names the file.
[[nodiscard]] std::string ReadWholeFile(std::string_view path);
// As ReadWholeFile, but reports the failure instead of throwing.
[[nodiscard]] std::optional<std::string> TryReadWholeFile(std::string_view path,
                                                          uint32_t* error = nullptr);

// Creates the file or replaces its content with bytes. Atomic: a reader sees the
// old content or the new, never a part; on failure the old file is unchanged and no
// temporary file is left. The folder must exist (else kErrorPathNotFound). A
// read-only file is refused (kErrorAccessDenied). A new file named .exe, .com or
// .dll can be run (Windows runs programs by their extension); a replaced file keeps
// its permissions.
TWinResult WriteWholeFile(std::string_view path, std::string_view bytes);

// Deletes a file (not a folder). A read-only file is refused (kErrorAccessDenied),
// as Windows does.
TWinResult DeleteFile(std::string_view path);

// Renames or moves a file or folder. An existing target is refused
// (kErrorAlreadyExists) unless replaceExisting is set and both are files, in which
// case the target is replaced atomically.
TWinResult MoveFile(std::string_view from, std::string_view to, bool replaceExisting = false);

// Copies a file's content and read-only attribute. With failIfExists an existing
// target is refused (kErrorFileExists); otherwise it is replaced atomically.
TWinResult CopyFile(std::string_view from, std::string_view to, bool failIfExists);

// Creates one folder; its parent must exist (else kErrorPathNotFound), and the
// folder must not (else kErrorAlreadyExists).
TWinResult CreateDirectory(std::string_view path);
// Creates a folder and every missing folder above it; an existing folder is success.
TWinResult ForceDirectories(std::string_view path);
// Removes an empty folder (else kErrorDirNotEmpty).
TWinResult RemoveDirectory(std::string_view path);
// Deletes a folder with everything in it, read-only files included, as the shell's
// delete does. A missing folder gives kErrorFileNotFound. Under the rights rule the
// whole tree is refused when it is, or holds, a protected folder; nothing is deleted.
TWinResult DeleteTree(std::string_view path);

// One entry a search finds.
struct TFindData {
  std::string Name;  // bare name, Windows-1251
  uint32_t Attributes = 0;
  int64_t Size = 0;           // 0 for folders
  int64_t LastWriteTime = 0;  // seconds since 1970-01-01 UTC
};

// The entries of one folder whose names match the last component of pattern
// ("C:\Docs\*.txt", "*.*", "a?c.rtf", or a plain name), without regard to case, in
// the order the folder lists them. "*" matches any run of characters, "?" one
// character; "*.*" matches every name; a pattern ending in ".*" also matches the
// name without an extension. As on Windows, "." and ".." are found (for patterns
// that match them) in every folder but a drive's root. An empty result when the
// folder is missing or nothing matches.
[[nodiscard]] std::vector<TFindData> FindFiles(std::string_view pattern);

// The current folder, Windows form, no trailing backslash except at a drive's root
// (C:\). It is the process's POSIX current folder underneath.
[[nodiscard]] std::string GetCurrentDirectory();
// Makes an existing folder the current one (kErrorPathNotFound otherwise).
TWinResult SetCurrentDirectory(std::string_view path);

// The full Windows path of a path: drive, folders, "." and ".." resolved, relative
// paths taken against the current folder, existing components spelt as on disk.
// Empty for a drive the machine lacks.
[[nodiscard]] std::string GetFullPathName(std::string_view path);

// The running program's own file, Windows form (Z:\... unless it lies on drive C:).
[[nodiscard]] std::string GetModuleFileName();

// How OpenFileDescriptor opens a file.
enum class TOpenMode {
  Read,          // existing file, reading
  CreateAlways,  // create or truncate, writing
  OpenAppend,    // create when missing, writing at the end
};

// Opens a file as a POSIX descriptor (close-on-exec) for redirections and streams;
// the writing modes follow the rights rule. -1 on failure, with *error set.
[[nodiscard]] int OpenFileDescriptor(std::string_view path, TOpenMode mode,
                                     uint32_t* error = nullptr);

// True when the rights rule forbids this process to change what path names (for
// callers that check before a longer operation).
[[nodiscard]] bool WriteProtected(std::string_view path);

}  // namespace platform
