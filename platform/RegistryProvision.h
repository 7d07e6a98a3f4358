// The keys every machine's registry has.
#pragma once

#include "platform/RegistryStore.h"

namespace platform {

// Creates the machine's store when it is missing and makes sure it holds the keys
// and values every machine has, pointing at the machine's folders:
//   HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion: ProgramFilesDir (C:\Program Files;
//     C:\Program Files (x86) in the 32-bit view), with Explorer\Shell Folders of all
//     users (Common Desktop, Common Programs, Common Startup, Common AppData) in both
//     views, and an empty Uninstall key;
//   HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment:
//     PROCESSOR_ARCHITECTURE (AMD64);
//   HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders: Desktop,
//     Programs, Startup, AppData, Personal, below the user's profile; an empty
//     HKCU\Software\Microsoft\Windows\CurrentVersion\Run;
//   HKEY_USERS\.DEFAULT\Software.
// Values that exist are left as they are. Idempotent, and safe when several
// processes provision at once. Throws ERegistryStoreError when the store cannot be
// created or used.
void ProvisionRegistry();

// The same for a store already open; every opening of the machine's store runs it,
// and it writes only when something is missing.
void ProvisionRegistryStore(TRegistryStore& store);

}  // namespace platform
