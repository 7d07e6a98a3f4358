// The environment every program of the product shares: its identity values, the
// one registry object, the product's registry key, the user's locale and the
// bilingual message boxes.
//
// A program calls InitializeCommonUnit first thing in main (or holds a
// TCommonUnitLifetime there), then sets the identity values, and calls
// FinalizeCommonUnit when its main body has ended. Everything here belongs to the
// program's main thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace darvena {

// Prefix of the Windows keys under a root (shell folders, uninstall entries).
inline constexpr const char* CurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion\\";
// Prefix of the product key.
inline constexpr const char* BrandKey = "Software\\Vel\\";

// Identity values: empty until the program's main sets them, never changed after.
extern std::string ProductName;  // "Darvena"
extern std::string RusTitle;     // "Дарвена": caption of the Russian boxes
extern std::string EngTitle;     // "Darvena": caption of the English boxes
extern std::string VersionText;  // "1.4 beta 7"
extern std::string RusTagline;
extern std::string EngTagline;

// The numeric version for the uninstall entry; -1 (not given) after start-up.
extern int32_t VerMajor;
extern int32_t VerMinor;

// The user's default locale identifier, read at start-up.
extern uint32_t UserLCID;
// Whether UserLCID is one of the Cyrillic locales 1026, 1049, 1058, 1059, 1087, 1092
// and 2073, which choose Russian for every message of setup and uninstall.
extern bool RussianUser;

// The one registry object: created at start-up (full access, in the 64-bit view on
// 64-bit Windows; root HKEY_CURRENT_USER; closing a key does not flush), freed at
// shut-down. Null outside that time.
extern platform::TRegistry* Reg;

// Whether the Program Files folder found at start is usable; true until setup or
// uninstall decide otherwise.
extern bool ProgramFilesValid;

// Folders (with a trailing backslash) and keys that setup and uninstall fill.
extern std::string ProgramFolder;
extern std::string TempFolder;
extern std::string ProgramFilesFolder;
extern std::string CommonProgramsFolder;
extern std::string ProgramsFolder;
extern std::string ProgramGroupFolder;
extern std::string CommonDesktopFolder;
extern std::string UninstallKey;  // CurrentVersionKey + "Uninstall\"

// Start-up: seeds the pseudo-random generator, reads UserLCID and RussianUser, sets
// VerMajor and VerMinor to -1, describes Windows (which sets Windows64) and creates
// Reg. Reports nothing.
void InitializeCommonUnit();
// Shut-down: frees Reg, closing any key still open.
void FinalizeCommonUnit();

// Runs the start-up on construction and the shut-down on destruction.
class TCommonUnitLifetime {
 public:
  TCommonUnitLifetime() { InitializeCommonUnit(); }
  ~TCommonUnitLifetime() { FinalizeCommonUnit(); }
  TCommonUnitLifetime(const TCommonUnitLifetime&) = delete;
  TCommonUnitLifetime& operator=(const TCommonUnitLifetime&) = delete;
};

// Makes the product key HKEY_CURRENT_USER\Software\Vel\<ProductName> the current key
// of Reg, creating it when missing. Never reports a failure: the caller then reads
// and writes as if the key were open. The caller closes the key.
void OpenProductKey();

// An error message, returning when the user has closed it: RussianText with the
// caption RusTitle in Russian for a Russian user, else EnglishText with EngTitle in
// the system's language; no owner, MB_OK | MB_ICONERROR | MB_SERVICE_NOTIFICATION.
void ErrorBox(const std::string& EnglishText, const std::string& RussianText);
// The same choice for an information message, MB_OK | MB_ICONINFORMATION |
// MB_TASKMODAL | MB_TOPMOST.
void InfoBox(const std::string& EnglishText, const std::string& RussianText);

}  // namespace darvena
