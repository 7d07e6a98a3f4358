#include "common/CommonUnit.h"

#include <memory>

#include "common/OsDescriptionUnit.h"
#include "common/Random.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"

namespace darvena {

std::string ProductName;
std::string RusTitle;
std::string EngTitle;
std::string VersionText;
std::string RusTagline;
std::string EngTagline;
int32_t VerMajor = -1;
int32_t VerMinor = -1;
uint32_t UserLCID = 0;
bool RussianUser = false;
platform::TRegistry* Reg = nullptr;
bool ProgramFilesValid = true;
std::string ProgramFolder;
std::string TempFolder;
std::string ProgramFilesFolder;
std::string CommonProgramsFolder;
std::string ProgramsFolder;
std::string ProgramGroupFolder;
std::string CommonDesktopFolder;
std::string UninstallKey;

namespace {

// The owner of Reg.
std::unique_ptr<platform::TRegistry> registryObject;

constexpr uint16_t kLanguageRussian = 0x0019;  // LANG_RUSSIAN, neutral sublanguage
constexpr uint32_t kErrorBoxFlags =
    platform::MB_OK | platform::MB_ICONERROR | platform::MB_SERVICE_NOTIFICATION;
constexpr uint32_t kInfoBoxFlags =
    platform::MB_OK | platform::MB_ICONINFORMATION | platform::MB_TASKMODAL | platform::MB_TOPMOST;

bool IsRussianLocale(uint32_t lcid) {
  switch (lcid) {
    case 1026:  // Bulgarian
    case 1049:  // Russian
    case 1058:  // Ukrainian
    case 1059:  // Belarusian
    case 1087:  // Kazakh
    case 1092:  // Tatar
    case 2073:  // Russian, Moldova
      return true;
    default:
      return false;
  }
}

void BilingualBox(const std::string& english, const std::string& russian, uint32_t flags) {
  if (RussianUser)
    platform::MessageBoxExA(nullptr, russian, RusTitle, flags, kLanguageRussian);
  else
    platform::MessageBoxA(nullptr, english, EngTitle, flags);
}

}  // namespace

void InitializeCommonUnit() {
  Randomize();
  UserLCID = platform::GetUserDefaultLCID();
  VerMajor = -1;
  VerMinor = -1;
  RussianUser = IsRussianLocale(UserLCID);
  (void)DescribeWindows();
  const uint32_t access =
      Windows64 ? platform::KEY_ALL_ACCESS | platform::KEY_WOW64_64KEY : platform::KEY_ALL_ACCESS;
  registryObject = std::make_unique<platform::TRegistry>(access);
  registryObject->SetRootKey(platform::HKEY_CURRENT_USER);
  registryObject->SetLazyWrite(true);
  Reg = registryObject.get();
}

void FinalizeCommonUnit() {
  Reg = nullptr;
  registryObject.reset();
}

void OpenProductKey() {
  try {
    Reg->SetRootKey(platform::HKEY_CURRENT_USER);
    (void)Reg->OpenKey(std::string(BrandKey) + ProductName, true);
  } catch (...) {
    // Dropped on purpose: without the key the caller's reads find nothing and its
    // writes fail inside its own error handling.
  }
}

void ErrorBox(const std::string& EnglishText, const std::string& RussianText) {
  BilingualBox(EnglishText, RussianText, kErrorBoxFlags);
}

void InfoBox(const std::string& EnglishText, const std::string& RussianText) {
  BilingualBox(EnglishText, RussianText, kInfoBoxFlags);
}

}  // namespace darvena
