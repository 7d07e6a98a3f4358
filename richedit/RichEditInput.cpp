// TRichEdit: the keyboard and the mouse.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "platform/CodePage.h"
#include "richedit/RichEdit.h"
#include "richedit/RichEditView.h"

namespace richedit {

namespace {

bool IsWord(unsigned char c) {
  return platform::IsAnsiWordChar(c);
}

}  // namespace

int TRichEdit::WordStart(int offset) const {
  const std::string& text = model_.Text();
  while (offset > 0 && IsWord(text[offset - 1]))
    --offset;
  return offset;
}

int TRichEdit::WordEnd(int offset) const {
  const std::string& text = model_.Text();
  const int size = TextLength();
  while (offset < size && IsWord(text[offset]))
    ++offset;
  return offset;
}

void TRichEdit::MoveCaretVertically(int lines, bool extend) {
  int line = 0, sub = 0;
  Locate(view_->Caret, line, sub);
  auto& scratch = view_->Scratch;
  DisplayLinesOf(line, scratch);
  if (view_->PreferredX < 0)
    view_->PreferredX =
        XOfOffset(scratch[std::min<std::size_t>(sub, scratch.size() - 1)], view_->Caret);
  const int last = static_cast<int>(view_->LineStarts.size()) - 1;
  while (lines > 0) {
    if (sub + 1 < static_cast<int>(scratch.size())) {
      ++sub;
    } else if (line < last) {
      DisplayLinesOf(++line, scratch);
      sub = 0;
    } else {
      break;
    }
    --lines;
  }
  while (lines < 0) {
    if (sub > 0) {
      --sub;
    } else if (line > 0) {
      DisplayLinesOf(--line, scratch);
      sub = static_cast<int>(scratch.size()) - 1;
    } else {
      break;
    }
    ++lines;
  }
  const int preferred = view_->PreferredX;
  const int offset = OffsetAtX(scratch[std::min<std::size_t>(sub, scratch.size() - 1)], preferred);
  SetAnchorAndCaret(extend ? view_->Anchor : offset, offset);
  view_->PreferredX = preferred;
  EnsureCaretVisible();
}

void TRichEdit::keyPressEvent(QKeyEvent* event) {
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  const std::string& text = model_.Text();
  const int size = TextLength();
  int caret = view_->Caret;
  auto moveTo = [&](int to) {
    view_->PreferredX = -1;
    SetAnchorAndCaret(extend ? view_->Anchor : to, to);
    EnsureCaretVisible();
  };
  auto isBreakAt = [&](int at) {
    return at >= 0 && at + 1 < size && text[at] == '\r' && text[at + 1] == '\n';
  };

  if (event->matches(QKeySequence::Copy) || (ctrl && event->key() == Qt::Key_Insert)) {
    CopyToClipboard();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  const int page = std::max(1, viewport()->height() / std::max(1, LineHeight({caret, caret})) - 1);
  switch (event->key()) {
    case Qt::Key_Left:
      if (!extend && SelLength() > 0) return moveTo(SelStart());
      if (ctrl) {
        while (caret > 0 && !IsWord(text[caret - 1]))
          --caret;
        return moveTo(WordStart(caret));
      }
      return moveTo(isBreakAt(caret - 2) ? caret - 2 : std::max(0, caret - 1));
    case Qt::Key_Right:
      if (!extend && SelLength() > 0) return moveTo(SelStart() + SelLength());
      if (ctrl) {
        caret = WordEnd(caret);
        while (caret < size && !IsWord(text[caret]))
          ++caret;
        return moveTo(caret);
      }
      return moveTo(isBreakAt(caret) ? caret + 2 : std::min(size, caret + 1));
    case Qt::Key_Up:
      return MoveCaretVertically(-1, extend);
    case Qt::Key_Down:
      return MoveCaretVertically(1, extend);
    case Qt::Key_PageUp:
      return MoveCaretVertically(-page, extend);
    case Qt::Key_PageDown:
      return MoveCaretVertically(page, extend);
    case Qt::Key_Home:
      return moveTo(ctrl ? 0 : LineStart(caret));
    case Qt::Key_End: {
      if (ctrl) return moveTo(size);
      int line = 0, sub = 0;
      Locate(caret, line, sub);
      DisplayLinesOf(line, view_->Scratch);
      const TDisplayLine& d = view_->Scratch[std::min<std::size_t>(sub, view_->Scratch.size() - 1)];
      const bool wrapped = sub + 1 < static_cast<int>(view_->Scratch.size());
      return moveTo(wrapped && d.End > d.Start ? d.End - 1 : d.End);
    }
    default:
      break;
  }
  if (readOnly_) {
    // Keys that would edit do nothing; Tab stays here rather than moving the focus.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) return;
    event->ignore();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Backspace:
      if (SelLength() == 0 && caret > 0)
        Select(isBreakAt(caret - 2) ? caret - 2 : caret - 1, isBreakAt(caret - 2) ? 2 : 1);
      ClearSelection();
      EnsureCaretVisible();
      return;
    case Qt::Key_Delete:
      if (SelLength() == 0 && caret < size) Select(caret, isBreakAt(caret) ? 2 : 1);
      ClearSelection();
      EnsureCaretVisible();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ReplaceSelection("\r\n");
      EnsureCaretVisible();
      return;
    case Qt::Key_Tab:
      ReplaceSelection("\t");
      EnsureCaretVisible();
      return;
    default:
      break;
  }
  const QString typed = event->text();
  if (!typed.isEmpty() && !ctrl && typed.at(0).isPrint()) {
    ReplaceSelection(platform::Utf8ToAnsi(typed.toStdString()));
    EnsureCaretVisible();
    return;
  }
  event->ignore();
}

bool TRichEdit::focusNextPrevChild(bool) {
  return false;
}

void TRichEdit::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  const int offset = OffsetAt(event->position().toPoint());
  view_->PreferredX = -1;
  SetAnchorAndCaret(event->modifiers() & Qt::ShiftModifier ? view_->Anchor : offset, offset);
  view_->Dragging = true;
  viewport()->update();
}

void TRichEdit::mouseMoveEvent(QMouseEvent* event) {
  if (!view_->Dragging) return;
  SetAnchorAndCaret(view_->Anchor, OffsetAt(event->position().toPoint()));
  EnsureCaretVisible();
}

void TRichEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) view_->Dragging = false;
  emit MouseUp(event->button(), event->modifiers(),
               viewport()->mapTo(this, event->position().toPoint()));
}

void TRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int offset = OffsetAt(event->position().toPoint());
  const int start = WordStart(offset);
  const int end = WordEnd(offset);
  if (end > start) SetAnchorAndCaret(start, end);
  view_->Dragging = false;
}

void TRichEdit::wheelEvent(QWheelEvent* event) {
  WheelScroll(event->angleDelta().y());
  event->accept();
}

}  // namespace richedit
