// The machine's Windows version profile: which Windows the machine says it is. The
// version queries (WindowsVersion.h), the command interpreter's "ver" and the
// registry's product name all answer from it.
//
// It is kept in the machine's registry under HKEY_LOCAL_MACHINE\SOFTWARE\Machine\Windows
// (native view), one value per field, named as the fields below; REG_DWORD for
// numbers and flags (0 or 1), REG_SZ for texts. A missing value takes the default, so
// the profile can be changed one value at a time, for example with
//   reg add HKLM\SOFTWARE\Machine\Windows /v MajorVersion /t REG_DWORD /d 5 /f
// The default is a 64-bit Windows 10 Pro as programs without a compatibility manifest
// see it: version 6.2, build 9200.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

inline constexpr const char* kWindowsProfileKey = "SOFTWARE\\Machine\\Windows";
inline constexpr const char* kCurrentVersionNtKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char* kProductOptionsKey =
    "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

struct TWindowsProfile {
  bool VersionQuery = true;   // whether GetVersionEx answers at all
  bool ExtendedQuery = true;  // whether it answers the extended (156-byte) record
  uint32_t MajorVersion = 6;
  uint32_t MinorVersion = 2;
  uint32_t BuildNumber = 9200;
  uint32_t PlatformId = 2;   // 1 the Windows 9x family, 2 the NT family
  std::string ServicePack;   // "Service Pack 3"; at most 127 characters reach programs
  uint32_t ProductType = 1;  // 1 workstation, 2 domain controller, 3 server
  uint32_t SuiteMask = 0x0100;
  // Of the native system: 0 x86, 6 Itanium, 9 x64. Kept as the machine's
  // PROCESSOR_ARCHITECTURE (x86, IA64, AMD64) in the key
  // HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager\Environment,
  // which also decides whether the registry has a 32-bit view.
  uint32_t ProcessorArchitecture = 9;
  bool NativeSystemInfo = true;     // whether kernel32 has GetNativeSystemInfo
  bool ProductInfoExists = true;    // whether kernel32 has GetProductInfo
  bool ProductInfoSucceeds = true;  // whether it answers
  uint32_t ProductCode = 0x30;      // what it answers
  uint32_t TabletPC = 0;            // the system metrics SM_TABLETPC,
  uint32_t MediaCenter = 0;         // SM_MEDIACENTER,
  uint32_t Starter = 0;             // SM_STARTER
  uint32_t ServerR2 = 0;            // and SM_SERVERR2
  std::string VerLine = "Microsoft Windows [Version 10.0.19045.3693]";  // what "ver" prints
};

// The machine's profile: the stored values, defaults for the missing ones (and all
// defaults when the registry cannot be read).
[[nodiscard]] TWindowsProfile ReadWindowsProfile();

// Stores every field of the profile, replacing the stored one. Writes to
// HKEY_LOCAL_MACHINE, so the process must be elevated; false when the registry
// refuses or fails.
bool WriteWindowsProfile(const TWindowsProfile& profile);

// Writes what a fresh machine's Windows has where it is missing: the default profile,
// the "ProductName" of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion
// ("Windows 10 Pro", in both registry views) and the "ProductType" of
// ...\Control\ProductOptions ("WinNT"). Part of provisioning the machine, allowed
// whatever the process's rights; existing values are left alone. Idempotent.
void ProvisionWindowsProfile();

}  // namespace platform
