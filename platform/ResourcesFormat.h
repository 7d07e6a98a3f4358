// Resources of a program file: how they are laid out after its ELF image, and how
// the build appends them. Reading them at run time is TProgramFile's job
// (platform/Resources.h).
//
// A program file with resources is
//
//   [image]      the program as the linker wrote it, ImageSize bytes
//   [data]       the bytes of every resource, one after the other
//   [directory]  "DRVRDIR1", u32 Count, then Count entries of
//                  u16 Language, u16 TypeLength, u16 NameLength, u16 0,
//                  u64 Offset, u64 Size (the resource's bytes, from the start
//                  of the file), TypeLength bytes of type, NameLength bytes of name
//   [trailer]    64 bytes: "DRVSEAL1", u64 ImageSize, u64 DirectoryOffset,
//                  u64 DirectorySize, then the seal: the SHA-256 digest of every
//                  byte of the file before it
//
// All numbers are little-endian. The ELF loader maps only the image, so the
// program runs as before. Types and names are Windows-1251 text compared without
// regard to case; "#16" stands for the numeric identifier 16, as in the Windows
// resource functions, so the standard types are "#16" (version), "#24" (manifest),
// "#14" (icon group) and "#3" (icon image). The seal makes "is this file intact" a
// digest check: changing any byte after packing breaks it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Standard resource types and the identifiers the system looks for.
inline constexpr const char* kRtIcon = "#3";
inline constexpr const char* kRtRcData = "#10";
inline constexpr const char* kRtGroupIcon = "#14";
inline constexpr const char* kRtVersion = "#16";
inline constexpr const char* kRtManifest = "#24";
// The name of the version resource (VS_VERSION_INFO) and of a program's manifest.
inline constexpr const char* kVersionInfoId = "#1";
inline constexpr const char* kManifestId = "#1";

inline constexpr uint16_t kLangNeutral = 0x0000;

// One resource to pack: type, name, language and bytes.
struct TResource {
  std::string Type;
  std::string Name;
  uint16_t Language = kLangNeutral;
  std::string Bytes;
};

// One resource as the directory of a program file lists it.
struct TResourceEntry {
  std::string Type;
  std::string Name;
  uint16_t Language = kLangNeutral;
  uint64_t Offset = 0;  // from the start of the file
  uint64_t Size = 0;
};

// The layout read from a file's trailer and directory.
struct TResourceLayout {
  uint64_t ImageSize = 0;
  std::vector<TResourceEntry> Entries;
};

inline constexpr uint64_t kTrailerSize = 64;
inline constexpr uint64_t kSealSize = 32;

// A type or name in the form the directory keeps: "#" and a decimal number lose
// their leading zeros ("#016" is "#16"); any other text stays as written.
[[nodiscard]] std::string CanonicalResourceId(std::string_view id);
// Whether two types or names denote the same resource identifier (Windows-1251,
// without regard to case).
[[nodiscard]] bool SameResourceId(std::string_view a, std::string_view b);

// Writes to Output the program image of Input followed by Resources and the seal.
// When Input already carries resources they are replaced, not added to; Output may
// be Input itself. The output appears whole or not at all (it is written beside its
// final name and renamed), with Input's permission bits. Throws EPlatformError
// when a file cannot be read or written, when two resources share type, name and
// language, or when a type or name is empty or longer than 65535 bytes.
void PackResources(const std::filesystem::path& input, const std::vector<TResource>& resources,
                   const std::filesystem::path& output);

namespace detail {
// What the trailer and directory of a file of FileSize bytes say, given its last
// kTrailerSize bytes and a way to read its directory. Returns false when the file
// has no trailer; sets Damaged when it has one whose numbers or directory do not
// hold together.
struct TTrailer {
  uint64_t ImageSize = 0;
  uint64_t DirectoryOffset = 0;
  uint64_t DirectorySize = 0;
};
[[nodiscard]] bool ParseTrailer(std::string_view last64, uint64_t fileSize, TTrailer& trailer,
                                bool& damaged);
[[nodiscard]] bool ParseDirectory(std::string_view directory, const TTrailer& trailer,
                                  std::vector<TResourceEntry>& entries);
}  // namespace detail

}  // namespace platform
