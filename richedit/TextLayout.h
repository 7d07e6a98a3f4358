// TTextLayout: where the lines of a TTextModel break when they are wrapped at a
// width, from the widths of the characters in each format. No Qt: the view hands
// in the measurements of its fonts through TMetricsSource.
//
// A logical line (the text up to its CR LF) wraps into display lines. It breaks
// after the last space that still fits; a word wider than the whole width breaks
// where the width runs out; spaces at the end of a display line hang past the
// width instead of moving to the next line. Widths are in 1/64 pixel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "richedit/CharFormat.h"
#include "richedit/TextModel.h"

namespace richedit {

// Tab stops stand every 48 pixels from the start of a display line.
inline constexpr std::int64_t kTabStop = 48 * 64;
// Where a tab at x (1/64 pixel from the display line's start) moves the pen.
[[nodiscard]] constexpr std::int64_t NextTabStop(std::int64_t x) {
  return (x / kTabStop + 1) * kTabStop;
}

// The measurements of one font: the advance of each Windows-1251 character, in
// 1/64 pixel, and the line height in pixels.
struct TFontMeasure {
  std::array<std::int32_t, 256> Advance{};
  int Ascent = 0;
  int Descent = 0;
  int LineHeight = 0;
};

// Gives the measurements of a character format. The reference must stay valid for
// as long as the source lives.
class TMetricsSource {
 public:
  virtual ~TMetricsSource() = default;
  [[nodiscard]] virtual const TFontMeasure& Measure(const TCharFormat& format) = 0;
};

class TTextLayout {
 public:
  // Lays out model with the measurements of metrics; both must outlive the layout.
  TTextLayout(const TTextModel& model, TMetricsSource& metrics);

  // The width display lines wrap at, in pixels; 0 or less turns wrapping off, so
  // that display lines are the logical lines.
  void SetWrapWidth(int pixels);
  [[nodiscard]] int WrapWidth() const { return wrapWidth_; }

  // How far the text of a bulleted paragraph stands in from the left, in pixels
  // (the bullet hangs in that room); its lines wrap at the wrap width less this.
  // Never less than 0.
  void SetBulletIndent(int pixels);
  [[nodiscard]] int BulletIndent() const { return bulletIndent_; }

  // The number of display lines of the whole text; an empty text has 0 and an
  // empty last line does not count (as TTextModel::LineCount). Linear in the text
  // the first time after a change; cached until the model or the width changes.
  [[nodiscard]] int DisplayLineCount();

  // The offset of the first character of the display line holding offset. Costs
  // the length of the logical line holding it.
  [[nodiscard]] int DisplayLineStart(int offset);

  // The starts of the display lines of the logical line [lineStart, lineEnd) (lineEnd
  // before its CR LF), in order; the first is lineStart.
  void BreakLine(int lineStart, int lineEnd, std::vector<int>& starts);

  // The same, stopping once a display line would start after until or maxLines
  // starts are found.
  void BreakLineUntil(int lineStart, int lineEnd, int until, std::vector<int>& starts,
                      std::size_t maxLines = SIZE_MAX);

  // The width of [start, end) of one display line, in 1/64 pixel.
  [[nodiscard]] std::int64_t TextWidth(int start, int end);

 private:
  // The width, in 1/64 pixel, the logical line starting at lineStart wraps at.
  [[nodiscard]] std::int64_t LimitOf(int lineStart) const;
  // Whether [lineStart, lineEnd) is in one format and surely fits in limit.
  bool FitsInOneRun(int lineStart, int lineEnd, std::int64_t limit);
  // The number of display lines of one logical line.
  int CountLines(int lineStart, int lineEnd, std::int64_t limit);

  const TTextModel& model_;
  TMetricsSource& metrics_;
  int wrapWidth_ = 0;
  int bulletIndent_ = 0;
  std::uint64_t countRevision_ = ~std::uint64_t{0};
  int countWidth_ = -1;
  int countIndent_ = -1;
  int count_ = 0;
  // The display-line starts of the logical line at breaksLine_, for DisplayLineStart.
  std::vector<int> breaks_;
  int breaksLine_ = -1;
  std::uint64_t breaksRevision_ = 0;
};

}  // namespace richedit
