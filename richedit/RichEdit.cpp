// TRichEdit: the control's programming interface, its caches and its scrolling.
// Painting and hit testing are in RichEditPaint.cpp, keys and mouse in
// RichEditInput.cpp.
#include "richedit/RichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"
#include "richedit/LineBreaks.h"
#include "richedit/QtMetrics.h"
#include "richedit/RichEditView.h"

namespace richedit {

TRichEdit::TRichEdit(QWidget* parent)
    : QAbstractScrollArea(parent),
      metrics_(std::make_unique<TQtMetrics>()),
      layout_(std::make_unique<TTextLayout>(model_, *metrics_)),
      view_(std::make_unique<TView>()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setSingleStep(16);
  setContextMenuPolicy(Qt::NoContextMenu);
  SyncBulletIndent();
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::SetDefaultFormat(const TCharFormat& format) {
  model_.SetDefaultFormat(format);
  SyncBulletIndent();
  if (model_.TextLength() == 0) model_.Clear();
  ContentChanged();
}

// ---- Streams ----

void TRichEdit::LoadFromStream(std::string_view bytes) {
  if (plainText_) {
    LoadPlainText(bytes);
  } else {
    LoadRichText(bytes);
  }
}

void TRichEdit::AdoptStream(std::string&& bytes) {
  if (plainText_) {
    AdoptPlainText(std::move(bytes));
  } else {
    LoadRichText(bytes);
  }
}

std::string TRichEdit::SaveToStream() const {
  return plainText_ ? model_.Text() : model_.SaveRichText();
}

bool TRichEdit::LoadPlainText(std::string_view bytes) {
  const int oldStart = SelStart(), oldLength = SelLength();
  const bool ok = model_.LoadPlainText(bytes);
  ContentReplaced(oldStart, oldLength);
  return ok;
}

bool TRichEdit::AdoptPlainText(std::string&& bytes) {
  const int oldStart = SelStart(), oldLength = SelLength();
  const bool ok = model_.AdoptPlainText(std::move(bytes));
  ContentReplaced(oldStart, oldLength);
  return ok;
}

void TRichEdit::LoadRichText(std::string_view bytes) {
  const int oldStart = SelStart(), oldLength = SelLength();
  model_.LoadRichTextOrPlain(bytes);
  ContentReplaced(oldStart, oldLength);
}

void TRichEdit::SaveToStream(TRichStream& stream) const {
  stream = plainText_ ? TRichStream(model_.Text()) : SaveRichStream();
}

void TRichEdit::LoadRichText(const TRichStream& stream) {
  const TTextModel* saved = stream.SavedContent();
  if (!saved) {
    LoadRichText(std::string_view(stream.RawBytes()));
    return;
  }
  const int oldStart = SelStart(), oldLength = SelLength();
  model_.AssignContent(*saved);
  ContentReplaced(oldStart, oldLength);
}

void TRichEdit::Clear() {
  const int oldStart = SelStart(), oldLength = SelLength();
  model_.Clear();
  ContentReplaced(oldStart, oldLength);
}

// ---- Lines ----

int TRichEdit::TextWidthPixels() const {
  return std::max(1, viewport()->width() - 2 * kTextMargin);
}

void TRichEdit::SyncBulletIndent() {
  // The bullet (0x95 in Windows-1251) and a gap as wide as two spaces.
  const TFontMeasure& m = metrics_->Measure(model_.DefaultFormat());
  layout_->SetBulletIndent((m.Advance[0x95] + 2 * m.Advance[' ']) / 64);
}

int TRichEdit::LineCount() {
  if (!wordWrap_) return model_.LineCount();
  layout_->SetWrapWidth(TextWidthPixels());
  return layout_->DisplayLineCount();
}

int TRichEdit::LineStart(int offset) {
  if (!wordWrap_) return model_.LineStart(offset);
  layout_->SetWrapWidth(TextWidthPixels());
  return layout_->DisplayLineStart(std::clamp(offset, 0, TextLength()));
}

// ---- Selection and editing ----

void TRichEdit::NotifySelection(int oldStart, int oldLength) {
  if (SelStart() != oldStart || SelLength() != oldLength) {
    viewport()->update();
    emit SelectionChange();
  }
}

void TRichEdit::SetAnchorAndCaret(int anchor, int caret) {
  const int size = TextLength();
  anchor = std::clamp(anchor, 0, size);
  caret = std::clamp(caret, 0, size);
  const int oldStart = SelStart(), oldLength = SelLength();
  view_->Anchor = anchor;
  view_->Caret = caret;
  model_.Select(std::min(anchor, caret), std::abs(caret - anchor));
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::SetSelStart(int start) {
  const int oldStart = SelStart(), oldLength = SelLength();
  model_.SetSelStart(start);
  view_->Anchor = view_->Caret = model_.SelStart();
  view_->PreferredX = -1;
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::SetSelLength(int length) {
  const int oldStart = SelStart(), oldLength = SelLength();
  model_.SetSelLength(length);
  view_->Anchor = model_.SelStart();
  view_->Caret = model_.SelStart() + model_.SelLength();
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::Select(int start, int length) {
  const int oldStart = SelStart(), oldLength = SelLength();
  model_.Select(start, length);
  view_->Anchor = model_.SelStart();
  view_->Caret = model_.SelStart() + model_.SelLength();
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::SelectAll() {
  Select(0, TextLength());
}

void TRichEdit::ClearSelection() {
  const int oldStart = SelStart(), oldLength = SelLength();
  if (oldLength == 0) return;
  model_.ClearSelection();
  view_->Anchor = view_->Caret = model_.SelStart();
  ContentChanged();
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::ReplaceSelection(std::string_view text) {
  const int oldStart = SelStart(), oldLength = SelLength();
  if (!model_.ReplaceSelection(text)) return;
  view_->Anchor = view_->Caret = model_.SelStart();
  ContentChanged();
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::SetSelColor(TRgb color) {
  model_.SetSelColor(color);
  ContentChanged();
}

void TRichEdit::SetSelBold(bool bold) {
  model_.SetSelBold(bold);
  ContentChanged();
}

void TRichEdit::SetSelStyles(TFontStyles styles) {
  model_.SetSelStyles(styles);
  ContentChanged();
}

void TRichEdit::SetParagraphAlignment(TAlignment alignment) {
  model_.SetParagraphAlignment(alignment);
  ContentChanged();
}

void TRichEdit::SetParagraphBullets(bool bullets) {
  model_.SetParagraphBullets(bullets);
  ContentChanged();
}

void TRichEdit::DeleteRanges(std::span<const TRange> ranges) {
  const int oldStart = SelStart(), oldLength = SelLength();
  model_.DeleteRanges(ranges);
  view_->Anchor = view_->Caret = model_.SelStart();
  ContentChanged();
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::ColourRanges(std::span<const TRange> ranges, TRgb color) {
  model_.ColourRanges(ranges, color);
  ContentChanged();
}

// ---- Behaviour ----

void TRichEdit::SetWordWrap(bool wrap) {
  if (wrap == wordWrap_) return;
  const int first = FirstVisibleOffset();
  wordWrap_ = wrap;
  view_->HOffset = 0;
  setHorizontalScrollBarPolicy(wrap || scrollBars_ == TScrollBars::Vertical
                                   ? Qt::ScrollBarAlwaysOff
                                   : Qt::ScrollBarAsNeeded);
  Locate(first, view_->TopLine, view_->TopSub);
  ContentChanged();
}

void TRichEdit::SetScrollBars(TScrollBars bars) {
  scrollBars_ = bars;
  setHorizontalScrollBarPolicy(wordWrap_ || bars == TScrollBars::Vertical ? Qt::ScrollBarAlwaysOff
                                                                          : Qt::ScrollBarAsNeeded);
  if (bars == TScrollBars::Vertical) view_->HOffset = 0;
  ContentChanged();
}

void TRichEdit::SetColor(const QColor& color) {
  color_ = color;
  viewport()->update();
}

void TRichEdit::CopyToClipboard() const {
  if (SelLength() == 0) return;
  auto* mime = new QMimeData;
  mime->setText(QString::fromStdString(platform::AnsiToUtf8(SelText())));
  // The selection as rich text too, with its formats and paragraph formats.
  TTextModel part(model_.DefaultFormat());
  std::vector<TCharFormat> formats;
  std::vector<TFormatSpan> spans = model_.Spans(SelStart(), SelLength());
  for (TFormatSpan& s : spans) {
    formats.push_back(model_.Format(s.FormatIndex));
    s.FormatIndex = static_cast<int>(formats.size()) - 1;
    s.Start -= SelStart();
  }
  TAlignmentSpan first = model_.ParagraphFormat(SelStart());
  first.Start = 0;
  std::vector<TAlignmentSpan> aligns{first};
  for (TAlignmentSpan a : model_.AlignmentSpans())
    if (a.Start > SelStart() && a.Start < SelStart() + SelLength()) {
      a.Start -= SelStart();
      aligns.push_back(a);
    }
  if (part.Assign(SelText(), std::move(formats), std::move(spans), std::move(aligns))) {
    const std::string rtf = part.SaveRichText();
    mime->setData("text/rtf", QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size())));
  }
  QGuiApplication::clipboard()->setMimeData(mime);
}

// ---- Caches and scrolling ----

void TRichEdit::ContentReplaced(int oldStart, int oldLength) {
  view_->TopLine = view_->TopSub = view_->HOffset = 0;
  view_->Anchor = view_->Caret = 0;
  ContentChanged();
  NotifySelection(oldStart, oldLength);
}

void TRichEdit::ContentChanged() {
  view_->WidestPainted = 0;
  // A hidden or suspended control does no work for its view; the next paint
  // brings the scroll bars up to date.
  if (updatesEnabled() && isVisible()) {
    SyncScrollBars();
    viewport()->update();
  }
}

void TRichEdit::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) viewport()->update();
}

void TRichEdit::EnsureIndex() {
  if (view_->IndexRevision == model_.Revision()) return;
  const std::string& text = model_.Text();
  auto& starts = view_->LineStarts;
  starts.clear();
  starts.push_back(0);
  int longest = 0;
  const char* bytes = text.data();
  const char* end = bytes + text.size();
  const char* p = bytes;
  while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr) {
    ++p;
    if (p - bytes >= 2 && p[-2] == '\r') {
      const int start = static_cast<int>(p - bytes);
      longest = std::max(longest, start - 2 - starts.back());
      starts.push_back(start);
    }
  }
  longest = std::max(longest, static_cast<int>(text.size()) - starts.back());
  view_->LongestLine = longest;
  view_->IndexRevision = model_.Revision();
  const int last = static_cast<int>(starts.size()) - 1;
  if (view_->TopLine > last) {
    view_->TopLine = last;
    view_->TopSub = 0;
  }
}

int TRichEdit::LineIndexOf(int offset) {
  EnsureIndex();
  const auto& starts = view_->LineStarts;
  auto it = std::upper_bound(starts.begin(), starts.end(), offset);
  return static_cast<int>(it - starts.begin()) - 1;
}

void TRichEdit::DisplayLinesOf(int line, std::vector<TDisplayLine>& out, std::size_t maxLines) {
  EnsureIndex();
  out.clear();
  const int start = view_->LineStarts[line];
  const int end = model_.LineEnd(start);
  if (!wordWrap_) {
    out.push_back({start, end});
    return;
  }
  layout_->SetWrapWidth(TextWidthPixels());
  std::vector<int> starts;
  layout_->BreakLineUntil(start, end, end, starts, maxLines);
  for (std::size_t i = 0; i < starts.size(); ++i)
    out.push_back({starts[i], i + 1 < starts.size() ? starts[i + 1] : end});
  // A cut-short breaking leaves the last line open; it ends where the next would start.
  if (starts.size() >= maxLines && maxLines != SIZE_MAX) {
    std::vector<int> more;
    layout_->BreakLineUntil(starts.back(), end, end, more, 2);
    out.back().End = more.size() > 1 ? more[1] : end;
  }
}

void TRichEdit::Locate(int offset, int& line, int& sub) {
  offset = std::clamp(offset, 0, TextLength());
  line = LineIndexOf(offset);
  sub = 0;
  if (!wordWrap_) return;
  layout_->SetWrapWidth(TextWidthPixels());
  const int start = view_->LineStarts[line];
  std::vector<int> starts;
  layout_->BreakLineUntil(start, model_.LineEnd(start), offset, starts);
  sub =
      static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
}

int TRichEdit::FirstVisibleOffset() {
  EnsureIndex();
  const int start = view_->LineStarts[view_->TopLine];
  if (view_->TopSub == 0 || !wordWrap_) return start;
  DisplayLinesOf(view_->TopLine, view_->Scratch, view_->TopSub + 1);
  const auto& lines = view_->Scratch;
  return lines[std::min<std::size_t>(view_->TopSub, lines.size() - 1)].Start;
}

void TRichEdit::SyncScrollBars() {
  if (view_->SyncingBars) return;
  view_->SyncingBars = true;
  EnsureIndex();
  barsRevision_ = model_.Revision();
  QScrollBar* v = verticalScrollBar();
  const int lines = static_cast<int>(view_->LineStarts.size());
  const int page = std::max(
      1, viewport()->height() / std::max(1, metrics_->Measure(model_.DefaultFormat()).LineHeight));
  v->setRange(0, std::max(0, lines - 1));
  v->setPageStep(page);
  v->setValue(view_->TopLine);
  QScrollBar* h = horizontalScrollBar();
  if (wordWrap_ || scrollBars_ == TScrollBars::Vertical) {
    h->setRange(0, 0);
  } else {
    const TFontMeasure& m = metrics_->Measure(model_.DefaultFormat());
    const int average = std::max(1, m.Advance['x'] / 64);
    const int content =
        std::max(view_->LongestLine * average, view_->WidestPainted) + 2 * kTextMargin;
    h->setRange(0, std::max(0, content - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setValue(view_->HOffset);
  }
  view_->SyncingBars = false;
}

void TRichEdit::scrollContentsBy(int, int) {
  if (view_->SyncingBars) return;
  const int line = verticalScrollBar()->value();
  if (line != view_->TopLine) {
    view_->TopLine = line;
    view_->TopSub = 0;
  }
  view_->HOffset = horizontalScrollBar()->value();
  viewport()->update();
}

void TRichEdit::ScrollLines(int delta) {
  EnsureIndex();
  const int last = static_cast<int>(view_->LineStarts.size()) - 1;
  auto& lines = view_->Scratch;
  while (delta > 0) {
    DisplayLinesOf(view_->TopLine, lines, view_->TopSub + 2);
    if (view_->TopSub + 1 < static_cast<int>(lines.size())) {
      ++view_->TopSub;
    } else if (view_->TopLine < last) {
      ++view_->TopLine;
      view_->TopSub = 0;
    } else {
      break;
    }
    --delta;
  }
  while (delta < 0) {
    if (view_->TopSub > 0) {
      --view_->TopSub;
    } else if (view_->TopLine > 0) {
      --view_->TopLine;
      DisplayLinesOf(view_->TopLine, lines);
      view_->TopSub = static_cast<int>(lines.size()) - 1;
    } else {
      break;
    }
    ++delta;
  }
  SyncScrollBars();
  viewport()->update();
}

void TRichEdit::WheelScroll(int angleDelta) {
  const int lines = -angleDelta * 3 / 120;
  if (lines != 0) ScrollLines(lines);
}

void TRichEdit::EnsureCaretVisible() {
  int line = 0, sub = 0;
  Locate(view_->Caret, line, sub);
  if (line < view_->TopLine || (line == view_->TopLine && sub < view_->TopSub)) {
    view_->TopLine = line;
    view_->TopSub = sub;
  } else {
    // Walk up from the caret's line until the view is full; the top goes there at most.
    int height = viewport()->height();
    int l = line, s = sub;
    auto& lines = view_->Scratch;
    DisplayLinesOf(l, lines);
    while (true) {
      height -= LineHeight(lines[std::min<std::size_t>(s, lines.size() - 1)]);
      if (height < 0 || (l == view_->TopLine && s == view_->TopSub)) break;
      if (s > 0) {
        --s;
      } else if (l > 0) {
        --l;
        DisplayLinesOf(l, lines);
        s = static_cast<int>(lines.size()) - 1;
      } else {
        break;
      }
    }
    if (height < 0) {
      // The line at (l, s) no longer fits: the top is the one below it.
      DisplayLinesOf(l, lines);
      if (s + 1 < static_cast<int>(lines.size())) {
        ++s;
      } else {
        ++l;
        s = 0;
      }
      if (l > view_->TopLine || (l == view_->TopLine && s > view_->TopSub)) {
        view_->TopLine = l;
        view_->TopSub = s;
      }
    }
  }
  if (!wordWrap_) {
    DisplayLinesOf(line, view_->Scratch);
    const int x = XOfOffset(view_->Scratch[0], view_->Caret) + view_->HOffset;
    const int width = viewport()->width();
    if (x - view_->HOffset < kTextMargin) view_->HOffset = std::max(0, x - width / 3);
    if (x - view_->HOffset > width - kTextMargin) view_->HOffset = x - width + width / 3;
  }
  SyncScrollBars();
  viewport()->update();
}

void TRichEdit::resizeEvent(QResizeEvent* event) {
  const int first = FirstVisibleOffset();
  QAbstractScrollArea::resizeEvent(event);
  if (wordWrap_) Locate(first, view_->TopLine, view_->TopSub);
  SyncScrollBars();
}

}  // namespace richedit
