// The text model: content, lines, selection and the edits on them. Search lives in
// TextSearch.cpp, the batch edits in BatchEdit.cpp, rich text in RtfReader.cpp and
// RtfWriter.cpp.
#include "richedit/TextModel.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/BigBuffer.h"
#include "richedit/LineBreaks.h"
#include "richedit/RtfReader.h"
#include "richedit/RtfWriter.h"

namespace richedit {

namespace {

constexpr std::size_t kMaxText = static_cast<std::size_t>(std::numeric_limits<int>::max());

}  // namespace

TTextModel::TTextModel() : TTextModel(TCharFormat{}) {}

TTextModel::TTextModel(const TCharFormat& defaultFormat) : defaultFormat_(defaultFormat) {
  Clear();
}

void TTextModel::SetDefaultFormat(const TCharFormat& format) {
  defaultFormat_ = format;
}

void TTextModel::ResetContent(std::string text) {
  // A new buffer, not an assignment into the old one: that would keep the old
  // text's room, which for a large document is most of the process's memory.
  text_ = std::make_shared<std::string>(std::move(text));
  formats_.assign(1, defaultFormat_);
  formatIndex_.clear();
  formatIndex_.emplace(FormatKey(defaultFormat_), 0);
  runs_.assign(1, TRun{0, 0});
  alignments_.assign(1, TAlignmentSpan{0, TAlignment::Left, false});
  selStart_ = 0;
  selLength_ = 0;
  insertion_ = defaultFormat_;
  Touch();
}

void TTextModel::AssignContent(const TTextModel& other) {
  if (&other == this) return;
  text_ = other.text_;
  formats_ = other.formats_;
  formatIndex_ = other.formatIndex_;
  runs_ = other.runs_;
  alignments_ = other.alignments_;
  selStart_ = 0;
  selLength_ = 0;
  ResetInsertion();
  // Caches built from either model must see a revision they never saw.
  revision_ = std::max(revision_, other.revision_) + 1;
}

void TTextModel::Clear() {
  ResetContent({});
}

bool TTextModel::LoadPlainText(std::string_view bytes) {
  const std::size_t size = NormalizedLength(bytes);
  if (size > kMaxText) return false;
  std::string text;
  platform::ReserveLarge(text, size);
  text.resize(size);
  NormalizeLineBreaks(bytes, text.data());
  ResetContent(std::move(text));
  return true;
}

bool TTextModel::AdoptPlainText(std::string&& bytes) {
  // Every break is two characters once normalized, so an unchanged length means
  // there was nothing to normalize.
  if (NormalizedLength(bytes) != bytes.size()) {
    const std::string taken = std::move(bytes);
    return LoadPlainText(std::string_view(taken));
  }
  if (bytes.size() > kMaxText) return false;
  ResetContent(std::move(bytes));
  return true;
}

bool TTextModel::IsRichText(std::string_view bytes) {
  return bytes.starts_with("{\\rtf");
}

bool TTextModel::LoadRichText(std::string_view bytes) {
  if (!IsRichText(bytes)) return false;
  TRtfContent content = ReadRtf(bytes, defaultFormat_);
  if (!Assign(std::move(content.Text), std::move(content.Formats), std::move(content.Runs),
              std::move(content.Alignments)))
    Clear();
  return true;
}

void TTextModel::LoadRichTextOrPlain(std::string_view bytes) {
  if (!LoadRichText(bytes)) LoadPlainText(bytes);
}

std::string TTextModel::SaveRichText() const {
  return WriteRtf(*this);
}

std::string TTextModel::TextRange(int start, int length) const {
  const int size = TextLength();
  start = std::clamp(start, 0, size);
  if (length <= 0) return {};
  const int end =
      static_cast<int>(std::min<long long>(static_cast<long long>(start) + length, size));
  return Text().substr(start, end - start);
}

// ---- Formats ----

std::string TTextModel::FormatKey(const TCharFormat& f) {
  std::string key = f.FontName;
  key.push_back('\0');
  const int values[] = {f.SizeHalfPoints, f.Charset,     f.Color.R,       f.Color.G,
                        f.Color.B,        f.Styles.Bold, f.Styles.Italic, f.Styles.Underline};
  key.append(reinterpret_cast<const char*>(values), sizeof values);
  return key;
}

int TTextModel::InternFormat(const TCharFormat& format) {
  auto [it, added] = formatIndex_.emplace(FormatKey(format), static_cast<int>(formats_.size()));
  if (added) formats_.push_back(format);
  return it->second;
}

int TTextModel::RunIndexAt(int offset) const {
  // The last run whose start is not after offset.
  auto it = std::upper_bound(runs_.begin(), runs_.end(), offset,
                             [](int o, const TRun& r) { return o < r.Start; });
  return it == runs_.begin() ? 0 : static_cast<int>(it - runs_.begin()) - 1;
}

int TTextModel::FormatIndexAt(int offset) const {
  const int size = TextLength();
  if (offset >= size) offset = size - 1;
  if (offset < 0) offset = 0;
  return runs_[RunIndexAt(offset)].FormatIndex;
}

int TTextModel::FormatRunEnd(int offset) const {
  const std::size_t i = RunIndexAt(std::max(offset, 0));
  return i + 1 < runs_.size() ? runs_[i + 1].Start : TextLength();
}

std::vector<TFormatSpan> TTextModel::Spans(int start, int length) const {
  std::vector<TFormatSpan> spans;
  const int size = TextLength();
  start = std::clamp(start, 0, size);
  const int end =
      static_cast<int>(std::clamp<long long>(static_cast<long long>(start) + length, start, size));
  if (start >= end) return spans;
  for (std::size_t i = RunIndexAt(start); i < runs_.size() && runs_[i].Start < end; ++i) {
    const int s = std::max(runs_[i].Start, start);
    const int e = i + 1 < runs_.size() ? std::min(runs_[i + 1].Start, end) : end;
    spans.push_back({s, e - s, runs_[i].FormatIndex});
  }
  return spans;
}

void TTextModel::NormalizeRuns() {
  const int size = TextLength();
  std::size_t out = 0;
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    TRun r = runs_[i];
    // A line break is one unit: a run never starts on the LF of a CR LF.
    if (r.Start > 0 && r.Start < size && Text()[r.Start] == '\n' && Text()[r.Start - 1] == '\r') {
      ++r.Start;
      if (i + 1 < runs_.size() && runs_[i + 1].Start <= r.Start) continue;
    }
    if (out > 0 && (r.Start >= size || r.FormatIndex == runs_[out - 1].FormatIndex)) continue;
    if (out > 0 && r.Start == runs_[out - 1].Start) {
      runs_[out - 1] = r;
      if (out > 1 && runs_[out - 2].FormatIndex == r.FormatIndex) --out;
      continue;
    }
    runs_[out++] = r;
  }
  runs_.resize(out);
  if (runs_.empty()) runs_.push_back({0, 0});
  runs_[0].Start = 0;
}

void TTextModel::NormalizeAlignments() {
  const int size = TextLength();
  std::size_t out = 0;
  for (std::size_t i = 0; i < alignments_.size(); ++i) {
    const TAlignmentSpan a = alignments_[i];
    // A stretch starts at a paragraph start only; an edit that cut a break in two
    // joined its paragraphs, and the stretch inside goes.
    const bool paragraphStart = a.Start <= size && a.Start >= 2 && Text()[a.Start - 2] == '\r' &&
                                Text()[a.Start - 1] == '\n';
    if (out > 0 && (!paragraphStart || a.SameFormat(alignments_[out - 1]))) continue;
    if (out > 0 && a.Start == alignments_[out - 1].Start) {
      alignments_[out - 1] = a;
      if (out > 1 && alignments_[out - 2].SameFormat(a)) --out;
      continue;
    }
    alignments_[out++] = a;
  }
  alignments_.resize(out);
  if (alignments_.empty()) alignments_.push_back({0, TAlignment::Left, false});
  alignments_[0].Start = 0;
}

bool TTextModel::Assign(std::string text, std::vector<TCharFormat> formats,
                        std::vector<TFormatSpan> runs, std::vector<TAlignmentSpan> alignments) {
  if (text.size() > kMaxText) return false;
  ResetContent(std::move(text));
  std::vector<int> map(formats.size());
  for (std::size_t i = 0; i < formats.size(); ++i)
    map[i] = InternFormat(formats[i]);
  runs_.clear();
  for (const TFormatSpan& s : runs)
    if (s.FormatIndex >= 0 && static_cast<std::size_t>(s.FormatIndex) < map.size())
      runs_.push_back({s.Start, map[s.FormatIndex]});
  std::stable_sort(runs_.begin(), runs_.end(),
                   [](const TRun& a, const TRun& b) { return a.Start < b.Start; });
  NormalizeRuns();
  alignments_ = std::move(alignments);
  std::stable_sort(
      alignments_.begin(), alignments_.end(),
      [](const TAlignmentSpan& a, const TAlignmentSpan& b) { return a.Start < b.Start; });
  NormalizeAlignments();
  insertion_ = FormatAt(0);
  return true;
}

// ---- Lines ----

int TTextModel::LineCount() const {
  const int size = TextLength();
  if (size == 0) return 0;
  const int breaks = CountLineBreaks(Text().data(), Text().size());
  return EndsWithLineBreak(Text()) ? breaks : breaks + 1;
}

int TTextModel::LineStart(int offset) const {
  return richedit::LineStart(Text(), std::clamp(offset, 0, TextLength()));
}

int TTextModel::LineEnd(int offset) const {
  return richedit::LineEnd(Text(), LineStart(offset));
}

// ---- Selection ----

void TTextModel::ResetInsertion() {
  if (Text().empty()) {
    insertion_ = formats_[runs_[0].FormatIndex];
  } else {
    insertion_ = FormatAt(selLength_ > 0 || selStart_ == 0 ? selStart_ : selStart_ - 1);
  }
}

void TTextModel::SetSelStart(int start) {
  selStart_ = std::clamp(start, 0, TextLength());
  selLength_ = 0;
  ResetInsertion();
}

void TTextModel::SetSelLength(int length) {
  selLength_ = std::clamp(length, 0, TextLength() - selStart_);
  ResetInsertion();
}

void TTextModel::Select(int start, int length) {
  SetSelStart(start);
  SetSelLength(length);
}

void TTextModel::SelectAll() {
  Select(0, TextLength());
}

std::string TTextModel::SelText() const {
  return Text().substr(selStart_, selLength_);
}

void TTextModel::ReplaceRange(int start, int length, std::string_view ins, int formatIndex) {
  const int end = start + length;
  const int insLen = static_cast<int>(ins.size());
  const int delta = insLen - length;
  const int oldSize = TextLength();

  // Paragraph format: the paragraph that holds start and the one that holds end
  // become one, with the format of the later one (its break is the one kept).
  // When the range reaches the end of the text no break is kept, and what is left of
  // the first paragraph keeps its own format. Breaks inserted inside a paragraph
  // split it into paragraphs of its format.
  if (length > 0 && alignments_.size() > 1) {
    const int head = LineStart(start);
    TAlignmentSpan kept =
        end >= oldSize && start > head ? ParagraphFormat(start) : ParagraphFormat(end);
    kept.Start = head;
    std::vector<TAlignmentSpan> next;
    next.reserve(alignments_.size() + 1);
    for (const TAlignmentSpan& a : alignments_)
      if (a.Start < head) next.push_back(a);
    next.push_back(kept);
    for (TAlignmentSpan a : alignments_)
      if (a.Start > end) {
        a.Start += delta;
        next.push_back(a);
      }
    alignments_ = std::move(next);
  } else if (delta != 0) {
    for (TAlignmentSpan& a : alignments_)
      if (a.Start > start) a.Start += delta;
  }

  // Format runs: what lies before start stays, the inserted text takes formatIndex,
  // what followed the removed range keeps its format.
  std::vector<TRun> next;
  next.reserve(runs_.size() + 2);
  for (const TRun& r : runs_)
    if (r.Start < start) next.push_back(r);
  if (insLen > 0) next.push_back({start, formatIndex});
  if (end < oldSize) {
    next.push_back({start + insLen, runs_[RunIndexAt(end)].FormatIndex});
    for (const TRun& r : runs_)
      if (r.Start > end) next.push_back({r.Start + delta, r.FormatIndex});
  }
  runs_ = std::move(next);

  if (text_.use_count() > 1) {
    // The buffer is shared: the new text is put together once, not copied and then
    // edited.
    const std::string& old = Text();
    std::string joined;
    platform::ReserveLarge(joined, old.size() - length + ins.size());
    joined.append(old, 0, start).append(ins).append(old, end, std::string::npos);
    text_ = std::make_shared<std::string>(std::move(joined));
  } else {
    text_->replace(start, length, ins);
  }
  NormalizeRuns();
  NormalizeAlignments();
  Touch();
}

void TTextModel::ClearSelection() {
  if (selLength_ == 0) return;
  const TCharFormat keep = insertion_;
  ReplaceRange(selStart_, selLength_, {}, 0);
  selLength_ = 0;
  insertion_ = keep;
}

bool TTextModel::ReplaceSelection(std::string_view text) {
  const std::size_t insLen = NormalizedLength(text);
  if (Text().size() - selLength_ + insLen > kMaxText) return false;
  std::string ins(insLen, '\0');
  NormalizeLineBreaks(text, ins.data());
  const TCharFormat format = insertion_;
  ReplaceRange(selStart_, selLength_, ins, InternFormat(format));
  selStart_ += static_cast<int>(insLen);
  selLength_ = 0;
  insertion_ = format;
  return true;
}

void TTextModel::SetSelColor(TRgb color) {
  TransformSelection([color](TCharFormat& f) { f.Color = color; });
}

void TTextModel::SetSelBold(bool bold) {
  TransformSelection([bold](TCharFormat& f) { f.Styles.Bold = bold; });
}

void TTextModel::SetSelStyles(TFontStyles styles) {
  TransformSelection([styles](TCharFormat& f) { f.Styles = styles; });
}

void TTextModel::SetSelFormat(const TCharFormat& format) {
  TransformSelection([&format](TCharFormat& f) { f = format; });
}

void TTextModel::TransformSelection(const std::function<void(TCharFormat&)>& change) {
  change(insertion_);
  if (selLength_ == 0) return;
  const TRange range{selStart_, selLength_};
  TransformRanges(std::span(&range, 1), change);
}

// ---- Paragraphs ----

TAlignmentSpan TTextModel::ParagraphFormat(int offset) const {
  const int start = LineStart(offset);
  auto it = std::upper_bound(alignments_.begin(), alignments_.end(), start,
                             [](int o, const TAlignmentSpan& a) { return o < a.Start; });
  return it == alignments_.begin() ? TAlignmentSpan{} : *std::prev(it);
}

TAlignment TTextModel::ParagraphAlignment(int offset) const {
  return ParagraphFormat(offset).Alignment;
}

bool TTextModel::ParagraphBullets(int offset) const {
  return ParagraphFormat(offset).Bullets;
}

void TTextModel::SetParagraphAlignment(TAlignment alignment) {
  TransformParagraphs([alignment](TAlignmentSpan& a) { a.Alignment = alignment; });
}

void TTextModel::SetParagraphBullets(bool bullets) {
  TransformParagraphs([bullets](TAlignmentSpan& a) { a.Bullets = bullets; });
}

void TTextModel::TransformParagraphs(const std::function<void(TAlignmentSpan&)>& change) {
  const int size = TextLength();
  const int first = LineStart(selStart_);
  const int lastChar = selLength_ > 0 ? selStart_ + selLength_ - 1 : selStart_;
  const int lastEnd = LineEnd(lastChar);
  const int after =
      lastEnd + 2 <= size && Text().compare(lastEnd, 2, "\r\n") == 0 ? lastEnd + 2 : -1;
  // The stretches inside [first, after) keep their other properties; the one the
  // first paragraph lies in is cut at first, and the one after resumes at after.
  std::vector<TAlignmentSpan> next;
  next.reserve(alignments_.size() + 2);
  for (const TAlignmentSpan& a : alignments_)
    if (a.Start < first) next.push_back(a);
  TAlignmentSpan head = ParagraphFormat(first);
  head.Start = first;
  change(head);
  next.push_back(head);
  for (TAlignmentSpan a : alignments_)
    if (a.Start > first && (after < 0 || a.Start < after)) {
      change(a);
      next.push_back(a);
    }
  if (after >= 0) {
    TAlignmentSpan resume = ParagraphFormat(after);
    resume.Start = after;
    next.push_back(resume);
    for (const TAlignmentSpan& a : alignments_)
      if (a.Start > after) next.push_back(a);
  }
  alignments_ = std::move(next);
  NormalizeAlignments();
  Touch();
}

}  // namespace richedit
