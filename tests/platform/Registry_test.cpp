#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryProvision.h"
#include "tests/support/TempMachine.h"

using namespace platform;

namespace {

std::string A(const char* utf8) {
  return Utf8ToAnsi(utf8);
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

class RegistryTest : public ::testing::Test {
 protected:
  darvena::test::TTempMachine machine;
};

}  // namespace

TEST_F(RegistryTest, RelativeAndAbsoluteOpens) {
  TRegistry reg(KEY_ALL_ACCESS);
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.OpenKey("Software\\Vel\\Darvena", false));
  EXPECT_EQ(reg.LastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.CurrentKey(), nullptr);

  struct TStep {
    const char* path;
    bool create;
    bool opens;
    const char* currentPath;  // afterwards
  } steps[] = {
      {"Software\\Vel\\", true, true, "Software\\Vel"},     // trailing backslash allowed
      {"Darvena", true, true, "Software\\Vel\\Darvena"},    // relative to the open key
      {"Missing", false, false, "Software\\Vel\\Darvena"},  // failure keeps the key open
      {"\\Software\\Vel", false, true, "Software\\Vel"},    // leading backslash: from the root
      {"Darvena\\Sub", true, true, "Software\\Vel\\Darvena\\Sub"},
      {"\\Software", false, true, "Software"},
      {"Vel\\\\Darvena", false, false, "Software"},  // an empty name is no path
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.path);
    EXPECT_EQ(reg.OpenKey(s.path, s.create), s.opens);
    EXPECT_EQ(reg.CurrentPath(), s.currentPath);
  }
  // The relative and the absolute way reach the same key.
  ASSERT_TRUE(reg.OpenKey("Vel\\Darvena", false));
  reg.WriteString("Where", "relative");
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentPath(), "");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vel\\Darvena", false));
  EXPECT_EQ(reg.ReadString("Where"), "relative");
  EXPECT_TRUE(reg.KeyExists("Sub"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Vel"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Nothing"));
}

TEST_F(RegistryTest, NamesIgnoreCyrillicCaseAndKeepTheirOwn) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(A("Software\\Дарвена\\Ёлка"), true));
  reg.WriteString(A("Имя"), A("значение"));
  reg.WriteInteger("Count", 3);
  reg.CloseKey();

  ASSERT_TRUE(reg.OpenKey(A("SOFTWARE\\ДАРВЕНА\\ёЛКА"), false));
  EXPECT_EQ(reg.ReadString(A("ИМЯ")), A("значение"));
  EXPECT_EQ(reg.ReadInteger("count"), 3);
  reg.WriteString(A("иМЯ"), "replaced");  // replaces, keeps the first spelling
  EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"Count", A("Имя")}));
  EXPECT_EQ(reg.ReadString(A("Имя")), "replaced");
  // Creating with another case opens the same key.
  ASSERT_TRUE(reg.OpenKey(A("\\software\\дарвена"), true));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{A("Ёлка")});
  ASSERT_TRUE(reg.OpenKey("\\Software", false));
  EXPECT_TRUE(Contains(reg.GetKeyNames(), A("Дарвена")));
  EXPECT_FALSE(Contains(reg.GetKeyNames(), A("ДАРВЕНА")));
}

TEST_F(RegistryTest, ReadsOfMissingOrMistypedValues) {
  TRegistry reg;
  EXPECT_EQ(reg.ReadString("Anything"), "");  // no key open: nothing to find
  EXPECT_THROW((void)reg.ReadInteger("Anything"), ERegistryException);
  EXPECT_THROW(reg.WriteString("Anything", "x"), ERegistryException);

  ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Darvena", true));
  reg.WriteString("Text", "abc");
  reg.WriteString("Empty", "");
  reg.WriteExpandString("Expand", "%TEMP%\\x");
  reg.WriteInteger("Two", 2);
  reg.WriteBool("Off", false);
  reg.WriteBinaryData("Four", {1, 2, 3, 4});
  HKEY key = reg.CurrentKey();
  const char multi[] = "a\0b\0";
  ASSERT_EQ(RegSetValueExA(key, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const uint8_t*>(multi),
                           sizeof multi),
            ERROR_SUCCESS);

  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(reg.ReadString("Text"), "abc");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_EQ(reg.ReadString("Expand"), "%TEMP%\\x");
  EXPECT_EQ(reg.ReadInteger("Two"), 2);
  EXPECT_TRUE(reg.ReadBool("Two"));  // any non-zero integer is true
  EXPECT_FALSE(reg.ReadBool("Off"));
  EXPECT_EQ(reg.ReadBinaryData("Four"), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(reg.GetDataSize("Text"), 4);
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);

  struct TCase {
    const char* name;
    TRegDataType type;
    uint32_t integerError;  // of ReadInteger / ReadBool
    bool stringRaises;
  } cases[] = {
      {"Missing", TRegDataType::rdUnknown, kErrorFileNotFound, false},
      {"Text", TRegDataType::rdString, kErrorInvalidData, false},
      {"Expand", TRegDataType::rdExpandString, kErrorInvalidData, false},
      {"Two", TRegDataType::rdInteger, 0, true},
      {"Four", TRegDataType::rdBinary, kErrorInvalidData, true},
      {"Multi", TRegDataType::rdUnknown, kErrorInvalidData, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reg.GetDataType(c.name), c.type);
    EXPECT_EQ(reg.ValueExists(c.name), std::string(c.name) != "Missing");
    if (c.integerError) {
      try {
        (void)reg.ReadInteger(c.name);
        ADD_FAILURE() << "ReadInteger did not raise";
      } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Code(), c.integerError);
      }
      EXPECT_THROW((void)reg.ReadBool(c.name), ERegistryException);
    }
    if (c.stringRaises) {
      EXPECT_THROW((void)reg.ReadString(c.name), ERegistryException);
    }
  }
  EXPECT_THROW((void)reg.ReadBinaryData("Text"), ERegistryException);

  EXPECT_TRUE(reg.DeleteValue("Text"));
  EXPECT_FALSE(reg.DeleteValue("Text"));
  EXPECT_FALSE(reg.ValueExists("Text"));
  // A value written with another type replaces the old one.
  reg.WriteString("Two", "now text");
  EXPECT_EQ(reg.GetDataType("Two"), TRegDataType::rdString);
}

TEST_F(RegistryTest, DeleteKeyTakesEverythingBelow) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Darvena\\Deep\\Deeper", true));
  reg.WriteString("v", "1");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vel\\Darvena", false));
  reg.WriteInteger("OpenFileNumber", 1);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vel\\Other", true));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vel", false));
  EXPECT_TRUE(reg.HasSubKeys());

  EXPECT_TRUE(reg.DeleteKey("Darvena"));  // relative to the open key
  EXPECT_FALSE(reg.KeyExists("Darvena"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Vel\\Darvena\\Deep\\Deeper"));
  EXPECT_TRUE(reg.KeyExists("Other"));
  EXPECT_FALSE(reg.DeleteKey("Darvena"));
  EXPECT_EQ(reg.LastError(), ERROR_FILE_NOT_FOUND);
  // Created again, the key holds nothing of the deleted one.
  ASSERT_TRUE(reg.OpenKey("Darvena", true));
  EXPECT_TRUE(reg.GetValueNames().empty());
  EXPECT_FALSE(reg.HasSubKeys());
  EXPECT_TRUE(reg.DeleteKey("\\Software\\Vel\\Other"));  // absolute
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vel", false));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"Darvena"});
}

TEST_F(RegistryTest, KeyDeletedUnderAnOpenHandle) {
  TRegistry writer;
  ASSERT_TRUE(writer.OpenKey("Software\\Vel\\Darvena", true));
  TRegistry other;
  ASSERT_TRUE(other.DeleteKey("Software\\Vel\\Darvena"));
  try {
    writer.WriteInteger("X", 1);
    ADD_FAILURE() << "a write into a deleted key succeeded";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Code(), static_cast<uint32_t>(ERROR_KEY_DELETED));
  }
  EXPECT_FALSE(other.KeyExists("Software\\Vel\\Darvena"));
  EXPECT_FALSE(writer.ValueExists("X"));
}

TEST_F(RegistryTest, CurrentUserIsItsKeyUnderUsers) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Vel\\Darvena", true));
  reg.WriteInteger("ShowToolBar", 1);
  reg.SetRootKey(HKEY_USERS);
  EXPECT_EQ(reg.CurrentKey(), nullptr);  // a different root closes the key
  ASSERT_TRUE(reg.OpenKey(CurrentUserKeyName() + "\\software\\vel\\darvena", false));
  EXPECT_EQ(reg.ReadInteger("ShowToolBar"), 1);
  EXPECT_TRUE(reg.KeyExists("\\.DEFAULT\\Software"));
}

TEST_F(RegistryTest, ThirtyTwoAndSixtyFourBitViews) {
  SetProcessElevated(true);
  TRegistry wow(KEY_ALL_ACCESS);
  wow.SetRootKey(HKEY_LOCAL_MACHINE);
  TRegistry native(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
  native.SetRootKey(HKEY_LOCAL_MACHINE);

  // Provisioned: each view has its own Program Files folder.
  ASSERT_TRUE(wow.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\", false));
  EXPECT_EQ(wow.ReadString("ProgramFilesDir"), "C:\\Program Files (x86)");
  ASSERT_TRUE(native.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\", false));
  EXPECT_EQ(native.ReadString("ProgramFilesDir"), "C:\\Program Files");

  ASSERT_TRUE(
      wow.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Darvena", true));
  wow.WriteString("UninstallString", "C:\\Old\\Uninstall.exe");
  EXPECT_FALSE(
      native.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Darvena", false));
  ASSERT_TRUE(native.OpenKey(
      "\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Darvena", false));
  EXPECT_EQ(native.ReadString("UninstallString"), "C:\\Old\\Uninstall.exe");
  // Naming WOW6432Node in the 32-bit view does not redirect twice.
  ASSERT_TRUE(wow.OpenKey(
      "\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Darvena", false));
  // Listing Software in the 32-bit view lists what WOW6432Node holds.
  ASSERT_TRUE(wow.OpenKey("\\Software", false));
  EXPECT_FALSE(Contains(wow.GetKeyNames(), "WOW6432Node"));
  ASSERT_TRUE(native.OpenKey("\\SOFTWARE", false));
  EXPECT_TRUE(Contains(native.GetKeyNames(), "WOW6432Node"));
  // A relative open below an open Software key is redirected as well.
  ASSERT_TRUE(wow.OpenKey("Vel", true));
  EXPECT_EQ(wow.CurrentPath(), "Software\\Vel");
  EXPECT_TRUE(native.KeyExists("\\Software\\WOW6432Node\\Vel"));
  EXPECT_FALSE(native.KeyExists("\\Software\\Vel"));
  // Keys outside HKLM\Software and HKCU are the same in both views.
  ASSERT_TRUE(wow.OpenKey("\\SYSTEM\\Probe", true));
  EXPECT_TRUE(native.KeyExists("\\SYSTEM\\Probe"));
  wow.SetRootKey(HKEY_CURRENT_USER);
  native.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(wow.OpenKey("Software\\Vel\\Darvena", true));
  EXPECT_TRUE(native.KeyExists("Software\\Vel\\Darvena"));
}

TEST_F(RegistryTest, ThirtyTwoBitMachineHasOneView) {
  SetProcessElevated(true);
  TRegistry reg(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(
      reg.OpenKey("SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", false));
  reg.WriteString("PROCESSOR_ARCHITECTURE", "x86");
  TRegistry wow(KEY_ALL_ACCESS);
  wow.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(wow.OpenKey("Software\\Vel", true));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Vel"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\WOW6432Node\\Vel"));
}

TEST_F(RegistryTest, ProcessThatIsNotElevated) {
  ASSERT_FALSE(ProcessElevated());
  const std::string currentVersion = "Software\\Microsoft\\Windows\\CurrentVersion\\";
  struct TCase {
    HKEY root;
    uint32_t access;
    const char* path;
    bool create;
    bool opens;
  } cases[] = {
      {HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS | KEY_WOW64_64KEY, "Software\\Microsoft", false, false},
      {HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS, "Software\\Microsoft", false, false},
      {HKEY_LOCAL_MACHINE, KEY_SET_VALUE, "Software\\Microsoft", false, false},
      {HKEY_LOCAL_MACHINE, KEY_WRITE, "SYSTEM", false, false},
      {HKEY_LOCAL_MACHINE, KEY_READ, "Software\\Vel", true, false},  // no creating either
      {HKEY_LOCAL_MACHINE, KEY_READ | KEY_WOW64_64KEY, "Software\\Microsoft", false, true},
      {HKEY_LOCAL_MACHINE, KEY_QUERY_VALUE, "Software\\Microsoft", false, true},
      {HKEY_USERS, KEY_ALL_ACCESS, ".DEFAULT\\Software", false, false},
      {HKEY_USERS, KEY_READ, ".DEFAULT\\Software", false, true},
      {HKEY_CURRENT_USER, KEY_ALL_ACCESS, "Software\\Vel\\Darvena", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(PredefinedKeyName(c.root)) + "\\" + c.path + " " +
                 std::to_string(c.access));
    TRegistry reg(c.access);
    reg.SetRootKey(c.root);
    EXPECT_EQ(reg.OpenKey(c.path, c.create), c.opens);
    if (!c.opens) {
      EXPECT_EQ(reg.LastError(), ERROR_ACCESS_DENIED);
    }
  }

  TRegistry reg(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(reg.KeyExists(currentVersion));  // testing needs no write access
  EXPECT_FALSE(reg.DeleteKey(currentVersion + "Uninstall"));
  EXPECT_EQ(reg.LastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(reg.OpenKeyReadOnly(currentVersion));
  EXPECT_EQ(reg.Access(), KEY_READ | KEY_WOW64_64KEY);
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "C:\\Program Files");
  // The key was opened for reading: writes through it are refused.
  try {
    reg.WriteString("ProgramFilesDir", "D:\\");
    ADD_FAILURE() << "a write through a read-only key succeeded";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Code(), static_cast<uint32_t>(ERROR_ACCESS_DENIED));
  }
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "C:\\Program Files");

  SetProcessElevated(true);
  TRegistry admin(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
  admin.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(admin.OpenKey(currentVersion + "Uninstall\\Darvena", true));
  admin.WriteInteger("EstimatedSize", 100);
  EXPECT_TRUE(admin.DeleteKey("\\" + currentVersion + "Uninstall\\Darvena"));
}

TEST_F(RegistryTest, ProvisionedFoldersAndIdempotence) {
  ProvisionRegistry();
  const std::string profile = UserProfileFolder();
  TRegistry reg(KEY_READ | KEY_WOW64_64KEY);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(
      reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false));
  EXPECT_EQ(reg.ReadString("Common Desktop"), layout::kCommonDesktop);
  EXPECT_EQ(reg.ReadString("Common Programs"), layout::kCommonPrograms);
  EXPECT_EQ(reg.ReadString("Common Startup"), layout::kCommonStartup);
  EXPECT_EQ(reg.ReadString("Common AppData"), layout::kProgramData);
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(
      reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false));
  EXPECT_EQ(reg.ReadString("Desktop"), profile + "\\Desktop");
  EXPECT_EQ(reg.ReadString("Programs"), profile + "\\" + layout::kPrograms);
  EXPECT_EQ(reg.ReadString("Startup"), profile + "\\" + layout::kStartup);
  EXPECT_EQ(reg.ReadString("AppData"), profile + "\\" + layout::kAppData);
  EXPECT_EQ(reg.ReadString("Personal"), profile + "\\" + layout::kPersonal);

  // A changed value survives provisioning again.
  TRegistry user;
  ASSERT_TRUE(
      user.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false));
  user.WriteString("Desktop", "D:\\Desk");
  ProvisionRegistry();
  EXPECT_EQ(user.ReadString("Desktop"), "D:\\Desk");
}

TEST_F(RegistryTest, WinApiReadsIntoAFixedBuffer) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", 0,
                          KEY_QUERY_VALUE, &key),
            ERROR_SUCCESS);
  char buffer[256] = {};
  uint32_t size = sizeof buffer;
  uint32_t type = 0;
  ASSERT_EQ(RegQueryValueExA(key, "processor_architecture", nullptr, &type,
                             reinterpret_cast<uint8_t*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 6u);
  EXPECT_STREQ(buffer, "AMD64");
  size = 3;
  EXPECT_EQ(RegQueryValueExA(key, "PROCESSOR_ARCHITECTURE", nullptr, &type,
                             reinterpret_cast<uint8_t*>(buffer), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
  const uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(RegSetValueExA(key, "X", 0, REG_DWORD, one, 4), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);

  uint32_t disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vel\\Darvena\\Sub", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vel\\Darvena\\Sub", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(key);
  // Only RegDeleteTreeA deletes a key that has subkeys.
  EXPECT_EQ(RegDeleteKeyExA(HKEY_CURRENT_USER, "Software\\Vel\\Darvena", 0, 0),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyExA(HKEY_CURRENT_USER, "Software\\Vel\\Darvena\\Sub", 0, 0), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vel"), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vel", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
}
