#include "viewer/about/LetterSubject.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "common/CommonUnit.h"
#include "platform/CodePage.h"
#include "tests/support/TempMachine.h"

namespace viewer {
namespace {

constexpr const char* kXpPro = "Microsoft Windows XP Professional Service Pack 3";

TLetterSubjectInputs Inputs(std::string version, uint32_t lcid, std::string language, int32_t bias,
                            std::string windows) {
  return {.ProductName = "Darvena",
          .VersionText = std::move(version),
          .Lcid = lcid,
          .Language = std::move(language),
          .Bias = bias,
          .Windows = std::move(windows)};
}

TEST(LetterSubject, ComposedFromVersionWindowsLanguageLocaleAndZone) {
  struct TCase {
    TLetterSubjectInputs In;
    const char* Expected;
  };
  const TCase cases[] = {
      {Inputs("1.4 beta 7", 0x0419, "Russian", -180, kXpPro),
       "Darvena%201.4%20beta%207%20(WinXP%20Pro%20SP3%20Russian%200419,%20UTC+3)"},
      // A version without a dot gets ".0"; UTC itself has no sign.
      {Inputs("2", 0x0409, "English", 0, "Microsoft Windows 10 Professional 64-bit"),
       "Darvena%202.0%20(Win10%20Pro%2064-bit%20English%200409,%20UTC0)"},
      // Half hours round away from zero, both ways.
      {Inputs("1.4 beta 7", 0x4009, "English", -330, kXpPro),
       "Darvena%201.4%20beta%207%20(WinXP%20Pro%20SP3%20English%204009,%20UTC+6)"},
      {Inputs("1.4", 0x0C0C, "French", 210, kXpPro),
       "Darvena%201.4%20(WinXP%20Pro%20SP3%20French%200C0C,%20UTC-4)"},
      {Inputs("1.4", 0x0409, "English", 300, kXpPro),
       "Darvena%201.4%20(WinXP%20Pro%20SP3%20English%200409,%20UTC-5)"},
      // Short identifiers are padded to four digits, long ones keep all of theirs.
      {Inputs("1.4", 0x7F, "Invariant", 0, kXpPro),
       "Darvena%201.4%20(WinXP%20Pro%20SP3%20Invariant%20007F,%20UTC0)"},
      {Inputs("1.4", 0x10407, "German", -60, kXpPro),
       "Darvena%201.4%20(WinXP%20Pro%20SP3%20German%2010407,%20UTC+1)"},
      // The viewer's description when the registry's product name cannot be read:
      // both blanks survive.
      {Inputs("1.4 beta 7", 0x0419, "Russian", -180, "Microsoft Windows 10  64-bit"),
       "Darvena%201.4%20beta%207%20(Win10%20%2064-bit%20Russian%200419,%20UTC+3)"},
      {Inputs("1.4 beta 7", 0x0419, "Russian", -180, "unknown"),
       "Darvena%201.4%20beta%207%20(unknown%20Russian%200419,%20UTC+3)"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ComposeLetterSubject(c.In), c.Expected) << c.In.Windows << " " << c.In.Bias;
}

TEST(LetterSubject, ZoneIsWholeHoursEastOfUtc) {
  const std::pair<int32_t, const char*> cases[] = {
      {-180, ", UTC+3"}, {300, ", UTC-5"},   {0, ", UTC0"},     {-330, ", UTC+6"},
      {210, ", UTC-4"},  {30, ", UTC-1"},    {-30, ", UTC+1"},  {20, ", UTC0"},
      {-20, ", UTC+0"},  {-765, ", UTC+13"}, {720, ", UTC-12"}, {-840, ", UTC+14"},
  };
  for (const auto& [bias, zone] : cases)
    EXPECT_EQ(ZoneText(bias), zone) << bias;
}

TEST(LetterSubject, WindowsShortenedAtFirstOccurrences) {
  const std::pair<const char*, const char*> cases[] = {
      {kXpPro, "WinXP Pro SP3"},
      {"Microsoft Windows Server 2003 R2 Standard x64 Service Pack 2",
       "WinServer 2003 R2 Standard x64 SP2"},
      // Only the first occurrence of each goes.
      {"Microsoft Windows Professional Professional", "WinPro Professional"},
      {"Microsoft Windows 7 Ultimate 64-bit Service Pack 1 Service Pack 1",
       "Win7 Ultimate 64-bit SP1 Service Pack 1"},
      // Nothing to shorten.
      {"unknown", "unknown"},
      {"Windows", "Windows"},
      {"", ""},
  };
  for (const auto& [description, shortened] : cases)
    EXPECT_EQ(ShortWindowsName(description), shortened) << description;
}

TEST(LetterSubject, OnlyWhatWouldBreakTheLinkIsEscaped) {
  // "+" and "," stay; "&" and "#" would end the subject inside a mailto: link, "%"
  // would start an escape that is not there.
  const std::string windows = platform::Utf8ToAnsi("Windows 10 Pro+ R&D #1 100% ©");
  EXPECT_EQ(ComposeLetterSubject(Inputs("1.4", 0x0419, "Russian", -180, windows)),
            "Darvena%201.4%20(Win10%20Pro+%20R%26D%20%231%20100%25%20" + platform::Utf8ToAnsi("©") +
                "%20Russian%200419,%20UTC+3)");
}

TEST(LetterSubject, ReadsTheProgramAndTheSystem) {
  darvena::test::TTempMachine machine;
  setenv("TZ", "IST-5:30", 1);
  tzset();
  unsetenv("LC_ALL");
  setenv("LANG", "ru_RU.UTF-8", 1);
  darvena::ProductName = "Darvena";
  darvena::VersionText = "1.4 beta 7";
  darvena::UserLCID = 0x0419;

  EXPECT_EQ(UserLanguageName(), "Russian");
  const std::string subject = LetterSubject();
  // The machine is a 64-bit Windows by default.
  EXPECT_EQ(subject.rfind("Darvena%201.4%20beta%207%20(Win", 0), 0u) << subject;
  EXPECT_NE(subject.find("64-bit%20Russian%200419,%20UTC+6)"), std::string::npos) << subject;
}

}  // namespace
}  // namespace viewer
