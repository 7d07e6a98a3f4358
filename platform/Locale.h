// The user's locale and the time zone, as Windows reports them.
//
// The user's locale is the value "Locale" of HKEY_CURRENT_USER\Control Panel\International
// (eight hexadecimal digits, as Windows keeps it) when it is there, else the one the
// POSIX locale of the process names (LC_ALL, then LANG), else English (United States).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using LCID = uint32_t;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID kLcidEnglishUs = 0x0409;

// GetLocaleInfoA information types.
inline constexpr uint32_t LOCALE_SENGLANGUAGE = 0x1001;

// The user's default locale identifier.
[[nodiscard]] LCID GetUserDefaultLCID();

// The locale identifier for a POSIX locale name such as "ru_RU.UTF-8" or "uk_UA":
// the pair of language and territory when Windows has it, else the language's main
// locale, else 0 (also for "C" and "POSIX").
[[nodiscard]] LCID LcidFromPosixLocale(std::string_view name);

// The English name of the locale's language ("Russian"), empty when unknown.
// LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT stand for the user's locale.
[[nodiscard]] std::string EnglishLanguageName(LCID locale);

// Windows' GetLocaleInfoA for LOCALE_SENGLANGUAGE: copies the text with its closing
// zero into data and returns the number of characters written, the zero included.
// With size 0 it returns the size needed and writes nothing. Returns 0 when the
// locale or type is unknown or the buffer is too small.
int GetLocaleInfoA(LCID locale, uint32_t type, char* data, int size);

inline constexpr uint32_t TIME_ZONE_ID_UNKNOWN = 0;
inline constexpr uint32_t TIME_ZONE_ID_STANDARD = 1;
inline constexpr uint32_t TIME_ZONE_ID_DAYLIGHT = 2;

// The parts of TIME_ZONE_INFORMATION the programs use. Biases are in minutes, UTC =
// local time + bias; Bias is the zone's standard bias, without daylight saving.
struct TTimeZoneInformation {
  int32_t Bias = 0;
  int32_t StandardBias = 0;
  int32_t DaylightBias = 0;  // added to Bias while daylight saving is in force
};

// Fills tz from the system's time zone (TZ, else /etc/localtime) and says whether
// the zone knows daylight saving and, if so, which time is in force now.
uint32_t GetTimeZoneInformation(TTimeZoneInformation* tz);

}  // namespace platform
