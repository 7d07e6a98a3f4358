// Edits over many ranges at once, each one pass over the text and the run table.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/BigBuffer.h"
#include "richedit/LineBreaks.h"
#include "richedit/TextModel.h"

namespace richedit {

namespace {

// A kept stretch of the old text [From, To) and where it starts in the new one.
struct TKept {
  int From;
  int To;
  int NewStart;
};

// The ranges clamped to [0, size), empty ones dropped, sorted, overlaps merged.
std::vector<TRange> Disjoint(std::span<const TRange> ranges, int size) {
  std::vector<TRange> out;
  out.reserve(ranges.size());
  bool sorted = true;
  for (const TRange& r : ranges) {
    const long long s = std::clamp<long long>(r.Start, 0, size);
    const long long e = std::clamp<long long>(static_cast<long long>(r.Start) + r.Length, s, size);
    if (e <= s) continue;
    if (!out.empty() && s < out.back().Start) sorted = false;
    out.push_back({static_cast<int>(s), static_cast<int>(e - s)});
  }
  if (!sorted)
    std::sort(out.begin(), out.end(),
              [](const TRange& a, const TRange& b) { return a.Start < b.Start; });
  std::size_t n = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (n > 0 && out[i].Start <= out[n - 1].Start + out[n - 1].Length) {
      const int end = std::max(out[n - 1].Start + out[n - 1].Length, out[i].Start + out[i].Length);
      out[n - 1].Length = end - out[n - 1].Start;
    } else {
      out[n++] = out[i];
    }
  }
  out.resize(n);
  return out;
}

}  // namespace

void TTextModel::DeleteRanges(std::span<const TRange> ranges) {
  const int oldSize = TextLength();
  const std::vector<TRange> cut = Disjoint(ranges, oldSize);
  if (cut.empty()) {
    SetSelStart(0);
    return;
  }

  std::vector<TKept> kept;
  kept.reserve(cut.size() + 1);
  int from = 0;
  int newPos = 0;
  for (const TRange& r : cut) {
    if (r.Start > from) {
      kept.push_back({from, r.Start, newPos});
      newPos += r.Start - from;
    }
    from = r.Start + r.Length;
  }
  if (from < oldSize) {
    kept.push_back({from, oldSize, newPos});
    newPos += oldSize - from;
  }
  const int newSize = newPos;

  // Runs of the kept stretches, moved to their new places.
  std::vector<TRun> runs;
  runs.reserve(runs_.size() + kept.size());
  std::size_t ri = 0;
  for (const TKept& k : kept) {
    while (ri + 1 < runs_.size() && runs_[ri + 1].Start <= k.From)
      ++ri;
    runs.push_back({k.NewStart, runs_[ri].FormatIndex});
    std::size_t j = ri + 1;
    for (; j < runs_.size() && runs_[j].Start < k.To; ++j)
      runs.push_back({k.NewStart + runs_[j].Start - k.From, runs_[j].FormatIndex});
    ri = j - 1;
  }

  if (text_.use_count() > 1) {
    // The buffer is shared with a saved copy: the kept stretches go into a new one.
    const std::string& old = Text();
    std::string next;
    platform::ReserveLarge(next, newSize);
    for (const TKept& k : kept)
      next.append(old, k.From, k.To - k.From);
    text_ = std::make_shared<std::string>(std::move(next));
  } else {
    // The text, compacted in place.
    std::string& text = *text_;
    char* data = text.data();
    for (const TKept& k : kept)
      if (k.NewStart != k.From) std::memmove(data + k.NewStart, data + k.From, k.To - k.From);
    text.resize(newSize);
    if (text.size() < text.capacity() / 2) text.shrink_to_fit();
  }

  // Paragraph format: every paragraph of the new text takes the format of the old
  // paragraph whose break (or end of text) ends it. A last paragraph whose old end
  // was cut away keeps the format of the paragraph its last character came from.
  if (alignments_.size() > 1) {
    const std::vector<TAlignmentSpan> old = std::move(alignments_);
    alignments_.clear();
    std::size_t ki = 0;
    std::size_t ai = 0;
    int paraStart = 0;
    while (true) {
      const int mark = richedit::LineEnd(Text(), paraStart);
      int oldMark = oldSize;
      if (mark < newSize) {
        while (ki + 1 < kept.size() && kept[ki + 1].NewStart <= mark)
          ++ki;
        oldMark = kept[ki].From + (mark - kept[ki].NewStart);
      } else if (mark > paraStart && kept.back().To < oldSize) {
        oldMark = kept.back().To - 1;
      }
      while (ai + 1 < old.size() && old[ai + 1].Start <= oldMark)
        ++ai;
      if (alignments_.empty() || !alignments_.back().SameFormat(old[ai]))
        alignments_.push_back({paraStart, old[ai].Alignment, old[ai].Bullets});
      if (mark >= newSize) break;
      paraStart = mark + 2;
    }
  }

  runs_ = std::move(runs);
  NormalizeRuns();
  NormalizeAlignments();
  selStart_ = 0;
  selLength_ = 0;
  ResetInsertion();
  Touch();
}

void TTextModel::ColourRanges(std::span<const TRange> ranges, TRgb color) {
  TransformRanges(ranges, [color](TCharFormat& f) { f.Color = color; });
}

void TTextModel::TransformRanges(std::span<const TRange> ranges,
                                 const std::function<void(TCharFormat&)>& change) {
  const int size = TextLength();
  const std::vector<TRange> marked = Disjoint(ranges, size);
  if (marked.empty()) return;

  std::unordered_map<int, int> changed;  // old format index -> changed one
  auto changedIndex = [&](int index) {
    auto it = changed.find(index);
    if (it != changed.end()) return it->second;
    TCharFormat f = formats_[index];
    change(f);
    const int result = InternFormat(f);
    changed.emplace(index, result);
    return result;
  };

  std::vector<TRun> runs;
  runs.reserve(runs_.size() + 2 * marked.size());
  std::size_t ri = 0;
  std::size_t k = 0;
  int pos = 0;
  while (pos < size) {
    while (ri + 1 < runs_.size() && runs_[ri + 1].Start <= pos)
      ++ri;
    const int runEnd = ri + 1 < runs_.size() ? runs_[ri + 1].Start : size;
    while (k < marked.size() && marked[k].Start + marked[k].Length <= pos)
      ++k;
    const bool inside = k < marked.size() && marked[k].Start <= pos;
    const int edge = k >= marked.size() ? size
                     : inside           ? marked[k].Start + marked[k].Length
                                        : marked[k].Start;
    const int index = inside ? changedIndex(runs_[ri].FormatIndex) : runs_[ri].FormatIndex;
    runs.push_back({pos, index});
    pos = std::min(runEnd, edge);
  }
  runs_ = std::move(runs);
  NormalizeRuns();
  Touch();
}

}  // namespace richedit
