#include "platform/WindowsProfile.h"

#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/Registry.h"

namespace platform {
namespace {

// The profile's fields with their value names, for reading and writing alike.
template <class TVisitor>
void VisitFields(TWindowsProfile& p, TVisitor&& visit) {
  visit("VersionQuery", p.VersionQuery);
  visit("ExtendedQuery", p.ExtendedQuery);
  visit("MajorVersion", p.MajorVersion);
  visit("MinorVersion", p.MinorVersion);
  visit("BuildNumber", p.BuildNumber);
  visit("PlatformId", p.PlatformId);
  visit("ServicePack", p.ServicePack);
  visit("ProductType", p.ProductType);
  visit("SuiteMask", p.SuiteMask);
  visit("NativeSystemInfo", p.NativeSystemInfo);
  visit("ProductInfoExists", p.ProductInfoExists);
  visit("ProductInfoSucceeds", p.ProductInfoSucceeds);
  visit("ProductCode", p.ProductCode);
  visit("TabletPC", p.TabletPC);
  visit("MediaCenter", p.MediaCenter);
  visit("Starter", p.Starter);
  visit("ServerR2", p.ServerR2);
  visit("VerLine", p.VerLine);
}

struct TReader {
  TRegistry& Reg;
  void operator()(const char* name, bool& field) {
    if (Reg.GetDataType(name) == TRegDataType::rdInteger) field = Reg.ReadInteger(name) != 0;
  }
  void operator()(const char* name, uint32_t& field) {
    if (Reg.GetDataType(name) == TRegDataType::rdInteger)
      field = static_cast<uint32_t>(Reg.ReadInteger(name));
  }
  void operator()(const char* name, std::string& field) {
    const TRegDataType type = Reg.GetDataType(name);
    if (type == TRegDataType::rdString || type == TRegDataType::rdExpandString)
      field = Reg.ReadString(name);
  }
};

struct TWriter {
  TRegistry& Reg;
  bool OnlyMissing;
  bool Skip(const char* name) { return OnlyMissing && Reg.ValueExists(name); }
  void operator()(const char* name, bool& field) {
    if (!Skip(name)) Reg.WriteInteger(name, field ? 1 : 0);
  }
  void operator()(const char* name, uint32_t& field) {
    if (!Skip(name)) Reg.WriteInteger(name, static_cast<int32_t>(field));
  }
  void operator()(const char* name, std::string& field) {
    if (!Skip(name)) Reg.WriteString(name, field);
  }
};

// The architecture is the machine's PROCESSOR_ARCHITECTURE, which the registry's
// views follow too.
constexpr const char* kEnvironmentKey =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

uint32_t ArchitectureCode(const std::string& name) {
  if (AnsiSameText(name, "x86")) return 0;
  if (AnsiSameText(name, "IA64")) return 6;
  if (AnsiSameText(name, "AMD64")) return 9;
  // Any other architecture is kept as its number.
  if (!name.empty() && name.size() < 6 && name.find_first_not_of("0123456789") == std::string::npos)
    return static_cast<uint32_t>(std::stoul(name));
  return 0xFFFF;  // PROCESSOR_ARCHITECTURE_UNKNOWN
}

std::string ArchitectureName(uint32_t code) {
  switch (code) {
    case 0:
      return "x86";
    case 6:
      return "IA64";
    case 9:
      return "AMD64";
    default:
      return std::to_string(code);
  }
}

bool WriteProfile(TWindowsProfile profile, bool onlyMissing) {
  try {
    TRegistry reg(KEY_ALL_ACCESS | KEY_WOW64_64KEY);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kWindowsProfileKey, true)) return false;
    VisitFields(profile, TWriter{reg, onlyMissing});
    if (!onlyMissing) {
      if (!reg.OpenKey(std::string("\\") + kEnvironmentKey, true)) return false;
      reg.WriteString("PROCESSOR_ARCHITECTURE", ArchitectureName(profile.ProcessorArchitecture));
    }
    reg.CloseKey();
    return true;
  } catch (const ERegistryException&) {
    return false;  // a refused or failing store: the profile stays as it was
  }
}

// Writes one string value where it is missing, in the view the access selects.
void ProvideString(uint32_t view, const char* key, const char* name, const char* value) {
  TRegistry reg(KEY_ALL_ACCESS | view);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (reg.OpenKey(key, true) && !reg.ValueExists(name)) reg.WriteString(name, value);
  reg.CloseKey();
}

// Provisioning writes below HKEY_LOCAL_MACHINE, which only an elevated process may.
class TProvisioningRights {
 public:
  TProvisioningRights() : was_(ProcessElevated()) { SetProcessElevated(true); }
  ~TProvisioningRights() { SetProcessElevated(was_); }
  TProvisioningRights(const TProvisioningRights&) = delete;
  TProvisioningRights& operator=(const TProvisioningRights&) = delete;

 private:
  bool was_;
};

}  // namespace

TWindowsProfile ReadWindowsProfile() {
  TWindowsProfile profile;
  try {
    TRegistry reg(KEY_READ | KEY_WOW64_64KEY);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.KeyExists(kWindowsProfileKey)) {
      // A machine that has never been asked gets its Windows now.
      ProvisionWindowsProfile();
    }
    if (reg.OpenKeyReadOnly(kWindowsProfileKey)) VisitFields(profile, TReader{reg});
    reg.CloseKey();
    if (reg.OpenKeyReadOnly(kEnvironmentKey) &&
        reg.GetDataType("PROCESSOR_ARCHITECTURE") == TRegDataType::rdString)
      profile.ProcessorArchitecture = ArchitectureCode(reg.ReadString("PROCESSOR_ARCHITECTURE"));
  } catch (const ERegistryException&) {
    // An unreadable registry leaves the defaults: the machine is then the default Windows.
    return TWindowsProfile{};
  }
  return profile;
}

bool WriteWindowsProfile(const TWindowsProfile& profile) {
  // Refused without rights, before provisioning could make up for them.
  if (!ProcessElevated()) return false;
  ProvisionWindowsProfile();
  return WriteProfile(profile, false);
}

void ProvisionWindowsProfile() {
  TProvisioningRights rights;
  try {
    WriteProfile(TWindowsProfile{}, true);
    ProvideString(KEY_WOW64_64KEY, kCurrentVersionNtKey, "ProductName", "Windows 10 Pro");
    ProvideString(KEY_WOW64_32KEY, kCurrentVersionNtKey, "ProductName", "Windows 10 Pro");
    ProvideString(0, kProductOptionsKey, "ProductType", "WinNT");
  } catch (const ERegistryException&) {
    // A registry that cannot be written is left as it is; the queries then answer
    // with the defaults.
  }
}

}  // namespace platform
