// The commands of reg. Each writes what it has to say to standard output, its
// failure as one line to standard error, and returns the exit code: 0 on success,
// 1 on failure.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "RegKeyName.h"
#include "platform/RegistryStore.h"

namespace reg {

// The command line after the command word, switches taken apart.
struct TOptions {
  TKeyName key;
  std::optional<std::string> valueName;  // /v NAME, or "" for /ve
  bool allValues = false;                // /va
  bool recursive = false;                // /s (query)
  std::optional<std::string> type;       // /t
  std::optional<std::string> data;       // /d
  std::string separator;                 // /s (add, REG_MULTI_SZ)
  bool force = false;                    // /f, or /y for export
  uint32_t view = 0;                     // KEY_WOW64_32KEY or KEY_WOW64_64KEY
  std::string file;                      // export, import
};

using TStore = std::shared_ptr<platform::TRegistryStore>;

int RunQuery(const TStore& store, const TOptions& options);
int RunAdd(const TStore& store, const TOptions& options);
int RunDelete(const TStore& store, const TOptions& options);
int RunExport(const TStore& store, const TOptions& options);
int RunImport(const TStore& store, const TOptions& options);

// Writes "ERROR: " and the message (Windows-1251) as one line to standard error;
// returns 1.
int Fail(const std::string& message);

}  // namespace reg
