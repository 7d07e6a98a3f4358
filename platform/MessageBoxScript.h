// The scripted message-box front end, for tests and unattended runs.
//
// DARVENA_MSGBOX_TRANSCRIPT names a file to which every box is appended as one line
// of UTF-8, five tab-separated fields in this order:
//
//   caption=<caption>  text=<text>  flags=0x<8 hex digits>  language=<0x + 4 hex digits | none>
//   answer=<OK | Cancel | Yes | No>
//
// Backslash, tab, CR and LF inside caption and text are written as \\, \t, \r and \n.
// "language=none" marks a box from MessageBoxA, which passes no language.
//
// DARVENA_MSGBOX_ANSWERS lists the answers, separated by commas or blanks, as result
// names (ok, cancel, yes, no, any case) or numbers. Box number N (counted from 0)
// takes answer N; boxes beyond the list, and answers that name no button of their
// box, take the box's default button (the latter with a warning on standard error).
// With a transcript, N counts the boxes already in it, so a list is consumed in order
// across all the processes that share the transcript; without one, within the process.
#pragma once

#include <optional>
#include <string>

#include "platform/MessageBox.h"

namespace platform {

// One box as the transcript holds it. Caption and text are Windows-1251.
struct TMessageBoxRecord {
  std::string Caption;
  std::string Text;
  uint32_t Flags = 0;
  bool HasLanguage = false;
  uint16_t Language = 0;
  int Answer = 0;
};

// Whether the scripted front end is in use (either variable set and not empty).
[[nodiscard]] bool ScriptedMessageBoxesActive();

// Answers a box the scripted way, appending it to the transcript when there is one.
int ShowScriptedMessageBox(const TMessageBoxRequest& request);

// One transcript line (without its line end) for a record, and back; nullopt when
// the line is not a well-formed record.
[[nodiscard]] std::string FormatMessageBoxRecord(const TMessageBoxRecord& record);
[[nodiscard]] std::optional<TMessageBoxRecord> ParseMessageBoxRecord(const std::string& line);

}  // namespace platform
