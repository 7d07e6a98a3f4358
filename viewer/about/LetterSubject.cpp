#include "viewer/about/LetterSubject.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/CommonUnit.h"
#include "common/OsDescriptionUnit.h"
#include "platform/Locale.h"

namespace viewer {
namespace {

// Deletes count characters at offset characters into the first occurrence of what.
void DeleteInFirst(std::string& text, std::string_view what, size_t offset, size_t count) {
  const size_t at = text.find(what);
  if (at != std::string::npos) text.erase(at + offset, count);
}

void DeleteFirst(std::string& text, std::string_view what) {
  DeleteInFirst(text, what, 0, what.size());
}

std::string Hex4(uint32_t value) {
  std::array<char, 16> digits{};
  std::snprintf(digits.data(), digits.size(), "%04X", static_cast<unsigned>(value));
  return digits.data();
}

// Blanks become %20. The characters a mail program would take for the end of the
// subject ("&" starts the next header, "#" the fragment), "%" (which would start an
// escape that is not there) and control characters are escaped as well; everything
// else, "+" included, is written as it stands.
std::string EscapeForMailto(std::string_view subject) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(subject.size() + subject.size() / 2);
  for (const char ch : subject) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ' || c == '%' || c == '&' || c == '#' || c < 0x20 || c == 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace

std::string ZoneText(int32_t bias) {
  // Hours east of UTC are -bias / 60; a half hour rounds away from zero.
  const int64_t east = -static_cast<int64_t>(bias);
  const int64_t hours = (std::llabs(east) + 30) / 60;
  std::string zone = ", UTC";
  if (bias < 0) zone += '+';
  if (east < 0 && hours != 0) zone += '-';
  zone += std::to_string(hours);
  return zone;
}

std::string ShortWindowsName(std::string description) {
  DeleteFirst(description, "Microsoft ");
  DeleteInFirst(description, "Windows ", 3, 5);
  DeleteFirst(description, "fessional");
  DeleteFirst(description, "ervice ");
  DeleteFirst(description, "ack ");
  return description;
}

std::string ComposeLetterSubject(const TLetterSubjectInputs& inputs) {
  const std::string suffix = inputs.VersionText.find('.') == std::string::npos ? ".0" : "";
  const std::string subject = inputs.ProductName + " " + inputs.VersionText + suffix + " (" +
                              ShortWindowsName(inputs.Windows) + " " + inputs.Language + " " +
                              Hex4(inputs.Lcid) + ZoneText(inputs.Bias) + ")";
  return EscapeForMailto(subject);
}

std::string UserLanguageName() {
  std::array<char, 24> buffer{};
  if (platform::GetLocaleInfoA(platform::LOCALE_USER_DEFAULT, platform::LOCALE_SENGLANGUAGE,
                               buffer.data(), static_cast<int>(buffer.size())) > 0)
    return buffer.data();
  // The name does not fit the buffer, or there is none.
  const std::string name = platform::EnglishLanguageName(platform::LOCALE_USER_DEFAULT);
  return name.empty() ? "unknown" : name.substr(0, buffer.size() - 1);
}

std::string LetterSubject() {
  platform::TTimeZoneInformation zone;
  platform::GetTimeZoneInformation(&zone);
  return ComposeLetterSubject({.ProductName = darvena::ProductName,
                               .VersionText = darvena::VersionText,
                               .Lcid = darvena::UserLCID,
                               .Language = UserLanguageName(),
                               .Bias = zone.Bias,
                               .Windows = darvena::DescribeWindows()});
}

}  // namespace viewer
