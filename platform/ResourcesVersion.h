// The version resource of a program file (type "#16", name "#1"): fixed version
// numbers and flags, the translations the file lists, and string tables of values
// such as "FileVersion", read the way GetFileVersionInfo and VerQueryValue read them.
//
// The resource is Windows-1251 text, one item a line, lines ending in "\n":
//
//   DARVENA-VERSIONINFO 1
//   FileVersion 1.4.0.6               four numbers of 16 bits each
//   ProductVersion 1.4.0.6
//   FileFlagsMask 0x3F                numbers in hexadecimal with 0x, or decimal
//   FileFlags 0x2
//   FileOS 0x4
//   FileType 0x1
//   FileSubtype 0x0
//   Translation 0419 04E3             language and code page, four hex digits each
//   StringFileInfo 041904E3           starts a string table (language, code page)
//   String FileVersion=1.4.0.6        a value of the string table started last
//
// In the name and value of a String line "\\", "\n", "\r", "\0" and "\=" stand for
// a backslash, a line feed, a carriage return, a zero byte and "="; the first "="
// that is not escaped ends the name. Lines of other kinds are skipped, so later
// writers may add some.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Resources.h"

namespace platform {

// VS_FIXEDFILEINFO flags and values.
inline constexpr uint32_t kVsFfDebug = 0x01;
inline constexpr uint32_t kVsFfPrerelease = 0x02;
inline constexpr uint32_t kVsFfPatched = 0x04;
inline constexpr uint32_t kVsFfPrivateBuild = 0x08;
inline constexpr uint32_t kVsFfInfoInferred = 0x10;
inline constexpr uint32_t kVsFfSpecialBuild = 0x20;
inline constexpr uint32_t kVsFfiFileFlagsMask = 0x3F;
inline constexpr uint32_t kVosWindows32 = 0x00000004;    // VOS__WINDOWS32
inline constexpr uint32_t kVosNt = 0x00040000;           // VOS_NT
inline constexpr uint32_t kVosNtWindows32 = 0x00040004;  // VOS_NT_WINDOWS32
inline constexpr uint32_t kVftApp = 0x1;
inline constexpr uint32_t kVftDll = 0x2;

// The fixed part, as in VS_FIXEDFILEINFO: each version is major.minor in the high
// double word (MS) and release.build in the low one (LS), 16 bits each.
struct TFixedFileInfo {
  uint32_t FileVersionMS = 0;
  uint32_t FileVersionLS = 0;
  uint32_t ProductVersionMS = 0;
  uint32_t ProductVersionLS = 0;
  uint32_t FileFlagsMask = kVsFfiFileFlagsMask;
  uint32_t FileFlags = 0;
  uint32_t FileOS = kVosWindows32;
  uint32_t FileType = kVftApp;
  uint32_t FileSubtype = 0;
};

// A language and code page pair, as "\VarFileInfo\Translation" lists them.
struct TTranslation {
  uint16_t Language = 0;
  uint16_t CodePage = 0;
};

struct TVersionString {
  std::string Name;
  std::string Value;
};

// One string table, "\StringFileInfo\<Language><CodePage>" with four hex digits for
// each.
struct TStringTable {
  TTranslation Key;
  std::vector<TVersionString> Strings;
};

struct TVersionInfo {
  TFixedFileInfo Fixed;
  std::vector<TTranslation> Translations;
  std::vector<TStringTable> Tables;
};

// Parses "1.4.0.6" into the MS and LS halves. Fewer than four numbers leave the
// rest 0; false for anything but one to four numbers of 0 to 65535 split by ".".
[[nodiscard]] bool ParseFixedVersion(std::string_view text, uint32_t& ms, uint32_t& ls);
// "major.minor.release.build" of the two halves.
[[nodiscard]] std::string FixedVersionText(uint32_t ms, uint32_t ls);

// The resource's bytes for Info, in the layout above.
[[nodiscard]] std::string EncodeVersionInfo(const TVersionInfo& info);
// The version information in a resource's bytes; empty when the bytes are not a
// version resource of this layout.
[[nodiscard]] std::optional<TVersionInfo> DecodeVersionInfo(std::string_view bytes);

// The version information of a program file, by Windows path of the machine;
// empty when it has none or it cannot be read (GetFileVersionInfo failing).
[[nodiscard]] std::optional<TVersionInfo> GetFileVersionInfo(std::string_view winPath);
[[nodiscard]] std::optional<TVersionInfo> GetFileVersionInfo(const TProgramFile& file);
[[nodiscard]] std::optional<TVersionInfo> GetFileVersionInfoPosix(
    const std::filesystem::path& posix);
// The size of a program file's version resource in bytes, 0 when it has none or the
// file cannot be read (GetFileVersionInfoSize).
[[nodiscard]] uint32_t GetFileVersionInfoSize(std::string_view winPath);
[[nodiscard]] uint32_t GetFileVersionInfoSizePosix(const std::filesystem::path& posix);

// A string value by its VerQueryValue path, "\StringFileInfo\041904e3\FileVersion";
// the table key and the name are compared without regard to case. Empty when there
// is no such table or value, or the path has another form.
[[nodiscard]] std::optional<std::string> VerQueryString(const TVersionInfo& info,
                                                        std::string_view subBlock);

}  // namespace platform
