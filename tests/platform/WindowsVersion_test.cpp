// The machine's Windows version profile and the version queries that answer from it.
#include "platform/WindowsVersion.h"

#include <gtest/gtest.h>

#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/WindowsProfile.h"
#include "tests/support/TempMachine.h"

using namespace platform;

namespace {

// Writes one DWORD of the profile as `reg add` would, with administrator rights.
void SetProfileValue(const char* name, int32_t value) {
  SetProcessElevated(true);
  TRegistry reg(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kWindowsProfileKey, true));
  reg.WriteInteger(name, value);
  reg.CloseKey();
  SetProcessElevated(false);
}

TEST(WindowsProfile, FreshMachineIsSixtyFourBitWindows10ProAsOldProgramsSeeIt) {
  darvena::test::TTempMachine machine;
  TOSVersionInfoExA ex{};
  ex.OSVersionInfoSize = sizeof ex;
  ASSERT_TRUE(GetVersionExA(&ex));
  EXPECT_EQ(ex.MajorVersion, 6u);
  EXPECT_EQ(ex.MinorVersion, 2u);
  EXPECT_EQ(ex.BuildNumber, 9200u);
  EXPECT_EQ(ex.PlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_STREQ(ex.CSDVersion, "");
  EXPECT_EQ(ex.ProductType, VER_NT_WORKSTATION);

  TSystemInfo native, emulated;
  GetNativeSystemInfo(&native);
  GetSystemInfo(&emulated);
  EXPECT_EQ(native.ProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
  EXPECT_EQ(emulated.ProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);

  uint32_t code = 0;
  EXPECT_TRUE(GetProductInfo(6, 0, 0, 0, &code));
  EXPECT_EQ(code, 0x30u);
  EXPECT_EQ(ReadWindowsProfile().VerLine, "Microsoft Windows [Version 10.0.19045.3693]");

  // The machine's registry holds what Windows itself keeps there, readable by anyone.
  TRegistry reg(KEY_READ | KEY_WOW64_64KEY);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKeyReadOnly(kCurrentVersionNtKey));
  EXPECT_EQ(reg.ReadString("ProductName"), "Windows 10 Pro");
  ASSERT_TRUE(reg.OpenKeyReadOnly(std::string("\\") + kProductOptionsKey));
  EXPECT_EQ(reg.ReadString("ProductType"), "WinNT");
  ASSERT_TRUE(reg.OpenKeyReadOnly(std::string("\\") + kWindowsProfileKey));
  EXPECT_EQ(reg.ReadInteger("MajorVersion"), 6);
}

TEST(WindowsProfile, WrittenProfileAnswersEveryQuery) {
  darvena::test::TTempMachine machine;
  TWindowsProfile xp;
  xp.MajorVersion = 5;
  xp.MinorVersion = 1;
  xp.BuildNumber = 2600;
  xp.ServicePack = "Service Pack 3";
  xp.SuiteMask = 0x0200;
  xp.ProcessorArchitecture = 0;
  xp.ProductInfoExists = false;
  xp.NativeSystemInfo = false;
  xp.MediaCenter = 1;
  xp.VerLine = "Microsoft Windows XP [Version 5.1.2600]";
  // Only an elevated process may change the machine's Windows.
  EXPECT_FALSE(WriteWindowsProfile(xp));
  SetProcessElevated(true);
  ASSERT_TRUE(WriteWindowsProfile(xp));
  SetProcessElevated(false);

  TOSVersionInfoExA ex{};
  ex.OSVersionInfoSize = sizeof ex;
  ASSERT_TRUE(GetVersionExA(&ex));
  EXPECT_EQ(ex.MajorVersion, 5u);
  EXPECT_STREQ(ex.CSDVersion, "Service Pack 3");
  EXPECT_EQ(ex.ServicePackMajor, 3);
  EXPECT_EQ(ex.SuiteMask, 0x0200);
  EXPECT_EQ(GetKernel32ProcAddress("GetProductInfo"), nullptr);
  EXPECT_EQ(GetKernel32ProcAddress("GetNativeSystemInfo"), nullptr);
  EXPECT_EQ(GetSystemMetrics(SM_MEDIACENTER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_TABLETPC), 0);
  EXPECT_EQ(ReadWindowsProfile().VerLine, "Microsoft Windows XP [Version 5.1.2600]");

  // A 32-bit machine has no 32-bit view of its own: the registry sees it too.
  TRegistry reg(KEY_READ);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(
      reg.OpenKeyReadOnly("SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"));
  EXPECT_EQ(reg.ReadString("PROCESSOR_ARCHITECTURE"), "x86");
}

TEST(WindowsProfile, SingleValuesChangeWhatTheQueriesAnswer) {
  darvena::test::TTempMachine machine;
  TOSVersionInfoA plain{};
  plain.OSVersionInfoSize = sizeof plain;
  TOSVersionInfoExA ex{};
  ex.OSVersionInfoSize = sizeof ex;

  // Windows NT 4.0 before its sixth service pack knows only the plain record.
  SetProfileValue("ExtendedQuery", 0);
  EXPECT_FALSE(GetVersionExA(&ex));
  EXPECT_TRUE(GetVersionExA(&plain));
  ex.OSVersionInfoSize = sizeof plain;  // the plain size in an extended record
  EXPECT_TRUE(GetVersionExA(&ex));

  SetProfileValue("VersionQuery", 0);
  EXPECT_FALSE(GetVersionExA(&plain));

  SetProfileValue("ProductInfoSucceeds", 0);
  uint32_t code = 7;
  EXPECT_FALSE(GetProductInfo(6, 0, 0, 0, &code));
  EXPECT_NE(GetKernel32ProcAddress("GetProductInfo"), nullptr);

  SetProfileValue("ServerR2", 1);
  EXPECT_EQ(GetSystemMetrics(SM_SERVERR2), 1);
}

TEST(WindowsVersion, RecordsOfOtherSizesAreRefused) {
  darvena::test::TTempMachine machine;
  TOSVersionInfoExA ex{};
  for (uint32_t size : {0u, 147u, 152u, 157u}) {
    ex.OSVersionInfoSize = size;
    EXPECT_FALSE(GetVersionExA(&ex)) << size;
  }
}

TEST(WindowsVersion, LongServicePackTextIsCutToTheRecord) {
  darvena::test::TTempMachine machine;
  TWindowsProfile p;
  p.ServicePack = std::string(200, 'x');
  SetProcessElevated(true);
  ASSERT_TRUE(WriteWindowsProfile(p));
  SetProcessElevated(false);
  TOSVersionInfoA plain{};
  plain.OSVersionInfoSize = sizeof plain;
  ASSERT_TRUE(GetVersionExA(&plain));
  EXPECT_EQ(std::string(plain.CSDVersion), std::string(127, 'x'));
}

}  // namespace
