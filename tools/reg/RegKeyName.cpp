#include "RegKeyName.h"

#include <vector>

#include "platform/CodePage.h"
#include "platform/RegistryKey.h"

namespace reg {

using namespace platform;

bool ParseKeyName(std::string_view text, TKeyName* key, std::string* error) {
  if (text.substr(0, 2) == "\\\\") {
    *error = "Remote machines are not supported: " + std::string(text);
    return false;
  }
  const size_t slash = text.find('\\');
  const std::string_view root = text.substr(0, slash);
  struct TRoot {
    const char* shortName;
    const char* longName;
    HKEY key;
  };
  static const TRoot roots[] = {
      {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HKU", "HKEY_USERS", HKEY_USERS},
  };
  key->root = nullptr;
  for (const auto& r : roots)
    if (AnsiSameText(root, r.shortName) || AnsiSameText(root, r.longName)) key->root = r.key;
  if (!key->root) {
    *error = "Invalid key name: " + std::string(text) + " (the root must be HKLM, HKCU or HKU)";
    return false;
  }
  key->path = slash == std::string_view::npos ? "" : std::string(text.substr(slash + 1));
  std::vector<std::string> names;
  if (SplitKeyPath(key->path, &names) != ERROR_SUCCESS) {
    *error = "Invalid key name: " + std::string(text);
    return false;
  }
  if (!key->path.empty() && key->path.back() == '\\') key->path.pop_back();
  return true;
}

std::string FullKeyName(const TKeyName& key) {
  std::string name = PredefinedKeyName(key.root);
  if (!key.path.empty()) name += "\\" + key.path;
  return name;
}

TKeyName SubkeyName(const TKeyName& key, const std::string& child) {
  return {key.root, key.path.empty() ? child : key.path + "\\" + child};
}

}  // namespace reg
