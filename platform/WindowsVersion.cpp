#include "platform/WindowsVersion.h"

#include <cstring>
#include <string>

#include "platform/WindowsProfile.h"

namespace platform {
namespace {

// The number in a service-pack text such as "Service Pack 3", else 0.
uint16_t ServicePackNumber(const std::string& text) {
  const size_t digit = text.find_first_of("0123456789");
  if (digit == std::string::npos) return 0;
  uint16_t n = 0;
  for (size_t i = digit; i < text.size() && text[i] >= '0' && text[i] <= '9' && n < 1000; ++i)
    n = static_cast<uint16_t>(n * 10 + (text[i] - '0'));
  return n;
}

template <class TRecord>
void FillCommon(const TWindowsProfile& p, TRecord* info) {
  info->MajorVersion = p.MajorVersion;
  info->MinorVersion = p.MinorVersion;
  info->BuildNumber = p.BuildNumber;
  info->PlatformId = p.PlatformId;
  std::memset(info->CSDVersion, 0, sizeof info->CSDVersion);
  std::memcpy(info->CSDVersion, p.ServicePack.data(),
              std::min(p.ServicePack.size(), sizeof info->CSDVersion - 1));
}

void NativeSystemInfoExport(TSystemInfo* info) {
  GetNativeSystemInfo(info);
}

int ProductInfoExport(uint32_t osMajor, uint32_t osMinor, uint32_t spMajor, uint32_t spMinor,
                      uint32_t* productType) {
  return GetProductInfo(osMajor, osMinor, spMajor, spMinor, productType);
}

}  // namespace

bool GetVersionExA(TOSVersionInfoA* info) {
  if (info->OSVersionInfoSize != sizeof(TOSVersionInfoA)) return false;
  const TWindowsProfile p = ReadWindowsProfile();
  if (!p.VersionQuery) return false;
  FillCommon(p, info);
  return true;
}

bool GetVersionExA(TOSVersionInfoExA* info) {
  if (info->OSVersionInfoSize == sizeof(TOSVersionInfoA))
    return GetVersionExA(reinterpret_cast<TOSVersionInfoA*>(info));
  if (info->OSVersionInfoSize != sizeof(TOSVersionInfoExA)) return false;
  const TWindowsProfile p = ReadWindowsProfile();
  if (!p.VersionQuery || !p.ExtendedQuery) return false;
  FillCommon(p, info);
  info->ServicePackMajor = ServicePackNumber(p.ServicePack);
  info->ServicePackMinor = 0;
  info->SuiteMask = static_cast<uint16_t>(p.SuiteMask);
  info->ProductType = static_cast<uint8_t>(p.ProductType);
  info->Reserved = 0;
  return true;
}

void GetNativeSystemInfo(TSystemInfo* info) {
  *info = TSystemInfo{};
  info->ProcessorArchitecture = static_cast<uint16_t>(ReadWindowsProfile().ProcessorArchitecture);
}

void GetSystemInfo(TSystemInfo* info) {
  GetNativeSystemInfo(info);
  // A 32-bit program on a 64-bit system runs under emulation and sees an x86.
  info->ProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
}

int GetProductInfo(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t* productType) {
  const TWindowsProfile p = ReadWindowsProfile();
  if (!p.ProductInfoExists || !p.ProductInfoSucceeds) return 0;
  *productType = p.ProductCode;
  return 1;
}

TFarProc GetKernel32ProcAddress(std::string_view name) {
  const TWindowsProfile p = ReadWindowsProfile();
  if (name == "GetNativeSystemInfo" && p.NativeSystemInfo)
    return reinterpret_cast<TFarProc>(&NativeSystemInfoExport);
  if (name == "GetProductInfo" && p.ProductInfoExists)
    return reinterpret_cast<TFarProc>(&ProductInfoExport);
  return nullptr;
}

int GetSystemMetrics(int index) {
  const TWindowsProfile p = ReadWindowsProfile();
  switch (index) {
    case SM_TABLETPC:
      return static_cast<int>(p.TabletPC);
    case SM_MEDIACENTER:
      return static_cast<int>(p.MediaCenter);
    case SM_STARTER:
      return static_cast<int>(p.Starter);
    case SM_SERVERR2:
      return static_cast<int>(p.ServerR2);
    default:
      return 0;
  }
}

}  // namespace platform
