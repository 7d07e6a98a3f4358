// Two more standard resources of a program file: its manifest (type "#24", name
// "#1") and its icon groups (type "#14", each image a resource of type "#3").
//
// The manifest is text, one item a line, lines ending in "\n":
//
//   DARVENA-MANIFEST 1
//   requestedExecutionLevel asInvoker     asInvoker, highestAvailable or
//                                         requireAdministrator
//   uiAccess false
//   dependency Microsoft.Windows.Common-Controls 6.0.0.0
//
// An icon group lists its images, one a line:
//
//   DARVENA-ICONGROUP 1
//   image #1 svg 0 0          icon resource, format (svg, png), width, height
//                             (0 0 for an image that scales)
//
// and each image resource holds the image file's bytes as they stand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Resources.h"

namespace platform {

inline constexpr const char* kCommonControlsAssembly = "Microsoft.Windows.Common-Controls";

struct TManifestDependency {
  std::string Name;
  std::string Version;
};

struct TManifest {
  std::string RequestedExecutionLevel = "asInvoker";
  bool UiAccess = false;
  std::vector<TManifestDependency> Dependencies;

  // Whether the program asks for administrator rights.
  [[nodiscard]] bool RequiresAdministrator() const;
  // The version of the common controls it asks for ("6.0.0.0"), or empty.
  [[nodiscard]] std::string CommonControlsVersion() const;
};

[[nodiscard]] std::string EncodeManifest(const TManifest& manifest);
// Empty when the bytes are not a manifest of this layout or name an execution level
// other than the three above.
[[nodiscard]] std::optional<TManifest> DecodeManifest(std::string_view bytes);
// A program file's manifest; empty when it has none or it is malformed.
[[nodiscard]] std::optional<TManifest> ReadManifest(const TProgramFile& file);

struct TIconImage {
  std::string ImageResource;  // the "#3" resource that holds the image
  std::string Format;         // "svg" or "png"
  uint32_t Width = 0;
  uint32_t Height = 0;
  std::string Bytes;
};

[[nodiscard]] std::string EncodeIconGroup(const std::vector<TIconImage>& images);
// The images an icon group of a program file lists, with their bytes; empty when
// there is no such group, it is malformed or an image it names is missing.
[[nodiscard]] std::vector<TIconImage> LoadIconGroup(const TProgramFile& file,
                                                    std::string_view groupName);

}  // namespace platform
