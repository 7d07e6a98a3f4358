#include "platform/RegistryApi.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/RegistryKey.h"

namespace platform {
namespace {

// Runs `body` and answers its code; a failure of the store becomes the store's code.
template <typename F>
int32_t Answer(F&& body) {
  try {
    return body();
  } catch (const ERegistryStoreError& e) {
    return static_cast<int32_t>(e.Code());
  } catch (const std::bad_alloc&) {
    return static_cast<int32_t>(kErrorNotEnoughMemory);
  }
}

// The store a base handle needs: the machine's for a predefined root, none else.
std::shared_ptr<TRegistryStore> StoreFor(HKEY key) {
  return IsPredefinedKey(key) ? OpenMachineRegistry() : nullptr;
}

// An opened handle for `key`; a predefined root is opened for the call.
class TUseKey {
 public:
  TUseKey(HKEY key, int32_t* rc) : key_(key) {
    if (IsPredefinedKey(key)) {
      *rc = RegKeyOpen(OpenMachineRegistry(), key, "", MAXIMUM_ALLOWED, false, &key_);
      owned_ = true;
    } else {
      *rc = key ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }
  }
  ~TUseKey() {
    if (owned_ && key_) RegKeyClose(key_);
  }
  TUseKey(const TUseKey&) = delete;
  TUseKey& operator=(const TUseKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_;
  bool owned_ = false;
};

const char* Name(const char* name) {
  return name ? name : "";
}

}  // namespace

int32_t RegOpenKeyExA(HKEY key, const char* subKey, uint32_t, uint32_t samDesired, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return Answer(
      [&] { return RegKeyOpen(StoreFor(key), key, Name(subKey), samDesired, false, result); });
}

int32_t RegCreateKeyExA(HKEY key, const char* subKey, uint32_t, char*, uint32_t,
                        uint32_t samDesired, const void*, HKEY* result, uint32_t* disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return Answer([&] {
    bool created = false;
    const int32_t rc =
        RegKeyOpen(StoreFor(key), key, Name(subKey), samDesired, true, result, &created);
    if (rc == ERROR_SUCCESS && disposition)
      *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return rc;
  });
}

int32_t RegCloseKey(HKEY key) {
  if (!key) return ERROR_INVALID_HANDLE;
  RegKeyClose(key);
  return ERROR_SUCCESS;
}

int32_t RegQueryValueExA(HKEY key, const char* valueName, uint32_t*, uint32_t* type, uint8_t* data,
                         uint32_t* dataSize) {
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  return Answer([&] {
    int32_t rc = ERROR_SUCCESS;
    TUseKey use(key, &rc);
    if (rc != ERROR_SUCCESS) return rc;
    uint32_t valueType = REG_NONE;
    std::string bytes;
    rc = RegKeyQuery(use.Get(), Name(valueName), &valueType, &bytes);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = valueType;
    const auto size = static_cast<uint32_t>(bytes.size());
    if (data) {
      if (*dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
      }
      if (size) std::memcpy(data, bytes.data(), size);
    }
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
  });
}

int32_t RegSetValueExA(HKEY key, const char* valueName, uint32_t, uint32_t type,
                       const uint8_t* data, uint32_t dataSize) {
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  return Answer([&] {
    int32_t rc = ERROR_SUCCESS;
    TUseKey use(key, &rc);
    if (rc != ERROR_SUCCESS) return rc;
    return RegKeySet(use.Get(), Name(valueName), type,
                     std::string_view(reinterpret_cast<const char*>(data), dataSize));
  });
}

int32_t RegDeleteValueA(HKEY key, const char* valueName) {
  return Answer([&] {
    int32_t rc = ERROR_SUCCESS;
    TUseKey use(key, &rc);
    if (rc != ERROR_SUCCESS) return rc;
    return RegKeyDeleteValue(use.Get(), Name(valueName));
  });
}

int32_t RegDeleteTreeA(HKEY key, const char* subKey) {
  if (!subKey || !*subKey) return ERROR_INVALID_PARAMETER;
  return Answer([&] {
    const uint32_t view = IsPredefinedKey(key) || !key ? 0 : key->access;
    return RegKeyDeleteTree(StoreFor(key), key, subKey, view);
  });
}

int32_t RegDeleteKeyExA(HKEY key, const char* subKey, uint32_t samDesired, uint32_t) {
  if (!subKey || !*subKey) return ERROR_INVALID_PARAMETER;
  return Answer([&] {
    const auto store = StoreFor(key);
    HKEY target = nullptr;
    const uint32_t view = samDesired & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
    int32_t rc = RegKeyOpen(store, key, subKey, KEY_ENUMERATE_SUB_KEYS | view, false, &target);
    if (rc != ERROR_SUCCESS) return rc;
    std::vector<std::string> subkeys;
    rc = RegKeySubkeyNames(target, &subkeys);
    RegKeyClose(target);
    if (rc != ERROR_SUCCESS) return rc;
    // Unlike RegDeleteTreeA, only a key without subkeys is deleted.
    if (!subkeys.empty()) return ERROR_ACCESS_DENIED;
    return RegKeyDeleteTree(store, key, subKey, view);
  });
}

int32_t RegFlushKey(HKEY key) {
  return Answer([&] {
    int32_t rc = ERROR_SUCCESS;
    TUseKey use(key, &rc);
    if (rc != ERROR_SUCCESS) return rc;
    return RegKeyFlush(use.Get());
  });
}

}  // namespace platform
