#include "platform/Locale.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include "platform/Registry.h"

namespace platform {
namespace {

struct TLocaleEntry {
  const char* Name;  // language, or language_TERRITORY
  LCID Lcid;
};

// Pairs first: a POSIX name matches its pair before its language.
constexpr TLocaleEntry kLocales[] = {
    {"ru_RU", 0x0419},
    {"ru_MD", 0x0819},
    {"en_US", 0x0409},
    {"en_GB", 0x0809},
    {"en_AU", 0x0C09},
    {"en_CA", 0x1009},
    {"en_NZ", 0x1409},
    {"en_IE", 0x1809},
    {"uk_UA", 0x0422},
    {"be_BY", 0x0423},
    {"bg_BG", 0x0402},
    {"kk_KZ", 0x043F},
    {"tt_RU", 0x0444},
    {"de_DE", 0x0407},
    {"de_CH", 0x0807},
    {"de_AT", 0x0C07},
    {"fr_FR", 0x040C},
    {"fr_BE", 0x080C},
    {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C},
    {"it_IT", 0x0410},
    {"it_CH", 0x0810},
    {"es_ES", 0x0C0A},
    {"es_MX", 0x080A},
    {"pt_BR", 0x0416},
    {"pt_PT", 0x0816},
    {"nl_NL", 0x0413},
    {"nl_BE", 0x0813},
    {"sv_SE", 0x041D},
    {"sv_FI", 0x081D},
    {"zh_CN", 0x0804},
    {"zh_TW", 0x0404},
    {"zh_HK", 0x0C04},
    {"sr_RS", 0x281A},
    {"az_AZ", 0x042C},
    // Languages alone: the language's main locale.
    {"ar", 0x0401},
    {"bg", 0x0402},
    {"ca", 0x0403},
    {"zh", 0x0804},
    {"cs", 0x0405},
    {"da", 0x0406},
    {"de", 0x0407},
    {"el", 0x0408},
    {"en", 0x0409},
    {"es", 0x0C0A},
    {"fi", 0x040B},
    {"fr", 0x040C},
    {"he", 0x040D},
    {"hu", 0x040E},
    {"is", 0x040F},
    {"it", 0x0410},
    {"ja", 0x0411},
    {"ko", 0x0412},
    {"nl", 0x0413},
    {"nb", 0x0414},
    {"no", 0x0414},
    {"pl", 0x0415},
    {"pt", 0x0416},
    {"ro", 0x0418},
    {"ru", 0x0419},
    {"hr", 0x041A},
    {"sk", 0x041B},
    {"sq", 0x041C},
    {"sv", 0x041D},
    {"th", 0x041E},
    {"tr", 0x041F},
    {"ur", 0x0420},
    {"id", 0x0421},
    {"uk", 0x0422},
    {"be", 0x0423},
    {"sl", 0x0424},
    {"et", 0x0425},
    {"lv", 0x0426},
    {"lt", 0x0427},
    {"tg", 0x0428},
    {"fa", 0x0429},
    {"vi", 0x042A},
    {"hy", 0x042B},
    {"az", 0x042C},
    {"eu", 0x042D},
    {"mk", 0x042F},
    {"ka", 0x0437},
    {"hi", 0x0439},
    {"kk", 0x043F},
    {"ky", 0x0440},
    {"uz", 0x0443},
    {"tt", 0x0444},
    {"mn", 0x0450},
    {"sr", 0x281A},
};

struct TLanguageName {
  uint16_t Primary;
  const char* Name;
};

constexpr TLanguageName kLanguageNames[] = {
    {0x01, "Arabic"},     {0x02, "Bulgarian"},  {0x03, "Catalan"},     {0x04, "Chinese"},
    {0x05, "Czech"},      {0x06, "Danish"},     {0x07, "German"},      {0x08, "Greek"},
    {0x09, "English"},    {0x0A, "Spanish"},    {0x0B, "Finnish"},     {0x0C, "French"},
    {0x0D, "Hebrew"},     {0x0E, "Hungarian"},  {0x0F, "Icelandic"},   {0x10, "Italian"},
    {0x11, "Japanese"},   {0x12, "Korean"},     {0x13, "Dutch"},       {0x14, "Norwegian"},
    {0x15, "Polish"},     {0x16, "Portuguese"}, {0x18, "Romanian"},    {0x19, "Russian"},
    {0x1A, "Croatian"},   {0x1B, "Slovak"},     {0x1C, "Albanian"},    {0x1D, "Swedish"},
    {0x1E, "Thai"},       {0x1F, "Turkish"},    {0x20, "Urdu"},        {0x21, "Indonesian"},
    {0x22, "Ukrainian"},  {0x23, "Belarusian"}, {0x24, "Slovenian"},   {0x25, "Estonian"},
    {0x26, "Latvian"},    {0x27, "Lithuanian"}, {0x28, "Tajik"},       {0x29, "Persian"},
    {0x2A, "Vietnamese"}, {0x2B, "Armenian"},   {0x2C, "Azerbaijani"}, {0x2D, "Basque"},
    {0x2F, "Macedonian"}, {0x37, "Georgian"},   {0x39, "Hindi"},       {0x3F, "Kazakh"},
    {0x40, "Kyrgyz"},     {0x43, "Uzbek"},      {0x44, "Tatar"},       {0x50, "Mongolian"},
};

// The locale kept in the registry, as eight hexadecimal digits.
std::optional<LCID> StoredUserLocale() {
  std::string text;
  try {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly("Control Panel\\International") ||
        reg.GetDataType("Locale") != TRegDataType::rdString)
      return std::nullopt;
    text = reg.ReadString("Locale");
  } catch (const ERegistryException&) {
    return std::nullopt;  // an unreadable registry: the POSIX locale decides
  }
  if (text.empty() || text.size() > 8) return std::nullopt;
  LCID lcid = 0;
  for (char c : text) {
    const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                  : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                  : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                              : -1;
    if (d < 0) return std::nullopt;
    lcid = lcid * 16 + static_cast<LCID>(d);
  }
  return lcid ? std::optional<LCID>(lcid) : std::nullopt;
}

// LC_ALL, then LANG, as the C library would choose the locale of messages.
std::string PosixLocaleName() {
  for (const char* var : {"LC_ALL", "LANG"})
    if (const char* v = std::getenv(var); v && *v) return v;
  return {};
}

// The UTC offset in seconds of a local time at noon of the given month this year.
long OffsetInMonth(int month) {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  t.tm_mon = month;
  t.tm_mday = 1;
  t.tm_hour = 12;
  t.tm_min = t.tm_sec = 0;
  t.tm_isdst = -1;
  const std::time_t when = std::mktime(&t);
  std::tm local{};
  localtime_r(&when, &local);
  return local.tm_gmtoff;
}

}  // namespace

LCID LcidFromPosixLocale(std::string_view name) {
  // language[_TERRITORY][.codeset][@modifier]
  const size_t end = name.find_first_of(".@");
  std::string base(name.substr(0, end));
  const size_t underscore = base.find('_');
  std::string language = base.substr(0, underscore);
  std::transform(language.begin(), language.end(), language.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::string territory = underscore == std::string::npos ? "" : base.substr(underscore + 1);
  std::transform(territory.begin(), territory.end(), territory.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (!territory.empty()) {
    const std::string pair = language + "_" + territory;
    for (const TLocaleEntry& e : kLocales)
      if (pair == e.Name) return e.Lcid;
  }
  for (const TLocaleEntry& e : kLocales)
    if (language == e.Name) return e.Lcid;
  return 0;
}

LCID GetUserDefaultLCID() {
  if (const std::optional<LCID> stored = StoredUserLocale()) return *stored;
  const LCID fromPosix = LcidFromPosixLocale(PosixLocaleName());
  return fromPosix ? fromPosix : kLcidEnglishUs;
}

std::string EnglishLanguageName(LCID locale) {
  if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT || locale == 0)
    locale = GetUserDefaultLCID();
  const uint16_t primary = locale & 0x03FF;
  for (const TLanguageName& n : kLanguageNames)
    if (n.Primary == primary) return n.Name;
  return {};
}

int GetLocaleInfoA(LCID locale, uint32_t type, char* data, int size) {
  if (type != LOCALE_SENGLANGUAGE || size < 0) return 0;
  const std::string name = EnglishLanguageName(locale);
  if (name.empty()) return 0;
  const int needed = static_cast<int>(name.size()) + 1;
  if (size == 0) return needed;
  if (size < needed || data == nullptr) return 0;
  std::memcpy(data, name.c_str(), static_cast<size_t>(needed));
  return needed;
}

uint32_t GetTimeZoneInformation(TTimeZoneInformation* tz) {
  const long january = OffsetInMonth(0);
  const long july = OffsetInMonth(6);
  // Daylight saving moves clocks forward, so the standard offset is the smaller one.
  const long standard = std::min(january, july);
  const long daylight = std::max(january, july);
  tz->Bias = static_cast<int32_t>(-standard / 60);
  tz->StandardBias = 0;
  tz->DaylightBias = static_cast<int32_t>(-(daylight - standard) / 60);
  if (standard == daylight) return TIME_ZONE_ID_UNKNOWN;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_isdst > 0 ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
}

}  // namespace platform
