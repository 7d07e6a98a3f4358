// The Windows description for machines that say they are one Windows or another.
// This file is built twice, once against each build of the description, and checks
// the column of the table that belongs to the build under test.
#include "common/OsDescriptionUnit.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/WindowsProfile.h"
#include "tests/support/TempMachine.h"

using namespace platform;
using darvena::DescribeWindows;
using darvena::Windows64;

namespace {

constexpr bool kUninstallerBuild = DARVENA_UNINSTALLER_BUILD;

void WriteString(const std::string& key, const char* name, const char* value) {
  TRegistry reg(KEY_ALL_ACCESS);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(key, true));
  if (name) reg.WriteString(name, value);
  reg.CloseKey();
}

TWindowsProfile Nt(uint32_t major, uint32_t minor, uint32_t type, uint32_t arch) {
  TWindowsProfile p;
  p.MajorVersion = major;
  p.MinorVersion = minor;
  p.ProductType = type;
  p.ProcessorArchitecture = arch;
  p.SuiteMask = 0;
  return p;
}

TWindowsProfile With(TWindowsProfile p, const std::function<void(TWindowsProfile&)>& change) {
  change(p);
  return p;
}

struct TCase {
  const char* What;
  TWindowsProfile Profile;
  const char* Uninstaller;
  const char* Viewer;  // run without administrator rights
  bool Is64;
  std::function<void()> Setup = {};
};

TEST(DescribeWindows, DescribesEachWindowsAsItsBuildNamesIt) {
  const TWindowsProfile win10 = TWindowsProfile{};
  const TCase cases[] = {
      {"64-bit Windows 10 Pro", win10, "Microsoft Windows 10 Professional 64-bit",
       "Microsoft Windows 10  64-bit", true},
      {"64-bit Windows 10 Home", With(win10, [](auto& p) { p.ProductCode = 0x65; }),
       "Microsoft Windows 10 Unknown 0x65 64-bit", "Microsoft Windows 10  64-bit", true},
      {"32-bit XP SP3", With(Nt(5, 1, 1, 0), [](auto& p) { p.ServicePack = "Service Pack 3"; }),
       "Microsoft Windows XP Professional Service Pack 3",
       "Microsoft Windows XP Professional Service Pack 3", false},
      {"XP x64", With(Nt(5, 2, 1, 9), [](auto& p) { p.ServicePack = "Service Pack 2"; }),
       "Microsoft Windows XP Professional x64 Service Pack 2",
       "Microsoft Windows XP Professional x64 Service Pack 2", false},
      {"Storage Server 2003", With(Nt(5, 2, 3, 0), [](auto& p) { p.SuiteMask = 0x2000; }),
       "Microsoft Windows Storage Server 2003 Standard",
       "Microsoft Windows Storage Server 2003 Standard", false},
      {"NT 4.0 SP6 with the hotfix",
       With(Nt(4, 0, 1, 0),
            [](auto& p) {
              p.ExtendedQuery = false;
              p.ServicePack = "Service Pack 6";
            }),
       "Microsoft Windows NT Workstation Service Pack 6a",
       "Microsoft Windows NT Workstation Service Pack 6a", false,
       [] {
         WriteString("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009", nullptr,
                     nullptr);
       }},
      {"NT 4.0 SP6 without the hotfix, a server",
       With(Nt(4, 0, 3, 0),
            [](auto& p) {
              p.ExtendedQuery = false;
              p.ServicePack = "Service Pack 6";
            }),
       "Microsoft Windows NT Server Service Pack 6", "Microsoft Windows NT Server Service Pack 6",
       false, [] { WriteString(kProductOptionsKey, "ProductType", "LanmanNt"); }},
      {"NT 4.0 with an unreadable product type",
       With(Nt(4, 0, 1, 0), [](auto& p) { p.ExtendedQuery = false; }), "Microsoft Windows NT ",
       "Microsoft Windows NT ", false,
       [] { WriteString(kProductOptionsKey, "ProductType", std::string(300, 'W').c_str()); }},
      {"7 Ultimate with a blank service pack",
       With(Nt(6, 1, 1, 9),
            [](auto& p) {
              p.ProductCode = 1;
              p.ServicePack = " \t ";
            }),
       "Microsoft Windows 7 Ultimate 64-bit", "Microsoft Windows 7  64-bit", true},
      {"8.1 behind 6.2, by the ver marker",
       With(win10, [](auto& p) { p.VerLine = "Microsoft Windows [Version 6.3.9600]"; }),
       "Microsoft Windows 8.1 Professional 64-bit", "Microsoft Windows 8.1  64-bit", true},
      {"Server 2012 R2 behind 6.2",
       With(win10,
            [](auto& p) {
              p.ProductType = 3;
              p.ProductCode = 7;
              p.VerLine = "Microsoft Windows [Version 6.3.9600]";
            }),
       "Microsoft Windows Server 2012 R2 Standard Server 64-bit",
       "Microsoft Windows Server 2012 R2  64-bit", true},
      {"Server 2016 behind 6.2, Vista product info failing",
       With(win10,
            [](auto& p) {
              p.ProductType = 3;
              p.ProductInfoSucceeds = false;
            }),
       "Microsoft Windows Server 10 Unknown 64-bit", "Microsoft Windows Server 2016  64-bit", true},
      {"a ver output without ion", With(win10, [](auto& p) { p.VerLine = "Windows 12.5"; }),
       "Microsoft Windows indows 12 Professional 64-bit", "Microsoft Windows indows 12  64-bit",
       true},
      {"a command interpreter that cannot be started", win10,
       "Microsoft Windows  Professional 64-bit", "Microsoft Windows   64-bit", true,
       [] { setenv("ComSpec", "C:\\Windows\\System32\\none.exe", 1); }},
      {"the generic ver word for a later major",
       With(Nt(11, 0, 1, 9), [](auto& p) { p.VerLine = "Microsoft Windows [Version 11.0.1]"; }),
       "Microsoft Windows 11 Unknown Workstation", "Microsoft Windows 11 Unknown Workstation",
       false},
      {"10.0 as a server sees it", Nt(10, 0, 3, 9), "Microsoft Windows Server 10 Unknown Server",
       "Microsoft Windows Server 2016 Unknown Server", false},
      {"Vista without GetProductInfo, 32-bit",
       With(Nt(6, 0, 1, 0), [](auto& p) { p.ProductInfoExists = false; }),
       "Microsoft Windows Vista Unknown 32-bit", "Microsoft Windows Vista  32-bit", false},
      {"Server 2008 on Itanium", With(Nt(6, 0, 3, 6), [](auto& p) { p.ProductCode = 0x0F; }),
       "Microsoft Windows Server 2008 Enterprise for Itanium-based Systems",
       "Microsoft Windows Server 2008 ", false},
      {"Server 2003 compute cluster", With(Nt(5, 2, 3, 0), [](auto& p) { p.SuiteMask = 0x4002; }),
       "Microsoft Windows Server 2003 Compute Cluster",
       "Microsoft Windows Server 2003 Computer Cluster", false},
      {"Server 2003 R2 Datacenter x64",
       With(Nt(5, 2, 3, 9),
            [](auto& p) {
              p.SuiteMask = 0x0082;
              p.ServerR2 = 1;
            }),
       "Microsoft Windows Server 2003 R2 Datacenter x64",
       "Microsoft Windows Server 2003 R2 Datacenter x64", false},
      {"Server 2003 Web", With(Nt(5, 2, 3, 0), [](auto& p) { p.SuiteMask = 0x0400; }),
       "Microsoft Windows Server 2003 Web", "Microsoft Windows Server 2003 Web", false},
      {"2000 Advanced Server domain controller",
       With(Nt(5, 0, 2, 0), [](auto& p) { p.SuiteMask = 0x0002; }),
       "Microsoft Windows 2000 Advanced Server", "Microsoft Windows 2000 Advanced Server", false},
      {"XP Media Center", With(Nt(5, 1, 1, 0), [](auto& p) { p.MediaCenter = 1; }),
       "Microsoft Windows XP Media Center", "Microsoft Windows XP Media Center", false},
      {"XP Home", With(Nt(5, 1, 1, 0), [](auto& p) { p.SuiteMask = 0x0300; }),
       "Microsoft Windows XP Home", "Microsoft Windows XP Home", false},
      {"5.1 domain controller", Nt(5, 1, 2, 0), "Microsoft Windows XP Unknown Domain controller",
       "Microsoft Windows XP Unknown Domain controller", false},
      {"an unknown product type", Nt(5, 1, 4, 0), "Microsoft Windows XP Unknown",
       "Microsoft Windows XP Unknown", false},
      {"Server 2003 on an unknown architecture", Nt(5, 2, 3, 12),
       "Microsoft Windows Server 2003 Unknown on Architecture 0xC",
       "Microsoft Windows Server 2003 Unknown on Architecture 0xC", false},
      {"98 SE",
       With(Nt(4, 10, 1, 0),
            [](auto& p) {
              p.PlatformId = 1;
              p.BuildNumber = 2222;
              p.ServicePack = " A ";
            }),
       "Microsoft Windows 98 SE  A ", "Microsoft Windows 98 SE  A ", false},
      {"95 OSR 2.5",
       With(Nt(4, 0, 1, 0),
            [](auto& p) {
              p.PlatformId = 1;
              p.BuildNumber = 0x04000000u + 1214;  // the build in the low 16 bits
              p.ServicePack = " C";
            }),
       "Microsoft Windows 95 OSR 2.5  C", "Microsoft Windows 95 OSR 2.5  C", false},
      {"95 OSR 1",
       With(Nt(4, 0, 1, 0),
            [](auto& p) {
              p.PlatformId = 1;
              p.BuildNumber = 950;
              p.ServicePack = " A";
            }),
       "Microsoft Windows 95 OSR 1  A", "Microsoft Windows 95 OSR 1  A", false},
      {"Millennium", With(Nt(4, 90, 1, 0), [](auto& p) { p.PlatformId = 1; }),
       "Microsoft Windows Millennium", "Microsoft Windows Millennium", false},
      {"a 9x of version 5", With(Nt(5, 0, 1, 0), [](auto& p) { p.PlatformId = 1; }),
       "Microsoft Windows Unknown 9x", "Microsoft Windows Unknown 9x", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    darvena::test::TTempMachine machine;
    const char* oldComSpec = getenv("ComSpec");
    unsetenv("ComSpec");
    SetProcessElevated(true);
    ASSERT_TRUE(WriteWindowsProfile(c.Profile));
    if (c.Setup) c.Setup();
    SetProcessElevated(false);
    Windows64 = !c.Is64;
    EXPECT_EQ(DescribeWindows(), kUninstallerBuild ? c.Uninstaller : c.Viewer);
    EXPECT_EQ(Windows64, c.Is64);
    if (oldComSpec) setenv("ComSpec", oldComSpec, 1);
  }
}

TEST(DescribeWindows, ViewerWithAdministratorRightsTakesTheRegistrysProductName) {
  darvena::test::TTempMachine machine;
  SetProcessElevated(true);
  TWindowsProfile p;
  p.ServicePack = "Service Pack 1";
  ASSERT_TRUE(WriteWindowsProfile(p));
  EXPECT_EQ(DescribeWindows(), kUninstallerBuild
                                   ? "Microsoft Windows 10 Professional 64-bit Service Pack 1"
                                   : "Windows 10 Pro 64-bit Service Pack 1");
  SetProcessElevated(false);
}

TEST(DescribeWindows, UnknownWhenWindowsAnswersNothingAndWindows64StaysAsItWas) {
  darvena::test::TTempMachine machine;
  SetProcessElevated(true);
  for (const auto& p : {With(TWindowsProfile{}, [](auto& x) { x.VersionQuery = false; }),
                        With(TWindowsProfile{}, [](auto& x) { x.PlatformId = 3; })}) {
    ASSERT_TRUE(WriteWindowsProfile(p));
    for (bool before : {true, false}) {
      Windows64 = before;
      EXPECT_EQ(DescribeWindows(), "unknown");
      EXPECT_EQ(Windows64, before);
    }
  }
  SetProcessElevated(false);
}

TEST(EditionNames, TableOfProductCodes) {
  EXPECT_STREQ(darvena::EditionNames(0x30), "Professional");
  EXPECT_STREQ(darvena::EditionNames(0x01), "Ultimate");
  EXPECT_STREQ(darvena::EditionNames(0x20), "Essential Business Server Messaging Server");
  EXPECT_STREQ(darvena::EditionNames(0x47), "Ultimate E");
  EXPECT_STREQ(darvena::EditionNames(0xABCDABCD), "UNLICENSED");
  for (uint32_t missing : {0u, 33u, 46u, 50u, 65u, 72u, 101u})
    EXPECT_EQ(darvena::EditionNames(missing), nullptr) << missing;
}

}  // namespace
