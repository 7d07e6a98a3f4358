// Registry files: the "Windows Registry Editor Version 5.00" text format, written
// as UTF-8 with CR LF line ends. Reading also takes UTF-16 files (with their byte
// order mark) and the older "REGEDIT4" format.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "RegKeyName.h"
#include "platform/RegistryStore.h"

namespace reg {

// The text of a registry file holding `key` with everything below it, in the view
// of `view` (KEY_WOW64_* bits). A Windows error code; ERROR_SUCCESS when *text is
// filled.
[[nodiscard]] int32_t ExportKey(const std::shared_ptr<platform::TRegistryStore>& store,
                                const TKeyName& key, uint32_t view, std::string* text);

// Applies a registry file to the registry: creates the keys it names, deletes the
// keys and values it marks with "-", writes its values. All of it or, when any part
// fails, nothing; then *error names the line and the fault.
[[nodiscard]] bool ImportFile(const std::shared_ptr<platform::TRegistryStore>& store,
                              std::string_view bytes, uint32_t view, std::string* error);

}  // namespace reg
