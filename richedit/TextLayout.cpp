#include "richedit/TextLayout.h"

#include <algorithm>
#include <cstring>

#include "richedit/LineBreaks.h"

namespace richedit {

TTextLayout::TTextLayout(const TTextModel& model, TMetricsSource& metrics)
    : model_(model), metrics_(metrics) {}

void TTextLayout::SetWrapWidth(int pixels) {
  const int width = std::max(pixels, 0);
  if (width == wrapWidth_) return;
  wrapWidth_ = width;
  breaksLine_ = -1;
}

void TTextLayout::SetBulletIndent(int pixels) {
  const int indent = std::max(pixels, 0);
  if (indent == bulletIndent_) return;
  bulletIndent_ = indent;
  breaksLine_ = -1;
}

std::int64_t TTextLayout::LimitOf(int lineStart) const {
  const std::int64_t width = static_cast<std::int64_t>(wrapWidth_) * 64;
  if (bulletIndent_ == 0 || !model_.ParagraphBullets(lineStart)) return width;
  // A line always holds at least one character, however narrow the room left.
  return std::max<std::int64_t>(width - static_cast<std::int64_t>(bulletIndent_) * 64, 64);
}

std::int64_t TTextLayout::TextWidth(int start, int end) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(model_.Text().data());
  std::int64_t x = 0;
  int pos = start;
  while (pos < end) {
    const int runEnd = std::min(model_.FormatRunEnd(pos), end);
    const auto& advance = metrics_.Measure(model_.FormatAt(pos)).Advance;
    for (int i = pos; i < runEnd; ++i)
      x = text[i] == '\t' ? NextTabStop(x) : x + advance[text[i]];
    pos = runEnd;
  }
  return x;
}

void TTextLayout::BreakLine(int lineStart, int lineEnd, std::vector<int>& starts) {
  BreakLineUntil(lineStart, lineEnd, lineEnd, starts);
}

void TTextLayout::BreakLineUntil(int lineStart, int lineEnd, int until, std::vector<int>& starts,
                                 std::size_t maxLines) {
  starts.clear();
  starts.push_back(lineStart);
  if (wrapWidth_ <= 0 || maxLines <= 1) return;
  const std::int64_t limit = LimitOf(lineStart);
  const unsigned char* text = reinterpret_cast<const unsigned char*>(model_.Text().data());

  int begin = lineStart;  // start of the display line being filled
  int lastBreak = -1;     // the latest place after a space where it may break
  std::int64_t x = 0;
  int pos = lineStart;
  while (pos < lineEnd) {
    const int runEnd = std::min(model_.FormatRunEnd(pos), lineEnd);
    const auto& advance = metrics_.Measure(model_.FormatAt(pos)).Advance;
    for (int i = pos; i < runEnd; ++i) {
      const unsigned char c = text[i];
      if (c == ' ' || c == '\t') {
        // Spaces hang past the width; the line may break after them.
        x = c == '\t' ? NextTabStop(x) : x + advance[c];
        lastBreak = i + 1;
        continue;
      }
      const std::int64_t w = advance[c];
      if (x + w > limit && i > begin) {
        begin = lastBreak > begin ? lastBreak : i;
        if (begin > until) return;
        starts.push_back(begin);
        if (starts.size() >= maxLines) return;
        lastBreak = -1;
        x = begin < i ? TextWidth(begin, i) : 0;
      }
      x += w;
    }
    pos = runEnd;
  }
}

int TTextLayout::DisplayLineCount() {
  if (wrapWidth_ <= 0) return model_.LineCount();
  if (countRevision_ == model_.Revision() && countWidth_ == wrapWidth_ &&
      countIndent_ == bulletIndent_)
    return count_;

  const std::string& text = model_.Text();
  const int size = model_.TextLength();
  const std::int64_t fullLimit = static_cast<std::int64_t>(wrapWidth_) * 64;
  // Paragraph-format stretches are walked alongside the lines, so that bulleted
  // paragraphs cost no search each.
  const auto& paragraphs = model_.AlignmentSpans();
  std::size_t pi = 0;
  int count = 0;
  int lineStart = 0;
  // The widest character of each format in use bounds a line that surely fits.
  std::int64_t widest = 0;
  for (int i = 0; i < model_.FormatCount(); ++i) {
    const auto& advance = metrics_.Measure(model_.Format(i)).Advance;
    widest = std::max<std::int64_t>(widest, *std::max_element(advance.begin(), advance.end()));
  }
  widest = std::max(widest, kTabStop);
  while (lineStart < size) {
    const int lineEnd = richedit::LineEnd(text, lineStart);
    while (pi + 1 < paragraphs.size() && paragraphs[pi + 1].Start <= lineStart)
      ++pi;
    const std::int64_t limit =
        bulletIndent_ > 0 && paragraphs[pi].Bullets ? LimitOf(lineStart) : fullLimit;
    if (static_cast<std::int64_t>(lineEnd - lineStart) * widest <= limit ||
        FitsInOneRun(lineStart, lineEnd, limit)) {
      ++count;
    } else {
      count += CountLines(lineStart, lineEnd, limit);
    }
    if (lineEnd >= size) break;
    lineStart = lineEnd + 2;
  }
  countRevision_ = model_.Revision();
  countWidth_ = wrapWidth_;
  countIndent_ = bulletIndent_;
  count_ = count;
  return count;
}

bool TTextLayout::FitsInOneRun(int lineStart, int lineEnd, std::int64_t limit) {
  if (model_.FormatRunEnd(lineStart) < lineEnd) return false;
  // The sum of the advances, a tab counted as a whole tab stop: a bound of the
  // line's width, in four independent sums so that the additions overlap.
  const std::int32_t* advance = metrics_.Measure(model_.FormatAt(lineStart)).Advance.data();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(model_.Text().data()) + lineStart;
  const unsigned char* const end = p + (lineEnd - lineStart);
  std::int64_t a = 0, b = 0, c = 0, d = 0;
  int tabs = 0;
  for (; p + 4 <= end; p += 4) {
    a += advance[p[0]];
    b += advance[p[1]];
    c += advance[p[2]];
    d += advance[p[3]];
    tabs += (p[0] == '\t') + (p[1] == '\t') + (p[2] == '\t') + (p[3] == '\t');
  }
  for (; p < end; ++p) {
    a += advance[*p];
    tabs += *p == '\t';
  }
  return a + b + c + d + tabs * kTabStop <= limit;
}

int TTextLayout::CountLines(int lineStart, int lineEnd, std::int64_t limit) {
  // BreakLine's rule, counting instead of recording, and carrying the width of the
  // word that moves to the next line instead of measuring it again.
  const unsigned char* text = reinterpret_cast<const unsigned char*>(model_.Text().data());
  int lines = 1;
  int begin = lineStart;
  int lastBreak = -1;
  std::int64_t xAtBreak = 0;
  std::int64_t x = 0;
  int pos = lineStart;
  while (pos < lineEnd) {
    const int runEnd = std::min(model_.FormatRunEnd(pos), lineEnd);
    const std::int32_t* advance = metrics_.Measure(model_.FormatAt(pos)).Advance.data();
    for (int i = pos; i < runEnd; ++i) {
      const unsigned char c = text[i];
      if (c == '\t') {
        x = NextTabStop(x);
        lastBreak = i + 1;
        xAtBreak = x;
        continue;
      }
      const std::int64_t w = advance[c];
      const bool space = c == ' ';
      if (x + w > limit && i > begin && !space) [[unlikely]] {
        ++lines;
        if (lastBreak > begin) {
          begin = lastBreak;
          x -= xAtBreak;
        } else {
          begin = i;
          x = 0;
        }
        lastBreak = -1;
      }
      x += w;
      // Spaces hang past the width and the line may break after them; kept free of
      // branches, as they come every few characters.
      lastBreak = space ? i + 1 : lastBreak;
      xAtBreak = space ? x : xAtBreak;
    }
    pos = runEnd;
  }
  return lines;
}

int TTextLayout::DisplayLineStart(int offset) {
  const int lineStart = model_.LineStart(offset);
  if (wrapWidth_ <= 0) return lineStart;
  // Several questions about one long line in a row share one breaking of it.
  if (breaksLine_ != lineStart || breaksRevision_ != model_.Revision()) {
    BreakLine(lineStart, model_.LineEnd(lineStart), breaks_);
    breaksLine_ = lineStart;
    breaksRevision_ = model_.Revision();
  }
  auto it = std::upper_bound(breaks_.begin(), breaks_.end(), offset);
  return *std::prev(it);
}

}  // namespace richedit
