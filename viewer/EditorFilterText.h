// The editor's text as the filter engine works on it: every change goes through
// the control, so its view follows.
#pragma once

#include "richedit/RichEdit.h"
#include "viewer/FilterText.h"

namespace viewer {

class TEditorFilterText final : public TFilterText {
 public:
  explicit TEditorFilterText(richedit::TRichEdit& editor) : editor_(editor) {}

  [[nodiscard]] std::string_view Text() const override { return editor_.Text(); }
  [[nodiscard]] int FindText(std::string_view What, int Start, int Length,
                             bool WholeWord) const override {
    return editor_.FindText(What, Start, Length, WholeWord);
  }
  void DeleteSpans(const std::vector<TTextSpan>& Spans) override;
  void ColourSpansRed(const std::vector<TTextSpan>& Spans) override;

 private:
  richedit::TRichEdit& editor_;
};

}  // namespace viewer
