// The subject of the letter to the author: it tells the author which version of
// the program, on which Windows, in which language, locale and time zone a letter
// comes from, written for a mailto: link ("Darvena%201.4%20beta%207%20(WinXP%20...").
#pragma once

#include <cstdint>
#include <string>

namespace viewer {

// What the subject is made of, as the system reports it.
struct TLetterSubjectInputs {
  std::string ProductName;  // "Darvena"
  std::string VersionText;  // "1.4 beta 7"
  uint32_t Lcid = 0;        // the user's default locale, 0x0419
  std::string Language;     // the English name of the user's language, "Russian"
  int32_t Bias = 0;         // minutes, UTC = local time + Bias, without daylight saving
  std::string Windows;      // the description of Windows, not yet shortened
};

// ", UTC+3" for the bias -180: the hours east of UTC, a half hour rounded away from
// zero, with "+" for zones east of UTC and the minus sign for zones west of it
// (", UTC0" for UTC itself, ", UTC-5" for the bias 300).
[[nodiscard]] std::string ZoneText(int32_t bias);

// The description of Windows in short: "Microsoft Windows XP Professional Service
// Pack 3" gives "WinXP Pro SP3". Each shortening acts on the first occurrence only.
[[nodiscard]] std::string ShortWindowsName(std::string description);

// The subject, ready to stand behind "?subject=" in a mailto: link:
// "<product> <version>[.0] (<windows> <language> <LCID>, UTC<zone>)", where ".0"
// follows a version without a dot and the LCID has at least four upper-case
// hexadecimal digits. Every blank is written as %20, and "+" stays as it is; the
// few characters that would end or break the subject inside a link ("%", "&", "#"
// and control characters) are percent-escaped too.
[[nodiscard]] std::string ComposeLetterSubject(const TLetterSubjectInputs& inputs);

// The English name of the user's language as the locale query gives it in a buffer
// of 24 characters; the first 23 characters of a longer name, and "unknown" when
// the system knows no name for the user's language.
[[nodiscard]] std::string UserLanguageName();

// The subject for this program and this system: the product name, version and
// locale of the common environment, the user's language, the time zone's bias and
// the description of the running Windows.
[[nodiscard]] std::string LetterSubject();

}  // namespace viewer
