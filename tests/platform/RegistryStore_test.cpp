#include "platform/RegistryStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "platform/Registry.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryProvision.h"
#include "tests/support/TempMachine.h"

using namespace platform;

namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  darvena::test::TTempMachine machine;
};

// Runs `body` in a child process; the child's exit code is 0 when it returned
// normally, 1 when it raised.
pid_t Spawn(const std::function<void()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    int code = 0;
    try {
      body();
    } catch (...) {
      code = 1;
    }
    _exit(code);
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string IntegrityCheck(const std::filesystem::path& file) {
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return result;
}

}  // namespace

TEST_F(RegistryStoreTest, TwoProcessesWritingOneKeyLoseNothing) {
  std::vector<pid_t> writers;
  for (int p = 0; p < 2; ++p) {
    writers.push_back(Spawn([p] {
      TRegistry reg;
      if (!reg.OpenKey("Software\\Vel\\Load", true)) throw std::runtime_error("open");
      for (int i = 0; i < 500; ++i)
        reg.WriteInteger("p" + std::to_string(p) + "-" + std::to_string(i), p * 1000 + i);
    }));
  }
  for (pid_t pid : writers)
    EXPECT_EQ(Wait(pid), 0);

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Load", false));
  const auto names = reg.GetValueNames();
  EXPECT_EQ(names.size(), 1000u);
  for (int p = 0; p < 2; ++p)
    for (int i = 0; i < 500; ++i)
      ASSERT_EQ(reg.ReadInteger("p" + std::to_string(p) + "-" + std::to_string(i)), p * 1000 + i);
}

TEST_F(RegistryStoreTest, WriterKilledMidwayKeepsWhatItCommitted) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Crash", true));
  }
  const pid_t writer = Spawn([] {
    TRegistry reg;
    if (!reg.OpenKey("Software\\Vel\\Crash", false)) throw std::runtime_error("open");
    for (int i = 0;; ++i) {
      reg.WriteString("v" + std::to_string(i), std::string(200, 'x'));
      reg.WriteInteger("last", i);
    }
  });
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Crash", false));
  for (int tries = 0; tries < 500 && !reg.ValueExists("last"); ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(writer, SIGKILL);
  EXPECT_EQ(Wait(writer), -1);

  ASSERT_TRUE(reg.ValueExists("last"));
  const int last = reg.ReadInteger("last");
  EXPECT_GT(last, 0);
  for (int i = 0; i <= last; ++i)
    ASSERT_EQ(reg.ReadString("v" + std::to_string(i)), std::string(200, 'x')) << i;
  reg.CloseKey();
  EXPECT_EQ(IntegrityCheck(RegistryStoreFile()), "ok");
}

TEST_F(RegistryStoreTest, DamagedStoreIsReportedAndKept) {
  struct TCase {
    const char* what;
    std::function<std::string(const std::string&)> damage;  // good file -> bad file
  } cases[] = {
      {"not a database", [](const std::string&) { return std::string("REGEDIT4\r\n[HKEY]\r\n"); }},
      {"overwritten header",
       [](std::string bytes) {
         for (size_t i = 0; i < 100 && i < bytes.size(); ++i)
           bytes[i] = char(0x5A);
         return bytes;
       }},
      {"overwritten schema page",
       [](std::string bytes) {
         for (size_t i = 100; i < 4096 && i < bytes.size(); ++i)
           bytes[i] = char(0xFF);
         return bytes;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = RegistryStoreFile();
    std::filesystem::remove(file);
    std::filesystem::remove(file.string() + "-wal");
    std::filesystem::remove(file.string() + "-shm");
    {
      TRegistry reg;
      ASSERT_TRUE(reg.OpenKey("Software\\Vel", true));
      reg.WriteInteger("Kept", 1);
      reg.SetLazyWrite(false);  // closing moves everything into the main file
    }
    const std::string damaged = c.damage(darvena::test::ReadFileBytes(file));
    std::filesystem::remove(file.string() + "-wal");
    std::filesystem::remove(file.string() + "-shm");
    darvena::test::WriteFileBytes(file, damaged);

    TRegistry reg;
    try {
      (void)reg.OpenKey("Software\\Vel", false);
      ADD_FAILURE() << "a damaged store was opened";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Code(), static_cast<uint32_t>(ERROR_REGISTRY_CORRUPT));
      EXPECT_NE(std::string(e.what()).find("registry.db"), std::string::npos) << e.what();
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key),
              ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(darvena::test::ReadFileBytes(file), damaged);  // never replaced
  }
}

TEST_F(RegistryStoreTest, ForeignDatabaseIsNotTakenOver) {
  const auto file = RegistryStoreFile();
  std::filesystem::create_directories(file.parent_path());
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES('mine');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  EXPECT_THROW(ProvisionRegistry(), ERegistryStoreError);
  TRegistry reg;
  EXPECT_THROW((void)reg.KeyExists("Software"), ERegistryException);
  EXPECT_EQ(IntegrityCheck(file), "ok");
}

TEST_F(RegistryStoreTest, EmptyFileBecomesAStore) {
  darvena::test::WriteFileBytes(RegistryStoreFile(), "");
  TRegistry reg;
  EXPECT_TRUE(reg.OpenKey("Software\\Vel", true));
}

TEST_F(RegistryStoreTest, ConcurrentFirstUseProvisionsOnce) {
  std::vector<pid_t> children;
  for (int p = 0; p < 4; ++p)
    children.push_back(Spawn([] { ProvisionRegistry(); }));
  for (pid_t pid : children)
    EXPECT_EQ(Wait(pid), 0);
  TRegistry reg(KEY_READ | KEY_WOW64_64KEY);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false));
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "C:\\Program Files");
  ASSERT_TRUE(reg.OpenKey("\\Software", false));
  const auto names = reg.GetKeyNames();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
}
