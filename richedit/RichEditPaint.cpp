// TRichEdit: painting the lines in view and finding the character under a point.
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "richedit/QtMetrics.h"
#include "richedit/RichEdit.h"
#include "richedit/RichEditView.h"

namespace richedit {

namespace {

QColor ToQColor(TRgb c) {
  return QColor(c.R, c.G, c.B);
}

}  // namespace

int TRichEdit::LineHeight(const TDisplayLine& line) {
  int height = 0;
  int pos = line.Start;
  do {
    height = std::max(height, metrics_->Measure(model_.FormatAt(pos)).LineHeight);
    pos = model_.FormatRunEnd(pos);
  } while (pos < line.End);
  return std::max(height, 1);
}

int TRichEdit::LineX(const TDisplayLine& line) {
  const TAlignmentSpan paragraph = model_.ParagraphFormat(line.Start);
  const int scroll = wordWrap_ ? 0 : view_->HOffset;
  // A bulleted paragraph's text stands past the bullet, on every display line.
  const int indent = paragraph.Bullets ? layout_->BulletIndent() : 0;
  if (paragraph.Alignment == TAlignment::Left) return kTextMargin + indent - scroll;
  int end = line.End;
  const std::string& text = model_.Text();
  while (end > line.Start && text[end - 1] == ' ')
    --end;
  const int width = static_cast<int>(layout_->TextWidth(line.Start, end) / 64);
  const int room = TextWidthPixels() - indent;
  const int x = paragraph.Alignment == TAlignment::Center ? (room - width) / 2 : room - width;
  return kTextMargin + indent + std::max(0, x) - scroll;
}

int TRichEdit::XOfOffset(const TDisplayLine& line, int offset) {
  const int end = std::clamp(offset, line.Start, line.End);
  return LineX(line) + static_cast<int>(layout_->TextWidth(line.Start, end) / 64);
}

int TRichEdit::OffsetAtX(const TDisplayLine& line, int x) {
  const std::int64_t target = static_cast<std::int64_t>(x - LineX(line)) * 64;
  if (target <= 0) return line.Start;
  const auto* text = reinterpret_cast<const unsigned char*>(model_.Text().data());
  std::int64_t pen = 0;
  int pos = line.Start;
  while (pos < line.End) {
    const int runEnd = std::min(model_.FormatRunEnd(pos), line.End);
    const auto& advance = metrics_->Measure(model_.FormatAt(pos)).Advance;
    for (int i = pos; i < runEnd; ++i) {
      const std::int64_t next = text[i] == '\t' ? NextTabStop(pen) : pen + advance[text[i]];
      if (target < (pen + next) / 2) return i;
      pen = next;
    }
    pos = runEnd;
  }
  // Past the end of a display line that wraps: stay on this line, before the next.
  const bool wrapped = line.End < model_.TextLength() && model_.Text()[line.End] != '\r';
  return wrapped && line.End > line.Start ? line.End - 1 : line.End;
}

int TRichEdit::OffsetAt(QPoint pos) {
  EnsureIndex();
  const int lines = static_cast<int>(view_->LineStarts.size());
  int y = 0;
  int sub = view_->TopSub;
  auto& scratch = view_->Scratch;
  TDisplayLine last{0, 0};
  for (int line = view_->TopLine; line < lines; ++line, sub = 0) {
    DisplayLinesOf(line, scratch);
    for (std::size_t k = sub; k < scratch.size(); ++k) {
      const int height = LineHeight(scratch[k]);
      if (pos.y() < y + height ||
          (line == view_->TopLine && k == static_cast<std::size_t>(sub) && pos.y() < y))
        return OffsetAtX(scratch[k], pos.x());
      y += height;
      last = scratch[k];
      if (y > viewport()->height() + 4 * height) return OffsetAtX(last, pos.x());
    }
  }
  return OffsetAtX(last, pos.x());
}

void TRichEdit::PaintLine(QPainter& painter, const TDisplayLine& line, int y, int height) {
  const std::string& text = model_.Text();
  const int x0 = LineX(line);
  const int selStart = SelStart();
  const int selEnd = selStart + SelLength();
  const QPalette& pal = palette();
  const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
  const QColor highlightText = pal.color(QPalette::Active, QPalette::HighlightedText);

  int ascent = 0;
  for (int pos = line.Start;;) {
    ascent = std::max(ascent, metrics_->Measure(model_.FormatAt(pos)).Ascent);
    pos = model_.FormatRunEnd(pos);
    if (pos >= line.End) break;
  }
  const int baseline = y + ascent;

  // The bullet hangs at the left margin of a bulleted paragraph's first line, in
  // the format of its first character.
  const bool bulleted = model_.ParagraphBullets(line.Start);
  if (bulleted && model_.LineStart(line.Start) == line.Start) {
    const TCharFormat& format = model_.FormatAt(line.Start);
    painter.setFont(metrics_->Font(format));
    painter.setPen(ToQColor(format.Color));
    const int scroll = wordWrap_ ? 0 : view_->HOffset;
    painter.drawText(QPointF(kTextMargin - scroll, baseline), QString(QChar(0x2022)));
  }

  std::int64_t pen = 0;
  int pos = line.Start;
  while (pos < line.End) {
    int end = std::min(model_.FormatRunEnd(pos), line.End);
    if (pos < selStart && selStart < end) end = selStart;
    if (pos < selEnd && selEnd < end) end = selEnd;
    const bool selected = pos >= selStart && pos < selEnd;
    const TCharFormat& format = model_.FormatAt(pos);
    const auto& advance = metrics_->Measure(format).Advance;
    painter.setFont(metrics_->Font(format));
    painter.setPen(selected ? highlightText : ToQColor(format.Color));
    int i = pos;
    while (i < end) {
      int j = i;
      std::int64_t width = 0;
      while (j < end && text[j] != '\t')
        width += advance[static_cast<unsigned char>(text[j++])];
      if (selected) painter.fillRect(QRectF(x0 + pen / 64.0, y, width / 64.0, height), highlight);
      if (j > i)
        painter.drawText(QPointF(x0 + pen / 64.0, baseline), ScreenText(text.data() + i, j - i));
      pen += width;
      if (j < end) {  // a tab
        const std::int64_t next = NextTabStop(pen);
        if (selected)
          painter.fillRect(QRectF(x0 + pen / 64.0, y, (next - pen) / 64.0, height), highlight);
        pen = next;
        ++j;
      }
      i = j;
    }
    pos = end;
  }
  // A selected line break shows as a little box after the line.
  if (line.End < static_cast<int>(text.size()) && text[line.End] == '\r' && selStart <= line.End &&
      line.End < selEnd) {
    const int w = std::max(3, metrics_->Measure(model_.FormatAt(line.End)).Advance[' '] / 64);
    painter.fillRect(QRectF(x0 + pen / 64.0, y, w, height), highlight);
  }
  if (!wordWrap_) {
    const int width =
        static_cast<int>(pen / 64) + 2 * kTextMargin + (bulleted ? layout_->BulletIndent() : 0);
    if (width > view_->WidestPainted) view_->WidestPainted = width;
  }
}

void TRichEdit::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), color_);
  // Edits made while repainting was suspended left the scroll bars behind.
  if (barsRevision_ != model_.Revision()) SyncScrollBars();
  const int widest = view_->WidestPainted;
  const int lines = static_cast<int>(view_->LineStarts.size());
  const int height = viewport()->height();
  const int caret = view_->Caret;
  const bool showCaret = hasFocus() && SelLength() == 0 && isEnabled();
  const int minHeight = std::max(1, metrics_->Measure(model_.DefaultFormat()).LineHeight);
  int y = 0;
  int sub = view_->TopSub;
  auto& scratch = view_->Scratch;
  for (int line = view_->TopLine; line < lines && y < height; ++line, sub = 0) {
    DisplayLinesOf(line, scratch, wordWrap_ ? sub + height / minHeight + 2 : 1);
    for (std::size_t k = sub; k < scratch.size() && y < height; ++k) {
      const TDisplayLine& d = scratch[k];
      const int h = LineHeight(d);
      PaintLine(painter, d, y, h);
      const bool lastOfLine = k + 1 == scratch.size();
      if (showCaret && caret >= d.Start && (caret < d.End || (caret == d.End && lastOfLine))) {
        const int x = XOfOffset(d, caret);
        painter.fillRect(QRect(x, y, 1, h), palette().color(QPalette::Text));
      }
      y += h;
    }
  }
  if (view_->WidestPainted > widest) SyncScrollBars();
}

}  // namespace richedit
