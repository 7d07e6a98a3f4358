// The Windows registry functions over the machine's registry, for code that uses
// the registry without TRegistry. They behave as their Windows namesakes (ANSI
// strings are Windows-1251) within what the rules of RegistryKey.h describe, and
// return a Windows error code (ERROR_SUCCESS on success). A failure of the store
// itself returns ERROR_REGISTRY_CORRUPT or ERROR_REGISTRY_IO_FAILED. Reserved,
// class, option and security arguments are accepted and ignored.
#pragma once

#include <cstdint>

#include "platform/RegistryTypes.h"

namespace platform {

// Opens an existing key; *result is closed with RegCloseKey.
int32_t RegOpenKeyExA(HKEY key, const char* subKey, uint32_t options, uint32_t samDesired,
                      HKEY* result);
// Opens a key, creating it (and the keys on its way) when missing; *disposition,
// when given, says REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
int32_t RegCreateKeyExA(HKEY key, const char* subKey, uint32_t reserved, char* className,
                        uint32_t options, uint32_t samDesired, const void* security, HKEY* result,
                        uint32_t* disposition);
// Closes a handle; closing a predefined root key does nothing.
int32_t RegCloseKey(HKEY key);
// Reads a value (nullptr or "" is the default value). With data nullptr, only
// *type and *dataSize are filled; with a buffer too small for the data,
// ERROR_MORE_DATA and *dataSize holds the size needed.
int32_t RegQueryValueExA(HKEY key, const char* valueName, uint32_t* reserved, uint32_t* type,
                         uint8_t* data, uint32_t* dataSize);
// Creates or replaces a value with `dataSize` bytes of data (for strings, with
// their terminating zero).
int32_t RegSetValueExA(HKEY key, const char* valueName, uint32_t reserved, uint32_t type,
                       const uint8_t* data, uint32_t dataSize);
int32_t RegDeleteValueA(HKEY key, const char* valueName);
// Deletes the subkey with everything below it (in the view of samDesired) in one
// transaction. The subkey must be named: a key cannot delete itself.
int32_t RegDeleteTreeA(HKEY key, const char* subKey);
int32_t RegDeleteKeyExA(HKEY key, const char* subKey, uint32_t samDesired, uint32_t reserved);
// Makes sure the registry's changes are on disk.
int32_t RegFlushKey(HKEY key);

}  // namespace platform
