#include "platform/ResourcesManifest.h"

#include <charconv>

#include "platform/CodePage.h"
#include "platform/PlatformError.h"

namespace platform {
namespace {

constexpr std::string_view kManifestHeader = "DARVENA-MANIFEST 1";
constexpr std::string_view kIconGroupHeader = "DARVENA-ICONGROUP 1";

// The lines after Header, or empty when Bytes does not start with that line.
std::optional<std::vector<std::vector<std::string_view>>> SplitLines(std::string_view bytes,
                                                                     std::string_view header) {
  size_t end = bytes.find('\n');
  if (bytes.substr(0, end) != header) return std::nullopt;
  std::vector<std::vector<std::string_view>> lines;
  while (end != std::string_view::npos) {
    bytes.remove_prefix(end + 1);
    end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    std::vector<std::string_view> words;
    while (!line.empty()) {
      size_t space = line.find(' ');
      if (space != 0) words.push_back(line.substr(0, space));
      line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
    }
    if (!words.empty()) lines.push_back(std::move(words));
  }
  return lines;
}

bool ParseU32(std::string_view text, uint32_t& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

bool TManifest::RequiresAdministrator() const {
  return RequestedExecutionLevel == "requireAdministrator";
}

std::string TManifest::CommonControlsVersion() const {
  for (const TManifestDependency& d : Dependencies)
    if (AnsiSameText(d.Name, kCommonControlsAssembly)) return d.Version;
  return {};
}

std::string EncodeManifest(const TManifest& manifest) {
  std::string out(kManifestHeader);
  out += "\nrequestedExecutionLevel " + manifest.RequestedExecutionLevel;
  out += manifest.UiAccess ? "\nuiAccess true" : "\nuiAccess false";
  for (const TManifestDependency& d : manifest.Dependencies)
    out += "\ndependency " + d.Name + " " + d.Version;
  out += "\n";
  return out;
}

std::optional<TManifest> DecodeManifest(std::string_view bytes) {
  auto lines = SplitLines(bytes, kManifestHeader);
  if (!lines) return std::nullopt;
  TManifest manifest;
  for (const auto& words : *lines) {
    if (words[0] == "requestedExecutionLevel" && words.size() == 2) {
      if (words[1] != "asInvoker" && words[1] != "highestAvailable" &&
          words[1] != "requireAdministrator")
        return std::nullopt;
      manifest.RequestedExecutionLevel = std::string(words[1]);
    } else if (words[0] == "uiAccess" && words.size() == 2) {
      manifest.UiAccess = words[1] == "true";
    } else if (words[0] == "dependency" && words.size() == 3) {
      manifest.Dependencies.push_back({std::string(words[1]), std::string(words[2])});
    }
  }
  return manifest;
}

std::optional<TManifest> ReadManifest(const TProgramFile& file) {
  try {
    std::optional<std::string> bytes = file.LoadResource(kRtManifest, kManifestId);
    return bytes ? DecodeManifest(*bytes) : std::nullopt;
  } catch (const EPlatformError&) {
    return std::nullopt;  // an unreadable manifest counts as none
  }
}

std::string EncodeIconGroup(const std::vector<TIconImage>& images) {
  std::string out(kIconGroupHeader);
  for (const TIconImage& image : images)
    out += "\nimage " + image.ImageResource + " " + image.Format + " " +
           std::to_string(image.Width) + " " + std::to_string(image.Height);
  out += "\n";
  return out;
}

std::vector<TIconImage> LoadIconGroup(const TProgramFile& file, std::string_view groupName) {
  try {
    std::optional<std::string> group = file.LoadResource(kRtGroupIcon, groupName);
    if (!group) return {};
    auto lines = SplitLines(*group, kIconGroupHeader);
    if (!lines) return {};
    std::vector<TIconImage> images;
    for (const auto& words : *lines) {
      if (words[0] != "image") continue;
      TIconImage image;
      if (words.size() != 5 || !ParseU32(words[3], image.Width) ||
          !ParseU32(words[4], image.Height))
        return {};
      image.ImageResource = std::string(words[1]);
      image.Format = std::string(words[2]);
      std::optional<std::string> bytes = file.LoadResource(kRtIcon, image.ImageResource);
      if (!bytes) return {};
      image.Bytes = std::move(*bytes);
      images.push_back(std::move(image));
    }
    return images;
  } catch (const EPlatformError&) {
    return {};  // an unreadable icon is no icon
  }
}

}  // namespace platform
