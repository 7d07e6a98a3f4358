// The vocabulary of the machine's registry, with Windows' names and values: key
// handles and the predefined root keys, access rights, value types and the error
// codes the registry routines return.
#pragma once

#include <cstdint>

namespace platform {

// A registry key handle. The predefined root keys below are fixed values that need
// no opening and are never closed; every other handle comes from RegOpenKeyExA or
// RegCreateKeyExA and is given back with RegCloseKey.
struct TRegKey;
using HKEY = TRegKey*;

inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t{0x80000001});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t{0x80000002});
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(uintptr_t{0x80000003});

// Access rights of a key handle.
inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr uint32_t KEY_NOTIFY = 0x0010;
inline constexpr uint32_t KEY_CREATE_LINK = 0x0020;
inline constexpr uint32_t KEY_WOW64_64KEY = 0x0100;    // the native (64-bit) view
inline constexpr uint32_t KEY_WOW64_32KEY = 0x0200;    // the 32-bit view
inline constexpr uint32_t DELETE_ACCESS = 0x00010000;  // Windows' DELETE
inline constexpr uint32_t READ_CONTROL = 0x00020000;
inline constexpr uint32_t WRITE_DAC = 0x00040000;
inline constexpr uint32_t WRITE_OWNER = 0x00080000;
inline constexpr uint32_t STANDARD_RIGHTS_READ = READ_CONTROL;
inline constexpr uint32_t STANDARD_RIGHTS_WRITE = READ_CONTROL;
inline constexpr uint32_t STANDARD_RIGHTS_ALL = 0x001F0000;
inline constexpr uint32_t MAXIMUM_ALLOWED = 0x02000000;
inline constexpr uint32_t GENERIC_ALL = 0x10000000;
inline constexpr uint32_t GENERIC_WRITE = 0x40000000;
inline constexpr uint32_t GENERIC_READ = 0x80000000;
inline constexpr uint32_t KEY_READ = 0x00020019;
inline constexpr uint32_t KEY_WRITE = 0x00020006;
inline constexpr uint32_t KEY_EXECUTE = KEY_READ;
inline constexpr uint32_t KEY_ALL_ACCESS = 0x000F003F;

// Value types.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_MULTI_SZ = 7;

// Results of RegCreateKeyExA.
inline constexpr uint32_t REG_CREATED_NEW_KEY = 1;
inline constexpr uint32_t REG_OPENED_EXISTING_KEY = 2;

// Error codes of the registry routines (besides those of PlatformError.h).
inline constexpr int32_t ERROR_SUCCESS = 0;
inline constexpr int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr int32_t ERROR_BAD_PATHNAME = 161;
inline constexpr int32_t ERROR_MORE_DATA = 234;
inline constexpr int32_t ERROR_REGISTRY_CORRUPT = 1015;    // the store is damaged
inline constexpr int32_t ERROR_REGISTRY_IO_FAILED = 1016;  // the store cannot be used
inline constexpr int32_t ERROR_KEY_DELETED = 1018;

}  // namespace platform
