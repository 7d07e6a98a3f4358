#include "common/OsDescriptionUnit.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "common/Random.h"
#include "platform/CodePage.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/WindowsVersion.h"

#ifndef DARVENA_UNINSTALLER_BUILD
#define DARVENA_UNINSTALLER_BUILD 0
#endif

namespace darvena {

bool Windows64 = false;

namespace {

using namespace platform;

constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteEmbedded = 0x0040;
constexpr uint16_t kSuiteDatacenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr uint16_t kSuiteBlade = 0x0400;
constexpr uint16_t kSuiteStorageServer = 0x2000;
constexpr uint16_t kSuiteComputeServer = 0x4000;

// GetEnvironmentVariableA into a buffer of 260 characters: a longer value does not
// fit and reads as empty.
std::string EnvironmentValue(const char* name) {
  std::string value = GetEnvironmentVariable(name).value_or("");
  return value.size() < 260 ? value : std::string();
}

std::string UpperHex(uint32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", value);
  return buf;
}

// The version record and the facts about the system the description is built from.
struct TVersion {
  TOSVersionInfoExA Info{};
  bool Extended = false;
  uint16_t Architecture = 0;
  bool Workstation() const { return Info.ProductType == VER_NT_WORKSTATION; }
  bool Suite(uint16_t bit) const { return (Info.SuiteMask & bit) != 0; }
};

// The "ver" output, captured the first time it is needed.
class TVerOutput {
 public:
  const std::string& Get() {
    if (!out_) out_ = CaptureCommandOutput("ver");
    return *out_;
  }

 private:
  std::optional<std::string> out_;
};

// The version number "ver" prints: from 4 characters after the "i" of the first
// "ion" (the fourth character when there is none) up to the first ".", and a blank.
std::string GenericVerWord(const TVersion& v, TVerOutput& ver) {
  std::string word = v.Workstation() ? "" : "Server ";
  const std::string& out = ver.Get();
  const size_t ion = out.find("ion");
  const size_t start = ion == std::string::npos ? 3 : ion + 4;
  const size_t dot = out.find('.');
  if (dot != std::string::npos && dot > start) word += out.substr(start, dot - start);
  return word + " ";
}

std::string Server10Word() {
  return DARVENA_UNINSTALLER_BUILD ? "Server 10 " : "Server 2016 ";
}

std::string VersionWord(const TVersion& v, TVerOutput& ver) {
  const uint32_t major = v.Info.MajorVersion;
  const uint32_t minor = v.Info.MinorVersion;
  const bool w = v.Workstation();
  if (major == 3 || major == 4) return "NT ";
  if (major == 5) {
    switch (minor) {
      case 0:
        return "2000 ";
      case 1:
        return "XP ";
      case 2:
        if (GetSystemMetrics(SM_SERVERR2) != 0) return "Server 2003 R2 ";
        if (v.Info.SuiteMask == kSuiteStorageServer) return "Storage Server 2003 ";
        if (w && v.Architecture == PROCESSOR_ARCHITECTURE_AMD64) return "XP ";
        return "Server 2003 ";
      default:
        return "Unknown version ";
    }
  }
  if (major == 6) {
    switch (minor) {
      case 0:
        return w ? "Vista " : "Server 2008 ";
      case 1:
        return w ? "7 " : "Server 2008 R2 ";
      case 2: {
        // 6.2 is what Windows 8 and every later version tell programs that do not
        // declare them; "ver" tells the truth.
        const std::string& out = ver.Get();
        if (out.find(" 6.2") != std::string::npos) return w ? "8 " : "Server 2012 ";
        if (out.find(" 6.3") != std::string::npos) return w ? "8.1 " : "Server 2012 R2 ";
        if (out.find(" 10") != std::string::npos) return w ? "10 " : Server10Word();
        return GenericVerWord(v, ver);
      }
      case 3:
        return w ? "8.1 " : "Server 2012 R2 ";
      default:
        return "";
    }
  }
  if (major == 10) {
    if (minor == 0) return w ? "10 " : Server10Word();
    return "";
  }
  return GenericVerWord(v, ver);
}

std::string BitnessSuffix(uint16_t architecture) {
  if (architecture == PROCESSOR_ARCHITECTURE_AMD64) return " 64-bit";
  if (architecture == PROCESSOR_ARCHITECTURE_INTEL) return " 32-bit";
  return "";
}

#if DARVENA_UNINSTALLER_BUILD
// The edition of Windows Vista and later, from the product code.
std::string ProductInfoEdition() {
  using TGetProductInfo = int (*)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t*);
  const auto getProductInfo =
      reinterpret_cast<TGetProductInfo>(GetKernel32ProcAddress("GetProductInfo"));
  uint32_t code = 0;
  if (!getProductInfo || !getProductInfo(6, 0, 0, 0, &code)) return "Unknown";
  if (const char* name = EditionNames(code)) return name;
  return "Unknown 0x" + UpperHex(code);
}
#else
// The registry's product name, read with full access in the native view; nothing
// when the key cannot be opened so or the value is missing.
std::optional<std::string> RegistryProductName() {
  TRegistry reg(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
  try {
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", false)) return std::nullopt;
    if (!reg.ValueExists("ProductName")) return std::nullopt;
    return reg.ReadString("ProductName");
  } catch (const ERegistryException&) {
    // A value that is no text, or a failing registry: the name stays as built.
    return std::nullopt;
  }
}
#endif

std::string WorkstationEdition(const TVersion& v) {
  const uint32_t major = v.Info.MajorVersion;
  if (major == 4) return "Workstation";
  if (major != 5) return "Unknown Workstation";
  if (v.Info.MinorVersion == 2 && v.Architecture == PROCESSOR_ARCHITECTURE_AMD64)
    return "Professional x64";
  if (GetSystemMetrics(SM_STARTER) != 0) return "Starter";
  if (GetSystemMetrics(SM_MEDIACENTER) != 0) return "Media Center";
  if (GetSystemMetrics(SM_TABLETPC) != 0) return "Tablet PC";
  if (v.Suite(kSuitePersonal)) return "Home";
  if (v.Suite(kSuiteEmbedded)) return "Embedded";
  return "Professional";
}

std::string ServerEdition(const TVersion& v) {
  const uint32_t major = v.Info.MajorVersion;
  const uint32_t minor = v.Info.MinorVersion;
  if (major == 4) return v.Suite(kSuiteEnterprise) ? "Server 4.0 Enterprise" : "Server 4.0";
  if (major == 5 && minor == 0) {
    if (v.Suite(kSuiteDatacenter)) return "Datacenter Server";
    if (v.Suite(kSuiteEnterprise)) return "Advanced Server";
    return "Server";
  }
  if (major == 5 && minor == 2) {
    switch (v.Architecture) {
      case PROCESSOR_ARCHITECTURE_INTEL:
        if (v.Suite(kSuiteComputeServer))
          return DARVENA_UNINSTALLER_BUILD ? "Compute Cluster" : "Computer Cluster";
        if (v.Suite(kSuiteDatacenter)) return "Datacenter";
        if (v.Suite(kSuiteEnterprise)) return "Enterprise";
        if (v.Info.SuiteMask == kSuiteBlade) return "Web";
        return "Standard";
      case PROCESSOR_ARCHITECTURE_IA64:
        if (v.Suite(kSuiteDatacenter)) return "Datacenter for Itanium-based Systems";
        if (v.Suite(kSuiteEnterprise)) return "Enterprise for Itanium-based Systems";
        return "Standard Itanium-based";
      case PROCESSOR_ARCHITECTURE_AMD64:
        if (v.Suite(kSuiteDatacenter)) return "Datacenter x64";
        if (v.Suite(kSuiteEnterprise)) return "Enterprise x64";
        return "Standard x64";
      default:
        return "Unknown on Architecture 0x" + UpperHex(v.Architecture);
    }
  }
  return v.Info.ProductType == VER_NT_SERVER ? "Unknown Server" : "Unknown Domain controller";
}

// Windows NT 4.0 before its sixth service pack answers no extended query; its
// edition is in the registry.
std::string ProductOptionsEdition() {
  TRegistry reg(KEY_QUERY_VALUE);
  try {
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey("SYSTEM\\CurrentControlSet\\Control\\ProductOptions", false)) return "";
    // The value is read into a buffer of 256 bytes, its zero included.
    if (reg.GetDataType("ProductType") != TRegDataType::rdString ||
        reg.GetDataSize("ProductType") > 256)
      return "";
    const std::string type = AnsiUpperCase(reg.ReadString("ProductType"));
    if (type == "WINNT") return "Workstation";
    if (type == "LANMANNT") return "Server";
    if (type == "SERVERNT") return "Advanced Server";
    return "Unknown";
  } catch (const ERegistryException&) {
    return "";  // a value that cannot be read appends nothing
  }
}

bool HotfixQ246009Installed() {
  TRegistry reg(KEY_READ);
  try {
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    return reg.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009");
  } catch (const ERegistryException&) {
    return false;
  }
}

void Windows9xName(const TVersion& v, std::string& name) {
  const uint32_t minor = v.Info.MinorVersion;
  const uint32_t build = v.Info.BuildNumber & 0xFFFF;
  const char letter = v.Info.CSDVersion[0] ? v.Info.CSDVersion[1] : '\0';
  if (v.Info.MajorVersion != 4) {
    name += "Unknown 9x";
  } else if (minor == 0 || minor == 3) {
    if (build == 1111)
      name += "95 OSR 2.0";
    else if (build == 1212 || build == 1213)
      name += "95 OSR 2.1";
    else if (build == 1214)
      name += letter == 'C' ? "95 OSR 2.5" : "95 OSR 2.1";
    else if (build > 1080)
      name += "95 OSR 2.x";
    else if (letter == 'A' || letter == 'W')
      name += "95 OSR 1";
    else
      name += "95";
  } else if (minor == 10) {
    name += "98";
    if (v.Info.BuildNumber == 2222 || letter == 'A' || letter == 'B') name += " SE";
  } else if (minor == 90) {
    name += "Millennium";
  } else {
    name += "Unknown 9x";
  }
}

}  // namespace

const char* EditionNames(uint32_t productCode) {
  struct TEdition {
    uint32_t Code;
    const char* Name;
  };
  static constexpr TEdition kEditions[] = {
      {0x01, "Ultimate"},
      {0x02, "Home Basic"},
      {0x03, "Home Premium"},
      {0x04, "Enterprise"},
      {0x05, "Home Basic N"},
      {0x06, "Business"},
      {0x07, "Standard Server"},
      {0x08, "Datacenter"},
      {0x09, "Small Business Server"},
      {0x0A, "Enterprise"},
      {0x0B, "Starter"},
      {0x0C, "Datacenter (core installation)"},
      {0x0D, "Standard Server (core installation)"},
      {0x0E, "Enterprise (core installation)"},
      {0x0F, "Enterprise for Itanium-based Systems"},
      {0x10, "Business N"},
      {0x11, "Web"},
      {0x12, "Cluster"},
      {0x13, "Home"},
      {0x14, "Storage Server Express"},
      {0x15, "Storage Server Standard"},
      {0x16, "Storage Server Workgroup"},
      {0x17, "Storage Server Enterprise"},
      {0x18, "for Small Business"},
      {0x19, "Small Business Server Premium"},
      {0x1A, "Home Premium N"},
      {0x1B, "Enterprise N"},
      {0x1C, "Ultimate N"},
      {0x1D, "Web (core installation)"},
      {0x1E, "Essential Business Server Management Server"},
      {0x1F, "Essential Business Server Security Server"},
      {0x20, "Essential Business Server Messaging Server"},
      {0x2F, "Starter N"},
      {0x30, "Professional"},
      {0x31, "Professional N"},
      {0x42, "Starter E"},
      {0x43, "Home Basic E"},
      {0x44, "Home Premium E"},
      {0x45, "Professional E"},
      {0x46, "Enterprise E"},
      {0x47, "Ultimate E"},
      {0xABCDABCD, "UNLICENSED"},
  };
  for (const TEdition& e : kEditions)
    if (e.Code == productCode) return e.Name;
  return nullptr;
}

bool ReadWindowsVersion(std::string& Name, std::string& ServicePack) {
  TVersion v;
  v.Info.OSVersionInfoSize = sizeof(TOSVersionInfoExA);
  v.Extended = GetVersionExA(&v.Info);
  if (!v.Extended) {
    v.Info = TOSVersionInfoExA{};
    v.Info.OSVersionInfoSize = sizeof(TOSVersionInfoA);
    if (!GetVersionExA(&v.Info)) return false;
  }

  TSystemInfo system;
  using TGetNativeSystemInfo = void (*)(TSystemInfo*);
  if (const auto native =
          reinterpret_cast<TGetNativeSystemInfo>(GetKernel32ProcAddress("GetNativeSystemInfo")))
    native(&system);
  else
    GetSystemInfo(&system);
  v.Architecture = system.ProcessorArchitecture;

  Name = "Microsoft Windows ";
  if (v.Info.PlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    Windows9xName(v, Name);
    ServicePack = v.Info.CSDVersion;
    return true;
  }
  if (v.Info.PlatformId != VER_PLATFORM_WIN32_NT) return false;

  TVerOutput ver;
  Name += VersionWord(v, ver);
  if (v.Extended) {
    if (v.Info.MajorVersion == 6) {
#if DARVENA_UNINSTALLER_BUILD
      Name += ProductInfoEdition();
#else
      if (std::optional<std::string> product = RegistryProductName()) Name = *product;
#endif
      Name += BitnessSuffix(v.Architecture);
    } else if (v.Info.ProductType == VER_NT_WORKSTATION) {
      Name += WorkstationEdition(v);
    } else if (v.Info.ProductType == VER_NT_DOMAIN_CONTROLLER ||
               v.Info.ProductType == VER_NT_SERVER) {
      Name += ServerEdition(v);
    } else {
      Name += "Unknown";
    }
  } else {
    Name += ProductOptionsEdition();
  }

  ServicePack = v.Info.CSDVersion;
  if (v.Info.MajorVersion == 4 && ServicePack == "Service Pack 6" && HotfixQ246009Installed())
    ServicePack = "Service Pack 6a";
  return true;
}

std::string DescribeWindows() {
  std::string name, servicePack;
  if (!ReadWindowsVersion(name, servicePack)) return "unknown";
  // A service-pack text of nothing but blanks and control characters does not count.
  const bool blank = std::all_of(servicePack.begin(), servicePack.end(),
                                 [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  const std::string description = blank ? name : name + " " + servicePack;
  Windows64 = description.find(" 64") != std::string::npos;
  return description;
}

std::string ConvertFromOem(const std::string& Text) {
  return platform::ConvertFromOem(Text);
}

void AddBackslash(std::string& Text) {
  if (!Text.empty() && Text.back() != '\\') Text += '\\';
}

std::string CaptureCommandOutput(const std::string& Command) {
  std::string result;
  const std::string comSpec = EnvironmentValue("ComSpec");
  if (comSpec.empty()) return result;
  std::string temp = EnvironmentValue("Temp");
  AddBackslash(temp);
  std::string file = temp;
  for (int i = 0; i < 8; ++i)
    file += static_cast<char>('a' + Random(26));

  const std::string commandLine = comSpec + " /c " + Command + " > \"" + file + "\"";
  TStartupInfo startup;
  startup.CreationFlags = kCreateNewConsole | kCreateNewProcessGroup;
  startup.ShowWindow = kSwHide;
  TProcess process;
  if (CreateProcess(commandLine, startup, process)) process.Wait(kInfinite);

  // Read as a text file: line by line, at least one line, each given CR LF.
  const std::string bytes = TryReadWholeFile(file).value_or("");
  size_t pos = 0;
  do {
    size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
      ++end;
    result.append(bytes, pos, end - pos);
    result += "\r\n";
    if (end < bytes.size() && bytes[end] == '\r') ++end;
    if (end < bytes.size() && bytes[end] == '\n') ++end;
    pos = end;
  } while (pos < bytes.size());
  DeleteFile(file);
  return ConvertFromOem(result);
}

}  // namespace darvena
