// Value types and data as reg shows them and takes them on its command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace reg {

inline constexpr uint32_t kRegQword = 11;  // REG_QWORD

// "REG_SZ" for REG_SZ and so on; "REG_0x..." for a type without a name.
[[nodiscard]] std::string TypeName(uint32_t type);
// The type of a name reg add accepts (any case); empty for others.
[[nodiscard]] std::optional<uint32_t> TypeFromName(std::string_view name);

// The data as reg query shows it (Windows-1251): strings as they are, integers in
// hexadecimal with "0x", REG_MULTI_SZ with "\0" between its strings, anything else
// as hexadecimal digits.
[[nodiscard]] std::string DisplayData(uint32_t type, const std::string& data);

// The bytes of a value of `type` given as reg add's /d text; `separator` splits
// REG_MULTI_SZ strings ("\0" when empty). False, with a message, for data the type
// cannot take.
[[nodiscard]] bool DataFromText(uint32_t type, std::string_view text, std::string_view separator,
                                std::string* data, std::string* error);

}  // namespace reg
