// TRegistryStore: the machine's registry as one SQLite database file, a tree of
// keys with typed values. This is the storage only; paths, views and rights are the
// business of RegistryKey.h.
//
// Key and value names are Windows-1251; they are found by their upper-case form
// (Windows-1251 case table) and keep the case they were created with. Each write is
// one transaction, and several processes may use one file at once (WAL journal,
// writers wait for each other): committed changes survive a process killed at any
// moment. A file that is not a registry store, or is damaged, raises
// ERegistryStoreError and is left as it is.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/PlatformError.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// A failure of the store itself. Code() is ERROR_REGISTRY_CORRUPT (1015) for a
// damaged file or one that is not a registry store, ERROR_REGISTRY_IO_FAILED (1016)
// when the file cannot be opened, read or written (or stays locked by others).
class ERegistryStoreError : public EPlatformError {
 public:
  using EPlatformError::EPlatformError;
};

class TRegistryStore {
 public:
  using TKeyId = int64_t;

  // The two hives every store has, the top keys of its tree.
  static constexpr TKeyId kMachineHive = 1;  // HKEY_LOCAL_MACHINE
  static constexpr TKeyId kUsersHive = 2;    // HKEY_USERS

  struct TValue {
    uint32_t type = 0;
    std::string data;  // the bytes, exactly as written
  };

  // Opens the store file, creating it (and an empty tree with the two hives) when it
  // is missing or empty. Throws ERegistryStoreError.
  static std::shared_ptr<TRegistryStore> Open(const std::filesystem::path& file);
  ~TRegistryStore();
  TRegistryStore(const TRegistryStore&) = delete;
  TRegistryStore& operator=(const TRegistryStore&) = delete;

  [[nodiscard]] const std::filesystem::path& File() const { return file_; }

  // Runs `body` as one write transaction: all of its changes are committed together
  // or, when it throws, none. Waits for other writers. Nested calls join the
  // outer transaction.
  void Write(const std::function<void()>& body);
  // Runs `body` as one read transaction: it sees one consistent state.
  void Read(const std::function<void()>& body);

  // The subkey of `parent` with this name, if it exists.
  [[nodiscard]] std::optional<TKeyId> FindSubkey(TKeyId parent, std::string_view name);
  // Whether the key still exists.
  [[nodiscard]] bool KeyExists(TKeyId key);
  // The subkey of `parent` with this name, created when missing (inside Write).
  // `created` tells which.
  TKeyId CreateSubkey(TKeyId parent, std::string_view name, bool* created = nullptr);
  // Deletes the key with everything below it (inside Write). A hive cannot be
  // deleted.
  void DeleteTree(TKeyId key);
  // Names of the subkeys and of the values of a key, in upper-case order.
  [[nodiscard]] std::vector<std::string> SubkeyNames(TKeyId key);
  [[nodiscard]] std::vector<std::string> ValueNames(TKeyId key);
  [[nodiscard]] bool HasSubkeys(TKeyId key);

  [[nodiscard]] std::optional<TValue> GetValue(TKeyId key, std::string_view name);
  // Creates or replaces the value (inside Write); a replaced value keeps the case of
  // its name.
  void SetValue(TKeyId key, std::string_view name, uint32_t type, std::string_view data);
  // Deletes the value (inside Write); false when there was none.
  bool DeleteValue(TKeyId key, std::string_view name);

  // A setting of the store itself (not a registry value), "" when unset.
  [[nodiscard]] std::string GetMeta(std::string_view name);
  void SetMeta(std::string_view name, std::string_view value);  // inside Write

  // Moves everything committed so far into the main file and syncs it.
  void Flush();

 private:
  // Runs body in a transaction opened with begin, committed when body returns and
  // rolled back when it throws.
  void InTransaction(const char* begin, const std::function<void()>& body);
  // The names a query over one key's children gives, in its order.
  std::vector<std::string> Names(const char* sql, TKeyId key);
  explicit TRegistryStore(std::filesystem::path file);
  void Initialise();
  sqlite3_stmt* Prepare(const char* sql);
  void Exec(const char* sql);
  [[noreturn]] void Fail(int rc, const std::string& what);

  std::filesystem::path file_;
  sqlite3* db_ = nullptr;
  int depth_ = 0;                                              // transaction nesting
  std::unordered_map<const char*, sqlite3_stmt*> statements_;  // by SQL text
};

}  // namespace platform
