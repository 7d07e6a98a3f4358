// TRichEdit: the rich-edit control as a Qt widget over a TTextModel. It draws only
// the lines in view, so a text of 100 MB scrolls to any place at once; it wraps
// words at the width of its viewport or scrolls sideways; it keeps its selection
// visible when it does not have the focus.
//
// Repainting is suspended with setUpdatesEnabled(false) and resumed with
// setUpdatesEnabled(true); while it is suspended, edits do no layout work at all.
// Every edit goes through this class (not straight to Model()) so that the view,
// the scroll bars and the SelectionChange signal follow it.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <climits>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "richedit/CharFormat.h"
#include "richedit/RichStream.h"
#include "richedit/TextLayout.h"
#include "richedit/TextModel.h"

class QPainter;

namespace richedit {

class TQtMetrics;

class TRichEdit : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Which scroll bars the control shows: both, or the vertical one only.
  enum class TScrollBars { Both, Vertical };

  explicit TRichEdit(QWidget* parent = nullptr);
  ~TRichEdit() override;

  // The document, for reading. Use the methods below to change it.
  [[nodiscard]] const TTextModel& Model() const { return model_; }

  // ---- Font of the control ----

  // The format of text loaded as plain text and of an emptied control (the
  // control's font: name, size, character set, colour).
  void SetDefaultFormat(const TCharFormat& format);
  [[nodiscard]] const TCharFormat& DefaultFormat() const { return model_.DefaultFormat(); }

  // ---- Streams ----

  // Plain-text mode: LoadFromStream reads plain text and SaveToStream writes plain
  // text. Off (rich-text mode) by default.
  void SetPlainText(bool plain) { plainText_ = plain; }
  [[nodiscard]] bool PlainText() const { return plainText_; }
  // Replaces the content with bytes: in plain-text mode as plain text, otherwise as
  // rich text with plain text as the fall-back for bytes that are not rich text.
  void LoadFromStream(std::string_view bytes);
  // The same, taking over the bytes' storage where it can.
  void AdoptStream(std::string&& bytes);
  // The content as rich text, or as its plain text in plain-text mode.
  [[nodiscard]] std::string SaveToStream() const;
  // The explicit forms, whatever the mode.
  bool LoadPlainText(std::string_view bytes);
  bool AdoptPlainText(std::string&& bytes);
  void LoadRichText(std::string_view bytes);  // with the plain-text fall-back
  [[nodiscard]] std::string SaveRichText() const { return model_.SaveRichText(); }
  // The same over a TRichStream: a saved content comes back as it was saved, with
  // no rich-text reading, and saving shares the control's text buffer.
  void SaveToStream(TRichStream& stream) const;
  void LoadRichText(const TRichStream& stream);  // with the plain-text fall-back
  [[nodiscard]] TRichStream SaveRichStream() const { return TRichStream::Saved(model_); }
  // Empties the control.
  void Clear();

  // ---- Text and lines ----

  [[nodiscard]] const std::string& Text() const { return model_.Text(); }
  [[nodiscard]] int TextLength() const { return model_.TextLength(); }
  // The line count: display lines at the viewport's width while word wrap is on,
  // logical lines otherwise; an empty last line does not count.
  [[nodiscard]] int LineCount();
  // The first character of the line holding offset: of its display line while word
  // wrap is on, of its logical line otherwise.
  [[nodiscard]] int LineStart(int offset);
  // LineStart of the caret (the selection start).
  [[nodiscard]] int CaretLineStart() { return LineStart(model_.SelStart()); }

  // Forward search; see TTextModel::FindText.
  [[nodiscard]] int FindText(std::string_view what, int start, int length, bool wholeWord) const {
    return model_.FindText(what, start, length, wholeWord);
  }

  // ---- Selection and editing (regardless of ReadOnly, which guards the user) ----

  [[nodiscard]] int SelStart() const { return model_.SelStart(); }
  [[nodiscard]] int SelLength() const { return model_.SelLength(); }
  void SetSelStart(int start);
  void SetSelLength(int length);
  void Select(int start, int length);
  void SelectAll();
  [[nodiscard]] std::string SelText() const { return model_.SelText(); }
  void ClearSelection();
  void ReplaceSelection(std::string_view text);
  void SetSelColor(TRgb color);
  void SetSelBold(bool bold);
  void SetSelStyles(TFontStyles styles);
  void SetParagraphAlignment(TAlignment alignment);
  // See TTextModel::SetParagraphBullets; bulleted paragraphs show a bullet "•"
  // hanging before their first line, their text indented past it.
  void SetParagraphBullets(bool bullets);
  [[nodiscard]] bool ParagraphBullets(int offset) const { return model_.ParagraphBullets(offset); }
  // Batch forms; see TTextModel::DeleteRanges and ColourRanges.
  void DeleteRanges(std::span<const TRange> ranges);
  void ColourRanges(std::span<const TRange> ranges, TRgb color);

  // ---- Behaviour ----

  // Read-only: the user can select and copy but not change the text.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  [[nodiscard]] bool ReadOnly() const { return readOnly_; }
  // Word wrap at the viewport's width; re-laid out when the control is resized.
  void SetWordWrap(bool wrap);
  [[nodiscard]] bool WordWrap() const { return wordWrap_; }
  void SetScrollBars(TScrollBars bars);
  [[nodiscard]] TScrollBars ScrollBars() const { return scrollBars_; }
  // The background colour of the text area.
  void SetColor(const QColor& color);
  [[nodiscard]] QColor Color() const { return color_; }
  // Copies the selected text to the clipboard (as text and as rich text); nothing
  // happens when the selection is empty.
  void CopyToClipboard() const;
  // Scrolls the text as a mouse wheel turned by angleDelta (eighths of a degree,
  // 120 per notch) would: three lines per notch.
  void WheelScroll(int angleDelta);
  // Scrolls so that the caret's line is in view.
  void EnsureCaretVisible();
  // The offset of the first character of the top display line in view.
  [[nodiscard]] int FirstVisibleOffset();

 signals:
  // The selection (start or length) changed, by the user or by the program.
  void SelectionChange();
  // A mouse button was released over the text; pos is in the widget's coordinates.
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool focusNextPrevChild(bool next) override;
  void changeEvent(QEvent* event) override;

 private:
  struct TView;
  // One display line: [Start, End) of the text, End before any CR LF.
  struct TDisplayLine {
    int Start;
    int End;
  };

  // The model changed: caches go stale, the view repaints.
  void ContentChanged();
  // The whole content was replaced: the view goes back to the top, the caret to 0.
  void ContentReplaced(int oldStart, int oldLength);
  // Emits SelectionChange when the model's selection differs from (oldStart, oldLength).
  void NotifySelection(int oldStart, int oldLength);
  // Selects from anchor to caret (either order), keeping the caret's end active.
  void SetAnchorAndCaret(int anchor, int caret);
  void EnsureIndex();
  void SyncScrollBars();
  [[nodiscard]] int TextWidthPixels() const;
  // Measures the bullet of the default format and hands the indent to the layout.
  void SyncBulletIndent();
  [[nodiscard]] int LineIndexOf(int offset);
  // The display lines of logical line index, at most maxLines of them.
  void DisplayLinesOf(int line, std::vector<TDisplayLine>& out, std::size_t maxLines = SIZE_MAX);
  // The logical line and display line within it that hold offset.
  void Locate(int offset, int& line, int& sub);
  [[nodiscard]] int LineHeight(const TDisplayLine& line);
  [[nodiscard]] int LineX(const TDisplayLine& line);
  [[nodiscard]] int XOfOffset(const TDisplayLine& line, int offset);
  [[nodiscard]] int OffsetAtX(const TDisplayLine& line, int x);
  [[nodiscard]] int OffsetAt(QPoint pos);
  // Moves the top of the view by delta display lines.
  void ScrollLines(int delta);
  void MoveCaretVertically(int lines, bool extend);
  [[nodiscard]] int WordStart(int offset) const;
  [[nodiscard]] int WordEnd(int offset) const;
  void PaintLine(QPainter& painter, const TDisplayLine& line, int y, int height);

  TTextModel model_;
  std::unique_ptr<TQtMetrics> metrics_;
  std::unique_ptr<TTextLayout> layout_;
  std::unique_ptr<TView> view_;
  std::uint64_t barsRevision_ = ~std::uint64_t{0};  // the model's revision the scroll bars show
  bool plainText_ = false;
  bool readOnly_ = false;
  bool wordWrap_ = false;
  TScrollBars scrollBars_ = TScrollBars::Both;
  QColor color_ = Qt::white;
};

}  // namespace richedit
