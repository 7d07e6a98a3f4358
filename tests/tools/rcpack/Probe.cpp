// A packed program that reports what it finds in its own file: the seal, a text
// resource, its version and a payload program. It ends with exit code 3, without
// reporting more, when its file is not intact, as the product's programs do.
#include <cstdio>
#include <string>

#include "platform/Resources.h"
#include "platform/ResourcesManifest.h"
#include "platform/ResourcesVersion.h"

int main() {
  using namespace platform;
  TProgramFile self = TProgramFile::OpenSelf();
  TSealStatus seal = self.CheckSeal();
  std::printf("seal %s\n", seal == TSealStatus::Intact    ? "intact"
                           : seal == TSealStatus::Damaged ? "damaged"
                                                          : "not sealed");
  if (!OwnProgramFileIntact()) return 3;
  std::optional<std::string> greeting = LoadOwnResource("text", "greeting");
  std::printf("greeting %s", greeting ? greeting->c_str() : "none\n");
  std::optional<TVersionInfo> version = GetFileVersionInfo(self);
  std::optional<std::string> fileVersion;
  if (version && !version->Translations.empty()) {
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion",
                  version->Translations[0].Language, version->Translations[0].CodePage);
    fileVersion = VerQueryString(*version, query);
  }
  std::printf("version %s\n", fileVersion ? fileVersion->c_str() : "none");
  std::optional<TManifest> manifest = ReadManifest(self);
  std::printf("level %s\n", manifest ? manifest->RequestedExecutionLevel.c_str() : "none");
  const TResourceEntry* payload = self.FindResource("exe", "payload");
  std::printf("payload %llu\n", payload ? static_cast<unsigned long long>(payload->Size) : 0ULL);
  return 0;
}
