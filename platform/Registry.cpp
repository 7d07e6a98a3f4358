#include "platform/Registry.h"

#include <cstring>

#include "platform/RegistryKey.h"
#include "platform/RegistryStore.h"

namespace platform {
namespace {

// Runs `body`, turning a failure of the store into the error TRegistry raises.
template <typename F>
auto Guarded(F&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const ERegistryStoreError& e) {
    throw ERegistryException(e.Code(), e.what());
  }
}

std::string Quoted(std::string_view name) {
  return "\"" + std::string(name) + "\"";
}

std::string Reason(int32_t rc) {
  switch (rc) {
    case ERROR_FILE_NOT_FOUND:
      return "it does not exist";
    case ERROR_ACCESS_DENIED:
      return "access is denied";
    case ERROR_KEY_DELETED:
      return "its key has been deleted";
    case ERROR_INVALID_HANDLE:
      return "no key is open";
    default:
      return "error " + std::to_string(rc);
  }
}

}  // namespace

TRegistry::TRegistry(uint32_t access) : access_(access), rootKey_(HKEY_CURRENT_USER) {}

TRegistry::~TRegistry() {
  CloseKey();
}

const std::shared_ptr<TRegistryStore>& TRegistry::Store() {
  if (!store_) store_ = Guarded([] { return OpenMachineRegistry(); });
  return store_;
}

void TRegistry::SetRootKey(HKEY root) {
  if (root == rootKey_) return;
  CloseKey();
  rootKey_ = root;
}

HKEY TRegistry::BaseFor(std::string_view path, std::string_view* rest) const {
  const bool absolute = !path.empty() && path.front() == '\\';
  *rest = absolute ? path.substr(1) : path;
  return (!absolute && currentKey_) ? currentKey_ : rootKey_;
}

bool TRegistry::OpenKey(std::string_view path, bool canCreate) {
  std::string_view rest;
  const HKEY base = BaseFor(path, &rest);
  HKEY key = nullptr;
  lastError_ = Guarded([&] { return RegKeyOpen(Store(), base, rest, access_, canCreate, &key); });
  if (lastError_ != ERROR_SUCCESS) return false;
  std::string full(rest);
  if (currentKey_ && base == currentKey_)
    full = rest.empty() ? currentPath_ : currentPath_.empty() ? full : currentPath_ + "\\" + full;
  if (!full.empty() && full.back() == '\\') full.pop_back();
  CloseKey();
  currentKey_ = key;
  currentPath_ = std::move(full);
  return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view path) {
  const uint32_t view = access_ & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
  const uint32_t saved = access_;
  for (uint32_t mask : {KEY_READ, KEY_QUERY_VALUE}) {
    access_ = mask | view;
    if (OpenKey(path, false)) return true;
    if (lastError_ != ERROR_ACCESS_DENIED) break;
  }
  access_ = saved;
  return false;
}

void TRegistry::CloseKey() {
  if (!currentKey_) return;
  if (!lazyWrite_) {
    // Every change is committed already; a flush that fails loses nothing, so its
    // failure is dropped here.
    try {
      (void)RegKeyFlush(currentKey_);
    } catch (const ERegistryStoreError&) {
    }
  }
  RegKeyClose(currentKey_);
  currentKey_ = nullptr;
  currentPath_.clear();
}

bool TRegistry::KeyExists(std::string_view path) {
  std::string_view rest;
  const HKEY base = BaseFor(path, &rest);
  const uint32_t rights = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS |
                          (access_ & (KEY_WOW64_64KEY | KEY_WOW64_32KEY));
  HKEY key = nullptr;
  lastError_ = Guarded([&] { return RegKeyOpen(Store(), base, rest, rights, false, &key); });
  if (key) RegKeyClose(key);
  return lastError_ == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(std::string_view path) {
  std::string_view rest;
  const HKEY base = BaseFor(path, &rest);
  lastError_ = Guarded([&] { return RegKeyDeleteTree(Store(), base, rest, access_); });
  return lastError_ == ERROR_SUCCESS;
}

std::vector<std::string> TRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (currentKey_) Guarded([&] { return RegKeySubkeyNames(currentKey_, &names); });
  return names;
}

bool TRegistry::HasSubKeys() {
  return !GetKeyNames().empty();
}

int32_t TRegistry::QueryValue(std::string_view name, uint32_t* type, std::string* data) {
  if (!currentKey_) return ERROR_INVALID_HANDLE;
  return Guarded([&] { return RegKeyQuery(currentKey_, name, type, data); });
}

bool TRegistry::ValueExists(std::string_view name) {
  return QueryValue(name, nullptr, nullptr) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(std::string_view name) {
  uint32_t type = REG_NONE;
  if (QueryValue(name, &type, nullptr) != ERROR_SUCCESS) return TRegDataType::rdUnknown;
  switch (type) {
    case REG_SZ:
      return TRegDataType::rdString;
    case REG_EXPAND_SZ:
      return TRegDataType::rdExpandString;
    case REG_DWORD:
      return TRegDataType::rdInteger;
    case REG_BINARY:
      return TRegDataType::rdBinary;
    default:
      return TRegDataType::rdUnknown;
  }
}

int TRegistry::GetDataSize(std::string_view name) {
  std::string data;
  if (QueryValue(name, nullptr, &data) != ERROR_SUCCESS) return -1;
  return static_cast<int>(data.size());
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (currentKey_) Guarded([&] { return RegKeyValueNames(currentKey_, &names); });
  return names;
}

bool TRegistry::DeleteValue(std::string_view name) {
  if (!currentKey_) return false;
  return Guarded([&] { return RegKeyDeleteValue(currentKey_, name); }) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(std::string_view name) {
  uint32_t type = REG_NONE;
  std::string data;
  if (QueryValue(name, &type, &data) != ERROR_SUCCESS || data.empty()) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException(kErrorInvalidData,
                             "The registry value " + Quoted(name) + " is not a string");
  if (const size_t end = data.find('\0'); end != std::string::npos) data.resize(end);
  return data;
}

int32_t TRegistry::ReadInteger(std::string_view name) {
  uint32_t type = REG_NONE;
  std::string data;
  if (const int32_t rc = QueryValue(name, &type, &data); rc != ERROR_SUCCESS)
    throw ERegistryException(static_cast<uint32_t>(rc),
                             "Cannot read the registry value " + Quoted(name) + ": " + Reason(rc));
  if (type != REG_DWORD || data.size() != sizeof(int32_t))
    throw ERegistryException(kErrorInvalidData,
                             "The registry value " + Quoted(name) + " is not an integer");
  int32_t value = 0;
  std::memcpy(&value, data.data(), sizeof value);
  return value;
}

bool TRegistry::ReadBool(std::string_view name) {
  return ReadInteger(name) != 0;
}

std::vector<uint8_t> TRegistry::ReadBinaryData(std::string_view name) {
  uint32_t type = REG_NONE;
  std::string data;
  if (QueryValue(name, &type, &data) != ERROR_SUCCESS) return {};
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD)
    throw ERegistryException(kErrorInvalidData,
                             "The registry value " + Quoted(name) + " is not binary data");
  return std::vector<uint8_t>(data.begin(), data.end());
}

void TRegistry::SetValue(std::string_view name, uint32_t type, std::string_view data) {
  const int32_t rc = currentKey_ ? Guarded([&] { return RegKeySet(currentKey_, name, type, data); })
                                 : ERROR_INVALID_HANDLE;
  if (rc != ERROR_SUCCESS)
    throw ERegistryException(static_cast<uint32_t>(rc),
                             "Cannot write the registry value " + Quoted(name) + ": " + Reason(rc));
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  std::string data(value);
  data.push_back('\0');
  SetValue(name, REG_SZ, data);
}

void TRegistry::WriteExpandString(std::string_view name, std::string_view value) {
  std::string data(value);
  data.push_back('\0');
  SetValue(name, REG_EXPAND_SZ, data);
}

void TRegistry::WriteInteger(std::string_view name, int32_t value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  SetValue(name, REG_DWORD, std::string_view(bytes, sizeof bytes));
}

void TRegistry::WriteBool(std::string_view name, bool value) {
  WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteBinaryData(std::string_view name, const std::vector<uint8_t>& data) {
  SetValue(name, REG_BINARY,
           std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

}  // namespace platform
