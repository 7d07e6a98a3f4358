// The filter engine: narrows a text to the lines or paragraphs that contain every
// word of a key (or, with the whole-word option, the key as one whole-word phrase),
// colouring every match red. It knows nothing of windows; the main window and the
// command-line filter both run it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "viewer/FilterText.h"
#include "viewer/Paragraphs.h"

namespace viewer {

// How a run reports to whoever waits for it, and how it is stopped.
class TFilterProgress {
 public:
  virtual ~TFilterProgress() = default;
  // A pass for Word begins.
  virtual void PassStarted(std::string_view Word) = 0;
  // Found matches so far, reported after each of the first 15 and after every 16th.
  virtual void FoundChanged(std::int32_t Found) = 0;
  // Called before every search; true stops the run there.
  [[nodiscard]] virtual bool CancelRequested() = 0;
};

struct TFilterRequest {
  // The key as the window prepares it: the typed key, one space behind it, cut to
  // 255 characters. Without WholeWord its words are separated by spaces; a last
  // word the cut left without its space is not searched.
  std::string Key;
  // True: keep paragraphs; false: keep lines.
  bool BlockFilter = false;
  // The key, without its last character, is one phrase to find as a whole word.
  bool WholeWord = false;
};

struct TFilterOutcome {
  // Matches of all passes, each pass counting in what the passes before it left; 0
  // when some word has no match, and then the text is empty.
  std::int32_t Found = 0;
  // The run was stopped; the text is then in an intermediate state.
  bool Cancelled = false;
};

// Narrows Text, which on entry holds a document's whole text, whose paragraph
// boundaries are Bounds[0..ParaCount] (see TParagraphIndex).
// Each word of the key keeps, of what the word before it left, the units that
// contain it: paragraphs (each but the text's first with the separator in front of
// it, so kept paragraphs stay an empty line apart) or lines (each with its line
// break; a kept line keeps its whole text from its start). A word equal to the one
// just searched ends the run. Every pass costs time linear in the text it works on.
[[nodiscard]] TFilterOutcome RunFilter(TFilterText& Text, const TEmpties& Bounds,
                                       std::int32_t ParaCount, const TFilterRequest& Request,
                                       TFilterProgress* Progress);

}  // namespace viewer
