#include "platform/RegistryProvision.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/Machine.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryTypes.h"

namespace platform {
namespace {

constexpr const char* kMachineDone = "provisioned";

using TNames = std::vector<std::string>;

TRegistryStore::TKeyId CreatePath(TRegistryStore& store, TRegistryStore::TKeyId hive,
                                  const TNames& path) {
  TRegistryStore::TKeyId id = hive;
  for (const auto& name : path)
    id = store.CreateSubkey(id, name);
  return id;
}

// Writes a REG_SZ value unless the key has that value already.
void Default(TRegistryStore& store, TRegistryStore::TKeyId key, const std::string& name,
             const std::string& text) {
  if (store.GetValue(key, name)) return;
  std::string data = text;
  data.push_back('\0');
  store.SetValue(key, name, REG_SZ, data);
}

TNames With(TNames path, std::initializer_list<const char*> more) {
  for (const char* m : more)
    path.emplace_back(m);
  return path;
}

void ProvisionMachineKeys(TRegistryStore& store) {
  const auto hklm = TRegistryStore::kMachineHive;
  const TNames native = {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion"};
  const TNames wow = {"SOFTWARE", "WOW6432Node", "Microsoft", "Windows", "CurrentVersion"};

  const auto environment = CreatePath(
      store, hklm, {"SYSTEM", "CurrentControlSet", "Control", "Session Manager", "Environment"});
  Default(store, environment, "PROCESSOR_ARCHITECTURE", "AMD64");

  const auto nativeVersion = CreatePath(store, hklm, native);
  Default(store, nativeVersion, "ProgramFilesDir", layout::kProgramFiles);
  Default(store, nativeVersion, "ProgramFilesDir (x86)", layout::kProgramFilesX86);
  const auto wowVersion = CreatePath(store, hklm, wow);
  Default(store, wowVersion, "ProgramFilesDir", layout::kProgramFilesX86);

  // Both views share the shell folders of all users.
  for (const TNames* version : {&native, &wow}) {
    CreatePath(store, hklm, With(*version, {"Uninstall"}));
    const auto folders = CreatePath(store, hklm, With(*version, {"Explorer", "Shell Folders"}));
    Default(store, folders, "Common Desktop", layout::kCommonDesktop);
    Default(store, folders, "Common Programs", layout::kCommonPrograms);
    Default(store, folders, "Common Startup", layout::kCommonStartup);
    Default(store, folders, "Common AppData", layout::kProgramData);
  }
  CreatePath(store, TRegistryStore::kUsersHive, {".DEFAULT", "Software"});
}

void ProvisionUserKeys(TRegistryStore& store, const std::string& userKey) {
  const std::string profile = UserProfileFolder() + "\\";
  const auto folders = CreatePath(
      store, TRegistryStore::kUsersHive,
      {userKey, "Software", "Microsoft", "Windows", "CurrentVersion", "Explorer", "Shell Folders"});
  const std::pair<const char*, const char*> entries[] = {
      {"Desktop", layout::kDesktop}, {"Programs", layout::kPrograms}, {"Startup", layout::kStartup},
      {"AppData", layout::kAppData}, {"Personal", layout::kPersonal},
  };
  for (const auto& [name, folder] : entries)
    Default(store, folders, name, profile + folder);
  CreatePath(store, TRegistryStore::kUsersHive,
             {userKey, "Software", "Microsoft", "Windows", "CurrentVersion", "Run"});
}

}  // namespace

void ProvisionRegistryStore(TRegistryStore& store) {
  const std::string userKey = CurrentUserKeyName();
  const std::string userDone = "provisioned " + userKey;
  bool done = false;
  store.Read(
      [&] { done = !store.GetMeta(kMachineDone).empty() && !store.GetMeta(userDone).empty(); });
  if (done) return;
  store.Write([&] {
    if (store.GetMeta(kMachineDone).empty()) {
      ProvisionMachineKeys(store);
      store.SetMeta(kMachineDone, "1");
    }
    if (store.GetMeta(userDone).empty()) {
      ProvisionUserKeys(store, userKey);
      store.SetMeta(userDone, "1");
    }
  });
}

void ProvisionRegistry() {
  // Opening the machine's store provisions it.
  (void)OpenMachineRegistry();
}

}  // namespace platform
