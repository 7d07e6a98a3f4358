#include "platform/RegistryKey.h"

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/RegistryProvision.h"

namespace platform {
namespace {

using TKeyId = TRegistryStore::TKeyId;

constexpr size_t kMaxKeyName = 255;

// Rights that change a key or what is below it.
constexpr uint32_t kChangeRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK |
                                   DELETE_ACCESS | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                   GENERIC_ALL;
constexpr uint32_t kViewBits = KEY_WOW64_64KEY | KEY_WOW64_32KEY;

// The generic rights spelled out as the key rights they stand for.
uint32_t SpecificRights(uint32_t access, bool mayChange) {
  uint32_t rights = access & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED);
  if (access & GENERIC_READ) rights |= KEY_READ;
  if (access & GENERIC_WRITE) rights |= KEY_WRITE;
  if (access & GENERIC_ALL) rights |= KEY_ALL_ACCESS;
  if (access & MAXIMUM_ALLOWED) rights |= mayChange ? KEY_ALL_ACCESS : KEY_READ;
  return rights;
}

// Whether only an elevated process may change the key at `path` of a hive.
bool NeedsElevation(bool machineHive, const std::vector<std::string>& path) {
  if (machineHive) return true;
  return path.empty() || !AnsiSameText(path[0], CurrentUserKeyName());
}

// The 32-bit view's redirection of HKEY_LOCAL_MACHINE\Software\X to
// HKEY_LOCAL_MACHINE\Software\WOW6432Node\X.
bool Redirects(const TRegKey& key, uint32_t access) {
  return key.machineHive && key.machine64 && !(access & KEY_WOW64_64KEY);
}
void ApplyView(bool redirects, std::vector<std::string>& path) {
  if (redirects && path.size() >= 2 && AnsiSameText(path[0], "Software") &&
      !AnsiSameText(path[1], "WOW6432Node"))
    path.insert(path.begin() + 1, "WOW6432Node");
}

std::optional<TKeyId> FindPath(TRegistryStore& store, TKeyId from,
                               const std::vector<std::string>& path) {
  TKeyId id = from;
  for (const auto& name : path) {
    auto next = store.FindSubkey(id, name);
    if (!next) return std::nullopt;
    id = *next;
  }
  return id;
}

bool MachineIs64Bit(TRegistryStore& store) {
  bool is64 = true;
  store.Read([&] {
    auto env =
        FindPath(store, TRegistryStore::kMachineHive,
                 {"SYSTEM", "CurrentControlSet", "Control", "Session Manager", "Environment"});
    if (!env) return;
    auto v = store.GetValue(*env, "PROCESSOR_ARCHITECTURE");
    if (!v || v->type != REG_SZ) return;
    std::string arch = v->data.substr(0, v->data.find('\0'));
    is64 = !AnsiSameText(arch, "x86");
  });
  return is64;
}

// The handle's rights for one operation; predefined handles are not opened keys.
int32_t Check(HKEY key, uint32_t right) {
  if (!key || IsPredefinedKey(key)) return ERROR_INVALID_HANDLE;
  if (!(key->access & right)) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

}  // namespace

std::filesystem::path RegistryStoreFile() {
  return MachineRoot() / "registry.db";
}

std::shared_ptr<TRegistryStore> OpenMachineRegistry() {
  // The registry's values name the machine's folders; they exist before it is used.
  try {
    ProvisionMachine();
  } catch (const EPlatformError& e) {
    throw ERegistryStoreError(ERROR_REGISTRY_IO_FAILED, e.what());
  }
  auto store = TRegistryStore::Open(RegistryStoreFile());
  ProvisionRegistryStore(*store);
  return store;
}

std::string CurrentUserKeyName() {
  // A Windows account identifier; its three sub-authorities come from the user
  // name (FNV-1a), so every process of a user finds the same key.
  uint64_t h = 0xcbf29ce484222325ULL;
  for (unsigned char c : AnsiUpperCase(MachineUserName())) {
    h ^= c;
    h *= 0x100000001b3ULL;
  }
  const auto part = [&](int shift) {
    return std::to_string(1000000000 + (h >> shift) % 1000000000);
  };
  return "S-1-5-21-" + part(0) + "-" + part(21) + "-" + part(42) + "-1001";
}

bool IsPredefinedKey(HKEY key) {
  return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS;
}

const char* PredefinedKeyName(HKEY key) {
  if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (key == HKEY_USERS) return "HKEY_USERS";
  return "";
}

int32_t SplitKeyPath(std::string_view path, std::vector<std::string>* names) {
  names->clear();
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty()) return ERROR_SUCCESS;
  size_t start = 0;
  while (true) {
    const size_t end = path.find('\\', start);
    const std::string_view name = path.substr(start, end - start);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (name.size() > kMaxKeyName) return ERROR_INVALID_PARAMETER;
    names->emplace_back(name);
    if (end == std::string_view::npos) return ERROR_SUCCESS;
    start = end + 1;
  }
}

int32_t RegKeyOpen(const std::shared_ptr<TRegistryStore>& store, HKEY base,
                   std::string_view subPath, uint32_t access, bool create, HKEY* result,
                   bool* created) {
  *result = nullptr;
  if (created) *created = false;
  if ((access & kViewBits) == kViewBits) return ERROR_INVALID_PARAMETER;
  std::vector<std::string> names;
  if (const int32_t rc = SplitKeyPath(subPath, &names); rc != ERROR_SUCCESS) return rc;

  const bool predefined = IsPredefinedKey(base);
  TRegKey start;
  if (predefined) {
    if (!store) return ERROR_INVALID_HANDLE;
    start.store = store;
    start.machineHive = base == HKEY_LOCAL_MACHINE;
    start.id = start.machineHive ? TRegistryStore::kMachineHive : TRegistryStore::kUsersHive;
    if (base == HKEY_CURRENT_USER) start.path = {CurrentUserKeyName()};
    start.access = KEY_ALL_ACCESS;
    start.machine64 = MachineIs64Bit(*store);
  } else {
    if (!base) return ERROR_INVALID_HANDLE;
    start = *base;
  }

  auto key = std::make_unique<TRegKey>();
  key->store = start.store;
  key->machineHive = start.machineHive;
  key->machine64 = start.machine64;
  key->path = start.path;
  key->path.insert(key->path.end(), names.begin(), names.end());
  ApplyView(Redirects(start, access), key->path);
  const bool mayChange = ProcessElevated() || !NeedsElevation(key->machineHive, key->path);
  key->access = SpecificRights(access, mayChange);
  if (!mayChange && (key->access & kChangeRights)) return ERROR_ACCESS_DENIED;

  TRegistryStore& db = *key->store;
  const TKeyId hive = key->machineHive ? TRegistryStore::kMachineHive : TRegistryStore::kUsersHive;
  int32_t rc = ERROR_SUCCESS;
  bool missing = false;
  db.Read([&] {
    if (!predefined && !db.KeyExists(start.id)) {
      rc = ERROR_KEY_DELETED;
      return;
    }
    if (auto id = FindPath(db, hive, key->path))
      key->id = *id;
    else
      missing = true;
  });
  if (rc != ERROR_SUCCESS) return rc;
  if (missing) {
    if (!create) return ERROR_FILE_NOT_FOUND;
    if (!mayChange || (!predefined && !(start.access & KEY_CREATE_SUB_KEY)))
      return ERROR_ACCESS_DENIED;
    bool made = false;
    db.Write([&] {
      if (!predefined && !db.KeyExists(start.id)) {
        rc = ERROR_KEY_DELETED;
        return;
      }
      TKeyId id = hive;
      for (const auto& name : key->path)
        id = db.CreateSubkey(id, name, &made);
      key->id = id;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (created) *created = made;
  }
  *result = key.release();
  return ERROR_SUCCESS;
}

void RegKeyClose(HKEY key) {
  if (!IsPredefinedKey(key)) delete key;
}

int32_t RegKeyQuery(HKEY key, std::string_view name, uint32_t* type, std::string* data) {
  if (const int32_t rc = Check(key, KEY_QUERY_VALUE); rc != ERROR_SUCCESS) return rc;
  int32_t rc = ERROR_SUCCESS;
  key->store->Read([&] {
    if (auto v = key->store->GetValue(key->id, name)) {
      if (type) *type = v->type;
      if (data) *data = std::move(v->data);
    } else {
      rc = key->store->KeyExists(key->id) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    }
  });
  return rc;
}

int32_t RegKeySet(HKEY key, std::string_view name, uint32_t type, std::string_view data) {
  if (const int32_t rc = Check(key, KEY_SET_VALUE); rc != ERROR_SUCCESS) return rc;
  if (name.size() > 16383) return ERROR_INVALID_PARAMETER;
  int32_t rc = ERROR_SUCCESS;
  key->store->Write([&] {
    if (!key->store->KeyExists(key->id))
      rc = ERROR_KEY_DELETED;
    else
      key->store->SetValue(key->id, name, type, data);
  });
  return rc;
}

int32_t RegKeyDeleteValue(HKEY key, std::string_view name) {
  if (const int32_t rc = Check(key, KEY_SET_VALUE); rc != ERROR_SUCCESS) return rc;
  int32_t rc = ERROR_SUCCESS;
  key->store->Write([&] {
    if (!key->store->DeleteValue(key->id, name))
      rc = key->store->KeyExists(key->id) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
  });
  return rc;
}

int32_t RegKeyValueNames(HKEY key, std::vector<std::string>* names) {
  if (const int32_t rc = Check(key, KEY_QUERY_VALUE); rc != ERROR_SUCCESS) return rc;
  int32_t rc = ERROR_SUCCESS;
  key->store->Read([&] {
    if (!key->store->KeyExists(key->id))
      rc = ERROR_KEY_DELETED;
    else
      *names = key->store->ValueNames(key->id);
  });
  return rc;
}

int32_t RegKeySubkeyNames(HKEY key, std::vector<std::string>* names) {
  if (const int32_t rc = Check(key, KEY_ENUMERATE_SUB_KEYS); rc != ERROR_SUCCESS) return rc;
  int32_t rc = ERROR_SUCCESS;
  TRegistryStore& db = *key->store;
  db.Read([&] {
    if (!db.KeyExists(key->id)) {
      rc = ERROR_KEY_DELETED;
      return;
    }
    TKeyId listed = key->id;
    // In the 32-bit view, what lies below Software is what WOW6432Node holds.
    if (Redirects(*key, key->access) && key->path.size() == 1 &&
        AnsiSameText(key->path[0], "Software")) {
      auto wow = db.FindSubkey(key->id, "WOW6432Node");
      if (!wow) {
        names->clear();
        return;
      }
      listed = *wow;
    }
    *names = db.SubkeyNames(listed);
  });
  return rc;
}

int32_t RegKeyDeleteTree(const std::shared_ptr<TRegistryStore>& store, HKEY base,
                         std::string_view subPath, uint32_t viewAccess) {
  HKEY target = nullptr;
  const uint32_t access = DELETE_ACCESS | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE |
                          (viewAccess & kViewBits);
  if (const int32_t rc = RegKeyOpen(store, base, subPath, access, false, &target);
      rc != ERROR_SUCCESS)
    return rc;
  std::unique_ptr<TRegKey> owned(target);
  // A hive, and a user's own key, are not deleted.
  if (target->path.empty() || (!target->machineHive && target->path.size() == 1))
    return ERROR_ACCESS_DENIED;
  int32_t rc = ERROR_SUCCESS;
  target->store->Write([&] {
    if (!target->store->KeyExists(target->id))
      rc = ERROR_KEY_DELETED;
    else
      target->store->DeleteTree(target->id);
  });
  return rc;
}

int32_t RegKeyFlush(HKEY key) {
  if (!key || IsPredefinedKey(key)) return ERROR_INVALID_HANDLE;
  key->store->Flush();
  return ERROR_SUCCESS;
}

}  // namespace platform
