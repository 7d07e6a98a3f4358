// Key names as reg takes them on its command line and writes them in its output
// and files: a root (HKLM, HKCU, HKU or their long names) and a path below it.
#pragma once

#include <string>
#include <string_view>

#include "platform/RegistryTypes.h"

namespace reg {

struct TKeyName {
  platform::HKEY root = nullptr;
  std::string path;  // below the root, without leading or trailing "\"
};

// Parses "HKLM\Software\Vel" and the like (Windows-1251). False, with a message in
// *error, for an unknown root, a remote machine or an empty name inside the path.
[[nodiscard]] bool ParseKeyName(std::string_view text, TKeyName* key, std::string* error);

// The long form, "HKEY_LOCAL_MACHINE\Software\Vel".
[[nodiscard]] std::string FullKeyName(const TKeyName& key);

// The key `child` below `key`.
[[nodiscard]] TKeyName SubkeyName(const TKeyName& key, const std::string& child);

}  // namespace reg
