#include "platform/RegistryStore.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "platform/CodePage.h"
#include "platform/RegistryTypes.h"

namespace platform {
namespace {

// Marks a database as ours ("DReg"), and the layout of its tables.
constexpr int32_t kApplicationId = 0x44526567;
constexpr int kSchemaVersion = 1;
// How long a writer waits for the others before it gives up.
constexpr int kBusyTimeoutMs = 30000;

constexpr const char* kSchema = R"(
CREATE TABLE meta(name TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
  name BLOB NOT NULL,
  fold BLOB NOT NULL,
  UNIQUE(parent, fold));
CREATE TABLE vals(
  key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
  name BLOB NOT NULL,
  fold BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key, fold)) WITHOUT ROWID;
INSERT INTO keys(id, parent, name, fold) VALUES
  (1, NULL, CAST('HKEY_LOCAL_MACHINE' AS BLOB), CAST('HKEY_LOCAL_MACHINE' AS BLOB)),
  (2, NULL, CAST('HKEY_USERS' AS BLOB), CAST('HKEY_USERS' AS BLOB));
)";

bool IsDamage(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT;
}

// A prepared statement in use: reset when it goes, so it can be used again.
class TQuery {
 public:
  explicit TQuery(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~TQuery() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  TQuery(const TQuery&) = delete;
  TQuery& operator=(const TQuery&) = delete;

  TQuery& Bind(int i, int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  TQuery& Bind(int i, std::string_view blob) {
    // A zero-length blob must still be a blob, not NULL.
    sqlite3_bind_blob(stmt_, i, blob.empty() ? "" : blob.data(), static_cast<int>(blob.size()),
                      SQLITE_TRANSIENT);
    return *this;
  }
  // SQLITE_ROW or SQLITE_DONE, or the failure for the caller to report.
  int Step() { return sqlite3_step(stmt_); }
  int64_t Int(int col) { return sqlite3_column_int64(stmt_, col); }
  std::string Blob(int col) {
    const void* p = sqlite3_column_blob(stmt_, col);
    const int n = sqlite3_column_bytes(stmt_, col);
    return p ? std::string(static_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
  }

 private:
  sqlite3_stmt* stmt_;
};

std::string Fold(std::string_view name) {
  return AnsiUpperCase(name);
}

}  // namespace

TRegistryStore::TRegistryStore(std::filesystem::path file) : file_(std::move(file)) {}

TRegistryStore::~TRegistryStore() {
  for (auto& [sql, stmt] : statements_)
    sqlite3_finalize(stmt);
  if (db_) sqlite3_close_v2(db_);
}

std::shared_ptr<TRegistryStore> TRegistryStore::Open(const std::filesystem::path& file) {
  std::shared_ptr<TRegistryStore> store(new TRegistryStore(file));
  const int rc =
      sqlite3_open_v2(file.c_str(), &store->db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) store->Fail(rc, "cannot be opened");
  sqlite3_extended_result_codes(store->db_, 1);
  // Programs open the store briefly and often; moving the journal into the main file
  // each time the last of them closes it would cost a sync per program run. The
  // journal is moved over as it grows instead, and by Flush.
  sqlite3_db_config(store->db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  sqlite3_busy_timeout(store->db_, kBusyTimeoutMs);
  store->Initialise();
  return store;
}

void TRegistryStore::Fail(int rc, const std::string& what) {
  const std::string detail = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
  const std::string file = Utf8ToAnsi(file_.string());
  if (IsDamage(rc))
    throw ERegistryStoreError(ERROR_REGISTRY_CORRUPT,
                              "The registry store " + file + " is damaged (" + detail + ")");
  throw ERegistryStoreError(ERROR_REGISTRY_IO_FAILED,
                            "The registry store " + file + " " + what + " (" + detail + ")");
}

void TRegistryStore::Exec(const char* sql) {
  char* err = nullptr;
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
  sqlite3_free(err);
  if (rc != SQLITE_OK) Fail(rc, "cannot be used");
}

sqlite3_stmt* TRegistryStore::Prepare(const char* sql) {
  if (auto it = statements_.find(sql); it != statements_.end()) return it->second;
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
  if (rc != SQLITE_OK) Fail(rc, "cannot be read");
  statements_.emplace(sql, stmt);
  return stmt;
}

void TRegistryStore::Initialise() {
  // Reading the header and the schema is what finds a file that is not a database,
  // or one whose first pages are damaged.
  int64_t tables = 0;
  int64_t appId = 0;
  int64_t version = 0;
  {
    TQuery q(Prepare("SELECT count(*) FROM sqlite_schema"));
    const int rc = q.Step();
    if (rc != SQLITE_ROW) Fail(rc, "cannot be read");
    tables = q.Int(0);
  }
  if (tables == 0) {
    // A new (or empty) file: lay out the tables. Two processes may get here at once;
    // the second finds the work done once it holds the write lock.
    Write([&] {
      TQuery q(Prepare("SELECT count(*) FROM sqlite_schema"));
      if (const int rc = q.Step(); rc != SQLITE_ROW) Fail(rc, "cannot be read");
      if (q.Int(0) != 0) return;
      Exec(kSchema);
      Exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
      Exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    });
  }
  {
    TQuery q(Prepare("PRAGMA application_id"));
    if (const int rc = q.Step(); rc != SQLITE_ROW) Fail(rc, "cannot be read");
    appId = q.Int(0);
  }
  {
    TQuery q(Prepare("PRAGMA user_version"));
    if (const int rc = q.Step(); rc != SQLITE_ROW) Fail(rc, "cannot be read");
    version = q.Int(0);
  }
  if (appId != kApplicationId)
    throw ERegistryStoreError(ERROR_REGISTRY_CORRUPT, "The file " + Utf8ToAnsi(file_.string()) +
                                                          " is not a registry store");
  if (version != kSchemaVersion)
    throw ERegistryStoreError(ERROR_REGISTRY_CORRUPT, "The registry store " +
                                                          Utf8ToAnsi(file_.string()) +
                                                          " has an unknown layout (version " +
                                                          std::to_string(version) + ")");
  // WAL lets readers go on while one process writes; switching needs a moment
  // alone with the file, so a busy answer is tried again.
  for (int attempt = 0;; ++attempt) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, "PRAGMA journal_mode = WAL", nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc == SQLITE_OK) break;
    if ((rc & 0xFF) != SQLITE_BUSY || attempt >= 100) Fail(rc, "cannot be used");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // In WAL mode NORMAL loses nothing committed when a process dies; Flush syncs
  // for a power loss.
  Exec("PRAGMA synchronous = NORMAL");
  Exec("PRAGMA foreign_keys = ON");
}

void TRegistryStore::Write(const std::function<void()>& body) {
  InTransaction("BEGIN IMMEDIATE", body);
}

void TRegistryStore::Read(const std::function<void()>& body) {
  InTransaction("BEGIN", body);
}

void TRegistryStore::InTransaction(const char* begin, const std::function<void()>& body) {
  // A nested call runs inside the transaction already open.
  if (depth_ > 0) {
    body();
    return;
  }
  Exec(begin);
  depth_ = 1;
  try {
    body();
    depth_ = 0;
    Exec("COMMIT");
  } catch (...) {
    depth_ = 0;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::optional<TRegistryStore::TKeyId> TRegistryStore::FindSubkey(TKeyId parent,
                                                                 std::string_view name) {
  TQuery q(Prepare("SELECT id FROM keys WHERE parent = ?1 AND fold = ?2"));
  q.Bind(1, parent).Bind(2, Fold(name));
  const int rc = q.Step();
  if (rc == SQLITE_ROW) return q.Int(0);
  if (rc != SQLITE_DONE) Fail(rc, "cannot be read");
  return std::nullopt;
}

bool TRegistryStore::KeyExists(TKeyId key) {
  TQuery q(Prepare("SELECT 1 FROM keys WHERE id = ?1"));
  q.Bind(1, key);
  const int rc = q.Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(rc, "cannot be read");
  return rc == SQLITE_ROW;
}

TRegistryStore::TKeyId TRegistryStore::CreateSubkey(TKeyId parent, std::string_view name,
                                                    bool* created) {
  if (auto existing = FindSubkey(parent, name)) {
    if (created) *created = false;
    return *existing;
  }
  TQuery q(Prepare("INSERT INTO keys(parent, name, fold) VALUES (?1, ?2, ?3)"));
  q.Bind(1, parent).Bind(2, name).Bind(3, Fold(name));
  if (const int rc = q.Step(); rc != SQLITE_DONE) Fail(rc, "cannot be written");
  if (created) *created = true;
  return sqlite3_last_insert_rowid(db_);
}

void TRegistryStore::DeleteTree(TKeyId key) {
  if (key == kMachineHive || key == kUsersHive) return;
  // The keys below go with it (and the values with their keys) by the tables'
  // cascading references.
  TQuery q(Prepare("DELETE FROM keys WHERE id = ?1"));
  q.Bind(1, key);
  if (const int rc = q.Step(); rc != SQLITE_DONE) Fail(rc, "cannot be written");
}

std::vector<std::string> TRegistryStore::SubkeyNames(TKeyId key) {
  return Names("SELECT name FROM keys WHERE parent = ?1 ORDER BY fold", key);
}

std::vector<std::string> TRegistryStore::ValueNames(TKeyId key) {
  return Names("SELECT name FROM vals WHERE key = ?1 ORDER BY fold", key);
}

std::vector<std::string> TRegistryStore::Names(const char* sql, TKeyId key) {
  std::vector<std::string> names;
  TQuery q(Prepare(sql));
  q.Bind(1, key);
  int rc;
  while ((rc = q.Step()) == SQLITE_ROW)
    names.push_back(q.Blob(0));
  if (rc != SQLITE_DONE) Fail(rc, "cannot be read");
  return names;
}

bool TRegistryStore::HasSubkeys(TKeyId key) {
  TQuery q(Prepare("SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1"));
  q.Bind(1, key);
  const int rc = q.Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(rc, "cannot be read");
  return rc == SQLITE_ROW;
}

std::optional<TRegistryStore::TValue> TRegistryStore::GetValue(TKeyId key, std::string_view name) {
  TQuery q(Prepare("SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2"));
  q.Bind(1, key).Bind(2, Fold(name));
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return std::nullopt;
  if (rc != SQLITE_ROW) Fail(rc, "cannot be read");
  return TValue{static_cast<uint32_t>(q.Int(0)), q.Blob(1)};
}

void TRegistryStore::SetValue(TKeyId key, std::string_view name, uint32_t type,
                              std::string_view data) {
  TQuery q(
      Prepare("INSERT INTO vals(key, name, fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
              "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data"));
  q.Bind(1, key).Bind(2, name).Bind(3, Fold(name)).Bind(4, int64_t{type}).Bind(5, data);
  if (const int rc = q.Step(); rc != SQLITE_DONE) Fail(rc, "cannot be written");
}

bool TRegistryStore::DeleteValue(TKeyId key, std::string_view name) {
  TQuery q(Prepare("DELETE FROM vals WHERE key = ?1 AND fold = ?2"));
  q.Bind(1, key).Bind(2, Fold(name));
  if (const int rc = q.Step(); rc != SQLITE_DONE) Fail(rc, "cannot be written");
  return sqlite3_changes(db_) > 0;
}

std::string TRegistryStore::GetMeta(std::string_view name) {
  sqlite3_stmt* stmt = Prepare("SELECT value FROM meta WHERE name = ?1");
  TQuery q(stmt);
  sqlite3_bind_text(stmt, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  const int rc = q.Step();
  if (rc == SQLITE_DONE) return {};
  if (rc != SQLITE_ROW) Fail(rc, "cannot be read");
  return q.Blob(0);
}

void TRegistryStore::SetMeta(std::string_view name, std::string_view value) {
  sqlite3_stmt* stmt = Prepare("INSERT OR REPLACE INTO meta(name, value) VALUES (?1, ?2)");
  TQuery q(stmt);
  sqlite3_bind_text(stmt, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(stmt, 2, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  if (const int rc = q.Step(); rc != SQLITE_DONE) Fail(rc, "cannot be written");
}

void TRegistryStore::Flush() {
  int logFrames = 0;
  int done = 0;
  const int rc =
      sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, &logFrames, &done);
  if (rc != SQLITE_OK && (rc & 0xFF) != SQLITE_BUSY) Fail(rc, "cannot be written");
}

}  // namespace platform
