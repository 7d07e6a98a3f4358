// TRegistry: the registry object the programs read and write the machine's registry
// through. It holds at most one open key at a time (the current key): a user sets
// the root key, opens the key it needs, reads or writes its values and closes it.
//
// Strings are Windows-1251. Key and value names are matched without regard to case
// (Windows-1251 case table) and keep the case they were created with. A key path
// is a list of names separated by "\"; a single trailing "\" is allowed.
//
// The object is created with an access mask, which every key it opens asks for.
// Our programs are 32-bit processes: on a 64-bit machine a path below
// HKEY_LOCAL_MACHINE\Software lands below HKEY_LOCAL_MACHINE\Software\WOW6432Node
// unless the mask holds KEY_WOW64_64KEY (the native view). A process that is not
// elevated cannot open HKEY_LOCAL_MACHINE keys (nor HKEY_USERS keys other than its
// own user's) with any right to change them, nor create them; such opens fail.
//
// Failures come in two kinds. Opening, creating, testing or deleting a key that
// cannot be reached (missing, refused) answers false, and LastError() says why. Reading
// a value that is missing or of another type, writing without an open key that
// allows it, and every failure of the registry store itself (a damaged or
// unreadable store file) raise ERegistryException; the store is never replaced.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/RegistryTypes.h"

namespace platform {

class TRegistryStore;

// The error TRegistry raises. Code() is a Windows error code: ERROR_FILE_NOT_FOUND
// for a missing value, kErrorInvalidData for a value of the wrong type,
// ERROR_ACCESS_DENIED for a write the current key does not allow,
// ERROR_REGISTRY_CORRUPT for a damaged store, ERROR_REGISTRY_IO_FAILED for a store
// that cannot be opened, read or written.
class ERegistryException : public EPlatformError {
 public:
  using EPlatformError::EPlatformError;
};

// The types of value data as TRegistry tells them apart. REG_MULTI_SZ and every
// other type read as rdUnknown.
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
 public:
  // A registry object with the given access mask (for example KEY_ALL_ACCESS or
  // KEY_ALL_ACCESS | KEY_WOW64_64KEY), root HKEY_CURRENT_USER, no key open and
  // LazyWrite on. Never fails: the store is first touched when a key is opened.
  explicit TRegistry(uint32_t access = KEY_ALL_ACCESS);
  // Closes the current key.
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // The root key: HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or HKEY_USERS. Setting a
  // different root closes the current key.
  [[nodiscard]] HKEY RootKey() const { return rootKey_; }
  void SetRootKey(HKEY root);

  // The access mask the next opens ask for. OpenKeyReadOnly changes it to the
  // mask that succeeded.
  [[nodiscard]] uint32_t Access() const { return access_; }
  void SetAccess(uint32_t access) { access_ = access; }

  // When false, CloseKey makes sure the store's changes are on disk before it
  // returns. Every write is committed at once either way.
  [[nodiscard]] bool LazyWrite() const { return lazyWrite_; }
  void SetLazyWrite(bool lazy) { lazyWrite_ = lazy; }

  // The open key's handle (for the RegXxx routines of RegistryApi.h), or nullptr.
  [[nodiscard]] HKEY CurrentKey() const { return currentKey_; }
  // The path of the current key below the root, without a leading "\"; "" when
  // no key is open.
  [[nodiscard]] const std::string& CurrentPath() const { return currentPath_; }
  // The error code of the last open, test or delete of a key that answered false
  // (ERROR_SUCCESS after one that succeeded).
  [[nodiscard]] int32_t LastError() const { return lastError_; }

  // Makes `path` the current key, closing the key that was open. A path with a
  // leading "\" starts at the root; any other is relative to the current key, or
  // to the root when no key is open. With canCreate, missing keys on the way are
  // created. False when the key is missing (and not to be created) or the access
  // is refused; the key that was open then stays open.
  [[nodiscard]] bool OpenKey(std::string_view path, bool canCreate);
  // Opens an existing key for reading only: asks for KEY_READ, then for
  // KEY_QUERY_VALUE alone, each with the view bits of Access(), and keeps the mask
  // that succeeded as Access(). False as OpenKey.
  [[nodiscard]] bool OpenKeyReadOnly(std::string_view path);
  // Closes the current key, if any (see LazyWrite).
  void CloseKey();

  // Whether the key exists (path as in OpenKey). Needs no write access, so it
  // answers for HKEY_LOCAL_MACHINE keys in any process.
  [[nodiscard]] bool KeyExists(std::string_view path);
  // Deletes the key with all its subkeys and values (path as in OpenKey). False when
  // it does not exist or cannot be deleted; nothing is then deleted.
  bool DeleteKey(std::string_view path);
  // The names of the current key's subkeys, in no particular order; empty when no
  // key is open.
  [[nodiscard]] std::vector<std::string> GetKeyNames();
  // Whether the current key has subkeys.
  [[nodiscard]] bool HasSubKeys();

  // Whether the current key has the value ("" is the key's default value).
  [[nodiscard]] bool ValueExists(std::string_view name);
  // The type of the value; rdUnknown when it is missing.
  [[nodiscard]] TRegDataType GetDataType(std::string_view name);
  // The size of the value's data in bytes (strings with their terminating zero);
  // -1 when it is missing.
  [[nodiscard]] int GetDataSize(std::string_view name);
  // The names of the current key's values, in no particular order; empty when no
  // key is open.
  [[nodiscard]] std::vector<std::string> GetValueNames();
  // Deletes the value; false when it is missing or may not be deleted.
  bool DeleteValue(std::string_view name);

  // A REG_SZ or REG_EXPAND_SZ value (an expandable one as stored, unexpanded).
  // A missing value, or one without data, reads as "". Raises for any other type.
  [[nodiscard]] std::string ReadString(std::string_view name);
  // A REG_DWORD value. Raises when it is missing or of another type.
  [[nodiscard]] int32_t ReadInteger(std::string_view name);
  // ReadInteger(name) != 0.
  [[nodiscard]] bool ReadBool(std::string_view name);
  // The data of a REG_BINARY value, or of a value of a type TRegistry does not
  // know; empty when it is missing. Raises for strings and integers.
  [[nodiscard]] std::vector<uint8_t> ReadBinaryData(std::string_view name);

  // Writes the value into the current key (creating or replacing it, whatever
  // type it had). Raises when no key is open, the key was opened without
  // KEY_SET_VALUE, or the store fails.
  void WriteString(std::string_view name, std::string_view value);        // REG_SZ
  void WriteExpandString(std::string_view name, std::string_view value);  // REG_EXPAND_SZ
  void WriteInteger(std::string_view name, int32_t value);                // REG_DWORD
  void WriteBool(std::string_view name, bool value);                      // REG_DWORD 0 or 1
  void WriteBinaryData(std::string_view name, const std::vector<uint8_t>& data);  // REG_BINARY

 private:
  // The machine's store, opened on first use.
  const std::shared_ptr<TRegistryStore>& Store();
  // The base handle and the path below it for `path` as OpenKey takes it.
  HKEY BaseFor(std::string_view path, std::string_view* rest) const;
  // Reads a value of the current key; the error code when that fails.
  int32_t QueryValue(std::string_view name, uint32_t* type, std::string* data);
  void SetValue(std::string_view name, uint32_t type, std::string_view data);

  std::shared_ptr<TRegistryStore> store_;
  uint32_t access_;
  HKEY rootKey_;
  HKEY currentKey_ = nullptr;
  std::string currentPath_;
  bool lazyWrite_ = true;
  int32_t lastError_ = ERROR_SUCCESS;
};

}  // namespace platform
