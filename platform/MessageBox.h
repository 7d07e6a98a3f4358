// Message boxes: MessageBoxA and MessageBoxExA with Windows' flags, button sets,
// results and language identifiers. Text and caption are Windows-1251.
//
// Where a box appears is decided for each box, in this order:
//  1. scripted, when DARVENA_MSGBOX_TRANSCRIPT or DARVENA_MSGBOX_ANSWERS is set: the
//     box is appended to the transcript file (see MessageBoxScript.h) and answered
//     from the answers list, or with its default button; nothing is shown;
//  2. the front end the program installed with SetMessageBoxFrontEnd (the windowed
//     programs install a Qt dialog at start-up when they have a display);
//  3. a prompt on the terminal when standard input is one; otherwise the box is
//     written to standard error and answered with its default button, so that a
//     program without a display or terminal never blocks on a question.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Button sets (the low four bits of the flags).
inline constexpr uint32_t MB_OK = 0x00000000;
inline constexpr uint32_t MB_OKCANCEL = 0x00000001;
inline constexpr uint32_t MB_YESNOCANCEL = 0x00000003;
inline constexpr uint32_t MB_YESNO = 0x00000004;
inline constexpr uint32_t MB_TYPEMASK = 0x0000000F;
// Icons.
inline constexpr uint32_t MB_ICONERROR = 0x00000010;  // also MB_ICONHAND, MB_ICONSTOP
inline constexpr uint32_t MB_ICONQUESTION = 0x00000020;
inline constexpr uint32_t MB_ICONWARNING = 0x00000030;      // also MB_ICONEXCLAMATION
inline constexpr uint32_t MB_ICONINFORMATION = 0x00000040;  // also MB_ICONASTERISK
inline constexpr uint32_t MB_ICONMASK = 0x000000F0;
// Default button.
inline constexpr uint32_t MB_DEFBUTTON1 = 0x00000000;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x00000100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x00000200;
inline constexpr uint32_t MB_DEFMASK = 0x00000F00;
// Modality and placement.
inline constexpr uint32_t MB_APPLMODAL = 0x00000000;
inline constexpr uint32_t MB_SYSTEMMODAL = 0x00001000;
inline constexpr uint32_t MB_TASKMODAL = 0x00002000;
inline constexpr uint32_t MB_SETFOREGROUND = 0x00010000;
inline constexpr uint32_t MB_TOPMOST = 0x00040000;
inline constexpr uint32_t MB_SERVICE_NOTIFICATION = 0x00200000;

// Results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Language identifiers: the primary language in the low ten bits.
inline constexpr uint16_t LANG_NEUTRAL = 0x00;
inline constexpr uint16_t LANG_ENGLISH = 0x09;
inline constexpr uint16_t LANG_RUSSIAN = 0x19;
[[nodiscard]] constexpr uint16_t PrimaryLangId(uint16_t langId) {
  return langId & 0x03FF;
}

// One button of a box: its result and its label (Windows-1251).
struct TMessageBoxButton {
  int Id = IDOK;
  std::string Label;
};

// Everything a front end needs to show one box.
struct TMessageBoxRequest {
  void* Owner = nullptr;     // the owner window's handle; null for none
  std::string Text;          // Windows-1251; lines separated by CR LF, LF or CR
  std::string Caption;       // Windows-1251
  uint32_t Flags = 0;        // MB_* as the caller gave them
  bool HasLanguage = false;  // MessageBoxExA passes a language, MessageBoxA does not
  uint16_t Language = 0;     // as the caller gave it when HasLanguage
  // The buttons in their order on the box, labelled in the box's language, and the
  // index of the default one.
  std::vector<TMessageBoxButton> Buttons;
  size_t DefaultButton = 0;
};

// A front end shows the box and returns the result of the button the user chose
// (one of the request's button ids). A box without a Cancel button that the user
// dismisses otherwise answers its only button; a front end should make that so.
using TMessageBoxFrontEnd = std::function<int(const TMessageBoxRequest&)>;

// Installs the front end of step 2 above for the rest of the process; an empty one
// removes it. Call it from the main thread before the first box.
void SetMessageBoxFrontEnd(TMessageBoxFrontEnd frontEnd);

// Shows a box with the button labels of the system's own language and returns the
// chosen button's result; 0 when the flags ask for a button set this system does
// not offer (nothing is shown then).
int MessageBoxA(void* owner, const std::string& text, const std::string& caption, uint32_t flags);

// The same, with the buttons labelled in the given language: a primary language of
// LANG_RUSSIAN gives the Russian labels, LANG_NEUTRAL the system's own, any other
// the English ones.
int MessageBoxExA(void* owner, const std::string& text, const std::string& caption, uint32_t flags,
                  uint16_t languageId);

// The buttons, labels and default of a box with these flags and language
// (HasLanguage false: the system's own). Empty when the button set is unknown.
[[nodiscard]] TMessageBoxRequest MakeMessageBoxRequest(void* owner, const std::string& text,
                                                       const std::string& caption, uint32_t flags,
                                                       bool hasLanguage, uint16_t languageId);

// The name of a result as the transcript and the terminal write it ("OK", "Cancel",
// "Yes", "No"), and back (any case; also the number). -1 when unknown.
[[nodiscard]] std::string MessageBoxResultName(int id);
[[nodiscard]] int MessageBoxResultFromName(const std::string& name);

}  // namespace platform
