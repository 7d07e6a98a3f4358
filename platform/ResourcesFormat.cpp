#include "platform/ResourcesFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/CodePage.h"
#include "platform/PlatformError.h"
#include "platform/PosixFd.h"
#include "platform/Sha256.h"

namespace platform {
namespace {

constexpr std::string_view kDirectoryMagic = "DRVRDIR1";
constexpr std::string_view kTrailerMagic = "DRVSEAL1";
constexpr size_t kEntryHeaderSize = 24;

void PutU16(std::string& out, uint16_t v) {
  for (int i = 0; i < 2; ++i)
    out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i)
    out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
uint64_t GetLe(std::string_view in, size_t at, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(in[at + i]);
  return v;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EPlatformError(kErrorFileNotFound, "Cannot open " + path.string());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EPlatformError(kErrorInvalidData, "Cannot read " + path.string());
  return bytes;
}

void WriteAll(int fd, std::string_view bytes, const std::string& what) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EPlatformError(kErrorAccessDenied, "Cannot write " + what);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace

std::string CanonicalResourceId(std::string_view id) {
  if (id.size() < 2 || id[0] != '#') return std::string(id);
  for (char c : id.substr(1))
    if (c < '0' || c > '9') return std::string(id);
  size_t first = id.find_first_not_of('0', 1);
  return first == std::string_view::npos ? "#0" : "#" + std::string(id.substr(first));
}

bool SameResourceId(std::string_view a, std::string_view b) {
  return AnsiSameText(CanonicalResourceId(a), CanonicalResourceId(b));
}

void PackResources(const std::filesystem::path& input, const std::vector<TResource>& resources,
                   const std::filesystem::path& output) {
  std::string file = ReadWholeFile(input);
  uint64_t imageSize = file.size();
  if (file.size() >= kTrailerSize) {
    detail::TTrailer trailer;
    bool damaged = false;
    std::string_view last(file.data() + file.size() - kTrailerSize, kTrailerSize);
    if (detail::ParseTrailer(last, file.size(), trailer, damaged)) {
      if (damaged)
        throw EPlatformError(kErrorInvalidData,
                             input.string() + " carries resources that are damaged");
      imageSize = trailer.ImageSize;
    }
  }

  for (size_t i = 0; i < resources.size(); ++i) {
    const TResource& r = resources[i];
    if (r.Type.empty() || r.Name.empty() || r.Type.size() > 0xFFFF || r.Name.size() > 0xFFFF)
      throw EPlatformError(
          kErrorInvalidParameter,
          "A resource type or name is empty or too long: \"" + r.Type + "\" \"" + r.Name + "\"");
    for (size_t j = 0; j < i; ++j)
      if (resources[j].Language == r.Language && SameResourceId(resources[j].Type, r.Type) &&
          SameResourceId(resources[j].Name, r.Name))
        throw EPlatformError(kErrorAlreadyExists, "Duplicate resource " + r.Type + " " + r.Name);
  }

  std::string data;
  std::string directory(kDirectoryMagic);
  PutU32(directory, static_cast<uint32_t>(resources.size()));
  for (const TResource& r : resources) {
    std::string type = CanonicalResourceId(r.Type), name = CanonicalResourceId(r.Name);
    PutU16(directory, r.Language);
    PutU16(directory, static_cast<uint16_t>(type.size()));
    PutU16(directory, static_cast<uint16_t>(name.size()));
    PutU16(directory, 0);
    PutU64(directory, imageSize + data.size());
    PutU64(directory, r.Bytes.size());
    directory += type;
    directory += name;
    data += r.Bytes;
  }
  std::string trailer(kTrailerMagic);
  PutU64(trailer, imageSize);
  PutU64(trailer, imageSize + data.size());
  PutU64(trailer, directory.size());

  std::string_view image(file.data(), imageSize);
  TSha256 sha;
  sha.Update(image);
  sha.Update(data);
  sha.Update(directory);
  sha.Update(trailer);
  trailer += sha.Final();

  struct stat st {};
  mode_t mode = ::stat(input.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0755;
  std::filesystem::path folder = output.has_parent_path() ? output.parent_path() : ".";
  std::string temp = (folder / ("." + output.filename().string() + ".pack-XXXXXX")).string();
  TPosixFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.Valid()) throw EPlatformError(kErrorAccessDenied, "Cannot write " + output.string());
  try {
    WriteAll(fd.Get(), image, output.string());
    WriteAll(fd.Get(), data, output.string());
    WriteAll(fd.Get(), directory, output.string());
    WriteAll(fd.Get(), trailer, output.string());
    if (::fchmod(fd.Get(), mode) != 0 || ::fsync(fd.Get()) != 0)
      throw EPlatformError(kErrorAccessDenied, "Cannot write " + output.string());
    fd.Reset();
    if (::rename(temp.c_str(), output.c_str()) != 0)
      throw EPlatformError(kErrorAccessDenied, "Cannot replace " + output.string());
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
}

namespace detail {

bool ParseTrailer(std::string_view last64, uint64_t fileSize, TTrailer& trailer, bool& damaged) {
  damaged = false;
  if (last64.size() != kTrailerSize || last64.substr(0, 8) != kTrailerMagic) return false;
  trailer.ImageSize = GetLe(last64, 8, 8);
  trailer.DirectoryOffset = GetLe(last64, 16, 8);
  trailer.DirectorySize = GetLe(last64, 24, 8);
  uint64_t trailerAt = fileSize - kTrailerSize;
  damaged = trailer.ImageSize > trailer.DirectoryOffset || trailer.DirectoryOffset > trailerAt ||
            trailer.DirectorySize != trailerAt - trailer.DirectoryOffset ||
            trailer.DirectorySize < kDirectoryMagic.size() + 4;
  return true;
}

bool ParseDirectory(std::string_view directory, const TTrailer& trailer,
                    std::vector<TResourceEntry>& entries) {
  entries.clear();
  if (directory.size() < kDirectoryMagic.size() + 4 ||
      directory.substr(0, kDirectoryMagic.size()) != kDirectoryMagic)
    return false;
  uint64_t count = GetLe(directory, 8, 4);
  size_t at = 12;
  for (uint64_t i = 0; i < count; ++i) {
    if (directory.size() - at < kEntryHeaderSize) return false;
    TResourceEntry e;
    e.Language = static_cast<uint16_t>(GetLe(directory, at, 2));
    size_t typeLength = GetLe(directory, at + 2, 2);
    size_t nameLength = GetLe(directory, at + 4, 2);
    e.Offset = GetLe(directory, at + 8, 8);
    e.Size = GetLe(directory, at + 16, 8);
    at += kEntryHeaderSize;
    if (directory.size() - at < typeLength + nameLength) return false;
    e.Type = std::string(directory.substr(at, typeLength));
    e.Name = std::string(directory.substr(at + typeLength, nameLength));
    at += typeLength + nameLength;
    if (e.Offset < trailer.ImageSize || e.Offset > trailer.DirectoryOffset ||
        e.Size > trailer.DirectoryOffset - e.Offset)
      return false;
    entries.push_back(std::move(e));
  }
  return at == directory.size();
}

}  // namespace detail
}  // namespace platform
