// Key handles over the registry store, and the rules that decide what a path
// names and who may open it:
//
// - HKEY_LOCAL_MACHINE and HKEY_USERS are the two hives of the store;
//   HKEY_CURRENT_USER is HKEY_USERS\<CurrentUserKeyName()>.
// - A key path is names separated by "\", at most one trailing "\"; no name is
//   empty or longer than 255 characters.
// - Views: on a 64-bit machine, a path below HKEY_LOCAL_MACHINE\Software opened
//   without KEY_WOW64_64KEY (our programs are 32-bit processes) lands below
//   HKEY_LOCAL_MACHINE\Software\WOW6432Node; listing the subkeys of
//   HKEY_LOCAL_MACHINE\Software in that view lists those of WOW6432Node. A machine is
//   64-bit unless HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment
//   says PROCESSOR_ARCHITECTURE is "x86".
// - Rights: a process that is not elevated may read everything but may not open a
//   key of HKEY_LOCAL_MACHINE, or of HKEY_USERS outside its own user's key, with any
//   right to change it, nor create or delete one.
// - A handle keeps the rights it was opened with: reading values needs
//   KEY_QUERY_VALUE, writing and deleting them KEY_SET_VALUE, listing subkeys
//   KEY_ENUMERATE_SUB_KEYS, creating a subkey through it KEY_CREATE_SUB_KEY.
//
// The routines here answer Windows error codes for everything a caller may meet
// (missing keys, refusals) and throw ERegistryStoreError when the store itself fails;
// RegistryApi.h turns those into codes as well.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryStore.h"
#include "platform/RegistryTypes.h"

namespace platform {

// What an opened HKEY points at.
struct TRegKey {
  std::shared_ptr<TRegistryStore> store;
  TRegistryStore::TKeyId id = 0;
  bool machineHive = false;       // HKEY_LOCAL_MACHINE, else HKEY_USERS
  std::vector<std::string> path;  // below the hive, after the view's redirection
  uint32_t access = 0;            // the rights the handle was opened with
  bool machine64 = true;
};

// <machine>/registry.db.
[[nodiscard]] std::filesystem::path RegistryStoreFile();
// The machine's registry store, opened for this caller. Provisions the machine
// (ProvisionMachine) and creates the store when it is missing, filled with the keys
// every machine has. Throws ERegistryStoreError.
[[nodiscard]] std::shared_ptr<TRegistryStore> OpenMachineRegistry();

// The current user's key below HKEY_USERS: a security identifier, the same for the
// same user name on every machine.
[[nodiscard]] std::string CurrentUserKeyName();
// Whether the handle is one of the predefined root keys.
[[nodiscard]] bool IsPredefinedKey(HKEY key);
// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"; "" for other handles.
[[nodiscard]] const char* PredefinedKeyName(HKEY key);

// Splits a key path into its names. ERROR_BAD_PATHNAME for an empty name inside
// the path (a leading "\" included), ERROR_INVALID_PARAMETER for a name longer than
// 255 characters.
[[nodiscard]] int32_t SplitKeyPath(std::string_view path, std::vector<std::string>* names);

// Opens (with `create`, creates) the key `subPath` below `base`. `store` is used for
// a predefined base and must then be given; other handles bring their own. On
// success *result is a new handle for RegKeyClose and *created tells whether the
// key was created.
[[nodiscard]] int32_t RegKeyOpen(const std::shared_ptr<TRegistryStore>& store, HKEY base,
                                 std::string_view subPath, uint32_t access, bool create,
                                 HKEY* result, bool* created = nullptr);
void RegKeyClose(HKEY key);

// The value `name` of an opened key ("" is the default value).
[[nodiscard]] int32_t RegKeyQuery(HKEY key, std::string_view name, uint32_t* type,
                                  std::string* data);
[[nodiscard]] int32_t RegKeySet(HKEY key, std::string_view name, uint32_t type,
                                std::string_view data);
[[nodiscard]] int32_t RegKeyDeleteValue(HKEY key, std::string_view name);
[[nodiscard]] int32_t RegKeyValueNames(HKEY key, std::vector<std::string>* names);
[[nodiscard]] int32_t RegKeySubkeyNames(HKEY key, std::vector<std::string>* names);
// Deletes the key `subPath` below the opened key `base` with everything below it,
// in the view of `viewAccess` (its KEY_WOW64_* bits), in one transaction.
[[nodiscard]] int32_t RegKeyDeleteTree(const std::shared_ptr<TRegistryStore>& store, HKEY base,
                                       std::string_view subPath, uint32_t viewAccess);
// Makes sure the store's committed changes are on disk.
[[nodiscard]] int32_t RegKeyFlush(HKEY key);

}  // namespace platform
