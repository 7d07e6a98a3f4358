#include "platform/MessageBox.h"

#include <cctype>
#include <utility>

#include "platform/Locale.h"
#include "platform/MessageBoxScript.h"
#include "platform/MessageBoxTerminal.h"

namespace platform {
namespace {

// The front end a program installed, like the window station a Windows program
// gets: one per process, set at start-up.
TMessageBoxFrontEnd installedFrontEnd;

struct TLabels {
  const char* Ok;
  const char* Cancel;
  const char* Yes;
  const char* No;
};

// Windows-1251 labels.
constexpr TLabels kEnglishLabels{"OK", "Cancel", "Yes", "No"};
constexpr TLabels kRussianLabels{"\xCE\xCA",                  // ОК
                                 "\xCE\xF2\xEC\xE5\xED\xE0",  // Отмена
                                 "\xC4\xE0",                  // Да
                                 "\xCD\xE5\xF2"};             // Нет

const TLabels& LabelsFor(bool hasLanguage, uint16_t languageId) {
  uint16_t primary = hasLanguage ? PrimaryLangId(languageId) : LANG_NEUTRAL;
  if (primary == LANG_NEUTRAL) primary = PrimaryLangId(static_cast<uint16_t>(GetUserDefaultLCID()));
  return primary == LANG_RUSSIAN ? kRussianLabels : kEnglishLabels;
}

int Show(const TMessageBoxRequest& request) {
  if (request.Buttons.empty()) return 0;
  if (ScriptedMessageBoxesActive()) return ShowScriptedMessageBox(request);
  if (installedFrontEnd) return installedFrontEnd(request);
  return ShowTerminalMessageBox(request);
}

}  // namespace

void SetMessageBoxFrontEnd(TMessageBoxFrontEnd frontEnd) {
  installedFrontEnd = std::move(frontEnd);
}

TMessageBoxRequest MakeMessageBoxRequest(void* owner, const std::string& text,
                                         const std::string& caption, uint32_t flags,
                                         bool hasLanguage, uint16_t languageId) {
  TMessageBoxRequest r;
  r.Owner = owner;
  r.Text = text;
  r.Caption = caption;
  r.Flags = flags;
  r.HasLanguage = hasLanguage;
  r.Language = languageId;
  const TLabels& l = LabelsFor(hasLanguage, languageId);
  switch (flags & MB_TYPEMASK) {
    case MB_OK:
      r.Buttons = {{IDOK, l.Ok}};
      break;
    case MB_OKCANCEL:
      r.Buttons = {{IDOK, l.Ok}, {IDCANCEL, l.Cancel}};
      break;
    case MB_YESNOCANCEL:
      r.Buttons = {{IDYES, l.Yes}, {IDNO, l.No}, {IDCANCEL, l.Cancel}};
      break;
    case MB_YESNO:
      r.Buttons = {{IDYES, l.Yes}, {IDNO, l.No}};
      break;
    default:
      return r;  // a button set this system does not offer
  }
  // As on Windows, a default button beyond the set falls back to the first.
  const size_t def = (flags & MB_DEFMASK) >> 8;
  r.DefaultButton = def < r.Buttons.size() ? def : 0;
  return r;
}

int MessageBoxA(void* owner, const std::string& text, const std::string& caption, uint32_t flags) {
  return Show(MakeMessageBoxRequest(owner, text, caption, flags, false, 0));
}

int MessageBoxExA(void* owner, const std::string& text, const std::string& caption, uint32_t flags,
                  uint16_t languageId) {
  return Show(MakeMessageBoxRequest(owner, text, caption, flags, true, languageId));
}

std::string MessageBoxResultName(int id) {
  switch (id) {
    case IDOK:
      return "OK";
    case IDCANCEL:
      return "Cancel";
    case IDYES:
      return "Yes";
    case IDNO:
      return "No";
    default:
      return std::to_string(id);
  }
}

int MessageBoxResultFromName(const std::string& name) {
  std::string n;
  for (char c : name)
    n += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (n == "ok" || n == "idok") return IDOK;
  if (n == "cancel" || n == "idcancel") return IDCANCEL;
  if (n == "yes" || n == "idyes") return IDYES;
  if (n == "no" || n == "idno") return IDNO;
  if (!n.empty() && n.find_first_not_of("0123456789") == std::string::npos && n.size() < 6)
    return std::stoi(n);
  return -1;
}

}  // namespace platform
