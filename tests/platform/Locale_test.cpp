// The user's locale, the English language names and the time zone's bias.
#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/Registry.h"
#include "tests/support/TempMachine.h"

using namespace platform;

namespace {

void SetPosixLocale(const char* lcAll, const char* lang) {
  if (lcAll)
    setenv("LC_ALL", lcAll, 1);
  else
    unsetenv("LC_ALL");
  if (lang)
    setenv("LANG", lang, 1);
  else
    unsetenv("LANG");
}

void StoreLocale(const char* text) {
  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey("Control Panel\\International", true));
  reg.WriteString("Locale", text);
  reg.CloseKey();
}

TEST(Locale, PosixNamesGiveWindowsLocales) {
  const struct {
    const char* name;
    LCID lcid;
  } cases[] = {
      {"ru_RU.UTF-8", 1049},
      {"en_US.UTF-8", 1033},
      {"uk_UA", 1058},
      {"be_BY.UTF-8", 1059},
      {"bg_BG.UTF-8", 1026},
      {"kk_KZ.UTF-8", 1087},
      {"tt_RU.UTF-8@iqtelif", 1092},
      {"ru_MD.UTF-8", 2073},
      {"en_GB.UTF-8", 2057},
      {"de_DE.UTF-8", 1031},
      // A territory Windows has no locale for falls back to the language's main one.
      {"ru_UA.UTF-8", 1049},
      {"de_LU", 1031},
      {"fr", 1036},
      {"C", 0},
      {"POSIX", 0},
      {"C.UTF-8", 0},
      {"xx_YY", 0},
      {"", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LcidFromPosixLocale(c.name), c.lcid) << c.name;
}

TEST(Locale, UserLocaleFromRegistryThenLcAllThenLang) {
  darvena::test::TTempMachine machine;
  SetPosixLocale(nullptr, nullptr);
  EXPECT_EQ(GetUserDefaultLCID(), 1033u);  // nothing known: English (United States)
  SetPosixLocale(nullptr, "uk_UA.UTF-8");
  EXPECT_EQ(GetUserDefaultLCID(), 1058u);
  SetPosixLocale("be_BY.UTF-8", "uk_UA.UTF-8");
  EXPECT_EQ(GetUserDefaultLCID(), 1059u);
  SetPosixLocale("C", "ru_RU.UTF-8");  // a locale Windows does not know
  EXPECT_EQ(GetUserDefaultLCID(), 1033u);
  StoreLocale("0000082C");
  EXPECT_EQ(GetUserDefaultLCID(), 0x082Cu);
  StoreLocale("00000419");
  EXPECT_EQ(GetUserDefaultLCID(), 1049u);
  // What Windows would never store is not taken.
  StoreLocale("Russian");
  EXPECT_EQ(GetUserDefaultLCID(), 1033u);
}

TEST(Locale, EnglishLanguageNameThroughGetLocaleInfo) {
  darvena::test::TTempMachine machine;
  SetPosixLocale(nullptr, "ru_RU.UTF-8");
  char buf[24];
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, buf, sizeof buf), 8);
  EXPECT_STREQ(buf, "Russian");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, nullptr, 0), 8);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, buf, 7), 0);
  EXPECT_EQ(GetLocaleInfoA(0x0FFF, LOCALE_SENGLANGUAGE, buf, sizeof buf), 0);
  EXPECT_EQ(GetLocaleInfoA(1049, 0x0002, buf, sizeof buf), 0);  // a type it does not know
  const struct {
    LCID lcid;
    const char* name;
  } names[] = {{1033, "English"}, {1058, "Ukrainian"}, {1059, "Belarusian"}, {1026, "Bulgarian"},
               {1087, "Kazakh"},  {1092, "Tatar"},     {2073, "Russian"},    {2092, "Azerbaijani"}};
  for (const auto& n : names)
    EXPECT_EQ(EnglishLanguageName(n.lcid), n.name) << n.lcid;
}

TEST(TimeZone, StandardBiasOfTheSystemsZone) {
  const struct {
    const char* tz;
    int32_t bias;
    int32_t daylightBias;
  } cases[] = {
      {"UTC0", 0, 0},
      {"MSK-3", -180, 0},
      {"IST-5:30", -330, 0},
      {"EST5EDT,M3.2.0,M11.1.0", 300, -60},
      {"NST3:30NDT,M3.2.0,M11.1.0", 210, -60},
      // Southern summer: daylight time in January, the standard bias still wins.
      {"AEST-10AEDT,M10.1.0,M4.1.0/3", -600, -60},
  };
  for (const auto& c : cases) {
    setenv("TZ", c.tz, 1);
    tzset();
    TTimeZoneInformation tz;
    const uint32_t id = GetTimeZoneInformation(&tz);
    EXPECT_EQ(tz.Bias, c.bias) << c.tz;
    EXPECT_EQ(tz.DaylightBias, c.daylightBias) << c.tz;
    EXPECT_EQ(id == TIME_ZONE_ID_UNKNOWN, c.daylightBias == 0) << c.tz;
  }
}

}  // namespace
