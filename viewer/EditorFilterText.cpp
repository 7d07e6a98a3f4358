#include "viewer/EditorFilterText.h"

namespace viewer {
namespace {

std::vector<richedit::TRange> ToRanges(const std::vector<TTextSpan>& spans) {
  std::vector<richedit::TRange> ranges;
  ranges.reserve(spans.size());
  for (const auto& span : spans)
    ranges.push_back({span.Start, span.Length});
  return ranges;
}

}  // namespace

void TEditorFilterText::DeleteSpans(const std::vector<TTextSpan>& Spans) {
  editor_.DeleteRanges(ToRanges(Spans));
}

void TEditorFilterText::ColourSpansRed(const std::vector<TTextSpan>& Spans) {
  editor_.ColourRanges(ToRanges(Spans), richedit::kRed);
}

}  // namespace viewer
