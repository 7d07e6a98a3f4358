// What the filter engine needs of the text it narrows: the editor's model, or any
// other holder of a CR LF text with character colours (the command-line filter).
#pragma once

#include <string_view>
#include <vector>

namespace viewer {

// A run of characters of the text: Start and Length count characters.
struct TTextSpan {
  int Start = 0;
  int Length = 0;
  friend bool operator==(const TTextSpan&, const TTextSpan&) = default;
};

// The text a filter run works on, changed in place.
class TFilterText {
 public:
  virtual ~TFilterText() = default;

  // The whole text, line breaks as CR LF; valid until the next change.
  [[nodiscard]] virtual std::string_view Text() const = 0;

  // The offset of the first occurrence of What that lies wholly within the range
  // from Start over Length characters, or -1. Letter case is ignored; with
  // WholeWord an occurrence counts only between word boundaries.
  [[nodiscard]] virtual int FindText(std::string_view What, int Start, int Length,
                                     bool WholeWord) const = 0;

  // Removes the spans (ascending, disjoint, none empty) in one change; the rest keeps
  // its formatting.
  virtual void DeleteSpans(const std::vector<TTextSpan>& Spans) = 0;

  // Gives the spans (ascending, none empty; they may repeat) the text colour red.
  virtual void ColourSpansRed(const std::vector<TTextSpan>& Spans) = 0;
};

}  // namespace viewer
