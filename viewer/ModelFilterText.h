// The rich-edit model's text as the filter engine works on it, for filtering
// without a window (the command-line filter, benchmarks). The window filters
// through TEditorFilterText, so that its view follows.
#pragma once

#include <vector>

#include "richedit/TextModel.h"
#include "viewer/FilterText.h"

namespace viewer {

class TModelFilterText final : public TFilterText {
 public:
  explicit TModelFilterText(richedit::TTextModel& model) : model_(model) {}

  [[nodiscard]] std::string_view Text() const override { return model_.Text(); }
  [[nodiscard]] int FindText(std::string_view What, int Start, int Length,
                             bool WholeWord) const override {
    return model_.FindText(What, Start, Length, WholeWord);
  }
  void DeleteSpans(const std::vector<TTextSpan>& Spans) override {
    const auto ranges = ToRanges(Spans);
    model_.DeleteRanges(ranges);
  }
  void ColourSpansRed(const std::vector<TTextSpan>& Spans) override {
    const auto ranges = ToRanges(Spans);
    model_.ColourRanges(ranges, richedit::kRed);
  }

  // The spans as the model's ranges.
  [[nodiscard]] static std::vector<richedit::TRange> ToRanges(const std::vector<TTextSpan>& Spans) {
    std::vector<richedit::TRange> ranges;
    ranges.reserve(Spans.size());
    for (const auto& span : Spans)
      ranges.push_back({span.Start, span.Length});
    return ranges;
  }

 private:
  richedit::TTextModel& model_;
};

}  // namespace viewer
