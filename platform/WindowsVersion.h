// Version and system information as Windows gives it to a 32-bit program, answered
// from the machine's Windows version profile (WindowsProfile.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

inline constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

inline constexpr uint8_t VER_NT_WORKSTATION = 1;
inline constexpr uint8_t VER_NT_DOMAIN_CONTROLLER = 2;
inline constexpr uint8_t VER_NT_SERVER = 3;

inline constexpr uint16_t PROCESSOR_ARCHITECTURE_INTEL = 0;
inline constexpr uint16_t PROCESSOR_ARCHITECTURE_IA64 = 6;
inline constexpr uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;

inline constexpr int SM_TABLETPC = 86;
inline constexpr int SM_MEDIACENTER = 87;
inline constexpr int SM_STARTER = 88;
inline constexpr int SM_SERVERR2 = 89;

// OSVERSIONINFOA (148 bytes) and OSVERSIONINFOEXA (156 bytes). The caller sets
// OSVersionInfoSize to the size of the record it passes.
struct TOSVersionInfoA {
  uint32_t OSVersionInfoSize;
  uint32_t MajorVersion;
  uint32_t MinorVersion;
  uint32_t BuildNumber;
  uint32_t PlatformId;
  char CSDVersion[128];  // the service-pack text, zero-terminated
};
struct TOSVersionInfoExA {
  uint32_t OSVersionInfoSize;
  uint32_t MajorVersion;
  uint32_t MinorVersion;
  uint32_t BuildNumber;
  uint32_t PlatformId;
  char CSDVersion[128];
  uint16_t ServicePackMajor;
  uint16_t ServicePackMinor;
  uint16_t SuiteMask;
  uint8_t ProductType;
  uint8_t Reserved;
};
static_assert(sizeof(TOSVersionInfoA) == 148);
static_assert(sizeof(TOSVersionInfoExA) == 156);

// Fills the record whose size field says which it is. False (and nothing filled but
// the size) for another size, for the extended record when the machine's Windows
// does not answer it, and for both when it answers no version query.
bool GetVersionExA(TOSVersionInfoA* info);
bool GetVersionExA(TOSVersionInfoExA* info);

// The part of SYSTEM_INFO the programs read.
struct TSystemInfo {
  uint16_t ProcessorArchitecture = 0;
  uint32_t PageSize = 4096;
  uint32_t NumberOfProcessors = 1;
};

// The system as the calling 32-bit program sees it: on a 64-bit Windows it runs
// under emulation and sees an x86.
void GetSystemInfo(TSystemInfo* info);
// The native system (an export of kernel32.dll only some versions have; see
// GetKernel32ProcAddress).
void GetNativeSystemInfo(TSystemInfo* info);
// GetProductInfo: the product code of the edition for the given version; false
// when the machine's Windows does not answer (an export some versions lack).
int GetProductInfo(uint32_t osMajor, uint32_t osMinor, uint32_t spMajor, uint32_t spMinor,
                   uint32_t* productType);

// A function found in a library by name, to be cast to its real type (FARPROC).
using TFarProc = void (*)();
// kernel32.dll's exports by name, as GetProcAddress(GetModuleHandle("kernel32.dll"),
// name) finds them: "GetNativeSystemInfo" and "GetProductInfo" when the machine's
// Windows has them; null for those it lacks and for every other name.
[[nodiscard]] TFarProc GetKernel32ProcAddress(std::string_view name);

// The system metrics SM_TABLETPC, SM_MEDIACENTER, SM_STARTER and SM_SERVERR2 of the
// profile; 0 for every other index.
[[nodiscard]] int GetSystemMetrics(int index);

}  // namespace platform
