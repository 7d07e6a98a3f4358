// TTextModel: the document of the rich-edit control. It holds the text as one
// contiguous Windows-1251 buffer whose line breaks are the two characters CR LF,
// a table of character-format runs, the alignment of every paragraph (a paragraph
// is a line: the text up to and including its CR LF), a selection and the
// attributes that inserted text takes. No Qt.
//
// Offsets count characters (bytes) of Text(); they are 32-bit signed, so a text
// holds at most INT32_MAX characters. Every operation is linear in the length of
// the text or better; the batch forms let a caller narrow a text of 100 MB in one
// pass instead of one pass per range.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "richedit/CharFormat.h"

namespace richedit {

// One stretch of text in one format, as the model hands it to painting and to the
// rich-text writer.
struct TFormatSpan {
  int Start = 0;
  int Length = 0;
  int FormatIndex = 0;  // index into TTextModel::Format
};

// One stretch of paragraphs with one paragraph format (alignment and bullets):
// from Start (a paragraph start) up to the start of the next stretch or the end of
// the text.
struct TAlignmentSpan {
  int Start = 0;
  TAlignment Alignment = TAlignment::Left;
  bool Bullets = false;  // each paragraph of the stretch starts with a bullet

  // True when both stretches give their paragraphs the same format.
  [[nodiscard]] bool SameFormat(const TAlignmentSpan& other) const {
    return Alignment == other.Alignment && Bullets == other.Bullets;
  }
};

class TTextModel {
 public:
  // An empty text; the default format is that of TCharFormat{} (Arial, 9 pt,
  // Cyrillic, black).
  TTextModel();
  explicit TTextModel(const TCharFormat& defaultFormat);
  // A copy shares the text buffer until one of the two changes its text. There is
  // no move: a moved-from model must still hold a text, and a copy costs no more.
  TTextModel(const TTextModel&) = default;
  TTextModel& operator=(const TTextModel&) = default;

  // ---- Content ----

  // The format that plain-text loads and an emptied text take. Changing it does not
  // touch text already held.
  [[nodiscard]] const TCharFormat& DefaultFormat() const { return defaultFormat_; }
  void SetDefaultFormat(const TCharFormat& format);

  // Empties the text: no characters, the default format, left alignment, no
  // bullets, the selection at 0.
  void Clear();

  // Replaces the content with bytes read as Windows-1251 plain text: CR LF, a lone
  // LF and a lone CR each become CR LF; every other byte, NUL included, is kept as
  // a character. The whole text takes the default format and left alignment; the
  // selection goes to 0. Returns false, leaving the content as it was, only when the
  // result would exceed INT32_MAX characters.
  bool LoadPlainText(std::string_view bytes);
  // The same, taking over the bytes' own storage where they need no change.
  bool AdoptPlainText(std::string&& bytes);

  // True when bytes start as rich text does ("{\rtf", after no other byte).
  [[nodiscard]] static bool IsRichText(std::string_view bytes);

  // Replaces the content with bytes read as rich text, when IsRichText(bytes);
  // returns false and leaves the content untouched otherwise. Damaged rich text
  // (unbalanced groups, a cut-off file) loads as far as it can be read; it never
  // fails once the header is there.
  bool LoadRichText(std::string_view bytes);

  // Replaces the content (text, formats, runs, paragraph format) with that of
  // other, as a copy: the two share one text buffer until either of them changes
  // its text, so that saving a large document and showing it again cost no copy.
  // The default format stays this model's own; the selection goes to 0.
  void AssignContent(const TTextModel& other);

  // Loads bytes as rich text, or, when they are not rich text, as plain text:
  // what the control does with a stream it is told holds rich text.
  void LoadRichTextOrPlain(std::string_view bytes);

  // The content as rich text (Windows-1251, \ansicpg1251, font and colour tables,
  // runs, alignment and bullets). LoadRichText(SaveRichText()) gives back the same
  // text, runs, alignment and bullets.
  [[nodiscard]] std::string SaveRichText() const;

  // The whole text, line breaks as CR LF. The reference stays valid until the next
  // change of the model.
  [[nodiscard]] const std::string& Text() const { return *text_; }
  [[nodiscard]] int TextLength() const { return static_cast<int>(text_->size()); }
  // Up to length characters from start, clamped to the text.
  [[nodiscard]] std::string TextRange(int start, int length) const;

  // A number that changes with every change of text, formats or paragraph format; caches
  // built from the model compare it to know whether they are stale.
  [[nodiscard]] std::uint64_t Revision() const { return revision_; }

  // ---- Lines (logical: a line ends with its CR LF) ----

  // The number of lines; an empty text has 0 and an empty last line (the text ends
  // with CR LF) does not count: "a" and "a\r\n" have 1, "a\r\n\r\n" has 2.
  [[nodiscard]] int LineCount() const;
  // The offset of the first character of the line holding offset (clamped to the
  // text). The CR and LF of a break belong to the line they end.
  [[nodiscard]] int LineStart(int offset) const;
  // The offset just past the last character of the line holding offset, before its
  // CR LF (or the end of the text).
  [[nodiscard]] int LineEnd(int offset) const;

  // ---- Search ----

  // The offset of the first occurrence of what that lies wholly within
  // [start, start + length) (clamped to the text), or -1. Letter case never matters
  // (Windows-1251 case table, Latin and Cyrillic alike, Ё and ё included). With
  // wholeWord an occurrence counts only when the character just before it and the
  // one just after it, where there are any, are not word characters (letters,
  // digits, underscore). An empty what, a negative length or a start outside the
  // text gives -1.
  [[nodiscard]] int FindText(std::string_view what, int start, int length, bool wholeWord) const;

  // ---- Selection ----

  // The selection is [SelStart, SelStart + SelLength). Setting the start collapses
  // the selection there (clamped to the text); setting the length extends it from
  // the start (clamped to the text's end). Both reset the insertion attributes to
  // the format of the character at the selection start (the one before a caret).
  [[nodiscard]] int SelStart() const { return selStart_; }
  [[nodiscard]] int SelLength() const { return selLength_; }
  void SetSelStart(int start);
  void SetSelLength(int length);
  void Select(int start, int length);
  void SelectAll();
  [[nodiscard]] std::string SelText() const;

  // Deletes the selected characters, with their formats and the alignment of
  // paragraphs whose breaks go; the selection becomes a caret at its start.
  void ClearSelection();
  // Replaces the selection with text in the insertion attributes; line breaks of
  // text (CR LF, lone LF, lone CR) become CR LF. The caret ends after the inserted
  // text. Returns false, changing nothing, when the text would exceed INT32_MAX.
  bool ReplaceSelection(std::string_view text);

  // The attributes inserted text takes: the format at the selection, or what the
  // SetSel* calls below gave a caret.
  [[nodiscard]] const TCharFormat& InsertionFormat() const { return insertion_; }

  // Set one property of every selected character; with an empty selection they set
  // it for the text inserted next at the caret instead.
  void SetSelColor(TRgb color);
  void SetSelBold(bool bold);
  void SetSelStyles(TFontStyles styles);
  void SetSelFormat(const TCharFormat& format);

  // Sets the alignment of every paragraph the selection touches (the caret's
  // paragraph when it is empty).
  void SetParagraphAlignment(TAlignment alignment);
  // The alignment of the paragraph holding offset.
  [[nodiscard]] TAlignment ParagraphAlignment(int offset) const;
  // Turns bullets on or off for every paragraph the selection touches (the caret's
  // paragraph when it is empty). A paragraph made by breaking a line keeps the
  // bullets and alignment of the one it was split from.
  void SetParagraphBullets(bool bullets);
  // True when the paragraph holding offset is bulleted.
  [[nodiscard]] bool ParagraphBullets(int offset) const;
  // The paragraph format (alignment and bullets) of the paragraph holding offset;
  // Start is that of the stretch it lies in.
  [[nodiscard]] TAlignmentSpan ParagraphFormat(int offset) const;

  // ---- Batch edits ----

  // Deletes every range of ranges in one pass over the text. The ranges must be
  // sorted by start and must not overlap; each is clamped to the text. Offsets of
  // the ranges refer to the text before the call. The selection becomes a caret at 0.
  void DeleteRanges(std::span<const TRange> ranges);
  // Gives every character of every range the colour color, in one pass over the run
  // table. The ranges may come in any order and may overlap; each is clamped.
  void ColourRanges(std::span<const TRange> ranges, TRgb color);

  // ---- Formats, for painting and writing ----

  // The format with index i; indexes come from Spans and FormatIndexAt.
  [[nodiscard]] const TCharFormat& Format(int i) const { return formats_[i]; }
  [[nodiscard]] int FormatCount() const { return static_cast<int>(formats_.size()); }
  // The index of the format of the character at offset (the last one's for the
  // end of the text, the default format's for an empty text).
  [[nodiscard]] int FormatIndexAt(int offset) const;
  [[nodiscard]] const TCharFormat& FormatAt(int offset) const {
    return formats_[FormatIndexAt(offset)];
  }
  // The end of the run of one format that holds offset: the offset of the next
  // change of format, or the end of the text.
  [[nodiscard]] int FormatRunEnd(int offset) const;
  // The format runs that cover [start, start + length), cut to that range, in order.
  [[nodiscard]] std::vector<TFormatSpan> Spans(int start, int length) const;
  // The paragraph-format stretches of the whole text, in order; the first starts at 0.
  [[nodiscard]] const std::vector<TAlignmentSpan>& AlignmentSpans() const { return alignments_; }

  // Replaces the whole content at once: text with CR LF breaks as it is to be held,
  // format spans that cover it in order (formats given by index into formats; spans
  // may be missing for an empty text) and alignment stretches (sorted, the first at
  // 0). Used by the rich-text reader; equal neighbours are merged. Returns false,
  // changing nothing, when text exceeds INT32_MAX characters.
  bool Assign(std::string text, std::vector<TCharFormat> formats, std::vector<TFormatSpan> runs,
              std::vector<TAlignmentSpan> alignments);

 private:
  struct TRun {
    int Start;
    int FormatIndex;
  };

  static std::string FormatKey(const TCharFormat& format);
  int InternFormat(const TCharFormat& format);
  int RunIndexAt(int offset) const;
  void ResetContent(std::string text);
  void ResetInsertion();
  void NormalizeRuns();
  void NormalizeAlignments();
  // Applies change to the paragraph format of every paragraph the selection touches.
  void TransformParagraphs(const std::function<void(TAlignmentSpan&)>& change);
  // Replaces [start, start + length) with ins in format formatIndex.
  void ReplaceRange(int start, int length, std::string_view ins, int formatIndex);
  void TransformSelection(const std::function<void(TCharFormat&)>& change);
  // Applies change to the format of every character of the ranges (any order,
  // overlaps allowed), in one pass over the run table.
  void TransformRanges(std::span<const TRange> ranges,
                       const std::function<void(TCharFormat&)>& change);
  void Touch() { ++revision_; }

  TCharFormat defaultFormat_;
  // Never null. Copies of the model share it until one of them changes the text.
  std::shared_ptr<std::string> text_;
  std::vector<TCharFormat> formats_;
  std::unordered_map<std::string, int> formatIndex_;  // FormatKey -> index
  // Sorted by Start, the first at 0, never two equal neighbours, never one starting
  // between the CR and the LF of a break.
  std::vector<TRun> runs_;
  std::vector<TAlignmentSpan> alignments_;
  int selStart_ = 0;
  int selLength_ = 0;
  TCharFormat insertion_;
  std::uint64_t revision_ = 0;
};

}  // namespace richedit
