#include "viewer/FilterEngine.h"

#include <algorithm>
#include <vector>

namespace viewer {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

// One pass: keeps, of the current text, the units that contain Word. Matches are
// searched in the text as the pass found it; since everything a pass deletes lies
// before the match it has just found, the offsets of later matches, and the word
// boundaries around them, are those the text had when the pass began. The deletions
// and colours are therefore collected and applied in one step each at the end.
class TPass {
 public:
  TPass(TFilterText& text, const TFilterRequest& request, TFilterProgress* progress,
        std::int32_t& found)
      : text_(text), request_(request), progress_(progress), found_(found) {}

  // Runs the pass over the text indexed by Bounds (used in paragraph filtering).
  // False when it was cancelled; the text is then untouched by this pass.
  bool Run(std::string_view word, const TEmpties& bounds, std::int32_t n) {
    const std::string_view text = text_.Text();
    const int tlen = static_cast<int>(text.size());
    const int len = static_cast<int>(word.size());
    std::vector<TTextSpan> red;
    std::vector<TTextSpan> gone;
    int c = 0;
    int last = 0;  // the last kept paragraph, or the offset behind the last kept line
    auto drop = [&gone](int from, int to) {
      if (to > from) gone.push_back({from, to - from});
    };
    for (;;) {
      if (progress_ != nullptr && progress_->CancelRequested()) return false;
      c = len == 0 ? -1 : text_.FindText(word, c, tlen - c, request_.WholeWord);
      if (c < 0) {
        if (last == 0) found_ = 0;  // this word occurs nowhere, so nothing qualifies
        break;
      }
      ++found_;
      red.push_back({c, len});
      if (progress_ != nullptr && (found_ < 16 || found_ % 16 == 0)) {
        progress_->FoundChanged(found_);
      }
      if (request_.BlockFilter) {
        int i = last;
        while (i < n && c >= bounds[i])
          ++i;
        if (i - last >= 2) drop(bounds[last], bounds[i - 1]);
        last = i;
      } else if (c >= last) {
        // A match on a line not kept yet: everything from the last kept line up to
        // this line's logical start goes.
        const std::string_view before = text.substr(last, c - last);
        const std::size_t br = before.rfind(kLineBreak);
        if (br != std::string_view::npos) drop(last, last + static_cast<int>(br) + 2);
        const std::size_t e = text.find(kLineBreak, c);
        last = e == std::string_view::npos ? tlen : static_cast<int>(e) + 2;
      }
      c += len;
    }
    if (request_.BlockFilter) {
      drop(last == 0 ? 0 : bounds[last], tlen);
    } else {
      drop(last, tlen);
    }
    kept_ = last > 0;
    if (!red.empty()) text_.ColourSpansRed(red);
    if (!gone.empty()) text_.DeleteSpans(gone);
    return true;
  }

  // Whether the last pass kept anything.
  [[nodiscard]] bool Kept() const { return kept_; }

 private:
  TFilterText& text_;
  const TFilterRequest& request_;
  TFilterProgress* progress_;
  std::int32_t& found_;
  bool kept_ = false;
};

}  // namespace

TFilterOutcome RunFilter(TFilterText& Text, const TEmpties& Bounds, std::int32_t ParaCount,
                         const TFilterRequest& Request, TFilterProgress* Progress) {
  TFilterOutcome outcome;
  std::string key = Request.Key;  // the words still to be searched
  std::string word;
  TEmpties bounds = Bounds;  // narrowed with the text, pass by pass
  std::int32_t n = ParaCount;
  TPass pass(Text, Request, Progress, outcome.Found);
  bool ranAny = false;
  for (;;) {
    std::size_t P = 0;  // 1-based position of the first space; 0 = none
    std::size_t L = 0;
    if (Request.WholeWord) {
      word = key.empty() ? std::string() : key.substr(0, key.size() - 1);
    } else {
      key.erase(0, std::min(key.find_first_not_of(' '), key.size()));
      const std::size_t space = key.find(' ');
      P = space == std::string::npos ? 0 : space + 1;
      L = key.size();
      if (P == 0 || key == word + ' ') {
        // A key without any word (spaces only, or a single word the cut left
        // without its space) qualifies nothing.
        const int size = static_cast<int>(Text.Text().size());
        if (!ranAny && size > 0) Text.DeleteSpans({{0, size}});
        break;
      }
      word = key.substr(0, P - 1);
      if (P != L) key.erase(0, P);
    }
    ranAny = true;
    if (Progress != nullptr) Progress->PassStarted(word);
    if (!pass.Run(word, bounds, n)) {
      outcome.Cancelled = true;
      return outcome;
    }
    if (Request.WholeWord || P == L || !pass.Kept()) break;
    if (Request.BlockFilter) {
      TParagraphIndex rest = IndexParagraphs(Text.Text());
      bounds = std::move(rest.Bounds);
      n = rest.ParaCount;
    }
  }
  return outcome;
}

}  // namespace viewer
